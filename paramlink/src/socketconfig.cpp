#include "socketconfig.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

#include "configstore.h"
#include "netutil.h"
#include "paramlink/descriptortable.h"

namespace paramlink {

namespace {

inline void cpuRelax()
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#elif defined(__aarch64__) || defined(__arm__)
    asm volatile("yield");
#endif
}

// A reply usually comes back within tens of microseconds; spinning that
// long saves the waiter a sleep and a wake-up. On few cores the spinner
// would starve the threads it waits for.
std::chrono::microseconds spinTime()
{
    static const auto spin = std::chrono::microseconds(std::thread::hardware_concurrency() >= 4 ? 250 : 20);
    return spin;
}

} // namespace

SocketConfig* SocketConfig::Connect(const StoreUrl& url, std::string& error)
{
    std::string why;
    int fd = ConnectTcp(url.host, url.port, kConnectTimeoutMs, why);
    if (fd < 0) {
        error = "cannot connect to " + url.host + ":" + std::to_string(url.port) + ": " + why;
        return nullptr;
    }
    SocketConfig* config = new SocketConfig(url, fd);
    if (!config->greet(error)) {
        delete config;
        return nullptr;
    }
    config->start();
    return config;
}

SocketConfig::SocketConfig(const StoreUrl& url, int fd) : ConfigBase(url.configID), _url(url), _fd(fd) {}

SocketConfig::~SocketConfig()
{
    stopThreads();
    if (_fd >= 0)
        close(_fd);
}

bool SocketConfig::greet(std::string& error)
{
    const std::string where = _url.host + ":" + std::to_string(_url.port);
    _out.clear();
    wire::AppendHello(_out, _configID);
    if (!SendAll(_fd, _out.data(), _out.size(), kReplyTimeoutMs)) {
        error = "cannot greet " + where;
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kReplyTimeoutMs);
    for (;;) {
        const std::uint8_t* body = nullptr;
        size_t length = 0;
        std::string why;
        auto status = _in.Next(body, length, why);
        if (status == wire::FrameBuffer::Status::Error) {
            error = where + " sent a bad greeting: " + why;
            return false;
        }
        if (status == wire::FrameBuffer::Status::Frame) {
            wire::Message msg;
            const char* reason = nullptr;
            if (!wire::ParseMessage(body, length, msg, reason) || msg.type != wire::MsgType::Welcome) {
                error = where + " sent a bad greeting";
                return false;
            }
            if (msg.status != 1) {
                error = where + " does not serve config " + std::to_string(_configID);
                return false;
            }
            return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0 || !WaitReadable(_fd, int(left))) {
            error = where + " did not answer";
            return false;
        }
        ssize_t n = recv(_fd, _in.WritePtr(), _in.WriteSpace(), 0);
        if (n <= 0) {
            error = where + " closed the connection";
            return false;
        }
        _in.Commit(size_t(n));
    }
}

void SocketConfig::start()
{
    _reader = std::thread([this] { readerLoop(); });
    _dispatcher = std::thread([this] { dispatchLoop(); });
}

void SocketConfig::stopThreads()
{
    _closing.store(true);
    if (_fd >= 0)
        shutdown(_fd, SHUT_RDWR);
    {
        std::lock_guard<std::mutex> lock(_eventMutex);
        _stopDispatch = true;
    }
    _eventRoom.notify_all();
    _eventReady.notify_all();
    if (_reader.joinable())
        _reader.join();
    if (_dispatcher.joinable())
        _dispatcher.join();
}

void SocketConfig::Release()
{
    _hub->Close();
    if (std::this_thread::get_id() == _dispatcher.get_id()) {
        // Released from one of its own callbacks: the dispatch thread
        // finishes the job once the callback returns.
        std::lock_guard<std::mutex> lock(_eventMutex);
        _releaseFromCallback = true;
        _stopDispatch = true;
        return;
    }
    delete this;
}

