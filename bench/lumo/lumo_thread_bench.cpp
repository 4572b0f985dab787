// The message and benchmark threads.
//
// Message thread: the round trip of queueAndWait (post a message, block
// until the thread has handled it), from one caller and from two callers at
// once, beside the same hand-off through a plain mutex + condition-variable
// worker. And the rate of queue with one wait for the last message.
//
// Benchmark thread: what report costs the measuring thread, from one and
// from four threads, beside writing the line at once with fprintf + fflush.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include <QDir>
#include <QFile>
#include <QString>

#include "benchsmoke.h"
#include "lumo/lumobenchmark.h"
#include "lumo/lumomessagethread.h"

namespace {

// A worker that handles one message at a time and signals each completion.
class CvWorker {
public:
    CvWorker() : _thread([this] { run(); }) {}
    ~CvWorker()
    {
        {
            std::lock_guard<std::mutex> lock(_mutex);
            _stop = true;
        }
        _wake.notify_all();
        _thread.join();
    }
    void queueAndWait(LumoMessage* message)
    {
        std::unique_lock<std::mutex> lock(_mutex);
        _pending.push_back(message);
        _wake.notify_all();
        _done.wait(lock, [&] {
            for (auto it = _completed.begin(); it != _completed.end(); ++it)
                if (*it == message) {
                    _completed.erase(it);
                    return true;
                }
            return false;
        });
    }

private:
    void run()
    {
        std::unique_lock<std::mutex> lock(_mutex);
        for (;;) {
            _wake.wait(lock, [&] { return _stop || !_pending.empty(); });
            if (_stop)
                return;
            LumoMessage* message = _pending.front();
            _pending.pop_front();
            _completed.push_back(message);
            _done.notify_all();
        }
    }

    std::mutex _mutex;
    std::condition_variable _wake;
    std::condition_variable _done;
    std::deque<LumoMessage*> _pending;
    std::deque<LumoMessage*> _completed;
    bool _stop = false;
    std::thread _thread;
};

template <typename Worker>
void roundTrips(benchmark::State& state, Worker& worker)
{
    const int callers = int(state.range(0));
    for (auto _ : state) {
        std::vector<std::thread> threads;
        for (int c = 1; c < callers; ++c)
            threads.emplace_back([&worker] {
                LumoMessage m(1);
                for (int i = 0; i < 100; ++i)
                    worker.queueAndWait(&m);
            });
        LumoMessage m(0);
        for (int i = 0; i < 100; ++i)
            worker.queueAndWait(&m);
        for (std::thread& t : threads)
            t.join();
    }
    state.counters["per_round_trip"] =
        benchmark::Counter(double(state.iterations()) * 100, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_MessageThreadQueueAndWait(benchmark::State& state)
{
    LumoMessageThread thread;
    thread.start();
    roundTrips(state, thread);
    thread.stop();
}
BENCHMARK(BM_MessageThreadQueueAndWait)->Arg(1)->Arg(2)->UseRealTime();

void BM_ConditionVariableQueueAndWait(benchmark::State& state)
{
    CvWorker worker;
    roundTrips(state, worker);
}
BENCHMARK(BM_ConditionVariableQueueAndWait)->Arg(1)->Arg(2)->UseRealTime();

// 1000 messages queued, then one wait for the last.
void BM_MessageThreadQueueThroughput(benchmark::State& state)
{
    LumoMessageThread thread;
    thread.start();
    std::vector<LumoMessage> messages(1000, LumoMessage(0));
    for (auto _ : state) {
        for (LumoMessage& m : messages)
            thread.queue(&m);
        thread.waitForCompleted(&messages.back(), -1);
        while (thread.removeCompleted(nullptr)) {
        }
    }
    thread.stop();
    state.counters["per_message"] = benchmark::Counter(double(state.iterations()) * 1000,
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_MessageThreadQueueThroughput)->UseRealTime();

QString benchFile(char const* name)
{
    return QDir::tempPath() + QStringLiteral("/lumo_thread_bench_%1_%2").arg(getpid()).arg(QLatin1String(name));
}

LumoBenchmark* gBenchmark = nullptr;
const int kReports = int(benchsmoke::Count(200000, 2000));

void BM_BenchmarkReport(benchmark::State& state)
{
    if (state.thread_index() == 0) {
        gBenchmark = new LumoBenchmark;
        gBenchmark->start(benchFile("report"));
    }
    const QString name = QStringLiteral("decode");
    double value = 0;
    for (auto _ : state)
        gBenchmark->report(name, value += 1);
    if (state.thread_index() == 0) {
        delete gBenchmark;
        gBenchmark = nullptr;
        QFile::remove(benchFile("report"));
    }
}
BENCHMARK(BM_BenchmarkReport)->Threads(1)->Threads(4)->Iterations(kReports)->UseRealTime();

std::mutex gFileMutex;
FILE* gFile = nullptr;

void BM_FprintfFlush(benchmark::State& state)
{
    if (state.thread_index() == 0)
        gFile = fopen(qPrintable(benchFile("fprintf")), "w");
    double value = 0;
    for (auto _ : state) {
        std::lock_guard<std::mutex> lock(gFileMutex);
        fprintf(gFile, "%s %lf %lf\n", "decode", 12.5, value += 1);
        fflush(gFile);
    }
    if (state.thread_index() == 0) {
        fclose(gFile);
        QFile::remove(benchFile("fprintf"));
    }
}
BENCHMARK(BM_FprintfFlush)->Threads(1)->Threads(4)->Iterations(kReports)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
