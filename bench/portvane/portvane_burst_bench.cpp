// Portvane's memory after a burst of string sets to a converter's config:
// a client on port 43111 sets the name of the converter in slot 1 (a
// simulated Hestra) N times, each value as long as the parameter's
// descriptor allows and different from the last; then Portvane is left
// until it uses no CPU for a second. Counters: resident and private memory
// when idle before the burst ("idle_"), once the burst has ended
// ("after_", 3 s after the daemon has been idle for a second), the growth
// of both ("growth_Rss_kB", goal at most 2048) and
// the peak resident size. The second argument, when not 0, sets the value
// length instead: longer values than the descriptor allows show what
// Portvane's own handling costs when a store lets them through (a store
// that refuses them counts them as "refused"). The store, the simulator and
// Portvane are the
// built programs, in a private network namespace, so run this as root:
//
//   build-bench/bin/portvane_burst_bench
//
// BENCH_SMOKE=1 makes the burst 1,000 sets.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "benchsetup.h"
#include "paramlink/config.h"
#include "paramlink/configfactory.h"
#include "paramlink/descriptortable.h"
#include "portvanerig.h"
#include "procstatus.h"
#include "tovikconfig/paramdescriptor.h"
#include "tovikconfig/stringdescriptor.h"
#include "tovikconfig/tovikconfig.h"

namespace {

using tovik::test::PortvaneRig;

// The converter's name: each set is written to the converter and
// republished in config 0, so the daemon falls behind a fast client.
const char kParameter[] = "eParamID_ModuleName";
const int kHestraModelNumber = 6;

// The i-th value: length characters, different from its neighbours.
std::string Value(int i, unsigned length)
{
    std::string value(length, 'a');
    for (unsigned at = 0; at < length; ++at)
        value[at] = char('a' + (i + int(at)) % 26);
    return value;
}

long Figure(const std::map<std::string, long>& memory, const char* name)
{
    const auto it = memory.find(name);
    return it == memory.end() ? -1 : it->second;
}

void StringBurst(benchmark::State& state)
{
    const int sets = std::getenv("BENCH_SMOKE") ? 1000 : int(state.range(0));
    for (auto _ : state) {
        PortvaneRig rig("portvane-burst");
        if (!rig.StartStore() || !rig.Plug("ttyA", 5) || !rig.StartDaemon() || !rig.WaitForDeviceCount(1, 30000)) {
            state.SkipWithError("the store, the simulator or Portvane did not start");
            break;
        }
        const pid_t pid = rig.Daemon().Pid();
        std::this_thread::sleep_for(std::chrono::seconds(2));
        tovik::test::WaitUntilIdle(pid, 300, 5000);
        const std::map<std::string, long> idle = tovik::test::MemoryRollup(pid);

        DescriptorTable* table = DescriptorRegistry::GetDescriptorTable(1);
        table->clear();
        tovikconfig::TovikConfig::AddParamDescriptors(table, kHestraModelNumber);
        Config* config = ConfigFactoryImpl::GetInstance()->CreateConfig(
            "socket://localhost:43111?caching=true&configid=1", "");
        auto* descriptor = config ? dynamic_cast<StringDescriptor*>(config->GetParamDescriptor(kParameter)) : nullptr;
        if (!descriptor) {
            state.SkipWithError("no string parameter to set");
            break;
        }
        const unsigned length = state.range(1) > 0 ? unsigned(state.range(1)) : descriptor->GetMaxLength();
        const eParam_t id = descriptor->GetParamID();

        const auto start = std::chrono::steady_clock::now();
        int refused = 0;
        for (int i = 0; i < sets; ++i)
            refused += config->SetStringValue(id, Value(i, length)) ? 0 : 1;
        const double burst = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ConfigFactoryImpl::GetInstance()->ReleaseConfig(config);

        // The burst has ended once the daemon has been idle for a second;
        // then a few seconds as a user would leave it.
        tovik::test::WaitUntilIdle(pid, 1000, 60000);
        std::this_thread::sleep_for(std::chrono::seconds(3));
        const std::map<std::string, long> after = tovik::test::MemoryRollup(pid);
        state.SetIterationTime(burst);

        state.counters["sets"] = sets;
        state.counters["refused"] = refused;
        state.counters["value_length"] = length;
        state.counters["sets_per_s"] = double(sets) / burst;
        for (const char* name : {"Rss", "Private_Dirty"}) {
            state.counters[std::string("idle_") + name + "_kB"] = double(Figure(idle, name));
            state.counters[std::string("after_") + name + "_kB"] = double(Figure(after, name));
            state.counters[std::string("growth_") + name + "_kB"] = double(Figure(after, name) - Figure(idle, name));
        }
        state.counters["peak_Rss_kB"] = double(tovik::test::StatusKiB(pid, "VmHWM"));
    }
}
BENCHMARK(StringBurst)
    ->Args({10000, 0})
    ->Args({10000, 65536})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv)
{
    return portvanebench::Main("portvane_burst_bench", argc, argv);
}
