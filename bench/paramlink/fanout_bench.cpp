// Event fan-out: one set (or publish) reaching N watching clients, timed
// from just before the set leaves until the last watcher has it.
//   BM_FanOut            the store; watchers are bare connections that one
//                        thread reads, as the Redis subscribers are
//   BM_RedisFanOut       Redis pub/sub, same watchers (REDIS_PORT names a
//                        running redis-server; compare_redis.sh starts one)
//   BM_FanOutToListeners the store through the library: each watcher a
//                        socket config with a listener, two threads each,
//                        as separate client programs would have
#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "benchserver.h"
#include "wireformat.h"

using namespace bench;
namespace wire = paramlink::wire;
using Clock = std::chrono::steady_clock;

namespace {

const auto kEventWait = std::chrono::seconds(5);

bool sendAll(int fd, const std::string& bytes)
{
    return send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == ssize_t(bytes.size());
}

// What differs between the store and Redis: handshakes, the publish
// request, and finding the published numbers in a watcher's bytes.
class Protocol {
public:
    virtual ~Protocol() = default;
    virtual int Port() const = 0;
    // A watcher that is subscribed once this returns true.
    virtual bool Subscribe(int fd) = 0;
    virtual bool Greet(int publisher) = 0;
    virtual std::string Publish(int seq) = 0;
    // Consumes whole messages at the front of buf; the last number
    // published among them, or -1.
    virtual int Consume(std::string& buf) = 0;

protected:
    // Reads into buf until Consume finds a whole message (the handshake
    // answer), within 5 s.
    bool readAnswer(int fd, const std::function<bool(std::string&)>& whole)
    {
        std::string buf;
        const auto deadline = Clock::now() + std::chrono::seconds(5);
        while (!whole(buf)) {
            pollfd p{fd, POLLIN, 0};
            if (Clock::now() >= deadline || poll(&p, 1, 100) < 0)
                return false;
            char chunk[4096];
            if (p.revents) {
                const ssize_t n = recv(fd, chunk, sizeof chunk, 0);
                if (n <= 0)
                    return false;
                buf.append(chunk, size_t(n));
            }
        }
        return true;
    }
};

class StoreProtocol : public Protocol {
public:
    int Port() const override { return ServerPort(); }
    bool Subscribe(int fd) override { return Greet(fd); }
    bool Greet(int fd) override
    {
        std::string hello;
        wire::AppendHello(hello, kConfig);
        bool welcomed = false;
        return sendAll(fd, hello) && readAnswer(fd, [&](std::string& buf) {
                   wire::Message msg;
                   if (!next(buf, msg))
                       return false;
                   welcomed = msg.type == wire::MsgType::Welcome && msg.status == wire::kWelcome;
                   return true;
               }) && welcomed;
    }
    std::string Publish(int seq) override
    {
        std::string set;
        wire::AppendSet(set, std::uint32_t(seq), kParam, ValueKind::Integer, seq, nullptr, 0);
        return set;
    }
    int Consume(std::string& buf) override
    {
        int last = -1;
        wire::Message msg;
        while (next(buf, msg))
            if (msg.type == wire::MsgType::Event && msg.paramID == kParam)
                last = msg.intValue;
        return last;
    }

private:
    // Takes one whole frame off the front of buf.
    bool next(std::string& buf, wire::Message& msg)
    {
        if (buf.size() < wire::kLengthBytes)
            return false;
        const auto* p = reinterpret_cast<const std::uint8_t*>(buf.data());
        const size_t length = (size_t(p[0]) << 24) | (size_t(p[1]) << 16) | (size_t(p[2]) << 8) | p[3];
        if (buf.size() < wire::kLengthBytes + length)
            return false;
        const char* reason = nullptr;
        _body.assign(buf, wire::kLengthBytes, length);
        buf.erase(0, wire::kLengthBytes + length);
        return wire::ParseMessage(reinterpret_cast<const std::uint8_t*>(_body.data()), _body.size(), msg, reason);
    }
    std::string _body;
};

class RedisProtocol : public Protocol {
public:
    explicit RedisProtocol(int port) : _port(port) {}
    int Port() const override { return _port; }
    bool Subscribe(int fd) override
    {
        return sendAll(fd, command({"SUBSCRIBE", kChannel})) && readAnswer(fd, [&](std::string& buf) {
                   std::vector<std::string> items;
                   return take(buf, items) > 0;
               });
    }
    bool Greet(int) override { return true; }
    std::string Publish(int seq) override { return command({"PUBLISH", kChannel, std::to_string(seq)}); }
    int Consume(std::string& buf) override
    {
        int last = -1;
        std::vector<std::string> items;
        size_t used;
        while ((used = take(buf, items)) > 0) {
            buf.erase(0, used);
            if (items.size() == 3 && items[0] == "message")
                last = std::atoi(items[2].c_str());
        }
        return last;
    }

private:
    static constexpr const char* kChannel = "fanout";

