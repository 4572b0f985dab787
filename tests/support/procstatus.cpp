#include "procstatus.h"

#include "childprocess.h"

#include <dirent.h>

#include <chrono>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace tovik {
namespace test {

namespace {

std::string ProcPath(pid_t pid, const char* leaf)
{
    return "/proc/" + std::to_string(pid) + "/" + leaf;
}

// "Name:   1234 kB" lines of a /proc file, by name.
std::map<std::string, long> KiBLines(const std::string& path)
{
    std::map<std::string, long> kib;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        const size_t colon = line.find(':');
        if (colon != std::string::npos && line.find(" kB") != std::string::npos)
            kib[line.substr(0, colon)] = std::atol(line.c_str() + colon + 1);
    }
    return kib;
}

} // namespace

std::map<std::string, long> MemoryRollup(pid_t pid)
{
    return KiBLines(ProcPath(pid, "smaps_rollup"));
}

long StatusKiB(pid_t pid, const std::string& name)
{
    const std::map<std::string, long> kib = KiBLines(ProcPath(pid, "status"));
    const auto it = kib.find(name);
    return it == kib.end() ? -1 : it->second;
}

int OpenDescriptors(pid_t pid)
{
    DIR* dir = ::opendir(ProcPath(pid, "fd").c_str());
    if (!dir)
        return -1;
    int count = 0;
    while (const struct dirent* entry = ::readdir(dir))
        if (entry->d_name[0] != '.')
            ++count;
    ::closedir(dir);
    return count;
}

long CpuTicks(pid_t pid)
{
    std::ifstream in(ProcPath(pid, "stat"));
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t close = text.rfind(')');
    if (close == std::string::npos || close + 2 > text.size())
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

bool WaitUntilIdle(pid_t pid, int quietMs, int waitMs)
{
    long last = CpuTicks(pid);
    auto since = std::chrono::steady_clock::now();
    return WaitUntil(
        [&] {
            const long now = CpuTicks(pid);
            if (now != last) {
                last = now;
                since = std::chrono::steady_clock::now();
            }
            return std::chrono::steady_clock::now() - since >= std::chrono::milliseconds(quietMs);
        },
        waitMs);
}

} // namespace test
} // namespace tovik
