// Acknowledged sets on one connection, with the CPU time client and server
// spend per set, and set-to-event latency between two clients; the
// fan-out benchmarks live in fanout_bench.cpp, the many-clients ones in
// manyclients_bench.cpp.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "benchserver.h"

using namespace bench;

namespace {

void BM_AcknowledgedIntegerSets(benchmark::State& state)
{
    Config* config = ConfigFactoryImpl::GetInstance()->CreateConfig(ServerUrl(), "");
    if (!config) {
        state.SkipWithError("no server");
        return;
    }
    int value = config->GetIntegerValue(kParam);
    std::int64_t failed = 0;
    const double clientBefore = ProcessCpuSeconds(getpid());
    const double serverBefore = ProcessCpuSeconds(ServerPid());
    for (auto _ : state) {
        if (!config->SetIntegerValue(kParam, ++value))
            ++failed;
    }
    const double cpu = ProcessCpuSeconds(getpid()) - clientBefore + ProcessCpuSeconds(ServerPid()) - serverBefore;
    state.counters["sets_per_s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["cpu_us_per_set"] = state.iterations() ? cpu * 1e6 / double(state.iterations()) : 0;
    state.counters["failed"] = double(failed);
    ConfigFactoryImpl::GetInstance()->ReleaseConfig(config);
}
BENCHMARK(BM_AcknowledgedIntegerSets)->MinTime(BenchSeconds())->UseRealTime();

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
    Config* setter = ConfigFactoryImpl::GetInstance()->CreateConfig(ServerUrl(), "");
    Config* watcher = ConfigFactoryImpl::GetInstance()->CreateConfig(ServerUrl(), "");
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
    ReportLatencies(state, latencies, lost);
    ConfigFactoryImpl::GetInstance()->ReleaseConfig(watcher);
    ConfigFactoryImpl::GetInstance()->ReleaseConfig(setter);
}
BENCHMARK(BM_SetToEventLatency)->MinTime(BenchSeconds())->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--serve") == 0)
        return Serve(std::atoi(argv[2]));
    // The fan-out benchmarks hold a thousand connections and more.
    rlimit limit;
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
    FillTable();
    if (!StartServer()) {
        std::fprintf(stderr, "cannot start the store server\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
