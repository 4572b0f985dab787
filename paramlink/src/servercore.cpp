#include "servercore.h"

#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <pthread.h>

#include "heaptrim.h"
#include "logthrottle.h"
#include "netutil.h"
#include "serverbudget.h"

namespace paramlink {

namespace {

const int kMaxEvents = 256;

} // namespace

ServerCore::ServerCore(int port)
    : _epollFd(epoll_create1(EPOLL_CLOEXEC)),
      _wakeFd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)),
      _admission(port, _epollFd)
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
    for (int fd : {_epollFd, _wakeFd})
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

void ServerCore::ForEachConnection(const std::function<void(const ServerConnection&)>& visit) const
{
    for (auto& c : _clients)
        visit(*c.second.conn);
}

void ServerCore::Admit(int fd, const std::string& peer, std::uint64_t order, long long now)
{
    SetNoDelay(fd);
    Client client;
    client.conn.reset(new ServerConnection(fd, peer, *this, now));
    client.conn->acceptOrder = order;
    if (!WatchFd(_epollFd, fd, EPOLLIN, EPOLL_CTL_ADD)) {
        Log("cannot watch the connection from " + peer + ": " + std::strerror(errno));
        return; // the connection closes with client
    }
    ++_stalling;
    _clients.emplace(fd, std::move(client));
}

int ServerCore::Initialize()
{
    if (_admission.Listening())
        return 1;
    if (_wakeFd < 0 || _epollFd < 0)
        return 0;
    return _admission.Listen();
}

int ServerCore::Start()
{
    if (!_admission.Listening())
        return 0;
    if (_started)
        return 1;
    if (!WatchFd(_epollFd, _admission.ListenFd(), EPOLLIN, EPOLL_CTL_ADD) ||
        !WatchFd(_epollFd, _wakeFd, EPOLLIN, EPOLL_CTL_ADD)) {
        Log(std::string("cannot watch the server's sockets: ") + std::strerror(errno));
        return 0;
    }
    _admission.ApplyLimit();
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
        for (int i = 0; i < n; ++i)
            onEvent(events[i].data.fd, events[i].events, now);
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
        _admission.CloseDropped();
        trimHeap(now);
    }
}

void ServerCore::onEvent(int fd, std::uint32_t events, long long now)
{
    if (fd == _wakeFd) {
        std::uint64_t count;
        ssize_t ignored = read(_wakeFd, &count, sizeof count);
        (void)ignored;
        _wakePending.store(false);
        return;
    }
    if (fd == _admission.ListenFd()) {
        _admission.AcceptAll(now, *this);
        return;
    }
    auto it = _clients.find(fd);
    if (it == _clients.end()) {
        _admission.DrainRefused(fd);
        return;
    }
    ServerConnection& conn = *it->second.conn;
    if (events & (EPOLLIN | EPOLLHUP | EPOLLERR)) {
        if (!conn.OnReadable(now)) {
            closeClient(fd);
            return;
        }
        afterRead(conn);
    }
    if (events & EPOLLOUT)
        Dirty(&conn);
}

void ServerCore::trimHeap(long long now)
{
    if (!_trim.Due(_held, now))
        return;
    heaptrim::TrimIfWorth();
    _trim.Trimmed(_held, MonotonicMs());
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
            WatchFd(_epollFd, conn->Fd(), std::uint32_t(EPOLLIN) | (wants ? std::uint32_t(EPOLLOUT) : 0u), EPOLL_CTL_MOD))
            conn->armed = wants;
    }
    _dirty.clear();
}

void ServerCore::keepBudget(long long now)
{
    const long long budget = static_cast<long long>(_heldBudget.load());
    if (_held <= budget)
        return;
    std::vector<Holder> holders;
    for (auto& c : _clients)
        holders.push_back(Holder{c.first, c.second.conn->Held(), c.second.conn->TakesOutput(now, kDeafMs)});
    for (int fd : PickToShed(std::move(holders), _held, budget)) {
        ServerConnection& conn = *_clients[fd].conn;
        conn.Closing("does not take its events, and the server's memory for its clients is spent");
        conn.Abort();
        closeClient(fd);
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
    const int check = checkTimerMs();
    const int trim = _trim.WaitMs(MonotonicMs());
    if (check < 0 || trim < 0)
        return std::max(check, trim);
    return std::min(check, trim);
}

int ServerCore::checkTimerMs() const
{
    // Over the budget, clients that stop taking their output are looked
    // for again soon.
    if (_held > static_cast<long long>(_heldBudget.load()))
        return 250;
    if (_stalling == 0 && !_admission.Lingering())
        return -1;
    const int tick = std::min(100, std::max(5, _stallTimeoutMs.load() / 4));
    const long long left = _nextCheck - MonotonicMs();
    return left <= 0 ? 0 : int(std::min<long long>(left, tick));
}

void ServerCore::checkTimers(long long now)
{
    if ((_stalling == 0 && !_admission.Lingering()) || now < _nextCheck)
        return;
    const int stallMs = _stallTimeoutMs.load();
    _nextCheck = now + std::min(100, std::max(5, stallMs / 4));
    if (_stalling > 0)
        closeStalled(now, stallMs);
    _admission.ExpireRefused(now);
}

void ServerCore::closeStalled(long long now, int stallMs)
{
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
            UngreetedLog().Log("closing connection from " + conn.Peer() + ": no greeting",
                               "more closed for want of a greeting since the last line");
        closeClient(fd);
    }
}

} // namespace paramlink
