#include "hestra/hestrawrapper.h"

HestraWrapper::HestraWrapper(CCmdEngine* engine, AssemblyRecords* records, CModuleType* moduleRecord,
                             QObject* parent)
    : RoiScalerWrapper(roiscaler::kHestraModel, engine, records, moduleRecord, new CHestra(engine, 0, 0), parent)
{
    StartDevice();
}

DeviceWrapper* HestraWrapper::Make(CCmdEngine* engine, AssemblyRecords* records, CModuleType* moduleRecord,
                                   QObject* parent)
{
    return new HestraWrapper(engine, records, moduleRecord, parent);
}