    static std::string command(const std::vector<std::string>& words)
    {
        std::string out = "*" + std::to_string(words.size()) + "\r\n";
        for (const auto& w : words)
            out += "$" + std::to_string(w.size()) + "\r\n" + w + "\r\n";
        return out;
    }
    // One whole reply at the front of buf (an array of bulk strings and
    // integers, or a single integer): the bytes it takes, 0 when
    // incomplete.
    static size_t take(const std::string& buf, std::vector<std::string>& items)
    {
        items.clear();
        size_t pos = 0;
        auto line = [&](std::string& out) {
            const size_t end = buf.find("\r\n", pos);
            if (end == std::string::npos)
                return false;
            out = buf.substr(pos, end - pos);
            pos = end + 2;
            return true;
        };
        std::string head;
        if (!line(head) || head.empty())
            return 0;
        if (head[0] == ':')
            return pos;
        const int count = head[0] == '*' ? std::atoi(head.c_str() + 1) : 0;
        for (int i = 0; i < count; ++i) {
            std::string item;
            if (!line(item) || item.empty())
                return 0;
            if (item[0] == '$') {
                const size_t length = size_t(std::atoi(item.c_str() + 1));
                if (buf.size() < pos + length + 2)
                    return 0;
                items.push_back(buf.substr(pos, length));
                pos += length + 2;
            } else {
                items.push_back(item.substr(1));
            }
        }
        return pos;
    }

