// Time of a one-shot get as a whole process, from start to exit: knobctl
// reading one box parameter from the config-0 store, and redis-cli reading
// one key from a local Redis. Both servers run already (compare_redis.sh
// starts them); every run's output is checked.
//
// Environment: KNOBCTL (the program), KNOBCTL_PARAM (the id name, default
// eParamID_DeviceCount), KNOBCTL_EXPECT (its printed value, default "0"),
// REDIS_CLI (default redis-cli), REDIS_PORT, REDIS_KEY (holding the same
// value).
//
// The machine's load changes over a run, so compare_redis.sh asks for
// repetitions in random interleaving and compares the medians.
#include <benchmark/benchmark.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "benchsmoke.h"

extern char** environ;

namespace {

std::string Env(const char* name, const char* fallback)
{
    const char* value = std::getenv(name);
    return value && *value ? value : fallback;
}

// Runs the program to its end; false unless it exits 0 printing expected.
bool RunOnce(const std::vector<std::string>& argv, const std::string& expected)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return false;
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    pid_t pid = -1;
    const int rc = ::posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    std::string out;
    if (rc == 0) {
        char buffer[256];
        ssize_t n;
        while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR))
            if (n > 0)
                out.append(buffer, size_t(n));
    }
    ::close(fds[0]);
    if (rc != 0)
        return false;
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && out == expected + "\n";
}

void Measure(benchmark::State& state, const std::vector<std::string>& argv, const std::string& expected)
{
    std::int64_t failed = 0;
    for (auto _ : state)
        if (!RunOnce(argv, expected))
            ++failed;
    state.counters["failed"] = double(failed);
    if (failed)
        state.SkipWithError("a run failed or printed something else");
}

void BM_KnobctlGet(benchmark::State& state)
{
    Measure(state, {Env("KNOBCTL", "knobctl"), "-get", Env("KNOBCTL_PARAM", "eParamID_DeviceCount")},
            Env("KNOBCTL_EXPECT", "0"));
}
BENCHMARK(BM_KnobctlGet)->MinTime(benchsmoke::Seconds(0.5, 0.05))->UseRealTime()->Unit(benchmark::kMicrosecond);

void BM_RedisCliGet(benchmark::State& state)
{
    Measure(state,
            {Env("REDIS_CLI", "redis-cli"), "-h", "127.0.0.1", "-p", Env("REDIS_PORT", "6379"), "get",
             Env("REDIS_KEY", "knobctl-bench")},
            Env("KNOBCTL_EXPECT", "0"));
}
BENCHMARK(BM_RedisCliGet)->MinTime(benchsmoke::Seconds(0.5, 0.05))->UseRealTime()->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
