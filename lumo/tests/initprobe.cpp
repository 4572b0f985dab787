// Starts the library with the flags given as arguments, one Lumo::init call
// per argument, and prints what start-up left behind, one fact a line:
//   before <id of "LumoVbiInfo" before start-up>
//   pool <0|1>, aligned <0|1>
//   type <name> <meta-type id>      for the fifteen types, in order
//   builtin <name of id 1050>
//   engine <0|1>                     whether a plug-in's factory makes "probe-engine"
//   log <message>                    every log line, in order
// It lives in a bin/ folder with its plug-ins in ../lib/plugins/liblumo.
#include <cstdio>
#include <cstdlib>

#include <QCoreApplication>
#include <QMetaType>

#include "logcapture.h"
#include "lumo/lumo.h"
#include "lumo/lumoid.h"
#include "lumo/lumolog.h"
#include "lumo/lumovideodevice.h"

// The default log's writer thread is stopped by a static destructor; Qt
// frees its thread record only when the ended thread's own clean-up runs,
// which can come after the leak check at exit.
extern "C" char const* __lsan_default_suppressions()
{
    return "leak:QThread::QThread\n";
}

int main(int argc, char** argv)
{
    LogCapture capture;
    QCoreApplication app(argc, argv);
    printf("before %d\n", QMetaType::type("LumoVbiInfo"));
    for (int i = 1; i < argc; ++i)
        Lumo::init(int(strtol(argv[i], nullptr, 0)));

    printf("pool %d\n", Lumo::pool() != nullptr);
    void* block = Lumo::poolAllocate(10000);
    printf("aligned %d\n", block && reinterpret_cast<quintptr>(block) % 4096 == 0);
    Lumo::poolFree(block);
    static char const* const kTypes[] = {
        "LumoError",        "LumoFrame",        "LumoTimeStamp",      "LumoId",         "LumoVideoState",
        "LumoVideoDeviceSetup", "LumoTimecode", "LumoImageLut",       "LumoVbiInfo",    "LumoPlayList",
        "LumoPlayListIndex", "LumoStreamInfo",  "LumoMetadataHash",   "LumoAlarm",      "LumoVideoRefState",
    };
    for (char const* type : kTypes)
        printf("type %s %d\n", type, QMetaType::type(type));
    printf("builtin %s\n", qPrintable(LumoId(1050).name()));
    LumoVideoDeviceEngine* engine = lumoVideoDeviceEngineCreate(QStringLiteral("probe-engine"));
    printf("engine %d\n", engine != nullptr);
    delete engine;

    if (!LogCapture::settle())
        printf("log did not settle\n");
    for (SystemEntry const& e : LogCapture::system())
        if (!e.msg.startsWith("settled "))
            printf("log %s", e.msg.constData());
    return 0;
}
