// The store server of the benchmarks: this program run a second time
// ("--serve PORT"), so clients and server are separate processes as in the
// field; and the numbers every latency benchmark reports.
#ifndef PARAMLINK_BENCHSERVER_H
#define PARAMLINK_BENCHSERVER_H

#include <benchmark/benchmark.h>

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "paramlink/paramlink.h"

namespace bench {

const eConfigID_t kConfig = 1;
const eParam_t kParam = eParam_t(0x01000001);
// One integer parameter per client of the many-clients benchmarks.
const int kClientParams = 1000;
inline eParam_t ClientParam(int client) { return eParam_t(0x01001000 + client); }

// The config's table: kParam and the clients' parameters; in both
// processes.
void FillTable();
// Seconds each benchmark runs (PARAMLINK_BENCH_SECONDS, default 3).
double BenchSeconds();
// Serves the config until SIGTERM; the process's result.
int Serve(int port);
// Starts the server process (this program, found through /proc) once.
bool StartServer();
int ServerPort();
pid_t ServerPid();
std::string ServerUrl();
// A TCP connection to the loopback port with TCP_NODELAY, or -1.
int ConnectLoopback(int port);
// CPU seconds (user and system) the process has used, all its threads.
double ProcessCpuSeconds(pid_t pid);

// Median and 99th percentile in microseconds, and the events that never
// came within their wait.
void ReportLatencies(benchmark::State& state, std::vector<double>& latencies, std::int64_t lost);
double MicrosBetween(std::chrono::steady_clock::time_point start, std::chrono::steady_clock::time_point end);

} // namespace bench

#endif
