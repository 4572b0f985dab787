// A set of parameter values that a device wrapper hands to the store in one
// go: parameter id to value.
#ifndef PORTVANE_CONFIGDEVICESTATE_H
#define PORTVANE_CONFIGDEVICESTATE_H

#include <QHash>
#include <QMetaType>
#include <QVariant>

typedef QHash<quint32, QVariant> ConfigDeviceState_t;

Q_DECLARE_METATYPE(ConfigDeviceState_t)

#endif