    int _port;
};

// N watchers and one publisher, read by this thread through one epoll set.
class FanOut {
public:
    FanOut(Protocol& protocol, int watchers) : _protocol(protocol), _epoll(epoll_create1(EPOLL_CLOEXEC))
    {
        for (int i = 0; i <= watchers; ++i) {
            const int fd = ConnectLoopback(protocol.Port());
            const bool ready = fd >= 0 && (i < watchers ? protocol.Subscribe(fd) : protocol.Greet(fd));
            _peers.push_back(Peer{fd, -1, std::string()});
            if (!ready)
                return;
            epoll_event e;
            std::memset(&e, 0, sizeof e);
            e.events = EPOLLIN;
            e.data.u32 = std::uint32_t(i);
            epoll_ctl(_epoll, EPOLL_CTL_ADD, fd, &e);
        }
        _ready = true;
    }
    ~FanOut()
    {
        for (auto& p : _peers)
            if (p.fd >= 0)
                close(p.fd);
        close(_epoll);
        // Give the server a moment to see them go before the next run.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    bool Ready() const { return _ready; }

    // Microseconds from the publish to the last watcher's copy; negative
    // when some watcher did not get it in time.
    double Round(int seq)
    {
        const size_t watchers = _peers.size() - 1;
        size_t waiting = watchers;
        const auto start = Clock::now();
        auto last = start;
        if (!sendAll(_peers.back().fd, _protocol.Publish(seq)))
            return -1;
        epoll_event events[1024];
        char chunk[16384];
        while (waiting > 0 && Clock::now() - start < kEventWait) {
            const int n = epoll_wait(_epoll, events, 1024, 100);
            for (int i = 0; i < n; ++i) {
                Peer& peer = _peers[events[i].data.u32];
                ssize_t got;
                while ((got = recv(peer.fd, chunk, sizeof chunk, MSG_DONTWAIT)) > 0)
                    peer.buf.append(chunk, size_t(got));
                const int newest = _protocol.Consume(peer.buf);
                if (newest < 0 || events[i].data.u32 == watchers)
                    continue; // the publisher's own answers
                if (peer.seen < seq && newest >= seq && --waiting == 0)
                    last = Clock::now();
                peer.seen = newest;
            }
        }
        return waiting ? -1 : MicrosBetween(start, last);
    }

private:
    struct Peer {
        int fd;
        int seen;
        std::string buf;
    };
    Protocol& _protocol;
    int _epoll;
    std::vector<Peer> _peers;
    bool _ready = false;
};

// seq is the number last published: a set of the store's current value
// would change nothing and send no event.
void runFanOut(benchmark::State& state, Protocol& protocol, int seq)
{
    FanOut fan(protocol, int(state.range(0)));
    if (!fan.Ready()) {
        state.SkipWithError("cannot connect every watcher");
        return;
    }
    std::vector<double> latencies;
    std::int64_t lost = 0;
    for (auto _ : state) {
        const double us = fan.Round(++seq);
        if (us < 0)
            ++lost;
        else
            latencies.push_back(us);
    }
    ReportLatencies(state, latencies, lost);
}

void BM_FanOut(benchmark::State& state)
{
    Config* reader = ConfigFactoryImpl::GetInstance()->CreateConfig(ServerUrl(), "");
    if (!reader) {
        state.SkipWithError("no server");
        return;
    }
    const int current = reader->GetIntegerValue(kParam);
    ConfigFactoryImpl::GetInstance()->ReleaseConfig(reader);
    StoreProtocol store;
    runFanOut(state, store, current);
}
BENCHMARK(BM_FanOut)->Arg(100)->Arg(1000)->MinTime(BenchSeconds())->UseRealTime();

void BM_RedisFanOut(benchmark::State& state)
{
    const char* port = std::getenv("REDIS_PORT");
    if (!port) {
        state.SkipWithError("REDIS_PORT names no running redis-server (compare_redis.sh starts one)");
        return;
    }
    RedisProtocol redis(std::atoi(port));
    runFanOut(state, redis, 0);
}
BENCHMARK(BM_RedisFanOut)->Arg(100)->Arg(1000)->MinTime(BenchSeconds())->UseRealTime();

// Counts the listeners that have the current number; the last one notes
// the time.
struct Round {
    std::atomic<int> target{0};
    std::atomic<int> arrived{0};
    std::atomic<std::int64_t> lastAt{0};
    int watchers = 0;
};

class CountingListener : public ConfigEventListener {
public:
    explicit CountingListener(Round& round) : _round(round) {}
    int IntegerChanged(eParam_t, int value, timeval) override
    {
        if (value == _round.target.load(std::memory_order_acquire) &&
            _round.arrived.fetch_add(1, std::memory_order_acq_rel) + 1 == _round.watchers)
            _round.lastAt.store(Clock::now().time_since_epoch().count(), std::memory_order_release);
        return 0;
    }

private:
    Round& _round;
};

void BM_FanOutToListeners(benchmark::State& state)
{
    Round round;
    round.watchers = int(state.range(0));
    ConfigFactoryImpl* factory = ConfigFactoryImpl::GetInstance();
    std::vector<Config*> configs;
    std::vector<std::unique_ptr<CountingListener>> listeners;
    Config* setter = factory->CreateConfig(ServerUrl(), "");
    bool ready = setter != nullptr;
    for (int i = 0; ready && i < round.watchers; ++i) {
        Config* c = factory->CreateConfig(ServerUrl(), "");
        ready = c != nullptr;
        if (!c)
            break;
        configs.push_back(c);
        listeners.emplace_back(new CountingListener(round));
        c->AddEventListener(listeners.back().get());
    }
    if (ready) {
        std::vector<double> latencies;
        std::int64_t lost = 0;
        int seq = setter->GetIntegerValue(kParam);
        for (auto _ : state) {
            round.arrived.store(0);
            round.lastAt.store(0);
            round.target.store(++seq, std::memory_order_release);
            const auto start = Clock::now();
            setter->SetIntegerValue(kParam, seq);
            while (round.lastAt.load(std::memory_order_acquire) == 0 && Clock::now() - start < kEventWait)
                std::this_thread::yield();
            if (round.lastAt.load() == 0) {
                ++lost;
                continue;
            }
            const Clock::time_point last{Clock::duration(round.lastAt.load(std::memory_order_acquire))};
            latencies.push_back(MicrosBetween(start, last));
        }
        ReportLatencies(state, latencies, lost);
    } else {
        state.SkipWithError("cannot connect every watcher");
    }
    for (Config* c : configs)
        factory->ReleaseConfig(c);
    if (setter)
        factory->ReleaseConfig(setter);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
}
BENCHMARK(BM_FanOutToListeners)->Arg(100)->Arg(1000)->MinTime(BenchSeconds())->UseRealTime();

} // namespace
