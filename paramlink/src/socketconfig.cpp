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

SocketConfig::SocketConfig(const StoreUrl& url, int fd)
    : ConfigBase(url.configID, "config " + std::to_string(url.configID) + " at " + url.host + ":" +
                                   std::to_string(url.port)),
      _url(url),
      _where(url.host + ":" + std::to_string(url.port)),
      _fd(fd)
{
}

SocketConfig::~SocketConfig()
{
    stopReader();
    if (_fd >= 0)
        close(_fd);
}

bool SocketConfig::greet(std::string& error)
{
    _out.clear();
    wire::AppendHello(_out, _configID);
    // A server that refuses every newcomer may have answered and closed
    // already; its answer is still read below.
    const bool sent = SendAll(_fd, _out.data(), _out.size(), kReplyTimeoutMs);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kReplyTimeoutMs);
    for (;;) {
        const std::uint8_t* body = nullptr;
        size_t length = 0;
        std::string why;
        auto status = _in.Next(body, length, why);
        if (status == wire::FrameBuffer::Status::Error) {
            error = _where + " sent a bad greeting: " + why;
            return false;
        }
        if (status == wire::FrameBuffer::Status::Frame) {
            wire::Message msg;
            const char* reason = nullptr;
            if (!wire::ParseMessage(body, length, msg, reason) || msg.type != wire::MsgType::Welcome) {
                error = _where + " sent a bad greeting";
                return false;
            }
            if (msg.status != wire::kWelcome) {
                const std::string text(msg.bytes, msg.length);
                error = _where + " refused the connection to config " + std::to_string(_configID) + ": " +
                        (text.empty() ? std::string("no reason given") : text);
                return false;
            }
            if (!sent)
                error = "cannot greet " + _where;
            return sent;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0 || !WaitReadable(_fd, int(left))) {
            error = sent ? _where + " did not answer" : "cannot greet " + _where;
            return false;
        }
        ssize_t n = recv(_fd, _in.WritePtr(), _in.WriteSpace(), 0);
        if (n <= 0) {
            error = _where + " closed the connection";
            return false;
        }
        _in.Commit(size_t(n));
    }
}

void SocketConfig::start()
{
    _reader = std::thread([this] { readerLoop(); });
}

void SocketConfig::stopReader()
{
    _closing.store(true);
    if (_fd >= 0)
        shutdown(_fd, SHUT_RDWR);
    if (_reader.joinable())
        _reader.join();
}

void SocketConfig::Release()
{
    // From inside one of our own callbacks this cannot wait for the
    // callback; the queue's thread holds what it still needs.
    stopEvents();
    delete this;
}

void SocketConfig::lost(const std::string& why)
{
    if (_connected.exchange(false) && !_closing.load())
        Log("connection to " + _where + " (config " + std::to_string(_configID) + ") lost: " + why);
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
    case wire::MsgType::Reply:
    case wire::MsgType::Listing: {
        const std::uint32_t tag = msg.tag;
        std::vector<wire::ListedParam> listing;
        if (msg.type == wire::MsgType::Listing && !wire::ParseListing(msg.bytes, msg.length, listing))
            return false;
        {
            // Checked under the lock the waiter gives up under, so a late
            // answer is never taken for (or cached as) the next request's.
            std::lock_guard<std::mutex> lock(_replyMutex);
            if (tag == 0 || tag != _awaitTag.load(std::memory_order_acquire))
                return true; // the answer to a request that gave up waiting
            _replyStatus = msg.status;
            _replyHasValue = msg.hasValue;
            _replyListing.swap(listing);
            if (msg.hasValue) {
                _replyValue.Assign(msg.kind, msg.intValue, msg.bytes, msg.length);
                if (_url.caching && _awaitCache) {
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
        queueChange(eParam_t(msg.paramID), msg.kind, msg.intValue, msg.bytes, msg.length, msg.when);
        return true;
    }
    default:
        return false;
    }
}

bool SocketConfig::exchange(std::uint32_t tag, std::uint32_t param, bool cache, std::uint8_t& status,
                            StoredValue* value)
{
    if (!_connected.load(std::memory_order_acquire))
        return false;
    {
        std::lock_guard<std::mutex> lock(_replyMutex);
        _awaitParam = param;
        _awaitCache = cache;
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

std::uint32_t SocketConfig::nextTag()
{
    // Tag 0 means "no request in flight".
    if (++_nextTag == 0)
        ++_nextTag;
    return _nextTag;
}

bool SocketConfig::set(eParam_t id, ValueKind kind, std::int32_t intValue, const char* bytes, size_t length)
{
    DescriptorKindInfo info;
    if (!_table->LookupKind(id, info) || info.kind != kind)
        return false;
    if (kind != ValueKind::Integer && length > wire::kMaxValueBytes)
        return false;
    std::lock_guard<std::mutex> lock(_requestMutex);
    const std::uint32_t tag = nextTag();
    _out.clear();
    wire::AppendSet(_out, tag, id, kind, intValue, bytes, length);
    std::uint8_t status = 0;
    return exchange(tag, id, false, status, nullptr) && status == wire::kOk;
}

bool SocketConfig::get(eParam_t id, ValueKind kind, bool cache, std::uint8_t& status, StoredValue& value)
{
    std::lock_guard<std::mutex> lock(_requestMutex);
    const std::uint32_t tag = nextTag();
    _out.clear();
    wire::AppendGet(_out, tag, id, kind);
    return exchange(tag, id, cache, status, &value);
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
    std::uint8_t status = 0;
    StoredValue value;
    if (!get(id, info.kind, true, status, value))
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

bool SocketConfig::ListHeld(std::vector<HeldParam>& out)
{
    std::vector<wire::ListedParam> listing;
    {
        std::lock_guard<std::mutex> lock(_requestMutex);
        const std::uint32_t tag = nextTag();
        _out.clear();
        wire::AppendList(_out, tag);
        std::uint8_t status = 0;
        if (!exchange(tag, 0, false, status, nullptr) || status != wire::kOk)
            return false;
        std::lock_guard<std::mutex> replyLock(_replyMutex);
        listing.swap(_replyListing);
    }
    // Values by the server's kinds, past this process's table and cache.
    for (const auto& entry : listing) {
        std::uint8_t status = 0;
        StoredValue value;
        if (!get(eParam_t(entry.id), entry.kind, false, status, value))
            return false;
        if (status != wire::kOk || value.kind != entry.kind)
            continue; // left the server's table meanwhile
        HeldParam held;
        held.id = eParam_t(entry.id);
        held.idName = entry.idName;
        held.kind = entry.kind;
        held.intValue = value.intValue;
        held.bytes = std::move(value.bytes);
        out.push_back(std::move(held));
    }
    return true;
}

} // namespace paramlink
