#include "paramlink/socketserver.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <netinet/in.h>
#include <pthread.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <unordered_map>
#include <vector>

#include "clientlimit.h"
#include "logthrottle.h"
#include "netutil.h"
#include "serverchannel.h"
#include "serverconnection.h"
#include "serverprobe.h"

namespace velora {
namespace stackline {
namespace config {
namespace access {

using paramlink::ClientLimit;
using paramlink::ConfigStore;
using paramlink::Log;
using paramlink::MonotonicMs;
using paramlink::ServerChannel;
using paramlink::ServerConnection;

// One thread serves every client: it accepts, reads and answers requests,
// hands each config's changes to its clients, and at the end of each pass
// sends every client what waits for it with one write. It drops clients
// that do not greet in time or stall in the middle of a frame, and, when
// the bytes held for all clients pass the budget, the biggest holders that
// do not take their output.
class ServerCore : private paramlink::ConnectionHost {
public:
    explicit ServerCore(int port);
    ~ServerCore() override;

    int Initialize();
    int Start();
    int GetPort() const { return _boundPort; }
    void SetStallTimeoutMs(int ms) { _stallTimeoutMs.store(ms > 0 ? ms : 1); }
    void SetMaxClients(int clients) { _limit.SetWanted(clients); }
    int GetMaxClients() const { return _limit.Allowed(); }
    size_t HeldBytes() const { return _heldReport.load(std::memory_order_relaxed); }
    void SetHeldBudget(size_t bytes) { _heldBudget.store(bytes); }

    // Bytes held for all clients past which the biggest holders that do
    // not take their output are closed.
    static constexpr size_t kMaxHeldTotal = 256u << 20;
    // A client whose output has not moved for this long does not take it.
    static constexpr int kDeafMs = 2000;
    // The bounds of one client's queue before its events are conflated.
    static constexpr size_t kMinEventLimit = 64u << 10;
    static constexpr size_t kMaxEventLimit = 1u << 20;

private:
    struct Client {
        std::unique_ptr<ServerConnection> conn;
    };

    // ConnectionHost
    ServerChannel* Channel(ConfigStore* store) override;
    size_t EventLimit() const override { return _eventLimit; }
    void Dirty(ServerConnection* connection) override;
    void Held(long long delta) override { _held += delta; }
    void Greeted(ServerConnection* connection) override;

    void loop();
    void acceptAll(long long now);
    void admit(int fd, const sockaddr_storage& addr, long long now);
    bool evictUngreeted();
    void refuse(int fd, const std::string& peer, const std::string& reason, bool linger);
    void closeClient(int fd);
    void afterRead(ServerConnection& conn);
    void flushDirty(long long now);
    void keepBudget(long long now);
    void updateEventLimit();
    void checkTimers(long long now);
    int timerMs() const;
    void drainRefused(int fd);
    void wake();

    int _port;
    int _boundPort = 0;
    int _listenFd = -1;
    int _epollFd = -1;
    int _wakeFd = -1;
    // Given up to accept one client when no descriptor is left, so even
    // then a newcomer hears why it is refused.
    int _spareFd = -1;
    std::atomic<int> _stallTimeoutMs{10000};
    std::thread _thread;
    std::atomic<bool> _stop{false};
    std::atomic<bool> _wakePending{false};
    bool _started = false;
    ClientLimit _limit;
    std::atomic<size_t> _heldReport{0};
    std::atomic<size_t> _heldBudget{kMaxHeldTotal};

