// A config of another process's store, reached over TCP (socket://).
// A reader thread takes every frame off the connection in order: replies
// complete the one request in flight, events refresh the read cache and are
// queued for the dispatch thread, which calls the listeners.
#ifndef PARAMLINK_SOCKETCONFIG_H
#define PARAMLINK_SOCKETCONFIG_H

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <unordered_map>

#include "configbase.h"
#include "storeurl.h"
#include "wireformat.h"

namespace paramlink {

class SocketConfig : public ConfigBase {
public:
    // Connected and greeted, or null with a reason.
    static SocketConfig* Connect(const StoreUrl& url, std::string& error);
    ~SocketConfig() override;

    void Release() override;

    static constexpr int kConnectTimeoutMs = 2000;
    static constexpr int kReplyTimeoutMs = 3000;
    static constexpr size_t kMaxQueuedEvents = 65536;

private:
    SocketConfig(const StoreUrl& url, int fd);
    bool greet(std::string& error);
    void start();
    void stopThreads();

    void readerLoop();
    void dispatchLoop();
    bool handle(const wire::Message& msg);
    void lost(const std::string& why);

    bool set(eParam_t id, ValueKind kind, std::int32_t intValue, const char* bytes, size_t length) override;
    bool read(eParam_t id, ValueKind wanted, StoredValue& out) override;
    // Sends _out (one request tagged tag, about param) and waits for its
    // reply.
    bool exchange(std::uint32_t tag, std::uint32_t param, std::uint8_t& status, StoredValue* value);

    StoreUrl _url;
    int _fd;
    wire::FrameBuffer _in;

    std::thread _reader;
    std::thread _dispatcher;
    std::atomic<bool> _connected{true};
    std::atomic<bool> _closing{false};

    // One request at a time.
    std::mutex _requestMutex;
    std::string _out;
    std::uint32_t _nextTag = 0;

    // The reply of the request in flight.
    std::mutex _replyMutex;
    std::condition_variable _replyReady;
    std::atomic<std::uint32_t> _awaitTag{0};
    std::uint32_t _awaitParam = 0; // under _replyMutex
    std::atomic<std::uint32_t> _doneTag{0};
    std::uint8_t _replyStatus = 0;
    bool _replyHasValue = false;
    StoredValue _replyValue;

    std::mutex _cacheMutex;
    std::unordered_map<std::uint32_t, StoredValue> _cache;

    std::mutex _eventMutex;
    std::condition_variable _eventReady;
    std::condition_variable _eventRoom;
    std::deque<OwnedChange> _events;
    bool _stopDispatch = false;
    bool _releaseFromCallback = false;
};

} // namespace paramlink

#endif
