#include "serverconnection.h"

#include <cerrno>
#include <chrono>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "netutil.h"
#include "paramlink/descriptortable.h"

namespace paramlink {

namespace {
// Reads per readiness report before other clients get a turn.
const int kReadsPerTurn = 16;
} // namespace

long long MonotonicMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch()).count();
}

ServerConnection::ServerConnection(int fd, std::string peer, std::atomic<size_t>* queuedTotal, AttentionFn attention)
    : _fd(fd),
      _peer(std::move(peer)),
      _queuedTotal(queuedTotal),
      _attention(std::move(attention)),
      _loop(std::this_thread::get_id()),
      _lastProgressMs(MonotonicMs())
{
}

ServerConnection::~ServerConnection()
{
    // After this no other thread posts to the connection.
    if (_store)
        _store->Unsubscribe(this);
    {
        std::lock_guard<std::mutex> lock(_outMutex);
        _out.clear();
        _outSent = 0;
        accountLocked();
    }
    ::close(_fd);
}

void ServerConnection::Closing(const std::string& why) const
{
    if (!why.empty())
        Log("closing connection from " + _peer + ": " + why);
}

bool ServerConnection::OnEvents(std::uint32_t events)
{
    if (events & (EPOLLIN | EPOLLHUP | EPOLLERR)) {
        _inTurn = true;
        const bool keep = readAvailable();
        _inTurn = false;
        if (!keep)
            return false;
    }
    if (events & EPOLLOUT) {
        std::lock_guard<std::mutex> lock(_outMutex);
        flushLocked();
    }
    return Attend();
}

bool ServerConnection::Attend()
{
    std::lock_guard<std::mutex> lock(_outMutex);
    _attentionAsked = false;
    if (_overflow) {
        Closing("client too slow to take its events");
        return false;
    }
    return true;
}

bool ServerConnection::readAvailable()
{
    for (int round = 0; round < kReadsPerTurn; ++round) {
        ssize_t n = recv(_fd, _in.WritePtr(), _in.WriteSpace(), MSG_DONTWAIT);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return true;
        if (n <= 0) {
            // A peer that leaves in the middle of a frame is worth a line.
            Closing(_in.HasPartial() ? "closed in the middle of a frame" : "");
            return false;
        }
        _lastProgressMs = MonotonicMs();
        _in.Commit(size_t(n));
        _deferFlush = true;
        bool keep = true;
        for (;;) {
            const std::uint8_t* body = nullptr;
            size_t length = 0;
            std::string why;
            auto status = _in.Next(body, length, why);
            if (status == wire::FrameBuffer::Status::NeedMore)
                break;
            if (status == wire::FrameBuffer::Status::Error) {
                Closing(why);
                keep = false;
                break;
            }
            wire::Message msg;
            const char* reason = "";
            if (!wire::ParseMessage(body, length, msg, reason)) {
                Closing(std::string("bad message: ") + reason);
                keep = false;
                break;
            }
            if (!process(msg)) {
                keep = false;
                break;
            }
        }
        _deferFlush = false;
        {
            std::lock_guard<std::mutex> lock(_outMutex);
            flushLocked();
        }
        if (!keep)
            return false;
        if (size_t(n) < 4096)
            return true;
    }
    return true;
}

