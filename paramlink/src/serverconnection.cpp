#include "serverconnection.h"

#include <cerrno>
#include <chrono>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include "netutil.h"
#include "storeurl.h"

namespace paramlink {

namespace {
// Frames handled per wake-up before output and other work get a turn.
const int kReadsPerWake = 16;

long long nowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch()).count();
}
} // namespace

ServerConnection::ServerConnection(int fd, std::string peer, int stallTimeoutMs, std::function<void()> onFinished)
    : _fd(fd),
      _wakeFd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)),
      _peer(std::move(peer)),
      _stallTimeoutMs(stallTimeoutMs),
      _onFinished(std::move(onFinished))
{
}

ServerConnection::~ServerConnection()
{
    Stop();
    Join();
    if (_fd >= 0)
        ::close(_fd);
    if (_wakeFd >= 0)
        ::close(_wakeFd);
}

void ServerConnection::Start() { _thread = std::thread([this] { run(); }); }

void ServerConnection::Stop()
{
    _stop.store(true);
    wake();
}

void ServerConnection::Join()
{
    if (_thread.joinable())
        _thread.join();
}

void ServerConnection::wake()
{
    if (_wakeFd >= 0) {
        std::uint64_t one = 1;
        ssize_t ignored = ::write(_wakeFd, &one, sizeof one);
        (void)ignored;
    }
}

void ServerConnection::close(const std::string& why)
{
    if (!why.empty())
        Log("closing connection from " + _peer + ": " + why);
    _stop.store(true);
}

void ServerConnection::run()
{
    pthread_setname_np(pthread_self(), "paramlink-conn");
    _self = std::this_thread::get_id();
    long long lastProgress = nowMs();
    bool greeted = false;
    while (!_stop.load()) {
        pollfd fds[2];
        fds[0] = pollfd{_fd, short(POLLIN | (_outPending.load() ? POLLOUT : 0)), 0};
        fds[1] = pollfd{_wakeFd, POLLIN, 0};
        greeted = _store != nullptr;
        const bool stalling = !greeted || _in.HasPartial();
        int timeout = -1;
        if (stalling) {
            long long left = lastProgress + _stallTimeoutMs - nowMs();
            timeout = left > 0 ? int(left) : 0;
        }
        int n = poll(fds, 2, timeout);
        if (n < 0 && errno != EINTR) {
            close("poll failed");
            break;
        }
        if (fds[1].revents & POLLIN) {
            std::uint64_t count;
            ssize_t ignored = ::read(_wakeFd, &count, sizeof count);
            (void)ignored;
        }
        {
            std::lock_guard<std::mutex> lock(_outMutex);
            if (_overflow) {
                close("client too slow to take its events");
                break;
            }
        }
        if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
            if (!readAvailable())
                break;
            lastProgress = nowMs();
        }
        if (fds[0].revents & POLLOUT)
            flush();
        if (n == 0 && stalling && nowMs() - lastProgress >= _stallTimeoutMs) {
            close(greeted ? "stalled in the middle of a frame" : "no greeting");
            break;
        }
    }
    if (_store)
        _store->Unsubscribe(this);
    shutdown(_fd, SHUT_RDWR);
    _finished.store(true, std::memory_order_release);
    if (_onFinished)
        _onFinished();
}

bool ServerConnection::readAvailable()
{
    for (int round = 0; round < kReadsPerWake; ++round) {
        ssize_t n = recv(_fd, _in.WritePtr(), _in.WriteSpace(), MSG_DONTWAIT);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        if (n <= 0) {
            // A peer that leaves in the middle of a frame is worth a line.
            close(_in.HasPartial() ? "closed in the middle of a frame" : "");
            return false;
        }
        _in.Commit(size_t(n));
        _deferFlush = true;
        for (;;) {
            const std::uint8_t* body = nullptr;
            size_t length = 0;
            std::string why;
            auto status = _in.Next(body, length, why);
            if (status == wire::FrameBuffer::Status::NeedMore)
                break;
            if (status == wire::FrameBuffer::Status::Error) {
                _deferFlush = false;
                close(why);
                return false;
            }
            wire::Message msg;
            const char* reason = "";
            if (!wire::ParseMessage(body, length, msg, reason)) {
                _deferFlush = false;
                close(std::string("bad message: ") + reason);
                return false;
            }
            if (!process(msg)) {
                _deferFlush = false;
                flush();
                return false;
            }
        }
        _deferFlush = false;
        flush();
        if (size_t(n) < 4096)
            break;
    }
    return !_stop.load();
}

bool ServerConnection::process(const wire::Message& msg)
{
    _reply.clear();
    if (msg.type == wire::MsgType::Hello) {
        if (_store) {
            close("second greeting");
            return false;
        }
        if (msg.magic != wire::kMagic || msg.version != wire::kVersion) {
            close("not a store client");
            return false;
        }
        ConfigStore* store = ConfigStore::Get(msg.configID);
        if (!store) {
            wire::AppendWelcome(_reply, 0);
            queue(_reply);
            close("asked for config " + std::to_string(msg.configID));
            return false;
        }
        // WELCOME first, then the events.
        wire::AppendWelcome(_reply, 1);
        queue(_reply);
        _store = store;
        _store->Subscribe(this);
        return true;
    }
    if (!_store) {
        close("request before greeting");
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
    default:
        close("unexpected message type " + std::to_string(int(msg.type)));
        return false;
    }
}

void ServerConnection::queue(const std::string& frame)
{
    std::lock_guard<std::mutex> lock(_outMutex);
    if (_overflow)
        return;
    if (_out.size() - _outSent + frame.size() > kMaxQueuedBytes) {
        _overflow = true;
        _out.clear();
        _outSent = 0;
        _outPending.store(false);
        wake();
        return;
    }
    _out.append(frame);
    _outPending.store(true);
    // On our own thread the batch is flushed once all frames of a read are
    // handled; from other threads at once.
    if (std::this_thread::get_id() == _self && _deferFlush)
        return;
    flushLocked();
    if (_outPending.load())
        wake();
}

void ServerConnection::Post(const ValueChange&, const std::string& frame) { queue(frame); }

void ServerConnection::flush()
{
    std::lock_guard<std::mutex> lock(_outMutex);
    flushLocked();
}

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
        _out.clear();
        _outSent = 0;
        _outPending.store(false);
        return;
    }
    if (_outSent == _out.size()) {
        _out.clear();
        _outSent = 0;
        _outPending.store(false);
    } else if (_outSent > (1u << 20)) {
        _out.erase(0, _outSent);
        _outSent = 0;
    }
}

} // namespace paramlink
