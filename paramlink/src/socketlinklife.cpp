// A link's life: its start on a greeted socket, its loss, its remaking
// and its end.
#include "socketlink.h"

#include <sys/socket.h>
#include <unistd.h>

#include "clientio.h"
#include "linkopen.h"
#include "netutil.h"

namespace paramlink {

SocketLink::SocketLink(const StoreUrl& url, DescriptorTable* table, std::shared_ptr<ListenerQueue> events,
                       std::shared_ptr<ListenerHub> hub)
    : _url(url),
      _where(url.host + ":" + std::to_string(url.port)),
      _events(std::move(events)),
      _hub(std::move(hub)),
      _in(kReadBuffer),
      _cache(url.caching, table)
{
}

std::shared_ptr<SocketLink> SocketLink::Start(const StoreUrl& url, DescriptorTable* table,
                                              std::shared_ptr<ListenerQueue> events, std::shared_ptr<ListenerHub> hub,
                                              int fd, wire::FrameBuffer in, std::uint64_t connectionID)
{
    std::shared_ptr<SocketLink> link(new SocketLink(url, table, std::move(events), std::move(hub)));
    link->_watch.Register(link);
    {
        std::lock_guard<std::mutex> lock(link->_mutex);
        link->_fd = fd;
        link->_in = std::move(in);
        link->_generation = 1;
        link->_connectionID.store(connectionID, std::memory_order_release);
        link->_connected.store(true, std::memory_order_release);
        link->takeTurnLocked();
    }
    // Events that came with the greeting.
    link->readGreetingRest(1);
    return link;
}

SocketLink::~SocketLink()
{
    _watch.Unregister();
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
    _turn.Wake();
}

void SocketLink::dropSocketLocked()
{
    _connectionID.store(0, std::memory_order_release);
    _watch.Forget(_fd);
    // Wakes a reader waiting on the socket; the socket is closed once no
    // thread uses it (Reconnect, or the end of the link).
    if (_fd >= 0)
        shutdown(_fd, SHUT_RDWR);
    _waiters.FailAll();
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
        _pause.Reset();
        // Told before anyone can see the link down.
        Log("connection to " + _where + " (config " + std::to_string(_url.configID) + ") lost: " + why);
        _connected.store(false, std::memory_order_release);
    }
    // Nothing read while away is answered from the cache.
    _cache.Clear();
    note(LinkNote::Lost);
    ClientIO::Instance().ReconnectLater(shared_from_this(), ReconnectPause::kFirstMs);
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
    const int fd = OpenLink(_url, in, connectionID, error);
    std::unique_lock<std::mutex> send(_sendMutex, std::defer_lock);
    if (fd >= 0)
        send.lock();
    std::unique_lock<std::mutex> lock(_mutex);
    if (_closed) {
        if (fd >= 0)
            close(fd);
        return 0;
    }
    // Quietly: the loss was logged, and the attempts go on.
    if (fd < 0)
        return _pause.Failed();
    _turn.WaitFree(lock);
    const std::uint64_t generation = adoptLocked(fd, std::move(in), connectionID);
    lock.unlock();
    send.unlock();
    // The news first, then the events of the new connection.
    note(LinkNote::Restored);
    readGreetingRest(generation);
    return 0;
}

std::uint64_t SocketLink::adoptLocked(int fd, wire::FrameBuffer in, std::uint64_t connectionID)
{
    if (_fd >= 0)
        close(_fd);
    _fd = fd;
    _watch.Reset();
    _in = std::move(in);
    ++_generation;
    _connectionID.store(connectionID, std::memory_order_release);
    _cache.Clear();
    Log("connection to " + _where + " (config " + std::to_string(_url.configID) + ") made again", journal::kInfo);
    _connected.store(true, std::memory_order_release);
    _pause.Reset();
    takeTurnLocked();
    return _generation;
}

} // namespace paramlink
