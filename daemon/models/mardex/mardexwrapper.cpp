#include "mardex/mardexwrapper.h"

MardexWrapper::MardexWrapper(CCmdEngine* engine, AssemblyRecords* records, CModuleType* moduleRecord,
                             QObject* parent)
    : RoiSlotWrapper(roiscaler::kMardexModel, engine, records, moduleRecord, new CMardex(engine, 0, 0), parent)
{
    StartDevice();
}

DeviceWrapper* MardexWrapper::Make(CCmdEngine* engine, AssemblyRecords* records, CModuleType* moduleRecord,
                                   QObject* parent)
{
    return new MardexWrapper(engine, records, moduleRecord, parent);
}
