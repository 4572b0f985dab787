#include "quastel/quastelwrapper.h"

QuastelWrapper::QuastelWrapper(CCmdEngine* engine, AssemblyRecords* records, CModuleType* moduleRecord,
                               QObject* parent)
    : RoiSlotWrapper(roiscaler::kQuastelModel, engine, records, moduleRecord, new CQuastel(engine, 0, 0), parent)
{
    StartDevice();
}

DeviceWrapper* QuastelWrapper::Make(CCmdEngine* engine, AssemblyRecords* records, CModuleType* moduleRecord,
                                    QObject* parent)
{
    return new QuastelWrapper(engine, records, moduleRecord, parent);
}
