#include "socketlink.h"

#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

#include "clientio.h"
#include "netutil.h"

namespace paramlink {

namespace {
using Clock = std::chrono::steady_clock;
} // namespace

int SocketLink::Open(const StoreUrl& url, wire::FrameBuffer& in, std::uint64_t& connectionID, std::string& error)
{
    const std::string where = url.host + ":" + std::to_string(url.port);
    std::string why;
    const int fd = ConnectTcp(url.host, url.port, kConnectTimeoutMs, why);
    if (fd < 0) {
        error = "cannot connect to " + where + ": " + why;
        return -1;
    }
    std::string hello;
    wire::AppendHello(hello, url.configID);
    // A server that refuses every newcomer may have answered and closed
    // already; its answer is still read below.
    const bool sent = SendAll(fd, hello.data(), hello.size(), kReplyTimeoutMs);
    const auto deadline = Clock::now() + std::chrono::milliseconds(kReplyTimeoutMs);
    for (;;) {
        const std::uint8_t* body = nullptr;
        size_t length = 0;
        auto status = in.Next(body, length, why);
        if (status == wire::FrameBuffer::Status::Error) {
            error = where + " sent a bad greeting: " + why;
            break;
        }
        if (status == wire::FrameBuffer::Status::Frame) {
            wire::Message msg;
            const char* reason = nullptr;
            if (!wire::ParseMessage(body, length, msg, reason) || msg.type != wire::MsgType::Welcome) {
                error = where + " sent a bad greeting";
                break;
            }
            if (msg.status != wire::kWelcome) {
                const std::string text(msg.bytes, msg.length);
                error = where + " refused the connection to config " + std::to_string(url.configID) + ": " +
                        (text.empty() ? std::string("no reason given") : text);
                break;
            }
            if (!sent) {
                error = "cannot greet " + where;
                break;
            }
            connectionID = msg.origin.writer;
            timeval slice{0, kReadSliceMs * 1000};
            setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &slice, sizeof slice);
            return fd;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0 || !WaitReadable(fd, int(left))) {
            error = sent ? where + " did not answer" : "cannot greet " + where;
            break;
        }
        const ssize_t n = recv(fd, in.WritePtr(), in.WriteSpace(), 0);
        if (n <= 0) {
            error = where + " closed the connection";
            break;
        }
        in.Commit(size_t(n));
    }
    close(fd);
    return -1;
}

SocketLink::SocketLink(const StoreUrl& url, DescriptorTable* table, std::shared_ptr<ListenerQueue> events,
                       std::shared_ptr<ListenerHub> hub)
    : _url(url),
      _where(url.host + ":" + std::to_string(url.port)),
      _table(table),
      _events(std::move(events)),
      _hub(std::move(hub)),
      _in(kReadBuffer),
      _caching(url.caching)
{
}

std::shared_ptr<SocketLink> SocketLink::Start(const StoreUrl& url, DescriptorTable* table,
                                              std::shared_ptr<ListenerQueue> events, std::shared_ptr<ListenerHub> hub,
                                              int fd, wire::FrameBuffer in, std::uint64_t connectionID)
{
    std::shared_ptr<SocketLink> link(new SocketLink(url, table, std::move(events), std::move(hub)));
    link->_ioKey = ClientIO::Instance().Register(link);
    std::string why;
    bool ok;
    {
        std::lock_guard<std::mutex> lock(link->_mutex);
        link->_fd = fd;
        link->_in = std::move(in);
        link->_generation = 1;
        link->_connectionID.store(connectionID, std::memory_order_release);
        link->_connected.store(true, std::memory_order_release);
        link->_reading = true;
        link->_readGeneration = 1;
        link->_readConnection = connectionID;
    }
    // Events that came with the greeting.
    ok = link->parseBuffered(why);
    if (!ok)
        link->lost(1, why);
    std::lock_guard<std::mutex> lock(link->_mutex);
    link->endTurnLocked(false);
    return link;
}

