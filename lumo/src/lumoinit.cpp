// Library start-up.
#include "lumo/lumo.h"

#include "lumo_p.h"

#include <atomic>

#include "lumo/lumoalarm.h"
#include "lumo/lumoframe.h"
#include "lumo/lumoid.h"
#include "lumo/lumoimagelut.h"
#include "lumo/lumolog.h"
#include "lumo/lumomemorypool.h"
#include "lumo/lumoplaylist.h"
#include "lumo/lumoplugininterface.h"
#include "lumo/lumostreamengine.h"
#include "lumo/lumotimecode.h"
#include "lumo/lumotimestamp.h"
#include "lumo/lumovideodevicetypes.h"
#include "lumo/lumovideostate.h"

namespace {

std::atomic<bool> gStarted{false};
int gStartFlags = 0;
// Never destroyed: initialised plug-ins stay loaded until the process ends.
LumoPluginInterface* gPlugins = nullptr;

// The values that cross threads in queued signals. A type registered
// before keeps its id.
void registerMetaTypes()
{
    qRegisterMetaType<LumoError>("LumoError");
    qRegisterMetaType<LumoFrame>("LumoFrame");
    Lumo::registerTimeStampMetaType();
    qRegisterMetaType<LumoId>("LumoId");
    qRegisterMetaType<LumoVideoState>("LumoVideoState");
    qRegisterMetaType<LumoVideoDeviceSetup>("LumoVideoDeviceSetup");
    qRegisterMetaType<LumoTimecode>("LumoTimecode");
    qRegisterMetaType<LumoImageLut>("LumoImageLut");
    qRegisterMetaType<LumoVbiInfo>("LumoVbiInfo");
    qRegisterMetaType<LumoPlayList>("LumoPlayList");
    qRegisterMetaType<LumoPlayListIndex>("LumoPlayListIndex");
    qRegisterMetaType<LumoStreamInfo>("LumoStreamInfo");
    qRegisterMetaType<LumoMetadataHash>("LumoMetadataHash");
    qRegisterMetaType<LumoAlarm>("LumoAlarm");
    qRegisterMetaType<LumoVideoRefState>("LumoVideoRefState");
}

} // namespace

void Lumo::init(int flags)
{
    if (gStarted.exchange(true))
        return;
    gStartFlags = flags;
    if (flags & StartWithPool)
        setPool(new LumoMemoryPool(512, 0));
    LumoId::registerBuiltins();
    registerMetaTypes();
    if (!(flags & StartNoPlugins)) {
        gPlugins = new LumoPluginInterface(1, QStringLiteral("${ORIGIN}/../lib/plugins/liblumo"));
        gPlugins->init();
    }
    lumoLogOutput(3, QStringLiteral("lumo"), __LINE__, "liblumo: %s, flags: 0x%08X\n",
                  buildSignature().toLocal8Bit().constData(), unsigned(flags));
}
