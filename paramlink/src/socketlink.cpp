#include "socketlink.h"

#include <sys/socket.h>

#include <cerrno>
#include <cstring>

#include "linkopen.h"
#include "netutil.h"

namespace paramlink {

namespace {

// Reads an event thread makes for one link before it turns to others.
const int kReadsPerTurn = 16;
// Reads that bring an unwatched link up to date, at most.
const int kRefreshReads = 1024;

} // namespace

std::uint32_t SocketLink::NextTag()
{
    // Tag 0 is never used.
    std::uint32_t tag;
    do
        tag = _nextTag.fetch_add(1, std::memory_order_relaxed) + 1;
    while (tag == 0);
    return tag;
}

bool SocketLink::Cached(std::uint32_t id, ValueKind kind, StoredValue& out)
{
    // Unwatched, the changes that came since are read first.
    if (!_cache.On() || !Refresh())
        return false;
    return _cache.Get(id, kind, out);
}

SocketLink::Outcome SocketLink::Exchange(std::uint32_t tag, const std::string& frame, Reply& reply,
                                         const std::uint32_t* cacheParam)
{
    Waiter w(tag, cacheParam, &reply);
    std::uint64_t generation;
    if (!sendRequest(w, frame, generation))
        return Outcome::NotSent;
    const auto sent = Clock::now();
    std::unique_lock<std::mutex> lock(_mutex);
    awaitReply(w, generation, sent + std::chrono::milliseconds(kReplyTimeoutMs), lock);
    _waiters.Remove(&w);
    // A reply may have been read for it between the turns: nothing else
    // takes the turn unless told.
    if (!_turn.Busy())
        endTurnLocked(false);
    if (w.answered)
        _turn.Replied(std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - sent).count());
    return w.answered ? Outcome::Answered : Outcome::NoAnswer;
}

bool SocketLink::sendRequest(Waiter& w, const std::string& frame, std::uint64_t& generation)
{
    std::lock_guard<std::mutex> send(_sendMutex);
    int fd;
    {
        std::lock_guard<std::mutex> lock(_mutex);
        if (_closed || !_connected.load(std::memory_order_acquire))
            return false;
        generation = _generation;
        fd = _fd;
        _waiters.Add(&w);
    }
    if (SendAll(fd, frame.data(), frame.size(), kReplyTimeoutMs))
        return true;
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _waiters.Remove(&w);
    }
    // Part of the frame at most went out: the server drops it with the
    // connection.
    lost(generation, "failed while sending");
    return false;
}

void SocketLink::awaitReply(Waiter& w, std::uint64_t generation, Clock::time_point deadline,
                            std::unique_lock<std::mutex>& lock)
{
    while (!w.done.load(std::memory_order_acquire) && !_closed && generation == _generation &&
           Clock::now() < deadline) {
        if (_turn.Busy()) {
            // Another thread reads: it hands over the reply, or the turn.
            w.wake.wait_until(lock, deadline);
            continue;
        }
        readForReply(w, generation, deadline, lock);
    }
}

void SocketLink::readForReply(Waiter& w, std::uint64_t generation, Clock::time_point deadline,
                              std::unique_lock<std::mutex>& lock)
{
    takeTurnLocked();
    const int fd = _fd;
    _watch.Disarm(fd);
    // A reply that usually comes within the spin is read without a sleep
    // and a wake-up.
    const auto spinEnd = Clock::now() + std::chrono::microseconds(_turn.SpinUs());
    lock.unlock();
    std::string why;
    Read result = Read::Data;
    while (!w.done.load(std::memory_order_acquire) && result != Read::Lost && Clock::now() < spinEnd)
        result = readOnce(fd, 0, why);
    while (!w.done.load(std::memory_order_acquire) && result != Read::Lost && Clock::now() < deadline)
        result = readOnce(fd, kReadSliceMs, why);
    if (result == Read::Lost)
        lost(generation, why);
    lock.lock();
    endTurnLocked(false);
}

void SocketLink::takeTurnLocked() { _turn.Take(_generation, _connectionID.load(std::memory_order_relaxed)); }

void SocketLink::endTurnLocked(bool rearm)
{
    _turn.Give();
    if (_closed || !_connected.load(std::memory_order_relaxed))
        return;
    // A caller still waiting reads next; else an event thread, for a config
    // with listeners.
    if (!_waiters.WakeNext())
        _watch.Hand(_fd, rearm);
}

