// What a burst of acknowledged sets costs the converter: a client sets the
// genlock delay of a simulated Hestra in slot 1 N times through Portvane
// (port 43111), each waiting for its REPLY, as fast as the store answers.
// Portvane folds the sets that wait for it to the newest, so the converter
// gets fewer writes than sets. Counted from the simulator's command log,
// from the first set until the daemon's configuration timer has rewritten
// and reread the converter (3 s after the last acknowledgement):
//   config_writes     block writes into configuration memory (0x8B)
//   register_writes   register writes (0x9D: the block streamed, follow-ups)
//   config_reads      rereads of the configuration (0x8C)
//   config_writes_per_300_sets
//   stale_reads, stale_events  reads and events of an older value than the
//                     last acknowledged one, after it (goal: 0)
// The store, the simulator and Portvane are the built programs, in a
// private network namespace, so run this as root:
//
//   build-bench/bin/portvane_sets_bench
#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>

#include "benchsetup.h"
#include "portvanerig.h"
#include "procstatus.h"
#include "setburst.h"

namespace {

using tovik::test::CountOf;
using tovik::test::PortvaneRig;

const int kHestraType = 5;
const int kHestraModelNumber = 6;
const int kWatchMs = 3000;

struct Commands {
    int configWrites;
    int registerWrites;
    int configReads;
};

// The commands the simulator logged so far ("#index +ms 0xcode: ...").
Commands Logged(PortvaneRig& rig)
{
    const std::string log = rig.Converter("ttyA")->Output();
    return Commands{CountOf(log, "ms 0x8b:"), CountOf(log, "ms 0x9d:"), CountOf(log, "ms 0x8c:")};
}

void SetBurst(benchmark::State& state)
{
    const int sets = int(state.range(0));
    for (auto _ : state) {
        PortvaneRig rig("portvane-sets");
        if (!rig.StartStore() || !rig.Plug("ttyA", kHestraType, {"-v"}) || !rig.StartDaemon() ||
            !rig.WaitForDeviceCount(1, 30000)) {
            state.SkipWithError("the store, the simulator or Portvane did not start");
            break;
        }
        // The wrapper's first rereads are over.
        std::this_thread::sleep_for(std::chrono::milliseconds(2500));
        tovik::test::WaitUntilIdle(rig.Daemon().Pid(), 300, 5000);

        tovik::test::SetBurst burst(1, kHestraModelNumber, "eParamID_GenHDelay");
        if (!burst.Ok()) {
            state.SkipWithError("no client of the converter's config");
            break;
        }
        const Commands before = Logged(rig);
        const tovik::test::BurstOutcome out = burst.Run(1000, sets, kWatchMs);
        const Commands after = Logged(rig);
        state.SetIterationTime(out.burstSeconds);

        const int writes = after.configWrites - before.configWrites;
        state.counters["sets"] = sets;
        state.counters["refused"] = out.refused;
        state.counters["sets_per_s"] = double(sets) / out.burstSeconds;
        state.counters["config_writes"] = writes;
        state.counters["register_writes"] = after.registerWrites - before.registerWrites;
        state.counters["config_reads"] = after.configReads - before.configReads;
        state.counters["config_writes_per_300_sets"] = 300.0 * writes / sets;
        state.counters["stale_reads"] = double(out.staleReads.size());
        state.counters["stale_events"] = double(out.eventsAfterLast.size()) + (out.lastEventSeen ? 0 : 1);
    }
}
BENCHMARK(SetBurst)->Arg(300)->Arg(20)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return portvanebench::Main("portvane_sets_bench", argc, argv);
}