void SocketConfig::lost(const std::string& why)
{
    if (_connected.exchange(false) && !_closing.load())
        Log("connection to " + _url.host + ":" + std::to_string(_url.port) + " (config " +
            std::to_string(_configID) + ") lost: " + why);
    {
        std::lock_guard<std::mutex> lock(_replyMutex);
    }
    _replyReady.notify_all();
}

void SocketConfig::readerLoop()
{
    pthread_setname_np(pthread_self(), "paramlink-rx");
    for (;;) {
        const std::uint8_t* body = nullptr;
        size_t length = 0;
        std::string why;
        auto status = _in.Next(body, length, why);
        if (status == wire::FrameBuffer::Status::Error) {
            lost("bad frame: " + why);
            shutdown(_fd, SHUT_RDWR);
            return;
        }
        if (status == wire::FrameBuffer::Status::Frame) {
            wire::Message msg;
            const char* reason = "";
            if (!wire::ParseMessage(body, length, msg, reason) || !handle(msg)) {
                lost(std::string("bad message: ") + reason);
                shutdown(_fd, SHUT_RDWR);
                return;
            }
            continue;
        }
        ssize_t n = recv(_fd, _in.WritePtr(), _in.WriteSpace(), 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            lost("closed by the server");
            return;
        }
        _in.Commit(size_t(n));
    }
}

bool SocketConfig::handle(const wire::Message& msg)
{
    switch (msg.type) {
    case wire::MsgType::Reply: {
        const std::uint32_t tag = msg.tag;
        {
            // Checked under the lock the waiter gives up under, so a late
            // answer is never taken for (or cached as) the next request's.
            std::lock_guard<std::mutex> lock(_replyMutex);
            if (tag == 0 || tag != _awaitTag.load(std::memory_order_acquire))
                return true; // the answer to a request that gave up waiting
            _replyStatus = msg.status;
            _replyHasValue = msg.hasValue;
            if (msg.hasValue) {
                _replyValue.Assign(msg.kind, msg.intValue, msg.bytes, msg.length);
                if (_url.caching) {
                    // Cached here, in stream order, so no later event is
                    // overwritten by an older reply.
                    std::lock_guard<std::mutex> cacheLock(_cacheMutex);
                    _cache[_awaitParam] = _replyValue;
                }
            }
            _doneTag.store(tag, std::memory_order_release);
        }
        _replyReady.notify_one();
        return true;
    }
    case wire::MsgType::Event: {
        DescriptorKindInfo info;
        // Only ids of this table are cached, so a peer cannot grow the cache
        // without bound.
        if (_url.caching && _table->LookupKind(eParam_t(msg.paramID), info)) {
            std::lock_guard<std::mutex> lock(_cacheMutex);
            _cache[msg.paramID].Assign(msg.kind, msg.intValue, msg.bytes, msg.length);
        }
        if (!_hub->HasListeners())
            return true;
        OwnedChange change;
        change.id = eParam_t(msg.paramID);
        change.kind = msg.kind;
        change.intValue = msg.intValue;
        if (msg.length)
            change.bytes.assign(msg.bytes, msg.length);
        change.when = msg.when;
        {
            // A listener that falls far behind stops the reading; the server
            // then drops this connection as too slow rather than either side
            // queueing without bound.
            std::unique_lock<std::mutex> lock(_eventMutex);
            _eventRoom.wait(lock, [this] { return _stopDispatch || _events.size() < kMaxQueuedEvents; });
            if (_stopDispatch)
                return true;
            _events.push_back(std::move(change));
        }
        _eventReady.notify_one();
        return true;
    }
    default:
        return false;
    }
}

