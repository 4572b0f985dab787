// Finds a converter on the USB serial ports, identifies it and builds the
// device wrapper of its model through the model directory. Between
// searches it remembers each port's outcome: a port whose converter failed
// is tried again only after a growing pause, one whose converter was
// identified only after a hot-plug event, and a bound one not while its
// wrapper holds it.
#ifndef PORTVANE_DEVICEFACTORY_H
#define PORTVANE_DEVICEFACTORY_H

#include <QElapsedTimer>
#include <QHash>
#include <QObject>

#include "probeschedule.h"
#include "wrappersource.h"

class CAppIF;
class CErrorReportIF;
class CSerialIF;
class ModelDirectory;

class DeviceFactory : public WrapperSource {
public:
    // Every engine the factory makes uses the platform and the error sink;
    // all three outlive the factory's wrappers.
    DeviceFactory(CAppIF* platform, CErrorReportIF* errorReport, const ModelDirectory* models);

    DeviceWrapper* CreateDeviceWrapper(quint32* connectionStatus, QObject* parent) override;
    void PortsChanged() override;
    qint64 NextProbeDelayMs() override;

    const ProbeSchedule& Schedule() const { return _schedule; }

private:
    static QString PortKey(const CSerialIF& port, int index);
    void PortFailed(const QString& key);
    void PortSettled(const QString& key);
    // The port is bound until the wrapper goes; its loss of the converter
    // counts as a failure of the port.
    void WatchForLoss(DeviceWrapper* wrapper, const QString& key);

    CAppIF* _platform;
    CErrorReportIF* _errorReport;
    const ModelDirectory* _models;
    ProbeSchedule _schedule;
    // Wrappers alive per port.
    QHash<QString, int> _bound;
    QElapsedTimer _clock;
    // Ends the loss connections when the factory goes.
    QObject _lossWatch;
};

#endif
