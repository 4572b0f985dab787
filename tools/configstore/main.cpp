// The box's config-0 store: fills config 0's descriptor table with the box's
// parameters and serves it on TCP until SIGTERM or SIGINT. Under the journal
// its lines carry their level.
#include <csignal>
#include <cstdio>
#include <string>

#include "journalstream.h"
#include "paramlink/descriptortable.h"
#include "paramlink/socketserver.h"
#include "stopsignals.h"
#include "toolcli.h"
#include "tovikconfig/tovikconfig.h"

namespace {

const char kProgram[] = "tovik-configstore";
const int kDefaultPort = 43110;
const eConfigID_t kBoxConfig = 0;

std::string Usage()
{
    return std::string("Serves the box's parameters (config 0) to store clients over TCP.\n"
                       "\n"
                       "Usage: ") +
           kProgram +
           " [OPTION]...\n"
           "\n"
           "  -p, --port=N            TCP port to listen on (default " +
           std::to_string(kDefaultPort) +
           ";\n"
           "                          0 lets the system pick one)\n"
           "  -l, --listen=ADDRESS    listen on this numeric IPv4 or IPv6 address only\n"
           "                          (default: every address)\n"
           "  -h, --help              print this text and exit\n"
           "      --version           print the version and exit\n"
           "\n"
           "Runs until SIGTERM or SIGINT. Clients need no authentication: serve on a\n"
           "trusted network only. Exit status: 0 stopped by a signal, 1 the port\n"
           "cannot be served, 2 bad arguments.\n";
}

} // namespace

int main(int argc, char** argv)
{
    using velora::stackline::config::access::SocketServer;
    int port = kDefaultPort;
    std::string address;
    const toolcli::Reading reading = toolcli::ReadCommandLine(
        argc, argv, {{"port", required_argument, nullptr, 'p'}, {"listen", required_argument, nullptr, 'l'}},
        [&port, &address](int key, const char* value, std::string* refusal) {
            if (key == 'l') {
                address = value;
                if (SocketServer::IsListenAddress(address))
                    return true;
                *refusal = std::string("bad listen address '") + value + "' (a numeric IPv4 or IPv6 address)";
                return false;
            }
            if (toolcli::ParsePort(value, &port))
                return true;
            *refusal = std::string("bad port '") + value + "' (0 to 65535)";
            return false;
        },
        nullptr);
    const int concluded = toolcli::Conclude(kProgram, reading, Usage());
    if (concluded >= 0)
        return concluded;

    // Every thread the store starts inherits this mask; main waits for the
    // signals instead.
    const sigset_t stopSignals = toolcli::BlockStopSignals();

    DescriptorTable* table = DescriptorRegistry::GetDescriptorTable(kBoxConfig);
    table->clear();
    if (!tovikconfig::TovikConfig::AddParamDescriptors(table, 1))
        journal::Printf(stderr, journal::kWarning, "configstore: the box table is incomplete (%zu parameters)\n",
                        table->size());

    {
        SocketServer server(port);
        if (!address.empty())
            server.SetListenAddress(address);
        if (!server.Initialize() || !server.Start()) {
            journal::Printf(stderr, journal::kError, "configstore: cannot serve on port %d\n", port);
            return 1;
        }
        journal::Printf(stdout, journal::kInfo, "configstore: serving config 0 on port %d\n", server.GetPort());

        int signal = 0;
        sigwait(&stopSignals, &signal);
        journal::Printf(stdout, journal::kInfo, "configstore: stopping on signal %d\n", signal);
    }
    return 0;
}