SocketLink::~SocketLink()
{
    ClientIO::Instance().Unregister(_ioKey);
    if (_fd >= 0)
        close(_fd);
}

void SocketLink::Close()
{
    std::lock_guard<std::mutex> lock(_mutex);
    if (_closed)
        return;
    _closed = true;
    _connected.store(false, std::memory_order_release);
    dropSocketLocked();
    _turnFree.notify_all();
}

void SocketLink::dropSocketLocked()
{
    _connectionID.store(0, std::memory_order_release);
    if (_fd >= 0) {
        if (_inSet)
            ClientIO::Instance().Forget(_fd);
        // Wakes a reader waiting on the socket; the socket is closed once
        // no thread uses it (Reconnect, or the end of the link).
        shutdown(_fd, SHUT_RDWR);
    }
    _inSet = _armed = false;
    for (Waiter* w : _waiters) {
        w->done.store(true, std::memory_order_release);
        w->wake.notify_one();
    }
}

void SocketLink::note(LinkNote note)
{
    if (!_hub->HasLinkListeners())
        return;
    OwnedChange change;
    change.link = note;
    _events->Push(std::move(change));
}

void SocketLink::lost(std::uint64_t generation, const std::string& why)
{
    {
        std::lock_guard<std::mutex> lock(_mutex);
        if (_closed || generation != _generation || !_connected.load(std::memory_order_relaxed))
            return;
        dropSocketLocked();
        _retryMs = kFirstRetryMs;
        // Told before anyone can see the link down.
        Log("connection to " + _where + " (config " + std::to_string(_url.configID) + ") lost: " + why);
        _connected.store(false, std::memory_order_release);
    }
    {
        // Nothing read while away is answered from the cache.
        std::lock_guard<std::mutex> lock(_cacheMutex);
        _cache.clear();
    }
    note(LinkNote::Lost);
    ClientIO::Instance().ReconnectLater(shared_from_this(), kFirstRetryMs);
}

int SocketLink::Reconnect()
{
    {
        std::lock_guard<std::mutex> lock(_mutex);
        if (_closed || _connected.load(std::memory_order_relaxed))
            return 0;
    }
    wire::FrameBuffer in(kReadBuffer);
    std::uint64_t connectionID = 0;
    std::string error;
    const int fd = Open(_url, in, connectionID, error);
    std::unique_lock<std::mutex> send(_sendMutex, std::defer_lock);
    if (fd >= 0)
        send.lock();
    std::unique_lock<std::mutex> lock(_mutex);
    if (_closed) {
        if (fd >= 0)
            close(fd);
        return 0;
    }
    if (fd < 0) {
        // Quietly: the loss was logged, and the attempts go on.
        _retryMs = std::min(_retryMs * 2, kMaxRetryMs);
        return _retryMs;
    }
    _turnFree.wait(lock, [this] { return !_reading; });
    if (_fd >= 0)
        close(_fd);
    _fd = fd;
    _inSet = _armed = false;
    _in = std::move(in);
    ++_generation;
    const std::uint64_t generation = _generation;
    _connectionID.store(connectionID, std::memory_order_release);
    {
        std::lock_guard<std::mutex> cacheLock(_cacheMutex);
        _cache.clear();
    }
    Log("connection to " + _where + " (config " + std::to_string(_url.configID) + ") made again", journal::kInfo);
    _connected.store(true, std::memory_order_release);
    _retryMs = kFirstRetryMs;
    _reading = true;
    _readGeneration = generation;
    _readConnection = connectionID;
    lock.unlock();
    send.unlock();
    // The news first, then the events of the new connection.
    note(LinkNote::Restored);
    std::string why;
    const bool ok = parseBuffered(why);
    if (!ok)
        lost(generation, why);
    lock.lock();
    endTurnLocked(false);
    return 0;
}

} // namespace paramlink
