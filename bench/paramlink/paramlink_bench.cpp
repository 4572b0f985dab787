// Runs itself a second time as the store server ("--serve PORT"), so client
// and server are separate processes as in the field.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "paramlink/paramlink.h"
#include "tovikconfig/integerdescriptor.h"

extern char** environ;

namespace {

const eConfigID_t kConfig = 1;
const eParam_t kParam = eParam_t(0x01000001);

void fillTable()
{
    DescriptorTable* table = DescriptorRegistry::GetDescriptorTable(kConfig);
    table->clear();
    auto* d = new IntegerDescriptor;
    d->SetParamID(kParam);
    d->SetParamIDName("eParamID_BenchValue");
    d->SetParamType(eCParam_IntegerValue);
    table->AddDescriptor(d);
}

int serve(int port)
{
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGTERM);
    sigaddset(&stop, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);
    fillTable();
    velora::stackline::config::access::SocketServer server(port);
    if (!server.Initialize() || !server.Start())
        return 1;
    std::printf("ready %d\n", server.GetPort());
    std::fflush(stdout);
    int sig = 0;
    sigwait(&stop, &sig);
    return 0;
}

// The server process, started once for all benchmarks.
struct Server {
    pid_t pid = -1;
    int port = 0;

    bool start(const char* self)
    {
        int fds[2];
        if (pipe(fds) != 0)
            return false;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        char* argv[] = {const_cast<char*>(self), const_cast<char*>("--serve"), const_cast<char*>("0"), nullptr};
        int rc = posix_spawn(&pid, self, &actions, nullptr, argv, environ);
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
        return std::sscanf(line.c_str(), "ready %d", &port) == 1;
    }
    ~Server()
    {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }
};

Server g_server;

std::string url()
{
    return "socket://127.0.0.1:" + std::to_string(g_server.port) + "/caching=true&configid=" + std::to_string(kConfig);
}

void BM_AcknowledgedIntegerSets(benchmark::State& state)
{
    Config* config = ConfigFactoryImpl::GetInstance()->CreateConfig(url(), "");
    if (!config) {
        state.SkipWithError("no server");
        return;
    }
    int value = 0;
    std::int64_t failed = 0;
    for (auto _ : state) {
        if (!config->SetIntegerValue(kParam, ++value))
            ++failed;
    }
    state.counters["sets_per_s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["failed"] = double(failed);
    ConfigFactoryImpl::GetInstance()->ReleaseConfig(config);
}
BENCHMARK(BM_AcknowledgedIntegerSets)->MinTime(3.0)->UseRealTime();

class ArrivalListener : public ConfigEventListener {
public:
    int IntegerChanged(eParam_t, int value, timeval) override
    {
        arrivedAt.store(std::chrono::steady_clock::now().time_since_epoch().count(), std::memory_order_relaxed);
        lastValue.store(value, std::memory_order_release);
        return 0;
    }
    std::atomic<int> lastValue{0};
    std::atomic<std::int64_t> arrivedAt{0};
};

void BM_SetToEventLatency(benchmark::State& state)
{
    Config* setter = ConfigFactoryImpl::GetInstance()->CreateConfig(url(), "");
    Config* watcher = ConfigFactoryImpl::GetInstance()->CreateConfig(url(), "");
    if (!setter || !watcher) {
        state.SkipWithError("no server");
        return;
    }
    ArrivalListener listener;
    watcher->AddEventListener(&listener);
    std::vector<double> latencies;
    latencies.reserve(200000);
    int value = setter->GetIntegerValue(kParam);
    std::int64_t lost = 0;
    for (auto _ : state) {
        ++value;
        const auto start = std::chrono::steady_clock::now();
        setter->SetIntegerValue(kParam, value);
        const auto deadline = start + std::chrono::seconds(2);
        bool arrivedInTime = true;
        while (listener.lastValue.load(std::memory_order_acquire) != value) {
            if (std::chrono::steady_clock::now() >= deadline) {
                arrivedInTime = false;
                break;
            }
        }
        if (!arrivedInTime) {
            ++lost;
            continue;
        }
        const std::int64_t arrived = listener.arrivedAt.load(std::memory_order_relaxed);
        latencies.push_back(double(arrived - start.time_since_epoch().count()) / 1000.0);
    }
    state.counters["lost"] = double(lost);
    std::sort(latencies.begin(), latencies.end());
    if (!latencies.empty()) {
        state.counters["median_us"] = latencies[latencies.size() / 2];
        state.counters["p99_us"] = latencies[std::min(latencies.size() - 1, latencies.size() * 99 / 100)];
    }
    ConfigFactoryImpl::GetInstance()->ReleaseConfig(watcher);
    ConfigFactoryImpl::GetInstance()->ReleaseConfig(setter);
}
BENCHMARK(BM_SetToEventLatency)->MinTime(3.0)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--serve") == 0)
        return serve(std::atoi(argv[2]));
    fillTable();
    char self[4096];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0)
        return 1;
    self[n] = '\0';
    if (!g_server.start(self)) {
        std::fprintf(stderr, "cannot start the store server\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
