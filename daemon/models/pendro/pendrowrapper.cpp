#include "pendro/pendrowrapper.h"

PendroWrapper::PendroWrapper(CCmdEngine* engine, AssemblyRecords* records, CModuleType* moduleRecord,
                             QObject* parent)
    : RoiSlotWrapper(roiscaler::kPendroModel, engine, records, moduleRecord, new CPendro(engine, 0, 0), parent)
{
    StartDevice();
}

DeviceWrapper* PendroWrapper::Make(CCmdEngine* engine, AssemblyRecords* records, CModuleType* moduleRecord,
                                   QObject* parent)
{
    return new PendroWrapper(engine, records, moduleRecord, parent);
}
