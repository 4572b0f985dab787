// A plug-in for the plug-in tests, shaped by its build definitions:
//   PLUGIN_NAME         the reported name (may be empty)
//   PLUGIN_VERSION      the reported interface version
//   PLUGIN_INIT_RESULT  what the init entry returns
//   PLUGIN_REQUIRES     blank-separated names of required plug-ins
//   PLUGIN_REQUIRED_NULL  the required entry returns a null list
//   PLUGIN_NO_INIT      no init entry
//   PLUGIN_FACTORY      a video device engine name: init installs a
//                       factory that makes engines of it
// The init entry logs "init <name>", so tests see the order of the
// entries among the loader's own lines.
#include <cstring>

#include <QString>

#include "lumo/lumo.h"
#include "lumo/lumolog.h"
#include "lumo/lumovideodevice.h"

#define PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

#ifdef PLUGIN_FACTORY
class ProbeFactory : public LumoVideoDeviceFactory {
public:
    bool accepts(QString const& name) override { return name == QLatin1String(PLUGIN_FACTORY); }
    LumoVideoDeviceEngine* create(QString const&) override { return new LumoVideoDeviceEngine(nullptr); }
};

ProbeFactory gFactory;
#endif

} // namespace

PLUGIN_EXPORT char const* __lumoplugin_name()
{
    return PLUGIN_NAME;
}

PLUGIN_EXPORT int __lumoplugin_version()
{
    return PLUGIN_VERSION;
}

#ifndef PLUGIN_NO_INIT
PLUGIN_EXPORT int __lumoplugin_init()
{
    lumoLogOutput(3, QString::fromLatin1("testplugin"), __LINE__, "init %s\n", PLUGIN_NAME);
#ifdef PLUGIN_FACTORY
    Lumo::installVideoDeviceFactory(&gFactory);
#endif
    return PLUGIN_INIT_RESULT;
}
#endif

#if defined(PLUGIN_REQUIRED_NULL)
PLUGIN_EXPORT char const* const* __lumoplugin_required()
{
    return nullptr;
}
#elif defined(PLUGIN_REQUIRES)
PLUGIN_EXPORT char const* const* __lumoplugin_required()
{
    static char names[] = PLUGIN_REQUIRES;
    static char const* list[8] = {};
    if (!list[0]) {
        int count = 0;
        for (char* word = strtok(names, " "); word && count < 7; word = strtok(nullptr, " "))
            list[count++] = word;
    }
    return list;
}
#endif

PLUGIN_EXPORT void __lumoplugin_cleanup() {}
