#include "jastel/jastelwrapper.h"

#include <cstring>

#include "wrappersupport/debugline.h"
#include "wrappersupport/modeldescriptors.h"
#include "engine/ccmdengine.h"
#include "jastel/cjastel.h"
#include "jastel/jastelparams.h"
#include "tovikconfig/models/jastelparamids.h"

using namespace tovikconfig::jastel;

namespace {

const UByte kInterface = 1;
const UByte kDevice = 0;
// Bytes of the stored name read per command.
const int kNameChunk = 32;

const char* const kSlotEmpty = "Slot Empty";
// File kinds 0 to 3 of a sector's type byte (bits 1-3); 4 to 7: no table.
const char* const kExtensions[] = {"cube", "3dl", "lut", "txt"};

// 0, 1, 2 stay, every other SDI source is 3; the channel source adds 1.
uint AudioSourceCode(int sdiSource, int channelSource)
{
    const int s = sdiSource >= 0 && sdiSource <= 2 ? sdiSource : 3;
    return uint(2 * s + (channelSource != 0 ? 1 : 0));
}

} // namespace

JastelWrapper::JastelWrapper(CCmdEngine* engine, AssemblyRecords* records, CModuleType* moduleRecord,
                             QObject* parent)
    : DeviceWrapper(engine, records, moduleRecord, parent)
{
    std::memset(_refreshSlotName, 0, sizeof _refreshSlotName);
    _configBlock = new CJastel(_engine, 0, 0);
    StartDevice();
}

CJastel* JastelWrapper::Block() const
{
    return static_cast<CJastel*>(_configBlock);
}

void JastelWrapper::InitDeviceDescriptors(int configId)
{
    FillModelDescriptors(configId, kModelNumber);
}

void JastelWrapper::InitDevice()
{
    for (bool& refresh : _refreshSlotName)
        refresh = true;
}

void JastelWrapper::DisconnectDevice()
{
    StopDevice();
}

void JastelWrapper::UpdateDevice()
{
    if (!EngineConnected() || !_connected || _busy)
        return;
    _state.insert(eParamID_FpgaVersion, QVariant(GetFirmwareVersion()));
    _state.insert(eParamID_DuviRuravodIvoduri, QVariant(GetReleaseVersion()));
    _state.insert(eParamID_VoruZevezoZerazi, QVariant(GetSerialNumber()));

    const CJastel& block = *Block();
    for (const JastelParam& param : JastelParams()) {
        switch (param.binding) {
        case JastelParam::Field:
        case JastelParam::AudioOffset:
            _state.insert(param.id, QVariant(uint(block.Field(param.field))));
            break;
        case JastelParam::AudioSource:
            _state.insert(param.id, QVariant(AudioSourceCode(block.Field(JastelField::_inputAudioSDISource),
                                                             block.Field(JastelField::_inputAudioChannelSource))));
            break;
        case JastelParam::SlotName:
            if (_refreshSlotName[param.sector]) {
                _state.insert(param.id, QVariant(GetLutSlotName(param.sector)));
                _refreshSlotName[param.sector] = false;
            }
            break;
        }
    }
}

void JastelWrapper::WriteBlock()
{
    if (_engine)
        _engine->WriteConfigBlock(_configBlock->FPGAID(), _configBlock->BlockID());
}

void JastelWrapper::SetParam(quint32 id, const QVariant& value, const LumoTimeStamp&)
{
    const JastelParam* param = FindJastelParam(id);
    if (!param) {
        DebugLine() << "Not a valid param - " << id;
    } else {
        CJastel& block = *Block();
        switch (param->binding) {
        case JastelParam::Field:
            block.SetField(param->field, int(value.toUInt()));
            WriteBlock();
            break;
        case JastelParam::AudioOffset:
            block.SetField(param->field, value.toInt() & 0xFF);
            WriteBlock();
            break;
        case JastelParam::AudioSource:
            block.SetField(JastelField::_inputAudioSDISource, 0);
            WriteBlock();
            block.SetField(JastelField::_inputAudioChannelSource, int(value.toUInt()));
            WriteBlock();
            break;
        case JastelParam::SlotName:
            UploadLutTableSingleThread(value.toString(), param->sector);
            break;
        }
    }
    ReadDeviceConfig();
}

QString JastelWrapper::GetLutSlotName(int sector)
{
    QString name;
    return ReadLutSlotName(sector, name) ? name : QString(QLatin1String(kSlotEmpty));
}

bool JastelWrapper::ReadLutSlotName(int sector, QString& name)
{
    if (!EngineConnected() || sector < 0 || sector >= kLutSectorCount)
        return false;
    const ULWord base = kFirstLutSector + kLutSectorBytes * ULWord(sector);
    UByte type = 0;
    if (_engine->ReadRegister(kInterface, kDevice, base, &type) != 0)
        return false;
    const int kind = type >> 1 & 0x07;
    if (kind >= int(sizeof kExtensions / sizeof kExtensions[0])) {
        name = QLatin1String(kSlotEmpty);
        return true;
    }
    UByte length = 0;
    if (_engine->ReadRegister(kInterface, kDevice, base + 1, &length) != 0)
        return false;
    QByteArray stored;
    for (int at = 0; at < length; at += kNameChunk) {
        const int count = qMin(kNameChunk, length - at);
        UByte chunk[kNameChunk];
        if (_engine->ReadDeviceDataImmediate(kInterface, kDevice, base + 2 + ULWord(at), chunk, UByte(count)) != 0)
            return false;
        stored.append(reinterpret_cast<const char*>(chunk), count);
    }
    const int end = stored.indexOf('\0');
    name = QStringLiteral("%1.%2").arg(QString::fromLatin1(end < 0 ? stored : stored.left(end)),
                                      QLatin1String(kExtensions[kind]));
    return true;
}
