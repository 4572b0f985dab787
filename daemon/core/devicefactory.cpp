#include "devicefactory.h"

#include <QDebug>
#include <QString>
#include <QStringList>

#include <memory>

#include "catalog/assemblyrecords.h"
#include "catalog/cmoduletype.h"
#include "connectresult.h"
#include "devicewrapper.h"
#include "engine/ccmdengine.h"
#include "modeldirectory.h"
#include "platform/cappif.h"
#include "base/quoteddebug.h"
#include "serial/cserialif.h"

ModelDirectory::~ModelDirectory() = default;

WrapperSource::~WrapperSource() = default;

void WrapperSource::PortsChanged() {}

qint64 WrapperSource::NextProbeDelayMs()
{
    return -1;
}

DeviceFactory::DeviceFactory(CAppIF* platform, CErrorReportIF* errorReport, const ModelDirectory* models)
    : _platform(platform), _errorReport(errorReport), _models(models)
{
    _clock.start();
}

QString DeviceFactory::PortKey(const CSerialIF& port, int index)
{
    const QString name = port.GetPortName(index);
    return name.isEmpty() ? QStringLiteral("#%1").arg(index) : name;
}

void DeviceFactory::PortFailed(const QString& key)
{
    const qint64 pause = _schedule.Failed(key, _clock.elapsed());
    if (_schedule.Failures(key) == 1)
        qWarning("No converter taken on %s; probing it again in %lld ms, then at growing pauses up to %lld ms",
                 qUtf8Printable(key), static_cast<long long>(pause),
                 static_cast<long long>(ProbeSchedule::kLongestPauseMs));
}

void DeviceFactory::PortSettled(const QString& key)
{
    const int failures = _schedule.Settled(key);
    if (failures > 0)
        qWarning("The converter on %s answers again after %d failed probes", qUtf8Printable(key), failures);
}

void DeviceFactory::WatchForLoss(DeviceWrapper* wrapper, const QString& key)
{
    ++_bound[key];
    // A wrapper may report its loss more than once before it goes.
    auto reported = std::make_shared<bool>(false);
    QObject::connect(wrapper, &DeviceWrapper::CommError, &_lossWatch, [this, key, reported] {
        if (!*reported)
            PortFailed(key);
        *reported = true;
    });
    // Its slot is free again only once it is gone.
    QObject::connect(wrapper, &QObject::destroyed, &_lossWatch, [this, key] {
        if (--_bound[key] <= 0)
            _bound.remove(key);
    });
}

void DeviceFactory::PortsChanged()
{
    // Every port is due again but a held one: it is not looked at anyway,
    // and what its loss scheduled must stay.
    _schedule.KeepOnly(_bound.keys());
}

qint64 DeviceFactory::NextProbeDelayMs()
{
    return _schedule.NextDueIn(_clock.elapsed());
}

DeviceWrapper* DeviceFactory::CreateDeviceWrapper(quint32* connectionStatus, QObject* parent)
{
    CSerialIF* port = _platform->CreateSerialIF();
    port->EnumeratePorts();
    const int portCount = port->GetPortCount();
    QStringList keys;
    for (int i = 0; i < portCount; ++i)
        keys.append(PortKey(*port, i));
    _schedule.KeepOnly(keys);

    AssemblyRecords* records = new AssemblyRecords;
    CModuleType* moduleRecord = new CModuleType;
    CCmdEngine* engine = new CCmdEngine(port, _errorReport, _platform, 0, nullptr);

    for (int i = 0; i < portCount; ++i) {
        const QString& key = keys.at(i);
        // A bound port is not opened again, also when hot-plug says its
        // path leads to a new node: its wrapper notices the loss first.
        if (_bound.contains(key) || !_schedule.IsDue(key, _clock.elapsed()))
            continue;
        port->Open(i);
        if (!port->IsOpen()) {
            PortFailed(key);
            continue;
        }

        const int result = engine->Open(QString());
        if (connectionStatus)
            *connectionStatus = ConnectResult::ConnectionStatusFor(result);

        if (ConnectResult::IsFatal(result)) {
            port->Close();
            WarnQuoted(QString("Fatal Connect result: %1").arg(result));
            PortFailed(key);
            delete records;
            delete moduleRecord;
            engine->CloseLink();
            delete engine;
            return nullptr;
        }
        if (result != 0)
            WarnQuoted(QString("Non-Fatal Connect result: %1").arg(result));

        const WrapperMaker make = _models ? _models->WrapperFor(engine->GetModuleType()._moduleTypeID) : nullptr;
        if (make) {
            DeviceWrapper* wrapper = make(engine, records, moduleRecord, parent);
            if (wrapper->HasCommError()) {
                PortFailed(key);
            } else {
                PortSettled(key);
                WatchForLoss(wrapper, key);
            }
            return wrapper;
        }
        PortSettled(key);
        engine->CloseLink();
    }

    delete records;
    delete moduleRecord;
    delete engine;
    return nullptr;
}
