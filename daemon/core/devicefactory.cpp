#include "devicefactory.h"

#include <QDebug>
#include <QString>

#include "catalog/assemblyrecords.h"
#include "catalog/cmoduletype.h"
#include "connectresult.h"
#include "devicewrapper.h"
#include "engine/ccmdengine.h"
#include "modeldirectory.h"
#include "platform/cappif.h"
#include "quoteddebug.h"
#include "serial/cserialif.h"

ModelDirectory::~ModelDirectory() = default;

WrapperSource::~WrapperSource() = default;

DeviceFactory::DeviceFactory(CAppIF* platform, CErrorReportIF* errorReport, const ModelDirectory* models)
    : _platform(platform), _errorReport(errorReport), _models(models)
{
}

DeviceWrapper* DeviceFactory::CreateDeviceWrapper(quint32* connectionStatus, QObject* parent)
{
    CSerialIF* port = _platform->CreateSerialIF();
    port->EnumeratePorts();
    const int portCount = port->GetPortCount();

    AssemblyRecords* records = new AssemblyRecords;
    CModuleType* moduleRecord = new CModuleType;
    CCmdEngine* engine = new CCmdEngine(port, _errorReport, _platform, 0, nullptr);

    for (int i = 0; i < portCount; ++i) {
        port->Open(i);
        if (!port->IsOpen())
            continue;

        const int result = engine->Open(QString());
        if (connectionStatus)
            *connectionStatus = ConnectResult::ConnectionStatusFor(result);

        if (ConnectResult::IsFatal(result)) {
            port->Close();
            WarnQuoted(QString("Fatal Connect result: %1").arg(result));
            delete records;
            delete moduleRecord;
            engine->CloseLink();
            delete engine;
            return nullptr;
        }
        if (result != 0)
            WarnQuoted(QString("Non-Fatal Connect result: %1").arg(result));

        const WrapperMaker make = _models ? _models->WrapperFor(engine->GetModuleType()._moduleTypeID) : nullptr;
        if (make)
            return make(engine, records, moduleRecord, parent);
        engine->CloseLink();
    }

    delete records;
    delete moduleRecord;
    delete engine;
    return nullptr;
}
