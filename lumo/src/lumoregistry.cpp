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

// Appends without a check: a factory installed twice stands twice.
template <typename Factory>
void install(QList<Factory*> Registry::*list, Factory* factory)
{
    QMutexLocker lock(&gRegistry->lock);
    (*gRegistry.*list).append(factory);
}

// Takes out every occurrence.
template <typename Factory>
void remove(QList<Factory*> Registry::*list, Factory* factory)
{
    QMutexLocker lock(&gRegistry->lock);
    (*gRegistry.*list).removeAll(factory);
}

} // namespace

LumoVideoDeviceFactory::LumoVideoDeviceFactory() = default;

LumoVideoDeviceFactory::~LumoVideoDeviceFactory() = default;

void Lumo::installVideoDeviceFactory(LumoVideoDeviceFactory* factory)
{
    install(&Registry::videoDeviceFactories, factory);
}

void Lumo::removeVideoDeviceFactory(LumoVideoDeviceFactory* factory)
{
    remove(&Registry::videoDeviceFactories, factory);
}

void Lumo::installStreamFactory(LumoStreamFactory* factory)
{
    install(&Registry::streamFactories, factory);
}

void Lumo::removeStreamFactory(LumoStreamFactory* factory)
{
    remove(&Registry::streamFactories, factory);
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
