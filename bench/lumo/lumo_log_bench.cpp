// The log's caller latency (p50/p99 of single calls, for a line that is
// written and one that the threshold drops) and its writer throughput to a
// file, beside a synchronous fprintf+fflush logger and spdlog's
// asynchronous logger writing the same lines to the same kind of file.
#include <benchmark/benchmark.h>

#include <sys/time.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <QString>

#include "benchsmoke.h"
#include "lumo/lumolog.h"

#ifdef LUMO_BENCH_SPDLOG
#include <spdlog/async.h>
#include <spdlog/sinks/basic_file_sink.h>
#include <spdlog/spdlog.h>
#endif

namespace {

using Clock = std::chrono::steady_clock;

std::string benchFile(char const* name)
{
    return "/tmp/lumo_log_bench_" + std::to_string(getpid()) + "_" + name + ".log";
}

// Per-call latencies of the benchmark loop, reported as p50, p90 and p99.
// With a pace, calls start at most one per pace (a steady line rate);
// without, back to back (a burst that outruns any writer).
class Latencies {
public:
    Latencies(benchmark::State& state, std::chrono::nanoseconds pace)
        : _state(state), _pace(pace), _next(Clock::now())
    {
        _ns.reserve(size_t(state.max_iterations));
    }
    template <typename F> void time(F&& call)
    {
        if (_pace.count() > 0) {
            while (Clock::now() < _next) {
            }
            _next += _pace;
        }
        const auto start = Clock::now();
        call();
        _ns.push_back(double(std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start).count()));
    }
    ~Latencies()
    {
        if (_ns.empty())
            return;
        std::sort(_ns.begin(), _ns.end());
        _state.counters["p50_ns"] = _ns[_ns.size() / 2];
        _state.counters["p90_ns"] = _ns[_ns.size() * 90 / 100];
        _state.counters["p99_ns"] = _ns[_ns.size() * 99 / 100];
    }

private:
    benchmark::State& _state;
    std::chrono::nanoseconds _pace;
    Clock::time_point _next;
    std::vector<double> _ns;
};

// What a synchronous logger does per line: stamp, format, write, flush.
void syncLine(FILE* file, int line, int value)
{
    timeval tv;
    gettimeofday(&tv, nullptr);
    tm local;
    localtime_r(&tv.tv_sec, &local);
    char stamp[32];
    strftime(stamp, sizeof stamp, "%b %d %H:%M:%S", &local);
    fprintf(file, "%s.%03d I [%d] [bench:%d]: value %d of %s\n", stamp, int(tv.tv_usec / 1000), int(getpid()), line,
            value, "bench");
    fflush(file);
}

const int kLatencyCalls = int(benchsmoke::Count(200000, 2000));

// Range argument 1 of the caller benchmarks: microseconds between calls.
std::chrono::nanoseconds paceOf(benchmark::State const& state, int arg)
{
    return std::chrono::microseconds(state.range(arg));
}

std::string paceLabel(benchmark::State const& state, int arg)
{
    return state.range(arg) ? "one per " + std::to_string(state.range(arg)) + " us" : "burst";
}

const int kWriterRuns = int(benchsmoke::Count(5, 1));
const int kThroughputLines = int(benchsmoke::Count(200000, 2000));

void BM_CallerLumo(benchmark::State& state)
{
    const bool passed = state.range(0) != 0;
    const std::string path = benchFile("caller");
    lumoLogOpenFile(QString::fromStdString(path));
    int i = 0;
    {
        Latencies lat(state, paceOf(state, 1));
        for (auto _ : state)
            lat.time([&] { lumoLogOutput(passed ? 3 : 4, QStringLiteral("bench"), __LINE__, "value %d of %s\n", ++i, "bench"); });
    }
    state.SetLabel(std::string(passed ? "passed, " : "filtered, ") + paceLabel(state, 1));
    lumoLogOpenFile(QStringLiteral("/nonexistent/dir/x.log"));
    std::remove(path.c_str());
}
BENCHMARK(BM_CallerLumo)->Args({1, 0})->Args({1, 10})->Args({0, 0})->Iterations(kLatencyCalls)->UseRealTime();

