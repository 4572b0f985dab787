#include "devicefactory.h"

#include <QDebug>
#include <QString>

#include "catalog/assemblyrecords.h"
#include "catalog/cmoduletype.h"
#include "connectresult.h"
#include "devicewrapper.h"
#include "engine/ccmdengine.h"
#include "myerrorreportif.h"
#include "platform/linif.h"
#include "serial/cserialif.h"

namespace {

// Shared by every search and kept for the life of the process.
LinIF* sPlatform = nullptr;
MyErrorReportIF* sErrorReport = nullptr;

// The wrapper of a converter's model, or null for a model that has none.
// The wrapper takes the engine, the records and the module record.
DeviceWrapper* BuildWrapper(int moduleType, CCmdEngine* engine, AssemblyRecords* records,
                            CModuleType* moduleRecord, QObject* parent)
{
    (void)engine;
    (void)records;
    (void)moduleRecord;
    (void)parent;
    switch (moduleType) {
    // The ROI scaler wrappers go here:
    //   case 5:  return new HestraWrapper(engine, records, moduleRecord, parent);
    //   case 14: return new MardexWrapper(engine, records, moduleRecord, parent);
    //   case 18: return new PendroWrapper(engine, records, moduleRecord, parent);
    //   case 19: return new QuastelWrapper(engine, records, moduleRecord, parent);
    default:
        return nullptr;
    }
}

}

DeviceWrapper* CreateDeviceWrapper(quint32* connectionStatus, QObject* parent)
{
    if (!sPlatform) {
        sPlatform = new LinIF(parent);
        sErrorReport = new MyErrorReportIF;
    }

    CSerialIF* port = sPlatform->CreateSerialIF();
    port->EnumeratePorts();
    const int portCount = port->GetPortCount();

    AssemblyRecords* records = new AssemblyRecords;
    CModuleType* moduleRecord = new CModuleType;
    CCmdEngine* engine = new CCmdEngine(port, sErrorReport, sPlatform, 0, nullptr);

    for (int i = 0; i < portCount; ++i) {
        port->Open(i);
        if (!port->IsOpen())
            continue;

        const int result = engine->Open(QString());
        if (connectionStatus)
            *connectionStatus = ConnectResult::ConnectionStatusFor(result);

        if (ConnectResult::IsFatal(result)) {
            port->Close();
            qWarning() << QString("Fatal Connect result: %1").arg(result);
            delete records;
            delete moduleRecord;
            engine->CloseLink();
            delete engine;
            return nullptr;
        }
        if (result != 0)
            qWarning() << QString("Non-Fatal Connect result: %1").arg(result);

        DeviceWrapper* wrapper =
            BuildWrapper(engine->GetModuleType()._moduleTypeID, engine, records, moduleRecord, parent);
        if (wrapper)
            return wrapper;
        engine->CloseLink();
    }

    delete records;
    delete moduleRecord;
    delete engine;
    return nullptr;
}
