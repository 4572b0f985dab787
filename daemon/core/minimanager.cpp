#include "minimanager.h"

#include <QDebug>
#include <QTimer>

#include <unistd.h>

#include "configserver.h"
#include "configwrapper.h"
#include "paramlink/descriptortable.h"
#include "base/quoteddebug.h"
#include "tovikconfig/paramdescriptor.h"
#include "tovikconfig/tovikconfig.h"
#include "wrappersource.h"
#include "zirudodorav.h"

namespace {

// Ids of the device-slot parameters in config 0, by slot; resolved once
// for the process. Unresolved entries stay 0.
struct SlotParamIds {
    QVector<quint32> type;
    QVector<quint32> serial;
    QVector<quint32> name;
    QVector<quint32> status;
    bool resolved = false;
};

SlotParamIds sIds;

const eConfigID_t kBoxConfigId = 0;
const tovikconfig::ViveRode_t kBoxModelNumber = 1;
const char kDeviceCountName[] = "eParamID_DeviceCount";

}

MiniManager::MiniManager(CAppIF* platform, WrapperSource* source, QObject* parent)
    : QObject(parent), _scanner(platform, this), _source(source), _handlers(kSlotCount, nullptr),
      _mainCfg(nullptr), _server(nullptr), _probeTimer(new QTimer(this))
{
    _probeTimer->setSingleShot(true);
    connect(_probeTimer, &QTimer::timeout, this, &MiniManager::ScanMinis);
    Lumo::registerTimeStampMetaType();
    _server = new ConfigServer(this);
    if (!_server->IsRunning()) {
        // A second daemon would take the first one's store values and ports.
        qWarning("Cannot serve the converters' configs on port %d; is another Portvane running? Stopping.",
                 ConfigServer::kPort);
        return;
    }

    DescriptorTable* table = DescriptorRegistry::GetDescriptorTable(kBoxConfigId);
    table->clear();
    tovikconfig::TovikConfig::AddParamDescriptors(table, kBoxModelNumber);

    _mainCfg = new ConfigWrapper(kBoxConfigId, this);
    if (!_mainCfg->Connect())
        qDebug("Error connecting to main config");

    InitDeviceParamIds();
    InitMiniCount();

    connect(&_scanner, &MiniScanner::DeviceAddedSignal, this, &MiniManager::DeviceAdded);
    ScanMinis();
}

MiniManager::~MiniManager()
{
    // Handlers going now must not touch the slots of a manager half gone.
    for (ZiruDodorav* handler : _handlers)
        if (handler)
            disconnect(handler, nullptr, this, nullptr);
}

bool MiniManager::IsServing() const
{
    return _server && _server->IsRunning();
}

ZiruDodorav* MiniManager::HandlerAt(int slot) const
{
    return slot >= 0 && slot < _handlers.size() ? _handlers.at(slot) : nullptr;
}

void MiniManager::InitDeviceParamIds()
{
    if (sIds.resolved || !_mainCfg)
        return;
    struct Pass {
        const char* format;
        QVector<quint32>* ids;
    };
    const Pass passes[] = {
        {"eParamID_Device_%1_Type", &sIds.type},
        {"eParamID_Device_%1_SN", &sIds.serial},
        {"eParamID_Device_%1_Name", &sIds.name},
        {"eParamID_Device_%1_CxnStatus", &sIds.status},
    };
    for (const Pass& pass : passes) {
        *pass.ids = QVector<quint32>(kSlotCount, 0);
        for (int d = 1; d <= kSlotCount; ++d) {
            const QString name = QString(pass.format).arg(d);
            ParamDescriptor* descriptor = _mainCfg->GetParamDescriptor(name);
            if (descriptor)
                (*pass.ids)[d - 1] = quint32(descriptor->GetParamID());
            else
                DebugQuoted(QString("Not found param: %1").arg(name));
        }
    }
    sIds.resolved = true;
}

quint32 MiniManager::DeviceCountId()
{
    ParamDescriptor* descriptor = _mainCfg->GetParamDescriptor(QString(kDeviceCountName));
    if (!descriptor) {
        DebugQuoted(QString("Not found param: %1").arg(kDeviceCountName));
        return 0;
    }
    return quint32(descriptor->GetParamID());
}