void SocketLink::Watch()
{
    std::lock_guard<std::mutex> lock(_mutex);
    if (_watch.Wanted())
        return;
    _watch.Want();
    // A reader now turns the watch on when it ends its turn.
    if (!_turn.Busy() && _connected.load(std::memory_order_relaxed) && !_closed)
        endTurnLocked(false);
}

bool SocketLink::Refresh()
{
    {
        std::lock_guard<std::mutex> lock(_mutex);
        if (_watch.Wanted())
            return _connected.load(std::memory_order_acquire);
    }
    readWaiting(kRefreshReads, false);
    return _connected.load(std::memory_order_acquire);
}

void SocketLink::OnReadable() { readWaiting(kReadsPerTurn, true); }

void SocketLink::readWaiting(int maxReads, bool watching)
{
    std::unique_lock<std::mutex> lock(_mutex);
    // A thread reading now turns the watch on again when done.
    if (_closed || !_connected.load(std::memory_order_relaxed) || _turn.Busy())
        return;
    takeTurnLocked();
    const int fd = _fd;
    const std::uint64_t generation = _generation;
    lock.unlock();
    std::string why;
    Read result;
    int reads = 0;
    do
        result = readOnce(fd, 0, why);
    while (result == Read::Data && ++reads < maxReads);
    if (result == Read::Lost)
        lost(generation, why);
    lock.lock();
    // Stopped with data maybe left: edge-triggered, so ask again.
    endTurnLocked(watching && result == Read::Data);
}

void SocketLink::readGreetingRest(std::uint64_t generation)
{
    std::string why;
    if (!parseBuffered(why))
        lost(generation, why);
    std::lock_guard<std::mutex> lock(_mutex);
    endTurnLocked(false);
}

SocketLink::Read SocketLink::readOnce(int fd, int waitMs, std::string& why)
{
    const size_t space = _in.WriteSpace();
    const ssize_t n = recv(fd, _in.WritePtr(), space, waitMs > 0 ? 0 : MSG_DONTWAIT);
    if (n < 0) {
        if (errno == EINTR)
            return Read::Data;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return Read::Idle;
        why = std::strerror(errno);
        return Read::Lost;
    }
    if (n == 0) {
        why = "closed by the server";
        return Read::Lost;
    }
    _in.Commit(size_t(n));
    if (!parseBuffered(why))
        return Read::Lost;
    // A short read emptied the socket; edge-triggered readiness reports
    // whatever comes next.
    return size_t(n) < space ? Read::Idle : Read::Data;
}

bool SocketLink::parseBuffered(std::string& why)
{
    bool ok = true;
    for (;;) {
        const std::uint8_t* body = nullptr;
        size_t length = 0;
        std::string error;
        auto status = _in.Next(body, length, error);
        if (status == wire::FrameBuffer::Status::NeedMore)
            break;
        if (status == wire::FrameBuffer::Status::Error) {
            why = "bad frame: " + error;
            ok = false;
            break;
        }
        wire::Message msg;
        const char* reason = "";
        if (!wire::ParseMessage(body, length, msg, reason) || !handle(msg)) {
            why = std::string("bad message: ") + reason;
            ok = false;
            break;
        }
    }
    // Everything this receive brought, in one hand-off.
    if (!_batch.empty())
        _events->PushAll(_batch);
    return ok;
}

bool SocketLink::handle(const wire::Message& msg)
{
    switch (msg.type) {
    case wire::MsgType::Reply:
    case wire::MsgType::Listing:
        return takeReply(msg);
    case wire::MsgType::Event:
        takeEvent(msg);
        return true;
    default:
        return false;
    }
}

bool SocketLink::takeReply(const wire::Message& msg)
{
    std::vector<wire::ListedParam> listing;
    if (msg.type == wire::MsgType::Listing && !wire::ParseListing(msg.bytes, msg.length, listing))
        return false;
    std::lock_guard<std::mutex> lock(_mutex);
    // An answer on a connection since dropped is nobody's.
    if (_turn.Generation() == _generation)
        _waiters.Answer(msg, listing, _cache);
    return true;
}

void SocketLink::takeEvent(const wire::Message& msg)
{
    _cache.PutEvent(msg.paramID, msg);
    if (_hub->HasListeners())
        _batch.push_back(OwnedChange::Of(eParam_t(msg.paramID), msg.kind, msg.intValue, msg.bytes, msg.length,
                                         msg.when, msg.origin,
                                         msg.origin.writer != 0 && msg.origin.writer == _turn.Connection()));
}

} // namespace paramlink