    // Loop thread only.
    std::unordered_map<int, Client> _clients;
    std::unordered_map<int, long long> _refused; // socket -> when to give up
    std::vector<std::unique_ptr<ServerConnection>> _closed;
    std::vector<int> _closedRefused;
    std::vector<std::unique_ptr<ServerChannel>> _channels;
    std::vector<ServerConnection*> _dirty;
    long long _held = 0;
    size_t _greeted = 0;
    size_t _eventLimit = kMaxEventLimit;
    int _stalling = 0;
    long long _nextCheck = 0;
    std::uint64_t _accepted = 0;
};

namespace {

// Refused newcomers are kept open a moment after their answer, so the
// answer is read before the connection goes; at most this many at once.
const size_t kMaxLingering = 64;
const int kLingerMs = 1000;
const int kMaxEvents = 256;

paramlink::LogThrottle& ungreetedLog()
{
    static auto* throttle = new paramlink::LogThrottle;
    return *throttle;
}

bool isLoopback(const sockaddr_storage& a)
{
    if (a.ss_family == AF_INET)
        return (ntohl(reinterpret_cast<const sockaddr_in*>(&a)->sin_addr.s_addr) >> 24) == 127;
    if (a.ss_family == AF_INET6) {
        const in6_addr& v6 = reinterpret_cast<const sockaddr_in6*>(&a)->sin6_addr;
        if (IN6_IS_ADDR_LOOPBACK(&v6))
            return true;
        return IN6_IS_ADDR_V4MAPPED(&v6) && v6.s6_addr[12] == 127;
    }
    return false;
}

std::string peerName(const sockaddr_storage& a)
{
    char text[INET6_ADDRSTRLEN] = "?";
    unsigned port = 0;
    if (a.ss_family == AF_INET) {
        auto* v4 = reinterpret_cast<const sockaddr_in*>(&a);
        inet_ntop(AF_INET, &v4->sin_addr, text, sizeof text);
        port = ntohs(v4->sin_port);
    } else if (a.ss_family == AF_INET6) {
        auto* v6 = reinterpret_cast<const sockaddr_in6*>(&a);
        // An IPv4 client of the dual-stack socket shows as IPv4.
        if (IN6_IS_ADDR_V4MAPPED(&v6->sin6_addr))
            inet_ntop(AF_INET, &v6->sin6_addr.s6_addr[12], text, sizeof text);
        else
            inet_ntop(AF_INET6, &v6->sin6_addr, text, sizeof text);
        port = ntohs(v6->sin6_port);
    }
    return std::string(text) + ":" + std::to_string(port);
}

bool watch(int epollFd, int fd, std::uint32_t events, int op = EPOLL_CTL_ADD)
{
    epoll_event e;
    std::memset(&e, 0, sizeof e);
    e.events = events;
    e.data.fd = fd;
    return epoll_ctl(epollFd, op, fd, &e) == 0;
}

} // namespace

ServerCore::ServerCore(int port)
    : _port(port),
      _epollFd(epoll_create1(EPOLL_CLOEXEC)),
      _wakeFd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)),
      _spareFd(open("/dev/null", O_RDONLY | O_CLOEXEC))
{
}

ServerCore::~ServerCore()
{
    _stop.store(true);
    wake();
    if (_thread.joinable())
        _thread.join();
    // No change reaches a channel after this; then the connections go.
    for (auto& c : _clients)
        c.second.conn->Detach();
    _channels.clear();
    _clients.clear();
    _closed.clear();
    for (auto& r : _refused)
        close(r.first);
    for (int fd : {_listenFd, _epollFd, _wakeFd, _spareFd})
        if (fd >= 0)
            close(fd);
}

void ServerCore::wake()
{
    if (_wakePending.exchange(true))
        return;
    std::uint64_t one = 1;
    ssize_t ignored = write(_wakeFd, &one, sizeof one);
    (void)ignored;
}

ServerChannel* ServerCore::Channel(ConfigStore* store)
{
    for (auto& channel : _channels)
        if (channel->Store() == store)
            return channel.get();
    _channels.emplace_back(new ServerChannel(store, [this] { wake(); }));
    return _channels.back().get();
}

void ServerCore::Dirty(ServerConnection* connection)
{
    if (connection->dirty)
        return;
    connection->dirty = true;
    _dirty.push_back(connection);
}

void ServerCore::Greeted(ServerConnection*)
{
    ++_greeted;
    updateEventLimit();
}

void ServerCore::updateEventLimit()
{
    const size_t share = _heldBudget.load() / std::max<size_t>(1, _greeted);
    _eventLimit = std::min(kMaxEventLimit, std::max(kMinEventLimit, share));
}

int ServerCore::Initialize()
{
    if (_listenFd >= 0)
        return 1;
    if (_port < 0 || _port > 65535 || _wakeFd < 0 || _epollFd < 0)
        return 0;
    int one = 1;
    // Dual-stack where IPv6 exists, so "localhost" works either way.
    int fd = socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd >= 0) {
        int zero = 0;
        setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &zero, sizeof zero);
        sockaddr_in6 a;
        std::memset(&a, 0, sizeof a);
        a.sin6_family = AF_INET6;
        a.sin6_addr = in6addr_any;
        a.sin6_port = htons(std::uint16_t(_port));
        if (bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
            const int err = errno;
            close(fd);
            fd = -1;
            if (err == EADDRINUSE) {
                Log("port " + std::to_string(_port) + " is in use");
                return 0;
            }
        }
    }
    if (fd < 0) {
        fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0)
            return 0;
        setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in a;
        std::memset(&a, 0, sizeof a);
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_ANY);
        a.sin_port = htons(std::uint16_t(_port));
        if (bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
            Log("cannot bind port " + std::to_string(_port) + ": " + std::strerror(errno));
            close(fd);
            return 0;
        }
    }
    if (listen(fd, 512) != 0) {
        Log("cannot listen on port " + std::to_string(_port) + ": " + std::strerror(errno));
        close(fd);
        return 0;
    }
    sockaddr_storage bound;
    socklen_t len = sizeof bound;
    getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &len);
    _boundPort = bound.ss_family == AF_INET6 ? ntohs(reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port)
                                             : ntohs(reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
    _listenFd = fd;
    return 1;
}