void SocketConfig::dispatchLoop()
{
    pthread_setname_np(pthread_self(), "paramlink-ev");
    std::unique_lock<std::mutex> lock(_eventMutex);
    for (;;) {
        _eventReady.wait(lock, [this] { return _stopDispatch || !_events.empty(); });
        if (_stopDispatch)
            break;
        OwnedChange change = std::move(_events.front());
        _events.pop_front();
        if (_events.size() + 1 == kMaxQueuedEvents)
            _eventRoom.notify_one();
        lock.unlock();
        _hub->Deliver(change);
        lock.lock();
    }
    const bool selfRelease = _releaseFromCallback;
    lock.unlock();
    _eventRoom.notify_all();
    if (selfRelease) {
        _dispatcher.detach();
        delete this;
    }
}

bool SocketConfig::exchange(std::uint32_t tag, std::uint32_t param, std::uint8_t& status, StoredValue* value)
{
    if (!_connected.load(std::memory_order_acquire))
        return false;
    {
        std::lock_guard<std::mutex> lock(_replyMutex);
        _awaitParam = param;
        _awaitTag.store(tag, std::memory_order_release);
    }
    if (!SendAll(_fd, _out.data(), _out.size(), kReplyTimeoutMs)) {
        lost("failed while sending");
        shutdown(_fd, SHUT_RDWR);
        return false;
    }
    const auto spinEnd = std::chrono::steady_clock::now() + spinTime();
    bool done = false;
    while (!done) {
        if (_doneTag.load(std::memory_order_acquire) == tag)
            done = true;
        else if (std::chrono::steady_clock::now() >= spinEnd)
            break;
        else
            cpuRelax();
    }
    std::unique_lock<std::mutex> lock(_replyMutex);
    if (!done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kReplyTimeoutMs);
        done = _replyReady.wait_until(lock, deadline, [&] {
            return _doneTag.load(std::memory_order_acquire) == tag || !_connected.load();
        });
        done = done && _doneTag.load(std::memory_order_acquire) == tag;
    }
    _awaitTag.store(0, std::memory_order_release);
    if (!done)
        return false;
    status = _replyStatus;
    if (value) {
        if (!_replyHasValue)
            return status != wire::kOk;
        *value = _replyValue;
    }
    return true;
}

bool SocketConfig::set(eParam_t id, ValueKind kind, std::int32_t intValue, const char* bytes, size_t length)
{
    DescriptorKindInfo info;
    if (!_table->LookupKind(id, info) || info.kind != kind)
        return false;
    if (kind != ValueKind::Integer && length > wire::kMaxValueBytes)
        return false;
    std::lock_guard<std::mutex> lock(_requestMutex);
    const std::uint32_t tag = ++_nextTag ? _nextTag : ++_nextTag;
    _out.clear();
    wire::AppendSet(_out, tag, id, kind, intValue, bytes, length);
    std::uint8_t status = 0;
    return exchange(tag, id, status, nullptr) && status == wire::kOk;
}

bool SocketConfig::read(eParam_t id, ValueKind wanted, StoredValue& out)
{
    DescriptorKindInfo info;
    if (!_table->LookupKind(id, info) || !KindsCompatible(wanted, info.kind))
        return false;
    if (_url.caching) {
        std::lock_guard<std::mutex> lock(_cacheMutex);
        auto it = _cache.find(id);
        if (it != _cache.end() && it->second.kind == info.kind) {
            out = it->second;
            return true;
        }
    }
    std::lock_guard<std::mutex> lock(_requestMutex);
    const std::uint32_t tag = ++_nextTag ? _nextTag : ++_nextTag;
    _out.clear();
    wire::AppendGet(_out, tag, id, info.kind);
    std::uint8_t status = 0;
    StoredValue value;
    if (!exchange(tag, id, status, &value))
        return false;
    if (status == wire::kOk && value.kind == info.kind) {
        out = std::move(value);
        return true;
    }
    if (status == wire::kRefused)
        return false;
    // The server holds no descriptor (or another kind): nothing can have
    // been set there, so the value is this table's default.
    out.kind = info.kind;
    out.intValue = info.kind == ValueKind::Integer ? info.integerDefault : 0;
    out.bytes = info.kind == ValueKind::Integer ? std::string() : info.stringDefault;
    return true;
}

} // namespace paramlink
