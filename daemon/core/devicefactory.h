// Finds a converter on the USB serial ports, identifies it and builds the
// device wrapper of its model.
#ifndef PORTVANE_DEVICEFACTORY_H
#define PORTVANE_DEVICEFACTORY_H

#include <QtGlobal>

class DeviceWrapper;
class QObject;

// A new wrapper, or null. Once a port could be opened, *connectionStatus
// holds the code of the last identification result.
DeviceWrapper* CreateDeviceWrapper(quint32* connectionStatus, QObject* parent);

#endif
