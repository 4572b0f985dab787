#include "benchsetup.h"

#include <cstdio>
#include <cstring>
#include <map>

#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

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
