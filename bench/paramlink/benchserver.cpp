#include "benchserver.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tovikconfig/integerdescriptor.h"

extern char** environ;

namespace bench {

namespace {

struct ServerProcess {
    pid_t pid = -1;
    int port = 0;

    ~ServerProcess()
    {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }
};

ServerProcess g_server;

} // namespace

void FillTable()
{
    DescriptorTable* table = DescriptorRegistry::GetDescriptorTable(kConfig);
    table->clear();
    auto* d = new IntegerDescriptor;
    d->SetParamID(kParam);
    d->SetParamIDName("eParamID_BenchValue");
    d->SetParamType(eCParam_IntegerValue);
    table->AddDescriptor(d);
    for (int client = 0; client < kClientParams; ++client) {
        auto* c = new IntegerDescriptor;
        c->SetParamID(ClientParam(client));
        c->SetParamIDName("eParamID_BenchClient_" + std::to_string(client));
        c->SetParamType(eCParam_IntegerValue);
        table->AddDescriptor(c);
    }
}

double BenchSeconds()
{
    const char* text = std::getenv("PARAMLINK_BENCH_SECONDS");
    const double seconds = text ? std::atof(text) : 0;
    return seconds > 0 ? seconds : 3.0;
}

int ConnectLoopback(int port)
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a;
    std::memset(&a, 0, sizeof a);
    a.sin_family = AF_INET;
    a.sin_port = htons(std::uint16_t(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        if (fd >= 0)
            close(fd);
        return -1;
    }
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return fd;
}

double ProcessCpuSeconds(pid_t pid)
{
    // Fields 14 and 15 of /proc/PID/stat, in clock ticks; the name in
    // field 2 may hold blanks, so count from its closing parenthesis.
    FILE* f = std::fopen(("/proc/" + std::to_string(pid) + "/stat").c_str(), "r");
    if (!f)
        return 0;
    char line[1024];
    const bool got = std::fgets(line, sizeof line, f) != nullptr;
    std::fclose(f);
    const char* close = got ? std::strrchr(line, ')') : nullptr;
    unsigned long utime = 0, stime = 0;
    if (!close || std::sscanf(close + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &utime, &stime) != 2)
        return 0;
    return double(utime + stime) / double(sysconf(_SC_CLK_TCK));
}

int Serve(int port)
{
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGTERM);
    sigaddset(&stop, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);
    FillTable();
    velora::stackline::config::access::SocketServer server(port);
    if (!server.Initialize() || !server.Start())
        return 1;
    std::printf("ready %d\n", server.GetPort());
    std::fflush(stdout);
    int sig = 0;
    sigwait(&stop, &sig);
    return 0;
}

bool StartServer()
{
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0)
        return false;
    self[n] = '\0';
    int fds[2];
    if (pipe(fds) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    char* argv[] = {self, const_cast<char*>("--serve"), const_cast<char*>("0"), nullptr};
    const int rc = posix_spawn(&g_server.pid, self, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (rc != 0) {
        close(fds[0]);
        return false;
    }
    std::string line;
    char c;
    pollfd p{fds[0], POLLIN, 0};
    while (poll(&p, 1, 5000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
        line.push_back(c);
    close(fds[0]);
    return std::sscanf(line.c_str(), "ready %d", &g_server.port) == 1;
}

int ServerPort() { return g_server.port; }

pid_t ServerPid() { return g_server.pid; }

std::string ServerUrl()
{
    return "socket://127.0.0.1:" + std::to_string(g_server.port) + "/caching=true&configid=" + std::to_string(kConfig);
}

void ReportLatencies(benchmark::State& state, std::vector<double>& latencies, std::int64_t lost)
{
    state.counters["lost"] = double(lost);
    std::sort(latencies.begin(), latencies.end());
    if (!latencies.empty()) {
        state.counters["median_us"] = latencies[latencies.size() / 2];
        state.counters["p99_us"] = latencies[std::min(latencies.size() - 1, latencies.size() * 99 / 100)];
    }
}

double MicrosBetween(std::chrono::steady_clock::time_point start, std::chrono::steady_clock::time_point end)
{
    return double(std::chrono::duration_cast<std::chrono::nanoseconds>(end - start).count()) / 1000.0;
}

} // namespace bench
