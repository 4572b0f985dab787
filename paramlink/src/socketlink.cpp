#include "socketlink.h"

#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "clientio.h"
#include "netutil.h"
#include "paramlink/descriptortable.h"

namespace paramlink {

namespace {

using Clock = std::chrono::steady_clock;

// Reads an event thread makes for one link before it turns to others.
const int kReadsPerTurn = 16;
// Reads that bring an unwatched link up to date, at most.
const int kRefreshReads = 1024;

// The ids a table holds, one set per table and generation for all the
// links of its config.
std::shared_ptr<const std::unordered_set<std::uint32_t>> tableIds(DescriptorTable* table, std::uint64_t generation)
{
    struct Known {
        std::uint64_t generation;
        std::shared_ptr<const std::unordered_set<std::uint32_t>> ids;
    };
    // Never destroyed: links may look tables up while the process exits.
    static std::mutex* mutex = new std::mutex;
    static auto* known = new std::unordered_map<DescriptorTable*, Known>;
    std::lock_guard<std::mutex> lock(*mutex);
    Known& entry = (*known)[table];
    if (!entry.ids || entry.generation != generation) {
        auto ids = std::make_shared<std::unordered_set<std::uint32_t>>();
        for (eParam_t id : table->GetParamIDs())
            ids->insert(std::uint32_t(id));
        entry.ids = std::move(ids);
        entry.generation = generation;
    }
    return entry.ids;
}

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
    if (!_caching || !Refresh())
        return false;
    std::lock_guard<std::mutex> lock(_cacheMutex);
    auto it = _cache.find(id);
    if (it == _cache.end() || it->second.kind != kind)
        return false;
    out = it->second;
    return true;
}

SocketLink::Outcome SocketLink::Exchange(std::uint32_t tag, const std::string& frame, Reply& reply,
                                         const std::uint32_t* cacheParam)
{
    Waiter w;
    w.tag = tag;
    w.cacheParam = cacheParam;
    w.reply = &reply;
    std::uint64_t generation;
    {
        std::lock_guard<std::mutex> send(_sendMutex);
        int fd;
        {
            std::lock_guard<std::mutex> lock(_mutex);
            if (_closed || !_connected.load(std::memory_order_acquire))
                return Outcome::NotSent;
            generation = _generation;
            fd = _fd;
            // Before the request leaves, so any reader finds the waiter.
            _waiters.push_back(&w);
        }
        if (!SendAll(fd, frame.data(), frame.size(), kReplyTimeoutMs)) {
            {
                std::lock_guard<std::mutex> lock(_mutex);
                _waiters.erase(std::find(_waiters.begin(), _waiters.end(), &w));
            }
            // Part of the frame at most went out: the server drops it with
            // the connection.
            lost(generation, "failed while sending");
            return Outcome::NotSent;
        }
    }
    const auto sent = Clock::now();
    const auto deadline = sent + std::chrono::milliseconds(kReplyTimeoutMs);
    std::unique_lock<std::mutex> lock(_mutex);
    while (!w.done.load(std::memory_order_acquire) && !_closed && generation == _generation &&
           Clock::now() < deadline) {
        if (_reading) {
            // Another thread reads: it hands over the reply, or the turn.
            w.wake.wait_until(lock, deadline);
            continue;
        }
        // This thread's turn to read.
        _reading = true;
        _readGeneration = _generation;
        _readConnection = _connectionID.load(std::memory_order_relaxed);
        const int fd = _fd;
        if (_armed) {
            ClientIO::Instance().Disarm(fd, _ioKey);
            _armed = false;
        }
        // A reply that usually comes within the spin is read without a
        // sleep and a wake-up.
        const auto spinEnd = Clock::now() + std::chrono::microseconds(spinUs());
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
    _waiters.erase(std::find(_waiters.begin(), _waiters.end(), &w));
    // A reply may have been read for it between the turns: nothing else
    // takes the turn unless told.
    if (!_reading)
        endTurnLocked(false);
    if (w.answered) {
        const long long us = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - sent).count();
        _replyUs = (7 * _replyUs + std::min(us, 10000LL)) / 8;
    }
    return w.answered ? Outcome::Answered : Outcome::NoAnswer;
}

int SocketLink::spinUs() const
{
    // On few cores the spinner would hold up the server it waits for.
    static const bool room = std::thread::hardware_concurrency() >= 4;
    return room && _replyUs <= kSpinUs ? int(kSpinUs) : 0;
}

void SocketLink::endTurnLocked(bool rearm)
{
    _reading = false;
    _turnFree.notify_all();
    if (_closed || !_connected.load(std::memory_order_relaxed))
        return;
    // A caller still waiting reads next.
    for (Waiter* w : _waiters)
        if (!w->done.load(std::memory_order_relaxed)) {
            w->wake.notify_one();
            return;
        }
    // Else an event thread, for a config with listeners; turning it on
    // reports data already waiting.
    if (!_watched)
        return;
    if (!_inSet)
        _inSet = _armed = ClientIO::Instance().Watch(_fd, _ioKey);
    else if (!_armed || rearm)
        _armed = ClientIO::Instance().Arm(_fd, _ioKey);
}

void SocketLink::Watch()
{
    std::lock_guard<std::mutex> lock(_mutex);
    if (_watched)
        return;
    _watched = true;
    // A reader now turns the watch on when it ends its turn.
    if (!_reading && _connected.load(std::memory_order_relaxed) && !_closed)
        endTurnLocked(false);
}

bool SocketLink::Refresh()
{
    {
        std::lock_guard<std::mutex> lock(_mutex);
        if (_watched)
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
    if (_closed || !_connected.load(std::memory_order_relaxed) || _reading)
        return;
    _reading = true;
    _readGeneration = _generation;
    _readConnection = _connectionID.load(std::memory_order_relaxed);
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
    case wire::MsgType::Listing: {
        std::vector<wire::ListedParam> listing;
        if (msg.type == wire::MsgType::Listing && !wire::ParseListing(msg.bytes, msg.length, listing))
            return false;
        std::lock_guard<std::mutex> lock(_mutex);
        if (_readGeneration != _generation)
            return true;
        for (Waiter* w : _waiters) {
            if (w->tag != msg.tag || w->done.load(std::memory_order_relaxed))
                continue;
            Reply& reply = *w->reply;
            reply.status = msg.status;
            reply.hasValue = msg.hasValue;
            reply.listing.swap(listing);
            if (msg.hasValue) {
                reply.value.Assign(msg.kind, msg.intValue, msg.bytes, msg.length);
                if (_caching && w->cacheParam) {
                    // Cached here, in stream order, so no later event is
                    // overwritten by an older reply.
                    std::lock_guard<std::mutex> cacheLock(_cacheMutex);
                    _cache[*w->cacheParam] = reply.value;
                }
            } else if (msg.status == wire::kRefused && msg.length) {
                reply.reason.assign(msg.bytes, msg.length);
            }
            w->answered = true;
            w->done.store(true, std::memory_order_release);
            w->wake.notify_one();
            break;
        }
        // An answer nobody waits for any more is dropped.
        return true;
    }
    case wire::MsgType::Event: {
        // Only ids of this table are cached, so a peer cannot grow the cache
        // without bound.
        if (_caching && inTable(msg.paramID)) {
            std::lock_guard<std::mutex> lock(_cacheMutex);
            _cache[msg.paramID].Assign(msg.kind, msg.intValue, msg.bytes, msg.length);
        }
        if (_hub->HasListeners())
            _batch.push_back(OwnedChange::Of(eParam_t(msg.paramID), msg.kind, msg.intValue, msg.bytes, msg.length,
                                             msg.when, msg.origin,
                                             msg.origin.writer != 0 && msg.origin.writer == _readConnection));
        return true;
    }
    default:
        return false;
    }
}

bool SocketLink::inTable(std::uint32_t id)
{
    // Looked up again only when the table changed, not per event.
    const std::uint64_t generation = _table->GetGeneration();
    if (generation != _tableGeneration) {
        _tableIds = tableIds(_table, generation);
        _tableGeneration = generation;
    }
    return _tableIds->count(id) > 0;
}


} // namespace paramlink