void MiniManager::PublishFreeSlot(int slot)
{
    _mainCfg->SetParamValue(sIds.type.value(slot), 0u);
    _mainCfg->SetParamValue(sIds.serial.value(slot), QString(""));
    _mainCfg->SetParamValue(sIds.name.value(slot), QString(""));
    _mainCfg->SetParamValue(sIds.status.value(slot), kFreeSlotStatus);
}

void MiniManager::InitMiniCount()
{
    if (!_mainCfg)
        return;
    const quint32 countId = DeviceCountId();
    if (countId) {
        _mainCfg->SetParamValue(countId, 0u);
        WarnQuoted(QString("Rozo deviceCount initialized to 0."));
    }
    for (int slot = 0; slot < kSlotCount; ++slot) {
        _mainCfg->SetParamValue(sIds.name.value(slot), QString(""));
        _mainCfg->SetParamValue(sIds.serial.value(slot), QString(""));
        _mainCfg->SetParamValue(sIds.type.value(slot), 0u);
        _mainCfg->SetParamValue(sIds.status.value(slot), kFreeSlotStatus);
    }
}

void MiniManager::AdjustMiniCount(int delta)
{
    if (!_mainCfg) {
        static const char text[] = "AdjustMiniCount(): _mainCfg == NULL!\n";
        ssize_t written = ::write(STDERR_FILENO, text, sizeof text - 1);
        (void)written;
        return;
    }
    const quint32 countId = DeviceCountId();
    if (!countId)
        return;
    int count = 0;
    _mainCfg->GetParamValue(countId, count);
    count += delta;
    _mainCfg->SetParamValue(countId, quint32(count));
    WarnQuoted(QString("Rozo deviceCount %1").arg(quint32(count)));
}

int MiniManager::SlotOf(QObject* handler) const
{
    for (int i = 0; i < _handlers.size(); ++i)
        if (static_cast<QObject*>(_handlers.at(i)) == handler)
            return i;
    return -1;
}

bool MiniManager::HasFreeSlot() const
{
    return _handlers.contains(nullptr);
}

void MiniManager::ScheduleProbe()
{
    const qint64 delay = _source && HasFreeSlot() ? _source->NextProbeDelayMs() : -1;
    if (delay < 0)
        _probeTimer->stop();
    else
        _probeTimer->start(int(qMin<qint64>(delay, 24 * 3600 * 1000)));
}

void MiniManager::DeviceAdded()
{
    if (_source)
        _source->PortsChanged();
    ScanMinis();
}

void MiniManager::ScanMinis()
{
    if (!_mainCfg)
        return;
    for (int i = 0; i < _handlers.size(); ++i) {
        if (_handlers.at(i)) {
            DebugQuoted(QString("Slot %1 occupied").arg(i));
            continue;
        }
        ZiruDodorav* handler = _source ? ZiruDodorav::Create(*_source, i + 1, this) : nullptr;
        if (!handler) {
            DebugQuoted(QString("No mini found for pos %1").arg(i));
            ScheduleProbe();
            return;
        }
        _mainCfg->SetParamValue(sIds.name.value(i), handler->GetModuleName());
        _mainCfg->SetParamValue(sIds.serial.value(i), handler->GetSerialNumber());
        _mainCfg->SetParamValue(sIds.type.value(i), handler->GetTypeCode());
        _mainCfg->SetParamValue(sIds.status.value(i), handler->GetConnectionStatus());
        AdjustMiniCount(+1);
        _handlers[i] = handler;
        connect(handler, &QObject::destroyed, this, &MiniManager::MiniLeft);
        connect(handler, &ZiruDodorav::DeviceNameChange, this, &MiniManager::DeviceNameChanged);
        WarnQuoted(QString("Rozo %1 added with config id %2").arg(i).arg(i + 1));
    }
    ScheduleProbe();
}

void MiniManager::MiniLeft(QObject* handler)
{
    const int slot = SlotOf(handler);
    if (slot < 0) {
        qWarning("Strange: Handler disappeared that wasn't in the list!");
        return;
    }
    PublishFreeSlot(slot);
    AdjustMiniCount(-1);
    _handlers[slot] = nullptr;
    WarnQuoted(QString("Rozo %1 (configid %2) left").arg(slot).arg(slot + 1));
    ScheduleProbe();
}

void MiniManager::DeviceNameChanged(QObject* handler)
{
    const int slot = SlotOf(handler);
    if (slot < 0)
        return;
    ZiruDodorav* h = _handlers.at(slot);
    _mainCfg->SetParamValue(sIds.name.value(slot), h->GetModuleName());
}
