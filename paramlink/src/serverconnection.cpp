#include "serverconnection.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "logthrottle.h"
#include "netutil.h"
#include "paramlink/descriptortable.h"
#include "serverchannel.h"

namespace paramlink {

namespace {

// Reads per readiness report before other clients get a turn.
const int kReadsPerTurn = 16;

LogThrottle& behindLog()
{
    static LogThrottle* throttle = new LogThrottle;
    return *throttle;
}

} // namespace

ServerConnection::ServerConnection(int fd, std::string peer, ConnectionHost& host, long long now)
    : _fd(fd),
      _peer(std::move(peer)),
      _host(host),
      _id(NextWriterID()),
      _acceptedMs(now),
      _lastProgressMs(now),
      _lastOutputMs(now)
{
    // Nothing longer than a greeting before the greeting.
    _in.SetMaxBody(wire::kHelloBody);
    account();
}

ServerConnection::~ServerConnection()
{
    Detach();
    ::close(_fd);
}

void ServerConnection::Detach()
{
    if (_channel)
        _channel->Leave(this);
    _channel = nullptr;
    _host.Held(-static_cast<long long>(_held));
    _held = 0;
    _detached = true;
}

void ServerConnection::Abort()
{
    linger reset{1, 0};
    setsockopt(_fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
}

void ServerConnection::Closing(const std::string& why) const
{
    if (!why.empty())
        Log("closing connection from " + _peer + ": " + why);
}

bool ServerConnection::TakesOutput(long long now, int deafMs) const
{
    return _out.Size() == 0 || now - _lastOutputMs < deafMs;
}

void ServerConnection::account()
{
    if (_detached)
        return;
    const size_t held = _in.Capacity() + _out.Held();
    _host.Held(static_cast<long long>(held) - static_cast<long long>(_held));
    _held = held;
}

bool ServerConnection::OnReadable(long long now)
{
    bool keep = true;
    for (int round = 0; keep && round < kReadsPerTurn; ++round) {
        const size_t space = _in.WriteSpace();
        const ssize_t n = recv(_fd, _in.WritePtr(), space, MSG_DONTWAIT);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        if (n <= 0) {
            // A peer that leaves in the middle of a frame is worth a line.
            Closing(_in.Pending() ? "closed in the middle of a frame" : "");
            keep = false;
            break;
        }
        _lastProgressMs = now;
        _in.Commit(size_t(n));
        for (;;) {
            const std::uint8_t* body = nullptr;
            size_t length = 0;
            std::string why;
            auto status = _in.Next(body, length, why);
            if (status == wire::FrameBuffer::Status::NeedMore)
                break;
            if (status == wire::FrameBuffer::Status::Error) {
                Closing(Greeted() ? why : why + " before the greeting");
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
        if (size_t(n) < space)
            break;
    }
    account();
    return keep;
}

void ServerConnection::answer(const std::string& frame)
{
    // The changes before the answer go first, to every member in order.
    if (_channel)
        _channel->Drain(_host.EventLimit());
    _out.AppendReply(frame);
    _host.Dirty(this);
}

bool ServerConnection::process(const wire::Message& msg)
{
    _reply.clear();
    if (msg.type == wire::MsgType::Hello)
        return onHello(msg);
    if (!_store) {
        Closing("request before greeting");
        return false;
    }
    switch (msg.type) {
    case wire::MsgType::Set:
        onSet(msg);
        return true;
    case wire::MsgType::Get:
        onGet(msg);
        return true;
    case wire::MsgType::List:
        onList(msg);
        return true;
    default:
        Closing("unexpected message type " + std::to_string(int(msg.type)));
        return false;
    }
}

bool ServerConnection::onHello(const wire::Message& msg)
{
    if (_store) {
        Closing("second greeting");
        return false;
    }
    if (msg.magic != wire::kMagic) {
        Closing("not a store client");
        return false;
    }
    if (msg.version != wire::kVersion)
        return refuseGreeting(wire::kWrongVersion, "the server speaks version " + std::to_string(wire::kVersion) +
                                                       " of the store protocol, not " + std::to_string(msg.version));
    ConfigStore* store = ConfigStore::Served(msg.configID) ? ConfigStore::Get(msg.configID) : nullptr;
    if (!store)
        return refuseGreeting(wire::kConfigNotServed, ConfigStore::Refusal(msg.configID));
    ServerChannel* channel = _host.Channel(store);
    // Changes made before the greeting are the others'.
    channel->Drain(_host.EventLimit());
    wire::AppendWelcome(_reply, _id);
    _out.AppendReply(_reply);
    _host.Dirty(this);
    channel->Join(this);
    _channel = channel;
    _store = store;
    _in.SetMaxBody(wire::kMaxBody);
    _host.Greeted(this);
    return true;
}

bool ServerConnection::refuseGreeting(std::uint8_t status, const std::string& reason)
{
    wire::AppendRefusal(_reply, status, reason);
    answer(_reply);
    Closing("refused: " + reason);
    return false;
}

void ServerConnection::onSet(const wire::Message& msg)
{
    Origin origin;
    origin.writer = _id;
    origin.sequence = msg.tag;
    std::string refusal;
    if (_store->Set(eParam_t(msg.paramID), msg.kind, msg.intValue, msg.bytes, msg.length, origin, &refusal))
        wire::AppendReply(_reply, msg.tag, wire::kOk);
    else
        wire::AppendRefusedReply(_reply, msg.tag, refusal);
    answer(_reply);
}

void ServerConnection::onGet(const wire::Message& msg)
{
    // Answered under the store's lock, so it takes its place among this
    // client's events in change order: a client that caches it is never
    // left holding a value older than an event it already has.
    const std::uint32_t tag = msg.tag;
    _store->ReadInOrder(eParam_t(msg.paramID), msg.kind,
                        [this, tag](ConfigStore::Lookup result, const StoredValue& value) {
                            switch (result) {
                            case ConfigStore::Lookup::Ok:
                                wire::AppendReplyValue(_reply, tag, value.kind, value.intValue, value.bytes.data(),
                                                       value.bytes.size());
                                break;
                            case ConfigStore::Lookup::UnknownId:
                                wire::AppendReply(_reply, tag, wire::kUnknownId);
                                break;
                            case ConfigStore::Lookup::WrongKind:
                                wire::AppendReply(_reply, tag, wire::kRefused);
                                break;
                            }
                            answer(_reply);
                        });
}

void ServerConnection::onList(const wire::Message& msg)
{
    std::vector<wire::ListedParam> entries;
    for (auto& summary : _store->GetTable()->Summaries()) {
        wire::ListedParam entry;
        entry.id = std::uint32_t(summary.id);
        entry.kind = summary.kind.kind;
        entry.idName = std::move(summary.idName);
        entries.push_back(std::move(entry));
    }
    wire::AppendListing(_reply, msg.tag, entries);
    answer(_reply);
}

void ServerConnection::QueueEvents(const char* frames, size_t length, size_t limit)
{
    if (!length)
        return;
    const bool was = _out.Conflating();
    _out.AppendEvents(frames, length, limit);
    if (!was && _out.Conflating() && !_warnedBehind) {
        _warnedBehind = true;
        behindLog().Log(_peer + " falls behind its events; it is sent only the latest value of each parameter until "
                                "it catches up");
    }
    _host.Dirty(this);
    account();
}

bool ServerConnection::Flush(long long now)
{
    bool alive = true;
    while (_out.Size() > 0) {
        const ssize_t n = send(_fd, _out.Data(), _out.Size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            _out.Consumed(size_t(n), _host.EventLimit());
            _lastOutputMs = now;
            break;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        // The peer is gone; the reading side notices and closes.
        _out.Consumed(_out.Size(), _host.EventLimit());
        alive = false;
        break;
    }
    account();
    return alive;
}

} // namespace paramlink
