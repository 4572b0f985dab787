// Streams: the per-frame cost of the worker thread and the front end with
// an engine that answers at once, and what read-ahead gains when the engine
// takes 1, 5 or 20 ms per frame and the application as long again to use
// each frame. Beside them, the same reads as a direct synchronous loop and
// through a plain thread + condition-variable queue of the same depth.
//
// per_frame is the wall time per frame delivered to the consumer.
#include <benchmark/benchmark.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include <QCoreApplication>
#include <QEventLoop>

#include "benchsmoke.h"
#include "lumo/lumo.h"
#include "lumo/lumolog.h"
#include "lumo/lumostream.h"
#include "lumo/lumostreamcache.h"
#include "lumo/lumostreamengine.h"

namespace {

const int kBenchType = 7000;
const int kDepth = 16; // reads in flight: the cache's records, the queue's slots

// Answers each read after a latency given by its description
// ("bench:<microseconds>") with a frame of one image.
class BenchEngine : public LumoStreamEngine {
public:
    LumoError open(QVariant const& desc, int, LumoStreamInfo& info) override
    {
        _latency = std::chrono::microseconds(desc.toString().mid(6).toInt());
        info->frameCount = 1 << 30;
        return 0;
    }
    LumoError read(int, LumoFrame& frame) override
    {
        if (_latency.count() > 0)
            std::this_thread::sleep_for(_latency);
        frame->images.append(LumoImage());
        return 0;
    }

private:
    std::chrono::microseconds _latency{0};
};

class BenchFactory : public LumoStreamFactory {
public:
    LumoStreamEngine* create(LumoId const&, QObject* parent) override
    {
        BenchEngine* engine = new BenchEngine;
        engine->setParent(parent);
        return engine;
    }
    bool accepts(LumoId const& type) override { return int(type) == kBenchType; }
    LumoId descHint(QVariant const& desc) const override
    {
        return desc.toString().startsWith(QLatin1String("bench:")) ? LumoId(kBenchType) : LumoId(0);
    }
};

QString descFor(std::chrono::microseconds latency)
{
    return QStringLiteral("bench:%1").arg(latency.count());
}

void waitUntil(std::function<bool()> const& condition)
{
    while (!condition())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void openForReading(LumoStream& stream, std::chrono::microseconds latency)
{
    bool opened = false;
    QObject::connect(&stream, &LumoStream::openIsDone, [&opened](int, LumoError const&) { opened = true; });
    stream.setDesc(descFor(latency));
    stream.open(Lumo::ReadOnly);
    waitUntil([&opened] { return opened; });
}

void work(std::chrono::microseconds duration)
{
    if (duration.count() > 0)
        std::this_thread::sleep_for(duration);
}

void perFrame(benchmark::State& state, int frames)
{
    state.counters["per_frame"] =
        benchmark::Counter(double(frames), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.SetItemsProcessed(int64_t(state.iterations()) * frames);
}

std::chrono::microseconds latencyOf(benchmark::State const& state)
{
    return std::chrono::milliseconds(state.range(0));
}

// Frames per iteration: about 0.4 s of synchronous reading, at least 2000
// frames without latency.
int framesFor(std::chrono::microseconds latency)
{
    return latency.count() == 0 ? 2000 : int(200000 / latency.count());
}

// --- the ways of reading ------------------------------------------------------------

// The engine called directly, then the frame used.
void BM_DirectRead(benchmark::State& state)
{
    const auto latency = latencyOf(state);
    const int frames = framesFor(latency);
    BenchEngine engine;
    LumoStreamInfo info;
    engine.open(descFor(latency), Lumo::ReadOnly, info);
    int fnum = 0;
    for (auto _ : state) {
        for (int i = 0; i < frames; ++i) {
            LumoFrame frame;
            engine.read(fnum++, frame);
            benchmark::DoNotOptimize(frame);
            work(latency);
        }
    }
    perFrame(state, frames);
}

// A reader thread fills a queue of kDepth frames; the consumer takes them.
void BM_CondVarPipeline(benchmark::State& state)
{
    const auto latency = latencyOf(state);
    const int frames = framesFor(latency);
    for (auto _ : state) {
        BenchEngine engine;
        LumoStreamInfo info;
        engine.open(descFor(latency), Lumo::ReadOnly, info);
        std::mutex mutex;
        std::condition_variable changed;
        std::deque<LumoFrame> queue;
        std::thread reader([&] {
            for (int i = 0; i < frames; ++i) {
                LumoFrame frame;
                engine.read(i, frame);
                std::unique_lock<std::mutex> lock(mutex);
                changed.wait(lock, [&] { return queue.size() < size_t(kDepth); });
                queue.push_back(frame);
                changed.notify_all();
            }
        });
        for (int i = 0; i < frames; ++i) {
            LumoFrame frame;
            {
                std::unique_lock<std::mutex> lock(mutex);
                changed.wait(lock, [&] { return !queue.empty(); });
                frame = queue.front();
                queue.pop_front();
                changed.notify_all();
            }
            benchmark::DoNotOptimize(frame);
            work(latency);
        }
        reader.join();
    }
    perFrame(state, frames);
}

// The front end, one read at a time: each frame costs a round trip through
// the worker and the event loop.
void BM_StreamOneAtATime(benchmark::State& state)
{
    const int frames = framesFor(latencyOf(state));
    LumoStream stream;
    openForReading(stream, latencyOf(state));
    int done = 0;
    QObject::connect(&stream, &LumoStream::readIsDone, [&done](int, LumoFrame const&, LumoError const&, void*) { ++done; });
    int fnum = 0;
    for (auto _ : state) {
        for (int i = 0; i < frames; ++i) {
            const int wanted = done + 1;
            stream.read(fnum++);
            waitUntil([&] { return done == wanted; });
        }
    }
    perFrame(state, frames);
}

// The front end with kDepth reads in flight.
void BM_StreamPipelined(benchmark::State& state)
{
    const auto latency = latencyOf(state);
    const int frames = framesFor(latency);
    LumoStream stream;
    openForReading(stream, latency);
    int done = 0;
    QObject::connect(&stream, &LumoStream::readIsDone, [&done](int, LumoFrame const&, LumoError const&, void*) { ++done; });
    int fnum = 0;
    for (auto _ : state) {
        const int start = done;
        int issued = 0;
        while (issued < frames && issued < kDepth) {
            stream.read(fnum++);
            ++issued;
        }
        for (int i = 0; i < frames; ++i) {
            waitUntil([&] { return done > start + i; });
            work(latency);
            if (issued < frames) {
                stream.read(fnum++);
                ++issued;
            }
        }
    }
    perFrame(state, frames);
}

// The read-ahead cache: the consumer takes frames as they are ready.
void BM_StreamCache(benchmark::State& state)
{
    const auto latency = latencyOf(state);
    const int frames = framesFor(latency);
    LumoStream stream;
    LumoStreamCache cache;
    cache.setCacheSize(kDepth);
    cache.setStream(&stream);
    openForReading(stream, latency);
    for (auto _ : state) {
        for (int i = 0; i < frames; ++i) {
            waitUntil([&] { return cache.framesInCache() > 0; });
            LumoFrame frame = cache.read();
            benchmark::DoNotOptimize(frame);
            work(latency);
        }
    }
    perFrame(state, frames);
}

void overhead(benchmark::internal::Benchmark* b)
{
    b->Arg(0)->UseRealTime()->Unit(benchmark::kMicrosecond);
}

void readAhead(benchmark::internal::Benchmark* b)
{
    b->Arg(1)->Arg(5)->Arg(20)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(benchsmoke::Seconds(1.0));
}

BENCHMARK(BM_DirectRead)->Apply(overhead)->Apply(readAhead);
BENCHMARK(BM_CondVarPipeline)->Apply(overhead)->Apply(readAhead);
BENCHMARK(BM_StreamOneAtATime)->Apply(overhead);
BENCHMARK(BM_StreamPipelined)->Apply(overhead)->Apply(readAhead);
BENCHMARK(BM_StreamCache)->Apply(overhead)->Apply(readAhead);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    qRegisterMetaType<LumoError>("LumoError");
    qRegisterMetaType<LumoFrame>("LumoFrame");
    lumoLogSetLevel(1); // keep the open and close lines out of the system log
    BenchFactory factory;
    Lumo::installStreamFactory(&factory);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Lumo::removeStreamFactory(&factory);
    return 0;
}