int ServerCore::Start()
{
    if (_listenFd < 0)
        return 0;
    if (_started)
        return 1;
    if (!watch(_epollFd, _listenFd, EPOLLIN) || !watch(_epollFd, _wakeFd, EPOLLIN)) {
        Log(std::string("cannot watch the server's sockets: ") + std::strerror(errno));
        return 0;
    }
    _limit.Apply();
    _thread = std::thread([this] { loop(); });
    _started = true;
    return 1;
}

void ServerCore::loop()
{
    pthread_setname_np(pthread_self(), "paramlink-srv");
    epoll_event events[kMaxEvents];
    while (!_stop.load()) {
        const int n = epoll_wait(_epollFd, events, kMaxEvents, timerMs());
        if (n < 0 && errno != EINTR) {
            Log(std::string("server loop failed: ") + std::strerror(errno));
            break;
        }
        const long long now = MonotonicMs();
        for (int i = 0; i < n; ++i) {
            const int fd = events[i].data.fd;
            if (fd == _wakeFd) {
                std::uint64_t count;
                ssize_t ignored = read(_wakeFd, &count, sizeof count);
                (void)ignored;
                _wakePending.store(false);
                continue;
            }
            if (fd == _listenFd) {
                acceptAll(now);
                continue;
            }
            auto it = _clients.find(fd);
            if (it != _clients.end()) {
                ServerConnection& conn = *it->second.conn;
                if (events[i].events & (EPOLLIN | EPOLLHUP | EPOLLERR)) {
                    if (!conn.OnReadable(now)) {
                        closeClient(fd);
                        continue;
                    }
                    afterRead(conn);
                }
                if (events[i].events & EPOLLOUT)
                    Dirty(&conn);
                continue;
            }
            if (_refused.count(fd))
                drainRefused(fd);
        }
        // Changes made by other threads, then one write per client.
        for (auto& channel : _channels)
            channel->Drain(_eventLimit);
        flushDirty(now);
        keepBudget(now);
        checkTimers(now);
        _heldReport.store(size_t(std::max(0LL, _held)), std::memory_order_relaxed);
        // Sockets close only here, so no descriptor is reused while events
        // of this round may still name it.
        _closed.clear();
        for (int fd : _closedRefused)
            close(fd);
        _closedRefused.clear();
    }
}

void ServerCore::afterRead(ServerConnection& conn)
{
    const bool stalling = conn.Stalling();
    if (stalling != conn.stalling) {
        _stalling += stalling ? 1 : -1;
        conn.stalling = stalling;
    }
}

void ServerCore::flushDirty(long long now)
{
    for (size_t i = 0; i < _dirty.size(); ++i) {
        ServerConnection* conn = _dirty[i];
        conn->dirty = false;
        if (conn->closed)
            continue;
        conn->Flush(now);
        const bool wants = conn->WantsWrite();
        if (wants != conn->armed &&
            watch(_epollFd, conn->Fd(), std::uint32_t(EPOLLIN) | (wants ? std::uint32_t(EPOLLOUT) : 0u), EPOLL_CTL_MOD))
            conn->armed = wants;
    }
    _dirty.clear();
}