void BM_CallerFprintf(benchmark::State& state)
{
    const std::string path = benchFile("fprintf");
    FILE* file = fopen(path.c_str(), "a");
    int i = 0;
    {
        Latencies lat(state, paceOf(state, 0));
        for (auto _ : state)
            lat.time([&] { syncLine(file, __LINE__, ++i); });
    }
    state.SetLabel(paceLabel(state, 0));
    fclose(file);
    std::remove(path.c_str());
}
BENCHMARK(BM_CallerFprintf)->Arg(0)->Arg(10)->Iterations(kLatencyCalls)->UseRealTime();

void BM_WriterLumo(benchmark::State& state)
{
    const std::string path = benchFile("writer");
    for (auto _ : state) {
        // Destroying the log waits until every queued line is written.
        LumoLog log(QString::fromStdString(path));
        for (int i = 0; i < kThroughputLines; ++i)
            log.output(3, QStringLiteral("bench"), 42, QStringLiteral("value %1 of bench\n").arg(i));
    }
    state.counters["lines_per_s"] =
        benchmark::Counter(double(kThroughputLines) * double(state.iterations()), benchmark::Counter::kIsRate);
    std::remove(path.c_str());
}
BENCHMARK(BM_WriterLumo)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(kWriterRuns);

void BM_WriterFprintf(benchmark::State& state)
{
    const std::string path = benchFile("writer_fprintf");
    for (auto _ : state) {
        FILE* file = fopen(path.c_str(), "a");
        for (int i = 0; i < kThroughputLines; ++i)
            syncLine(file, 42, i);
        fclose(file);
    }
    state.counters["lines_per_s"] =
        benchmark::Counter(double(kThroughputLines) * double(state.iterations()), benchmark::Counter::kIsRate);
    std::remove(path.c_str());
}
BENCHMARK(BM_WriterFprintf)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(kWriterRuns);

#ifdef LUMO_BENCH_SPDLOG
// spdlog's asynchronous logger on a file, flushing every line (as our
// writer does) when flushEach, else left to its own buffering.
std::shared_ptr<spdlog::logger> makeSpdlog(std::string const& path, bool flushEach)
{
    spdlog::init_thread_pool(8192, 1);
    auto logger = spdlog::create_async<spdlog::sinks::basic_file_sink_mt>("bench", path);
    logger->set_pattern("%b %d %H:%M:%S.%e %L [%t] [bench:%#]: %v");
    if (flushEach)
        logger->flush_on(spdlog::level::trace);
    return logger;
}

void BM_CallerSpdlog(benchmark::State& state)
{
    const std::string path = benchFile("spdlog_caller");
    auto logger = makeSpdlog(path, true);
    int i = 0;
    {
        Latencies lat(state, paceOf(state, 0));
        for (auto _ : state)
            lat.time([&] { logger->info("value {} of {}", ++i, "bench"); });
    }
    state.SetLabel(paceLabel(state, 0));
    logger.reset();
    spdlog::shutdown(); // drains the queue and stops its thread
    std::remove(path.c_str());
}
BENCHMARK(BM_CallerSpdlog)->Arg(0)->Arg(10)->Iterations(kLatencyCalls)->UseRealTime();

void BM_WriterSpdlog(benchmark::State& state)
{
    const bool flushEach = state.range(0) != 0;
    const std::string path = benchFile("spdlog_writer");
    for (auto _ : state) {
        auto logger = makeSpdlog(path, flushEach);
        for (int i = 0; i < kThroughputLines; ++i)
            logger->info("value {} of bench", i);
        logger.reset();
        spdlog::shutdown();
    }
    state.SetLabel(flushEach ? "flush every line" : "buffered");
    state.counters["lines_per_s"] =
        benchmark::Counter(double(kThroughputLines) * double(state.iterations()), benchmark::Counter::kIsRate);
    std::remove(path.c_str());
}
BENCHMARK(BM_WriterSpdlog)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(kWriterRuns);
#endif

} // namespace

BENCHMARK_MAIN();