bool ServerConnection::process(const wire::Message& msg)
{
    _reply.clear();
    if (msg.type == wire::MsgType::Hello) {
        if (_store) {
            Closing("second greeting");
            return false;
        }
        if (msg.magic != wire::kMagic || msg.version != wire::kVersion) {
            Closing("not a store client");
            return false;
        }
        ConfigStore* store = ConfigStore::Served(msg.configID) ? ConfigStore::Get(msg.configID) : nullptr;
        if (!store) {
            const std::string reason = ConfigStore::Refusal(msg.configID);
            wire::AppendWelcome(_reply, wire::kConfigNotServed, reason);
            queue(_reply);
            Closing("refused: " + reason);
            return false;
        }
        // WELCOME first, then the events.
        wire::AppendWelcome(_reply, wire::kWelcome);
        queue(_reply);
        _store = store;
        _store->Subscribe(this);
        return true;
    }
    if (!_store) {
        Closing("request before greeting");
        return false;
    }
    switch (msg.type) {
    case wire::MsgType::Set: {
        const bool ok = _store->Set(eParam_t(msg.paramID), msg.kind, msg.intValue, msg.bytes, msg.length);
        wire::AppendReply(_reply, msg.tag, ok ? wire::kOk : wire::kRefused);
        queue(_reply);
        return true;
    }
    case wire::MsgType::Get: {
        // The reply is queued under the store's lock, so it takes its place
        // among this client's events in change order: a client that caches
        // it is never left holding a value older than an event it already
        // has.
        const std::uint32_t tag = msg.tag;
        _store->ReadInOrder(eParam_t(msg.paramID), msg.kind,
                            [this, tag](ConfigStore::Lookup result, const StoredValue& value) {
                                switch (result) {
                                case ConfigStore::Lookup::Ok:
                                    wire::AppendReplyValue(_reply, tag, value.kind, value.intValue,
                                                           value.bytes.data(), value.bytes.size());
                                    break;
                                case ConfigStore::Lookup::UnknownId:
                                    wire::AppendReply(_reply, tag, wire::kUnknownId);
                                    break;
                                case ConfigStore::Lookup::WrongKind:
                                    wire::AppendReply(_reply, tag, wire::kRefused);
                                    break;
                                }
                                queue(_reply);
                            });
        return true;
    }
    case wire::MsgType::List: {
        std::vector<wire::ListedParam> entries;
        for (auto& summary : _store->GetTable()->Summaries()) {
            wire::ListedParam entry;
            entry.id = std::uint32_t(summary.id);
            entry.kind = summary.kind.kind;
            entry.idName = std::move(summary.idName);
            entries.push_back(std::move(entry));
        }
        wire::AppendListing(_reply, msg.tag, entries);
        queue(_reply);
        return true;
    }
    default:
        Closing("unexpected message type " + std::to_string(int(msg.type)));
        return false;
    }
}

void ServerConnection::accountLocked()
{
    const size_t queued = _out.size() - _outSent;
    if (queued >= _counted)
        _queuedTotal->fetch_add(queued - _counted, std::memory_order_relaxed);
    else
        _queuedTotal->fetch_sub(_counted - queued, std::memory_order_relaxed);
    _counted = queued;
}

void ServerConnection::queue(const std::string& frame)
{
    // _inTurn is read on the loop thread only.
    const bool ownTurn = std::this_thread::get_id() == _loop && _inTurn;
    std::lock_guard<std::mutex> lock(_outMutex);
    if (_overflow)
        return;
    const size_t queued = _out.size() - _outSent;
    if (queued + frame.size() > kMaxQueuedBytes ||
        _queuedTotal->load(std::memory_order_relaxed) + frame.size() > kMaxQueuedTotal) {
        _overflow = true;
        _out.clear();
        _outSent = 0;
        accountLocked();
        _outPending.store(false, std::memory_order_release);
    } else {
        _out.append(frame);
        accountLocked();
        _outPending.store(true, std::memory_order_release);
        // In this connection's own turn the loop sends the batch once all
        // frames of a read are handled, and then looks after what is left;
        // otherwise it goes at once.
        if (ownTurn) {
            if (!_deferFlush)
                flushLocked();
            return;
        }
        flushLocked();
        if (!_outPending.load(std::memory_order_relaxed))
            return;
    }
    if (!ownTurn && !_attentionAsked) {
        _attentionAsked = true;
        _attention(_fd);
    }
}

void ServerConnection::Post(const ValueChange&, const std::string& frame) { queue(frame); }

void ServerConnection::flushLocked()
{
    while (_outSent < _out.size()) {
        ssize_t n = send(_fd, _out.data() + _outSent, _out.size() - _outSent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            _outSent += size_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        // The peer is gone; the reading side notices and closes.
        _outSent = _out.size();
        break;
    }
    if (_outSent == _out.size()) {
        _out.clear();
        _outSent = 0;
        _outPending.store(false, std::memory_order_release);
    } else if (_outSent > (1u << 20)) {
        _out.erase(0, _outSent);
        _outSent = 0;
    }
    accountLocked();
}

} // namespace paramlink