void ServerCore::keepBudget(long long now)
{
    const long long budget = static_cast<long long>(_heldBudget.load());
    if (_held <= budget)
        return;
    // The biggest holders first, never a client that takes its output.
    std::vector<std::pair<size_t, int>> deaf;
    for (auto& c : _clients)
        if (!c.second.conn->TakesOutput(now, kDeafMs))
            deaf.emplace_back(c.second.conn->Held(), c.first);
    std::sort(deaf.begin(), deaf.end(), [](const std::pair<size_t, int>& a, const std::pair<size_t, int>& b) {
        return a.first > b.first;
    });
    for (const auto& d : deaf) {
        if (_held <= budget)
            break;
        ServerConnection& conn = *_clients[d.second].conn;
        conn.Closing("does not take its events, and the server's memory for its clients is spent");
        conn.Abort();
        closeClient(d.second);
    }
}

void ServerCore::closeClient(int fd)
{
    auto it = _clients.find(fd);
    if (it == _clients.end())
        return;
    ServerConnection& conn = *it->second.conn;
    if (conn.stalling)
        --_stalling;
    if (conn.Greeted()) {
        --_greeted;
        updateEventLimit();
    }
    // What it was last answered (a refusal) goes out if it can.
    conn.Flush(MonotonicMs());
    conn.Detach();
    conn.closed = true;
    epoll_ctl(_epollFd, EPOLL_CTL_DEL, fd, nullptr);
    _closed.push_back(std::move(it->second.conn));
    _clients.erase(it);
}

int ServerCore::timerMs() const
{
    // Over the budget, clients that stop taking their output are looked
    // for again soon.
    if (_held > static_cast<long long>(_heldBudget.load()))
        return 250;
    if (_stalling == 0 && _refused.empty())
        return -1;
    const int tick = std::min(100, std::max(5, _stallTimeoutMs.load() / 4));
    const long long left = _nextCheck - MonotonicMs();
    return left <= 0 ? 0 : int(std::min<long long>(left, tick));
}

void ServerCore::checkTimers(long long now)
{
    if ((_stalling == 0 && _refused.empty()) || now < _nextCheck)
        return;
    const int stallMs = _stallTimeoutMs.load();
    _nextCheck = now + std::min(100, std::max(5, stallMs / 4));
    if (_stalling > 0) {
        std::vector<int> stalled;
        for (auto& c : _clients) {
            const ServerConnection& conn = *c.second.conn;
            if (!conn.stalling)
                continue;
            // A greeting is due a fixed time after the accept, however the
            // bytes trickle in; a frame may take that long between bytes.
            if (conn.Greeted() ? now - conn.LastProgressMs() >= stallMs : now - conn.AcceptedMs() >= stallMs)
                stalled.push_back(c.first);
        }
        for (int fd : stalled) {
            const ServerConnection& conn = *_clients[fd].conn;
            if (conn.Greeted())
                conn.Closing("stalled in the middle of a frame");
            else
                ungreetedLog().Log("closing connection from " + conn.Peer() + ": no greeting",
                                   "more closed for want of a greeting since the last line");
            closeClient(fd);
        }
    }
    for (auto it = _refused.begin(); it != _refused.end();) {
        if (now >= it->second) {
            epoll_ctl(_epollFd, EPOLL_CTL_DEL, it->first, nullptr);
            _closedRefused.push_back(it->first);
            it = _refused.erase(it);
        } else {
            ++it;
        }
    }
}

void ServerCore::drainRefused(int fd)
{
    char buf[4096];
    ssize_t n;
    do
        n = recv(fd, buf, sizeof buf, MSG_DONTWAIT);
    while (n > 0);
    if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
        epoll_ctl(_epollFd, EPOLL_CTL_DEL, fd, nullptr);
        _refused.erase(fd);
        _closedRefused.push_back(fd);
    }
}

