// Serves the test table as config 1 on the port given (0 picks one) and
// prints "ready PORT clients N" (N the clients it may hold); stops on
// SIGTERM.
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "paramlink/descriptortable.h"
#include "paramlink/socketserver.h"
#include "testtable.h"

int main(int argc, char** argv)
{
    int port = argc > 1 ? std::atoi(argv[1]) : 0;
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGTERM);
    sigaddset(&stop, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);
    storetest::FillTestTable(DescriptorRegistry::GetDescriptorTable(1));
    {
        velora::stackline::config::access::SocketServer server(port);
        if (!server.Initialize() || !server.Start()) {
            std::printf("failed\n");
            std::fflush(stdout);
            return 1;
        }
        std::printf("ready %d clients %d\n", server.GetPort(), server.GetMaxClients());
        std::fflush(stdout);
        int sig = 0;
        sigwait(&stop, &sig);
    }
    return 0;
}
