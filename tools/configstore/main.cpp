// The box's config-0 store: fills config 0's descriptor table with the box's
// parameters and serves it on TCP until SIGTERM or SIGINT.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "paramlink/descriptortable.h"
#include "paramlink/socketserver.h"
#include "tovikconfig/tovikconfig.h"

namespace {

const int kDefaultPort = 43110;
const eConfigID_t kBoxConfig = 0;

void usage()
{
    std::fprintf(stderr, "usage: tovik-configstore [--port N]\n");
}

bool parsePort(const char* text, int& port)
{
    char* end = nullptr;
    long v = std::strtol(text, &end, 10);
    if (!*text || *end || v < 0 || v > 65535)
        return false;
    port = int(v);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    int port = kDefaultPort;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--port") == 0 && i + 1 < argc) {
            if (!parsePort(argv[++i], port)) {
                std::fprintf(stderr, "configstore: bad port \"%s\"\n", argv[i]);
                return 2;
            }
        } else {
            usage();
            return 2;
        }
    }

    // Every thread the store starts inherits this mask; main waits for the
    // signals instead.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    DescriptorTable* table = DescriptorRegistry::GetDescriptorTable(kBoxConfig);
    table->clear();
    if (!tovikconfig::TovikConfig::AddParamDescriptors(table, 1))
        std::fprintf(stderr, "configstore: the box table is incomplete (%zu parameters)\n", table->size());

    {
        velora::stackline::config::access::SocketServer server(port);
        if (!server.Initialize() || !server.Start()) {
            std::fprintf(stderr, "configstore: cannot serve on port %d\n", port);
            return 1;
        }
        std::printf("configstore: serving config 0 on port %d\n", server.GetPort());
        std::fflush(stdout);

        int signal = 0;
        sigwait(&stopSignals, &signal);
        std::printf("configstore: stopping on signal %d\n", signal);
        std::fflush(stdout);
    }
    return 0;
}
