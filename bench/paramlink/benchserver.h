// The store server of the benchmarks: this program run a second time
// ("--serve PORT"), so clients and server are separate processes as in the
// field; and the numbers every latency benchmark reports.
#ifndef PARAMLINK_BENCHSERVER_H
#define PARAMLINK_BENCHSERVER_H

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "paramlink/paramlink.h"

namespace bench {

const eConfigID_t kConfig = 1;
const eParam_t kParam = eParam_t(0x01000001);

// The config's table, one integer parameter; in both processes.
void FillTable();
// Serves the config until SIGTERM; the process's result.
int Serve(int port);
// Starts the server process (this program, found through /proc) once.
bool StartServer();
int ServerPort();
std::string ServerUrl();

// Median and 99th percentile in microseconds, and the events that never
// came within their wait.
void ReportLatencies(benchmark::State& state, std::vector<double>& latencies, std::int64_t lost);
double MicrosBetween(std::chrono::steady_clock::time_point start, std::chrono::steady_clock::time_point end);

} // namespace bench

#endif
