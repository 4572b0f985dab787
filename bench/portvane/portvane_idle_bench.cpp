// Portvane idle with two simulated converters attached (a type 7 and a
// type 5, as ./run.sh starts them): its share of one core over the measured
// seconds and its memory as /proc/<pid>/smaps_rollup shows it. The store,
// the simulators and Portvane are the built programs; they run in a private
// network namespace (the store's fixed ports), so run this as root:
//
//   build-bench/bin/portvane_idle_bench
#include <benchmark/benchmark.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>

#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include "childprocess.h"
#include "tempdir.h"

namespace {

using tovik::test::BuildProgram;
using tovik::test::ChildProcess;
using tovik::test::CountOf;
using tovik::test::PathExists;
using tovik::test::TempDir;
using tovik::test::WaitUntil;

// A network namespace of this process's own with loopback up.
bool EnterPrivateNetwork()
{
    if (::unshare(CLONE_NEWNET) != 0)
        return false;
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    struct ifreq request {};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    bool up = ::ioctl(fd, SIOCGIFFLAGS, &request) == 0;
    request.ifr_flags = short(request.ifr_flags | IFF_UP);
    up = up && ::ioctl(fd, SIOCSIFFLAGS, &request) == 0;
    ::close(fd);
    return up;
}

// User and system time of a process, in clock ticks; -1 when unreadable.
long CpuTicks(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t close = text.rfind(')');
    if (close == std::string::npos)
        return -1;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    long ticks = 0;
    // From the state on, utime and stime are the 12th and 13th fields.
    for (int i = 0; i < 13 && fields >> field; ++i)
        if (i == 11 || i == 12)
            ticks += std::atol(field.c_str());
    return ticks;
}

// The kB figures of /proc/<pid>/smaps_rollup by name ("Rss", "Private_Dirty").
std::map<std::string, long> MemoryRollup(pid_t pid)
{
    std::map<std::string, long> kib;
    std::ifstream in("/proc/" + std::to_string(pid) + "/smaps_rollup");
    std::string line;
    while (std::getline(in, line)) {
        const size_t colon = line.find(':');
        if (colon != std::string::npos && line.find(" kB") != std::string::npos)
            kib[line.substr(0, colon)] = std::atol(line.c_str() + colon + 1);
    }
    return kib;
}

void PortvaneIdle(benchmark::State& state)
{
    const int seconds = int(state.range(0));
    for (auto _ : state) {
        TempDir dir("portvane-idle");
        ChildProcess store, first, second, daemon;
        if (!store.Start({BuildProgram("tovik-configstore")}, dir.File("store.log")) ||
            !WaitUntil([&] { return store.Output().find("serving config 0") != std::string::npos; }, 10000)) {
            state.SkipWithError("the config-0 store did not start");
            break;
        }
        first.Start({BuildProgram("tovik-convsim"), "--link", dir.File("ttyA"), "--type", "7"}, dir.File("a.log"));
        second.Start({BuildProgram("tovik-convsim"), "--link", dir.File("ttyB"), "--type", "5"}, dir.File("b.log"));
        if (!WaitUntil([&] { return PathExists(dir.File("ttyA")) && PathExists(dir.File("ttyB")); }, 10000)) {
            state.SkipWithError("the simulators did not start");
            break;
        }
        daemon.Start({BuildProgram("Portvane")}, dir.File("portvane.log"),
                     {{"PORTVANE_SERIAL_PORTS", dir.File("ttyA") + ":" + dir.File("ttyB")}});
        // Both ports scanned (the type 5 converter takes slot 0, so the scan
        // of slot 1 finds nothing), then a moment to settle.
        if (!WaitUntil([&] { return CountOf(daemon.Output(), "No mini found for pos 1") >= 1; }, 30000)) {
            state.SkipWithError("Portvane did not finish its first scan");
            break;
        }
        std::this_thread::sleep_for(std::chrono::seconds(2));

        const long before = CpuTicks(daemon.Pid());
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        const long after = CpuTicks(daemon.Pid());
        const std::map<std::string, long> memory = MemoryRollup(daemon.Pid());
        state.SetIterationTime(seconds);

        state.counters["cpu_percent"] = 100.0 * double(after - before) / double(::sysconf(_SC_CLK_TCK) * seconds);
        for (const char* name : {"Rss", "Pss", "Private_Dirty", "Private_Clean", "Shared_Clean", "Anonymous"}) {
            const auto it = memory.find(name);
            state.counters[std::string(name) + "_kB"] = it == memory.end() ? -1.0 : double(it->second);
        }
        daemon.Stop(SIGTERM, 5000);
        first.Stop(SIGTERM, 5000);
        second.Stop(SIGTERM, 5000);
        store.Stop(SIGTERM, 5000);
    }
}
BENCHMARK(PortvaneIdle)->Arg(10)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv)
{
    if (!EnterPrivateNetwork()) {
        std::fprintf(stderr, "portvane_idle_bench: needs a private network namespace (run as root)\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
