// Portvane idle with two simulated converters attached (a type 7 and a
// type 5, as ./run.sh starts them): its share of one core over the measured
// seconds and its memory as /proc/<pid>/smaps_rollup shows it. The store,
// the simulators and Portvane are the built programs; they run in a private
// network namespace (the store's fixed ports), so run this as root:
//
//   build-bench/bin/portvane_idle_bench --benchmark_filter=PortvaneIdle/10
//
// (PortvaneIdle/2 is the short run of bench/portvane/memory.sh's smoke mode.)
#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>

#include <unistd.h>

#include "benchsetup.h"
#include "portvanerig.h"
#include "procstatus.h"

namespace {

using tovik::test::PortvaneRig;

void PortvaneIdle(benchmark::State& state)
{
    const int seconds = int(state.range(0));
    for (auto _ : state) {
        PortvaneRig rig("portvane-idle");
        if (!rig.StartStore() || !rig.Plug("ttyA", 7) || !rig.Plug("ttyB", 5) || !rig.StartDaemon()) {
            state.SkipWithError("the store, the simulators or Portvane did not start");
            break;
        }
        // The type 5 converter bound, then a moment to settle.
        if (!rig.WaitForDeviceCount(1, 30000)) {
            state.SkipWithError("Portvane did not bind the converter");
            break;
        }
        std::this_thread::sleep_for(std::chrono::seconds(2));

        const pid_t pid = rig.Daemon().Pid();
        const long before = tovik::test::CpuTicks(pid);
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        const long after = tovik::test::CpuTicks(pid);
        state.SetIterationTime(seconds);

        state.counters["cpu_percent"] = 100.0 * double(after - before) / double(::sysconf(_SC_CLK_TCK) * seconds);
        portvanebench::AddMemoryCounters(state, pid, "");
    }
}
BENCHMARK(PortvaneIdle)->Arg(10)->Arg(2)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv)
{
    return portvanebench::Main("portvane_idle_bench", argc, argv);
}
