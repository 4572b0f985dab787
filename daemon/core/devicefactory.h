// Finds a converter on the USB serial ports, identifies it and builds the
// device wrapper of its model through the model directory.
#ifndef PORTVANE_DEVICEFACTORY_H
#define PORTVANE_DEVICEFACTORY_H

#include "wrappersource.h"

class CAppIF;
class CErrorReportIF;
class ModelDirectory;

class DeviceFactory : public WrapperSource {
public:
    // Every engine the factory makes uses the platform and the error sink;
    // all three outlive the factory's wrappers.
    DeviceFactory(CAppIF* platform, CErrorReportIF* errorReport, const ModelDirectory* models);

    DeviceWrapper* CreateDeviceWrapper(quint32* connectionStatus, QObject* parent) override;

private:
    CAppIF* _platform;
    CErrorReportIF* _errorReport;
    const ModelDirectory* _models;
};

#endif
