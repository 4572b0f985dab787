// The connection of one socket config to its store: requests and their
// replies, the read cache, events on their way to the listener queue, and
// the link's loss and remaking.
//
// Reading (leader/follower): a caller waiting for a reply reads the socket
// itself, so one acknowledged request costs one wake-up; events it reads on
// the way go to the listener queue, replies of other waiting callers to
// them. While nobody waits, an event thread reads, once the config has a
// listener (Watch); without one, what waited is read when the config is
// next used (a cached read, a request, ConfigConnected). Only one thread
// reads at a time.
#ifndef PARAMLINK_SOCKETLINK_H
#define PARAMLINK_SOCKETLINK_H

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "listenerqueue.h"
#include "storedvalue.h"
#include "storeurl.h"
#include "wireformat.h"

class DescriptorTable;

namespace paramlink {

class SocketLink : public std::enable_shared_from_this<SocketLink> {
public:
    static constexpr int kConnectTimeoutMs = 2000;
    static constexpr int kReplyTimeoutMs = 3000;
    // The pause before the first attempt to make a lost link again, doubled
    // per failed attempt up to the last.
    static constexpr int kFirstRetryMs = 250;
    static constexpr int kMaxRetryMs = 4000;
    // A waiting caller reads without sleeping this long, while replies
    // usually come sooner.
    static constexpr long long kSpinUs = 50;

    // One request's answer.
    struct Reply {
        std::uint8_t status = 0;
        bool hasValue = false;
        StoredValue value;
        std::string reason;
        std::vector<wire::ListedParam> listing;
    };

    // Connects and greets: the socket, or -1 with a reason. in keeps what
    // came after the greeting.
    static int Open(const StoreUrl& url, wire::FrameBuffer& in, std::uint64_t& connectionID, std::string& error);

    // Takes an open, greeted socket into use.
    static std::shared_ptr<SocketLink> Start(const StoreUrl& url, DescriptorTable* table,
                                             std::shared_ptr<ListenerQueue> events, std::shared_ptr<ListenerHub> hub,
                                             int fd, wire::FrameBuffer in, std::uint64_t connectionID);
    ~SocketLink();
    SocketLink(const SocketLink&) = delete;
    SocketLink& operator=(const SocketLink&) = delete;

    // Ends the link for good: nothing is read, sent or remade after this.
    void Close();
    bool Connected() const { return _connected.load(std::memory_order_acquire); }
    // An event thread reads the socket whenever data comes (the config has
    // listeners to tell).
    void Watch();
    // Reads what waits on an unwatched socket (the cache and the link's
    // state catch up); whether the link stands.
    bool Refresh();
    std::uint64_t ConnectionID() const { return _connectionID.load(std::memory_order_acquire); }
    const std::string& Where() const { return _where; }

    std::uint32_t NextTag();
    // How a request went: answered; not sent whole (the link was away or
    // failed while sending), so the server never took it; or sent and not
    // answered (the link dropped, or no answer in time), so the server may
    // have carried it out.
    enum class Outcome { Answered, NotSent, NoAnswer };
    // Sends frame (one request tagged tag) and waits for its reply. With
    // cacheParam set, a value in the reply is cached, in stream order.
    Outcome Exchange(std::uint32_t tag, const std::string& frame, Reply& reply,
                     const std::uint32_t* cacheParam = nullptr);
    // A value the cache holds for the id, of the kind wanted.
    bool Cached(std::uint32_t id, ValueKind kind, StoredValue& out);

    // For ClientIO: the socket has data, or the reader thread is to retry.
    void OnReadable();
    // Tries once to make the lost link again: 0 when done (or the link
    // closed), else the pause before the next attempt.
    int Reconnect();

private:
    // A waiting request.
    struct Waiter {
        std::uint32_t tag = 0;
        const std::uint32_t* cacheParam = nullptr;
        Reply* reply = nullptr;
        // Set under _mutex; read without it by the waiter while it reads.
        std::atomic<bool> done{false};
        bool answered = false;
        std::condition_variable wake;
    };
    enum class Read { Data, Idle, Lost };
    // A waiting reader looks up from its socket this often, to see whether
    // its time is up or the link is closing.
    static constexpr int kReadSliceMs = 100;
    static constexpr size_t kReadBuffer = 16 * 1024;

    SocketLink(const StoreUrl& url, DescriptorTable* table, std::shared_ptr<ListenerQueue> events,
               std::shared_ptr<ListenerHub> hub);
    // Takes the reading turn when it is free and reads what waits, at most
    // maxReads receives, without waiting; watching: for the event thread.
    void readWaiting(int maxReads, bool watching);
    // With the reading turn: one receive (waiting up to waitMs, 0 for
    // none) and every whole frame in it.
    Read readOnce(int fd, int waitMs, std::string& why);
    // With the reading turn: every whole frame received; false when the
    // stream is bad.
    bool parseBuffered(std::string& why);
    bool handle(const wire::Message& msg);
    // With the reading turn: this process's table holds the id.
    bool inTable(std::uint32_t id);
    // How long the caller with the reading turn spins before it sleeps;
    // with _mutex held.
    int spinUs() const;
    // With _mutex held: gives the reading turn back.
    void endTurnLocked(bool rearm);
    void lost(std::uint64_t generation, const std::string& why);
    // With _mutex held: stops the socket's use (the descriptor stays open
    // until no thread can use it) and fails every waiting request.
    void dropSocketLocked();
    void note(LinkNote note);

    const StoreUrl _url;
    const std::string _where;
    DescriptorTable* const _table;
    std::shared_ptr<ListenerQueue> _events;
    std::shared_ptr<ListenerHub> _hub;
    std::uint64_t _ioKey = 0;
    int _retryMs = kFirstRetryMs;

    // Sends go one at a time; taken before _mutex.
    std::mutex _sendMutex;

    std::mutex _mutex;
    std::condition_variable _turnFree;
    int _fd = -1;
    std::uint64_t _generation = 0;
    bool _closed = false;
    bool _reading = false;
    bool _watched = false;
    // The socket is in the reader's set, and reported on.
    bool _inSet = false;
    bool _armed = false;
    std::vector<Waiter*> _waiters;
    // Replies' usual time in us (a moving average).
    long long _replyUs = 0;
    std::atomic<bool> _connected{false};
    std::atomic<std::uint64_t> _connectionID{0};
    std::atomic<std::uint32_t> _nextTag{0};

    // The reader's, with the reading turn.
    wire::FrameBuffer _in;
    // The ids of this process's table, for caching, as of a generation of
    // the table (shared by the links of the table).
    std::shared_ptr<const std::unordered_set<std::uint32_t>> _tableIds;
    std::uint64_t _tableGeneration = ~std::uint64_t(0);
    std::vector<OwnedChange> _batch;
    std::uint64_t _readGeneration = 0;
    std::uint64_t _readConnection = 0;

    std::mutex _cacheMutex;
    std::unordered_map<std::uint32_t, StoredValue> _cache;
    bool _caching;
};

} // namespace paramlink

#endif