void ServerCore::acceptAll(long long now)
{
    for (;;) {
        sockaddr_storage addr;
        socklen_t len = sizeof addr;
        int fd = accept4(_listenFd, reinterpret_cast<sockaddr*>(&addr), &len, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd >= 0) {
            admit(fd, addr, now);
            continue;
        }
        if (errno == EINTR || errno == ECONNABORTED)
            continue;
        if ((errno == EMFILE || errno == ENFILE) && _spareFd >= 0) {
            // Out of descriptors: take the newcomer with the spare one and
            // tell it so, rather than leaving it queued and the listening
            // socket ready for ever.
            close(_spareFd);
            len = sizeof addr;
            fd = accept4(_listenFd, reinterpret_cast<sockaddr*>(&addr), &len, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (fd >= 0)
                refuse(fd, peerName(addr), "the server has no file descriptor left", false);
            _spareFd = open("/dev/null", O_RDONLY | O_CLOEXEC);
            if (fd >= 0)
                continue;
        }
        return;
    }
}

bool ServerCore::evictUngreeted()
{
    int oldest = -1;
    std::uint64_t oldestOrder = 0;
    for (auto& c : _clients) {
        const ServerConnection& conn = *c.second.conn;
        if (!conn.Greeted() && (oldest < 0 || conn.acceptOrder < oldestOrder)) {
            oldest = c.first;
            oldestOrder = conn.acceptOrder;
        }
    }
    if (oldest < 0)
        return false;
    ungreetedLog().Log("closing connection from " + _clients[oldest].conn->Peer() +
                           ": no greeting yet, and its place is wanted",
                       "more closed for want of a greeting since the last line");
    closeClient(oldest);
    return true;
}

void ServerCore::admit(int fd, const sockaddr_storage& addr, long long now)
{
    const std::string peer = peerName(addr);
    const size_t limit = size_t(_limit.Allowed());
    // The last place is kept for this host's own programs. A full table
    // first gives up a connection that has not greeted, so such ones
    // never lock a client out.
    const size_t room = isLoopback(addr) ? limit : limit - 1;
    if (_clients.size() >= room && !evictUngreeted()) {
        refuse(fd, peer,
               "too many clients (" + std::to_string(_clients.size()) + " connected, at most " +
                   std::to_string(limit) + (room < limit ? ", the last place kept for this host)" : ")"),
               true);
        return;
    }
    paramlink::SetNoDelay(fd);
    Client client;
    client.conn.reset(new ServerConnection(fd, peer, *this, now));
    client.conn->acceptOrder = ++_accepted;
    if (!watch(_epollFd, fd, EPOLLIN)) {
        Log("cannot watch the connection from " + peer + ": " + std::strerror(errno));
        return; // the connection closes with client
    }
    ++_stalling;
    _clients.emplace(fd, std::move(client));
}

void ServerCore::refuse(int fd, const std::string& peer, const std::string& reason, bool linger)
{
    _limit.LogRefusal(peer, reason);
    std::string frame;
    paramlink::wire::AppendRefusal(frame, paramlink::wire::kServerFull, reason);
    ssize_t ignored = send(fd, frame.data(), frame.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    (void)ignored;
    shutdown(fd, SHUT_WR);
    if (linger && _refused.size() < kMaxLingering && watch(_epollFd, fd, EPOLLIN)) {
        _refused.emplace(fd, MonotonicMs() + kLingerMs);
        return;
    }
    close(fd);
}

SocketServer::SocketServer(int port) : _core(new ServerCore(port)) {}

SocketServer::~SocketServer() = default;

int SocketServer::Initialize() { return _core->Initialize(); }

int SocketServer::Start() { return _core->Start(); }

int SocketServer::GetPort() const { return _core->GetPort(); }

void SocketServer::SetStallTimeoutMs(int ms) { _core->SetStallTimeoutMs(ms); }

void SocketServer::SetMaxClients(int clients) { _core->SetMaxClients(clients); }

int SocketServer::GetMaxClients() const { return _core->GetMaxClients(); }

size_t ServerProbe::HeldBytes(const SocketServer& server) { return server._core->HeldBytes(); }

void ServerProbe::SetHeldBudget(SocketServer& server, size_t bytes) { server._core->SetHeldBudget(bytes); }

} // namespace access
} // namespace config
} // namespace stackline
} // namespace velora
