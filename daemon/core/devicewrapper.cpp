#include "devicewrapper.h"

#include <QTimer>

#include <cstring>

#include "blocks/cconfigblockif.h"
#include "catalog/assemblyrecords.h"
#include "catalog/cmoduletype.h"
#include "connectresult.h"
#include "engine/ccmdengine.h"

namespace {

// Made-up serial numbers are numbered across the process from 1.
int sSerialCounter = 1;

const UByte kStatusInterface = 1;
const UByte kStatusDevice = 0;
const int kStatusHalf = DeviceWrapper::kStatusImageSize / 2;
const ULWord kFirmwareVersionAddress = 1;

}

DeviceWrapper::DeviceWrapper(CCmdEngine* engine, AssemblyRecords* records, CModuleType* moduleRecord,
                             QObject* parent)
    : QObject(parent),
      _configBlock(nullptr),
      _assemblyRecords(records),
      _engine(engine),
      _moduleRecord(moduleRecord),
      _busy(false),
      _connected(false),
      _statusTimer(new QTimer(this)),
      _configReadFailed(false),
      _statusReadOk(false),
      _commErrorRaised(false)
{
    std::memset(_statusImage, 0, sizeof _statusImage);
    connect(_statusTimer, &QTimer::timeout, this, &DeviceWrapper::StatusTimer);
}

DeviceWrapper::~DeviceWrapper()
{
    delete _engine;
    delete _configBlock;
    delete _assemblyRecords;
    delete _moduleRecord;
    delete _statusTimer;
}

bool DeviceWrapper::EngineConnected() const
{
    return _engine && _engine->IsConnected();
}

void DeviceWrapper::StartDevice()
{
    InitDevice();
    if (EngineConnected()) {
        if (_configBlock)
            _engine->AttachConfigBlock(_configBlock);
        _engine->LoadAssemblies(_engine->GetModuleType()._moduleTypeID, _assemblyRecords);
        ReadStatusBlock();
        // A converter lost on the way up is not talked to or polled again.
        if (_commErrorRaised)
            return;
        ReadDeviceConfig();
        if (!_commErrorRaised)
            _statusTimer->start(kStatusPeriodMs);
    } else {
        DisconnectDevice();
    }
}

void DeviceWrapper::ReadDeviceConfig()
{
    if (!EngineConnected()) {
        _connected = false;
        UpdateDevice();
        PollStatus();
        return;
    }
    ApplyConfigReadResult(_engine->ReadConfiguration());
}

void DeviceWrapper::ApplyConfigReadResult(int result)
{
    if (!ConnectResult::IsFatal(result)) {
        _connected = true;
        _configReadFailed = result != 0;
        UpdateDevice();
        PollStatus();
    } else {
        _connected = false;
        StopDevice();
    }
}

void DeviceWrapper::PollStatus()
{
    if (!_connected || _busy)
        return;
    if (!EngineConnected()) {
        DisconnectDevice();
        return;
    }
    ReadStatusBlock();
    // A failed read has already reported the loss; its image is stale.
    if (!_statusReadOk)
        return;
    UpdateDeviceStatus();
    emit DeviceStateUpdated(_state);
}

void DeviceWrapper::ReadStatusBlock()
{
    _statusReadOk = false;
    if (!_engine) {
        DisconnectDevice();
        return;
    }
    int result = _engine->ReadDeviceDataImmediate(kStatusInterface, kStatusDevice, 0, _statusImage,
                                                  UByte(kStatusHalf));
    if (!ConnectResult::IsFatal(result))
        result = _engine->ReadDeviceDataImmediate(kStatusInterface, kStatusDevice, ULWord(kStatusHalf),
                                                  _statusImage + kStatusHalf, UByte(kStatusHalf));
    if (ConnectResult::IsFatal(result)) {
        DisconnectDevice();
        return;
    }
    _statusReadOk = true;
}

void DeviceWrapper::StopDevice()
{
    _statusTimer->stop();
    _commErrorRaised = true;
    emit CommError();
}

bool DeviceWrapper::UpdateFirmware()
{
    qDebug("Firmware update stub");
    return false;
}

QString DeviceWrapper::GetSerialNumber()
{
    const QString serial = _engine ? _engine->GetModuleType()._serialID : QString();
    if (!serial.isEmpty()) {
        QString rest = serial;
        rest.remove(serial.at(0), Qt::CaseSensitive);
        if (!rest.isEmpty())
            return serial;
    }
    if (_serialCache.isEmpty())
        _serialCache = QString("Sn%1").arg(sSerialCounter++);
    return _serialCache;
}

quint32 DeviceWrapper::TypeCodeForModuleType(int moduleType)
{
    if (moduleType >= 1 && moduleType <= 21)
        return quint32(moduleType + 1);
    return kOtherTypeCode;
}

quint32 DeviceWrapper::GetTypeCode()
{
    return TypeCodeForModuleType(_engine ? _engine->GetModuleType()._moduleTypeID : 0);
}

QString DeviceWrapper::GetModuleName()
{
    if (!EngineConnected())
        return tr("Unknown");
    return _engine->GetModuleType()._moduleName;
}

QString DeviceWrapper::GetFirmwareVersion()
{
    if (!EngineConnected())
        return tr("Unknown");
    UByte version[2] = {0, 0};
    if (_engine->ReadDeviceDataImmediate(kStatusInterface, kStatusDevice, kFirmwareVersionAddress, version, 2) != 0)
        return tr("Unknown");
    return QString("%1.%2").arg(unsigned(version[0])).arg(unsigned(version[1]));
}

QString DeviceWrapper::GetReleaseVersion()
{
    if (!EngineConnected() || !_assemblyRecords)
        return tr("Unknown");
    const CVersion release = _assemblyRecords->FindRelease(_engine->GetModuleType());
    if (release.IsNone())
        return tr("Unknown");
    return release.ToText();
}

UByte DeviceWrapper::GetStatusBits(UByte index, UByte mask, UByte shift) const
{
    if (index >= kStatusImageSize || shift >= 8)
        return 0;
    return UByte((_statusImage[index] & mask) >> shift);
}

void DeviceWrapper::StatusTimer()
{
    if (EngineConnected())
        PollStatus();
}

void DeviceWrapper::StartStatusTimer()
{
    _statusTimer->start(kStatusPeriodMs);
}
