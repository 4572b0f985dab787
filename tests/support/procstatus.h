// What /proc shows of a running process: its memory, descriptors and CPU
// time.
#ifndef TOVIK_TEST_PROCSTATUS_H
#define TOVIK_TEST_PROCSTATUS_H

#include <sys/types.h>

#include <map>
#include <string>

namespace tovik {
namespace test {

// The kB figures of /proc/<pid>/smaps_rollup by name ("Rss",
// "Private_Dirty"); empty when unreadable.
std::map<std::string, long> MemoryRollup(pid_t pid);
// One kB figure of /proc/<pid>/status ("VmRSS", "VmHWM"); -1 when missing.
long StatusKiB(pid_t pid, const std::string& name);
// Open file descriptors; -1 when unreadable.
int OpenDescriptors(pid_t pid);
// User and system time, in clock ticks; -1 when unreadable.
long CpuTicks(pid_t pid);
// Waits until the process has used no CPU time for quietMs, at most waitMs.
bool WaitUntilIdle(pid_t pid, int quietMs, int waitMs);

} // namespace test
} // namespace tovik

#endif
