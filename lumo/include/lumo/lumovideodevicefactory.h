// The factory interface through which video device engines are made by
// engine name (installed with Lumo::installVideoDeviceFactory).
#ifndef LUMO_LUMOVIDEODEVICEFACTORY_H
#define LUMO_LUMOVIDEODEVICEFACTORY_H

#include <QString>

#include "lumo/lumoglobal.h"

class LumoVideoDeviceEngine;

class LUMO_EXPORT LumoVideoDeviceFactory {
public:
    LumoVideoDeviceFactory();
    virtual ~LumoVideoDeviceFactory();

    // Both run under the registry lock: they must not call back into it.
    virtual bool accepts(QString const& name) = 0;
    // A new engine without a parent, handed to the caller; or null.
    virtual LumoVideoDeviceEngine* create(QString const& name) = 0;
};

#endif
