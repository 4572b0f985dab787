// A config of another process's store, reached over TCP (socket://).
// A reader thread takes every frame off the connection in order: replies
// complete the one request in flight, events refresh the read cache and go
// to the listener queue.
#ifndef PARAMLINK_SOCKETCONFIG_H
#define PARAMLINK_SOCKETCONFIG_H

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <vector>

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
    bool ListHeld(std::vector<HeldParam>& out) override;
    bool Connected() const override { return _connected.load(); }

    static constexpr int kConnectTimeoutMs = 2000;
    static constexpr int kReplyTimeoutMs = 3000;

private:
    SocketConfig(const StoreUrl& url, int fd);
    bool greet(std::string& error);
    void start();
    void stopReader();

    void readerLoop();
    bool handle(const wire::Message& msg);
    void lost(const std::string& why);

    bool set(eParam_t id, ValueKind kind, std::int32_t intValue, const char* bytes, size_t length) override;
    bool read(eParam_t id, ValueKind wanted, StoredValue& out) override;
    // A GET of the wanted kind; the reply is cached when cache is set.
    bool get(eParam_t id, ValueKind kind, bool cache, std::uint8_t& status, StoredValue& value);
    // Sends _out (one request tagged tag, about param) and waits for its
    // reply; with _requestMutex held.
    bool exchange(std::uint32_t tag, std::uint32_t param, bool cache, std::uint8_t& status, StoredValue* value);
    std::uint32_t nextTag();

    StoreUrl _url;
    std::string _where;
    int _fd;
    wire::FrameBuffer _in;

    std::thread _reader;
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
    std::uint32_t _awaitParam = 0; // under _replyMutex, as the two below
    bool _awaitCache = false;
    std::atomic<std::uint32_t> _doneTag{0};
    std::uint8_t _replyStatus = 0;
    bool _replyHasValue = false;
    StoredValue _replyValue;
    std::vector<wire::ListedParam> _replyListing;

    std::mutex _cacheMutex;
    std::unordered_map<std::uint32_t, StoredValue> _cache;
};

} // namespace paramlink

#endif
