#include "benchsetup.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <thread>

#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include "childprocess.h"
#include "procstatus.h"

namespace portvanebench {

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

void AddMemoryCounters(benchmark::State& state, pid_t pid, const std::string& prefix)
{
    const std::map<std::string, long> memory = tovik::test::MemoryRollup(pid);
    for (const char* name : {"Rss", "Pss", "Private_Dirty", "Private_Clean", "Shared_Clean", "Anonymous"}) {
        const auto it = memory.find(name);
        state.counters[prefix + name + "_kB"] = it == memory.end() ? -1.0 : double(it->second);
    }
}

bool WaitUntilQuiet(pid_t pid, int quietMs, int waitMs)
{
    long last = tovik::test::CpuTicks(pid);
    auto quietSince = std::chrono::steady_clock::now();
    return tovik::test::WaitUntil(
        [&] {
            const long now = tovik::test::CpuTicks(pid);
            if (now != last) {
                last = now;
                quietSince = std::chrono::steady_clock::now();
            }
            return std::chrono::steady_clock::now() - quietSince >= std::chrono::milliseconds(quietMs);
        },
        waitMs);
}

int Main(const char* name, int argc, char** argv)
{
    if (!EnterPrivateNetwork()) {
        std::fprintf(stderr, "%s: needs a private network namespace (run as root)\n", name);
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace portvanebench
