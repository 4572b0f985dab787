// One status poll of a ROI scaler wrapper: the two 32-byte register reads
// over a simulated 38400 baud line (the converter answers after the wire
// time of command and answer), then the status decoding. Reported per poll:
// the wire time, the wall time, and the daemon's own CPU time (its system
// calls on the serial port included), with its share of the wire time.
// BM_StatusDecode is the wrapper's decoding alone, from the last image.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdlib>
#include <ctime>
#include <memory>

#include "catalog/assemblyrecords.h"
#include "catalog/cmoduletype.h"
#include "convsim/simulator.h"
#include "engine/ccmdengine.h"
#include "platform/linif.h"
#include "registry.h"
#include "roiscaler/wrapper/wrapper.h"
#include "serial/linserialif.h"
#include "serial/simulatedports.h"

namespace {

// This thread's CPU time so far, user and kernel.
double ThreadCpuUs()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e6 + double(t.tv_nsec) / 1e3;
}

// A wrapper of the module type on a simulated scaler with wire time.
struct Rig {
    Rig(int type, bool wireTime) : sim(convsim::Personality::ForType(type))
    {
        const QString link = dir.filePath(QStringLiteral("ttyBENCH"));
        sim.SetWireTime(wireTime);
        if (!sim.Start(link.toStdString()))
            return;
        ::setenv(SimulatedPorts::kEnvName, link.toLocal8Bit().constData(), 1);
        LinSerialIF* port = new LinSerialIF;
        port->EnumeratePorts();
        port->Open(0);
        CCmdEngine* engine = new CCmdEngine(port, nullptr, &platform, 0, nullptr);
        if (engine->Open(QString()) != 0) {
            delete engine;
            return;
        }
        DeviceWrapper* made =
            ModelRegistry::Find(type)->makeWrapper(engine, new AssemblyRecords, new CModuleType, nullptr);
        wrapper.reset(qobject_cast<RoiScalerWrapper*>(made));
        // The benchmark drives the polls; the wrapper's own timers stay off.
        if (wrapper) {
            wrapper->StatusPollTimer()->stop();
            wrapper->ConfigTimer()->stop();
        }
    }
    ~Rig()
    {
        wrapper.reset();
        sim.Stop();
    }

    QTemporaryDir dir;
    LinIF platform;
    convsim::Simulator sim;
    std::unique_ptr<RoiScalerWrapper> wrapper;
};

void BM_StatusPoll(benchmark::State& state)
{
    Rig rig(int(state.range(0)), true);
    if (!rig.wrapper) {
        state.SkipWithError("no wrapper on the simulated converter");
        return;
    }
    const uint64_t firstCommand = rig.sim.CommandCount();
    const double start = ThreadCpuUs();
    for (auto _ : state) {
        rig.wrapper->PollStatus();
        if (rig.wrapper->HasCommError()) {
            state.SkipWithError("the converter was lost");
            return;
        }
    }
    const double cpuUs = ThreadCpuUs() - start;
    // Wire time of every byte each poll moved, both ways.
    double wireUs = 0;
    uint64_t polled = 0;
    for (const convsim::LogEntry& e : rig.sim.Log()) {
        if (e.index <= firstCommand)
            continue;
        wireUs += convsim::WireTimeUs(e.bytes.size() + e.answer.size());
        ++polled;
    }
    const double polls = double(state.iterations());
    state.counters["wire_ms"] = wireUs / polls / 1000.0;
    state.counters["own_cpu_us"] = cpuUs / polls;
    state.counters["own_of_wire_pct"] = 100.0 * cpuUs / wireUs;
    state.counters["commands_per_poll"] = double(polled) / polls;
}

BENCHMARK(BM_StatusPoll)->Arg(5)->Arg(14)->Arg(18)->Arg(19)->Unit(benchmark::kMillisecond)->Iterations(100)
    ->UseRealTime();

void BM_StatusDecode(benchmark::State& state)
{
    Rig rig(int(state.range(0)), false);
    if (!rig.wrapper) {
        state.SkipWithError("no wrapper on the simulated converter");
        return;
    }
    rig.wrapper->PollStatus();
    for (auto _ : state)
        rig.wrapper->UpdateDeviceStatus();
}

BENCHMARK(BM_StatusDecode)->Arg(5)->Arg(14)->Arg(18)->Arg(19)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
