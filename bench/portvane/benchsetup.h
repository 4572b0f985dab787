// What the Portvane benchmarks share: a network namespace of their own (the
// store's fixed ports) and the daemon's memory as counters.
#ifndef TOVIK_BENCH_PORTVANE_BENCHSETUP_H
#define TOVIK_BENCH_PORTVANE_BENCHSETUP_H

#include <benchmark/benchmark.h>

#include <sys/types.h>

#include <string>

namespace portvanebench {

// A network namespace of this process's own with loopback up; false when
// it cannot be made (not root).
bool EnterPrivateNetwork();

// The process's smaps_rollup figures as counters "<prefix><name>_kB".
void AddMemoryCounters(benchmark::State& state, pid_t pid, const std::string& prefix);

// Runs the registered benchmarks in a private network namespace.
int Main(const char* name, int argc, char** argv);

} // namespace portvanebench

#endif
