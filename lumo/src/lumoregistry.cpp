// The library-wide engine factory registries.
#include "lumo/lumo.h"

#include <QGlobalStatic>
#include <QList>
#include <QMutex>
#include <QMutexLocker>
#include <QVariant>

#include "lumo/lumoplaylist.h"
#include "lumo/lumoplaylistengine.h"
#include "lumo/lumostreamengine.h"
#include "lumo/lumovideodevicefactory.h"

namespace {

struct Registry {
    QMutex lock; // one non-recursive lock for both lists
    QList<LumoVideoDeviceFactory*> videoDeviceFactories;
    QList<LumoStreamFactory*> streamFactories;
};

Q_GLOBAL_STATIC(Registry, gRegistry)

} // namespace

LumoVideoDeviceFactory::LumoVideoDeviceFactory() = default;

LumoVideoDeviceFactory::~LumoVideoDeviceFactory() = default;

void Lumo::installVideoDeviceFactory(LumoVideoDeviceFactory* factory)
{
    QMutexLocker lock(&gRegistry->lock);
    gRegistry->videoDeviceFactories.append(factory);
}

void Lumo::removeVideoDeviceFactory(LumoVideoDeviceFactory* factory)
{
    QMutexLocker lock(&gRegistry->lock);
    gRegistry->videoDeviceFactories.removeAll(factory);
}

void Lumo::installStreamFactory(LumoStreamFactory* factory)
{
    QMutexLocker lock(&gRegistry->lock);
    gRegistry->streamFactories.append(factory);
}

void Lumo::removeStreamFactory(LumoStreamFactory* factory)
{
    QMutexLocker lock(&gRegistry->lock);
    gRegistry->streamFactories.removeAll(factory);
}

LumoVideoDeviceEngine* lumoVideoDeviceEngineCreate(QString const& name)
{
    QMutexLocker lock(&gRegistry->lock);
    for (LumoVideoDeviceFactory* factory : gRegistry->videoDeviceFactories) {
        if (factory->accepts(name))
            return factory->create(name);
    }
    return nullptr;
}

LumoStreamEngine* lumoStreamEngineCreate(LumoId const& type)
{
    QMutexLocker lock(&gRegistry->lock);
    for (LumoStreamFactory* factory : gRegistry->streamFactories) {
        if (factory->accepts(type))
            return factory->create(type, nullptr);
    }
    return nullptr;
}

LumoStreamEngine* lumoStreamEngineCreateForDesc(QVariant const& desc, QObject* parent)
{
    static const int playListType = qRegisterMetaType<LumoPlayList>("LumoPlayList");
    if (desc.userType() == playListType)
        return new LumoPlayListEngine(parent);
    QMutexLocker lock(&gRegistry->lock);
    for (LumoStreamFactory* factory : gRegistry->streamFactories) {
        const LumoId hint = factory->descHint(desc);
        if (int(hint) != 0)
            return factory->create(hint, parent);
    }
    return nullptr;
}
