// Many clients at once, each setting its own parameter to a new value as
// fast as its acknowledgements come and each watching every change:
//   BM_ManyClients       the store through the library: one socket config
//                        per client, its set on a thread of its own and a
//                        listener that counts the changes it hears
//   BM_RedisManyClients  Redis doing the same work: per client one
//                        connection that sends SET k<i> <value> and waits
//                        for +OK, and one subscribed to the keyspace
//                        notifications of every key (REDIS_PORT names a
//                        redis-server started with notify-keyspace-events
//                        K$; compare_redis.sh starts one), the subscribers
//                        read by one thread as the library's reader reads
// Reported: acknowledged sets per second, acknowledgement latency median
// and 99th percentile in ms, changes heard per second.
#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "benchserver.h"

using namespace bench;
using Clock = std::chrono::steady_clock;

namespace {

struct RunResult {
    std::int64_t sets = 0;
    std::int64_t failed = 0;
    double seconds = 0;
    std::vector<double> latenciesMs;
};

// n threads, thread i calling set(i, value) with a new value each time,
// all started together and stopped after the run time.
RunResult runWriters(int n, const std::function<bool(int, int)>& set)
{
    std::vector<std::vector<double>> latencies{size_t(n)};
    std::vector<std::int64_t> failed(size_t(n), 0);
    std::mutex startMutex;
    std::condition_variable started;
    int ready = 0;
    bool go = false;
    std::atomic<bool> stop{false};
    std::vector<std::thread> threads;
    for (int i = 0; i < n; ++i)
        threads.emplace_back([&, i] {
            auto& mine = latencies[size_t(i)];
            mine.reserve(1 << 16);
            {
                std::unique_lock<std::mutex> lock(startMutex);
                ++ready;
                started.notify_all();
                started.wait(lock, [&] { return go; });
            }
            int value = int(Clock::now().time_since_epoch().count() & 0x3fffffff);
            while (!stop.load(std::memory_order_relaxed)) {
                const auto start = Clock::now();
                if (!set(i, ++value))
                    ++failed[size_t(i)];
                mine.push_back(MicrosBetween(start, Clock::now()) / 1000.0);
            }
        });
    std::unique_lock<std::mutex> lock(startMutex);
    started.wait(lock, [&] { return ready == n; });
    const auto start = Clock::now();
    go = true;
    lock.unlock();
    started.notify_all();
    std::this_thread::sleep_for(std::chrono::duration<double>(BenchSeconds()));
    stop.store(true);
    for (auto& t : threads)
        t.join();
    RunResult result;
    result.seconds = MicrosBetween(start, Clock::now()) / 1e6;
    for (int i = 0; i < n; ++i) {
        result.failed += failed[size_t(i)];
        result.sets += std::int64_t(latencies[size_t(i)].size());
        result.latenciesMs.insert(result.latenciesMs.end(), latencies[size_t(i)].begin(), latencies[size_t(i)].end());
    }
    return result;
}

void report(benchmark::State& state, RunResult& r, std::int64_t heard)
{
    std::sort(r.latenciesMs.begin(), r.latenciesMs.end());
    state.counters["sets_per_s"] = double(r.sets) / r.seconds;
    state.counters["failed"] = double(r.failed);
    state.counters["heard_per_s"] = double(heard) / r.seconds;
    if (!r.latenciesMs.empty()) {
        state.counters["median_ms"] = r.latenciesMs[r.latenciesMs.size() / 2];
        state.counters["p99_ms"] = r.latenciesMs[std::min(r.latenciesMs.size() - 1, r.latenciesMs.size() * 99 / 100)];
    }
}

// Each its own count, so the listeners share no cache line.
class Counting : public ConfigEventListener {
public:
    int IntegerChanged(eParam_t, int, timeval) override
    {
        heard.fetch_add(1, std::memory_order_relaxed);
        return 0;
    }
    alignas(64) std::atomic<std::int64_t> heard{0};
};

std::int64_t heardBy(const std::vector<std::unique_ptr<Counting>>& listeners)
{
    std::int64_t sum = 0;
    for (const auto& l : listeners)
        sum += l->heard.load(std::memory_order_relaxed);
    return sum;
}

void BM_ManyClients(benchmark::State& state)
{
    const int n = int(state.range(0));
    ConfigFactoryImpl* factory = ConfigFactoryImpl::GetInstance();
    std::vector<Config*> configs;
    std::vector<std::unique_ptr<Counting>> listeners;
    for (int i = 0; i < n; ++i) {
        Config* c = factory->CreateConfig(ServerUrl(), "");
        if (!c)
            break;
        configs.push_back(c);
        listeners.emplace_back(new Counting);
        c->AddEventListener(listeners.back().get());
    }
    if (int(configs.size()) == n) {
        for (auto _ : state) {
            const std::int64_t before = heardBy(listeners);
            RunResult r = runWriters(n, [&](int i, int value) {
                return configs[size_t(i)]->SetIntegerValue(ClientParam(i), value);
            });
            report(state, r, heardBy(listeners) - before);
        }
    } else {
        state.SkipWithError("cannot connect every client");
    }
    for (Config* c : configs)
        factory->ReleaseConfig(c);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
}
BENCHMARK(BM_ManyClients)->Arg(50)->Arg(1000)->Iterations(1)->UseRealTime();

std::string command(const std::vector<std::string>& words)
{
    std::string out = "*" + std::to_string(words.size()) + "\r\n";
    for (const auto& w : words)
        out += "$" + std::to_string(w.size()) + "\r\n" + w + "\r\n";
    return out;
}

// Reads until the bytes so far end with ending, within 5 s.
bool readUntil(int fd, const std::string& ending)
{
    std::string got;
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    char chunk[512];
    while (got.size() < ending.size() || got.compare(got.size() - ending.size(), ending.size(), ending) != 0) {
        pollfd p{fd, POLLIN, 0};
        if (Clock::now() >= deadline || poll(&p, 1, 100) < 0)
            return false;
        if (!p.revents)
            continue;
        const ssize_t n = recv(fd, chunk, sizeof chunk, 0);
        if (n <= 0)
            return false;
        got.append(chunk, size_t(n));
    }
    return true;
}

void BM_RedisManyClients(benchmark::State& state)
{
    const char* portText = std::getenv("REDIS_PORT");
    if (!portText) {
        state.SkipWithError("REDIS_PORT names no running redis-server (compare_redis.sh starts one)");
        return;
    }
    const int port = std::atoi(portText);
    const int n = int(state.range(0));
    std::vector<int> writers, watchers;
    bool ready = true;
    const std::string subscribe = command({"PSUBSCRIBE", "__keyspace@0__:k*"});
    for (int i = 0; ready && i < n; ++i) {
        const int w = ConnectLoopback(port);
        const int s = ConnectLoopback(port);
        if (w >= 0)
            writers.push_back(w);
        if (s >= 0)
            watchers.push_back(s);
        ready = w >= 0 && s >= 0 && send(s, subscribe.data(), subscribe.size(), MSG_NOSIGNAL) > 0 &&
                readUntil(s, ":1\r\n");
    }
    if (ready) {
        // The subscribers, read by one thread.
        std::atomic<std::int64_t> heard{0};
        std::atomic<bool> reading{true};
        const int epollFd = epoll_create1(EPOLL_CLOEXEC);
        for (int fd : watchers) {
            epoll_event e;
            std::memset(&e, 0, sizeof e);
            e.events = EPOLLIN;
            e.data.fd = fd;
            epoll_ctl(epollFd, EPOLL_CTL_ADD, fd, &e);
        }
        std::thread reader([&] {
            std::vector<epoll_event> events(1024);
            char chunk[16384];
            const std::string marker = "pmessage";
            while (reading.load(std::memory_order_relaxed)) {
                const int got = epoll_wait(epollFd, events.data(), int(events.size()), 100);
                for (int i = 0; i < got; ++i) {
                    ssize_t n;
                    while ((n = recv(events[i].data.fd, chunk, sizeof chunk, MSG_DONTWAIT)) > 0) {
                        std::int64_t count = 0;
                        for (const char* p = chunk; (p = static_cast<const char*>(
                                                         memmem(p, size_t(chunk + n - p), marker.data(), marker.size())));
                             p += marker.size())
                            ++count;
                        heard.fetch_add(count, std::memory_order_relaxed);
                    }
                }
            }
        });
        for (auto _ : state) {
            const std::int64_t before = heard.load();
            RunResult r = runWriters(n, [&](int i, int value) {
                const std::string set = command({"SET", "k" + std::to_string(i), std::to_string(value)});
                const int fd = writers[size_t(i)];
                if (send(fd, set.data(), set.size(), MSG_NOSIGNAL) != ssize_t(set.size()))
                    return false;
                char reply[5];
                size_t have = 0;
                while (have < sizeof reply) {
                    const ssize_t got = recv(fd, reply + have, sizeof reply - have, 0);
                    if (got <= 0)
                        return false;
                    have += size_t(got);
                }
                return std::memcmp(reply, "+OK\r\n", 5) == 0;
            });
            // What is still on its way counts too.
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            report(state, r, heard.load() - before);
        }
        reading = false;
        reader.join();
        close(epollFd);
    } else {
        state.SkipWithError("cannot connect and subscribe every client");
    }
    for (int fd : writers)
        close(fd);
    for (int fd : watchers)
        close(fd);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
}
BENCHMARK(BM_RedisManyClients)->Arg(50)->Arg(1000)->Iterations(1)->UseRealTime();

} // namespace
