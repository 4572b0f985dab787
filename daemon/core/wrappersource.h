// Finds the next converter and builds its device wrapper: the device
// factory in the daemon, a script in tests.
#ifndef PORTVANE_WRAPPERSOURCE_H
#define PORTVANE_WRAPPERSOURCE_H

#include <QtGlobal>

class DeviceWrapper;
class QObject;

class WrapperSource {
public:
    virtual ~WrapperSource();
    // A new wrapper, or null. Once a port could be opened, *connectionStatus
    // holds the code of the last identification result.
    virtual DeviceWrapper* CreateDeviceWrapper(quint32* connectionStatus, QObject* parent) = 0;
    // Hot-plug: something came or went, every port is worth a look again.
    virtual void PortsChanged();
    // Milliseconds until a port whose converter failed is due for another
    // look (0: now); -1 when none waits.
    virtual qint64 NextProbeDelayMs();
};

#endif
