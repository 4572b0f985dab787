// The box's config-0 store: fills config 0's descriptor table with the box's
// parameters and serves it on TCP until SIGTERM or SIGINT.
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "paramlink/descriptortable.h"
#include "paramlink/socketserver.h"
#include "toolcli.h"
#include "tovikconfig/tovikconfig.h"

namespace {

const char kProgram[] = "tovik-configstore";
const int kDefaultPort = 43110;
const eConfigID_t kBoxConfig = 0;

void PrintUsage()
{
    std::printf("Serves the box's parameters (config 0) to store clients over TCP.\n"
                "\n"
                "Usage: %s [OPTION]...\n"
                "\n"
                "  -p, --port=N   TCP port to listen on, every address (default %d;\n"
                "                 0 lets the system pick one)\n"
                "  -h, --help     print this text and exit\n"
                "      --version  print the version and exit\n"
                "\n"
                "Runs until SIGTERM or SIGINT. Clients need no authentication: serve on a\n"
                "trusted network only. Exit status: 0 stopped by a signal, 1 the port\n"
                "cannot be served, 2 bad arguments.\n",
                kProgram, kDefaultPort);
}

} // namespace

int main(int argc, char** argv)
{
    int port = kDefaultPort;
    bool help = false;
    bool version = false;
    const std::vector<option> options = {toolcli::HelpOption(), toolcli::VersionOption(),
                                         {"port", required_argument, nullptr, 'p'}};
    std::string error;
    const bool parsed = toolcli::ParseOptions(
        std::vector<std::string>(argv + 1, argv + argc), options,
        [&](int key, const char* value, std::string* refusal) {
            if (key == toolcli::kHelpKey)
                help = true;
            else if (key == toolcli::kVersionKey)
                version = true;
            else if (!toolcli::ParsePort(value, &port)) {
                *refusal = std::string("bad port '") + value + "' (0 to 65535)";
                return false;
            }
            return true;
        },
        nullptr, &error);
    if (!parsed)
        return toolcli::UsageError(kProgram, error);
    if (help) {
        PrintUsage();
        return 0;
    }
    if (version) {
        std::printf("%s\n", toolcli::VersionLine(kProgram).c_str());
        return 0;
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
