// The connection of one socket config to its store: requests and their
// replies, events on their way to the listener queue, and the link's loss
// and remaking. Its parts: who reads the socket (ReadTurn, SocketWatch),
// the requests waiting for replies (ReplyWaiters), the values seen
// (ValueCache) and the pauses between attempts to make it again
// (ReconnectPause); the greeting is OpenLink's.
//
// Reading (leader/follower): a caller waiting for a reply reads the socket
// itself, so one acknowledged request costs one wake-up; events it reads on
// the way go to the listener queue, replies of other waiting callers to
// them. While nobody waits, an event thread reads, once the config has a
// listener (Watch); without one, what waited is read when the config is
// next used (a cached read, a request, ConfigConnected). Only one thread
// reads at a time.
//
// Locks, in this order: _sendMutex (sends one at a time), _mutex (the
// socket, its generation, the turn, the watch and the waiters), the
// cache's own.
#ifndef PARAMLINK_SOCKETLINK_H
#define PARAMLINK_SOCKETLINK_H

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "clientio.h"
#include "listenerqueue.h"
#include "readturn.h"
#include "reconnectpause.h"
#include "replywaiters.h"
#include "socketwatch.h"
#include "storedvalue.h"
#include "storeurl.h"
#include "valuecache.h"
#include "wireformat.h"

class DescriptorTable;

namespace paramlink {

class SocketLink : public std::enable_shared_from_this<SocketLink>, public WatchedLink {
public:
    // Takes an open, greeted socket (OpenLink) into use; in holds what came
    // after the greeting.
    static std::shared_ptr<SocketLink> Start(const StoreUrl& url, DescriptorTable* table,
                                             std::shared_ptr<ListenerQueue> events, std::shared_ptr<ListenerHub> hub,
                                             int fd, wire::FrameBuffer in, std::uint64_t connectionID);
    ~SocketLink() override;
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

    // WatchedLink, for ClientIO.
    void OnReadable() override;
    int Reconnect() override;

private:
    enum class Read { Data, Idle, Lost };
    using Clock = std::chrono::steady_clock;
    static constexpr size_t kReadBuffer = 16 * 1024;

    SocketLink(const StoreUrl& url, DescriptorTable* table, std::shared_ptr<ListenerQueue> events,
               std::shared_ptr<ListenerHub> hub);

    // Exchange's steps: the request out, with its waiter in place (false:
    // not sent); then its reply awaited, read by this thread whenever the
    // turn is free; one such turn.
    bool sendRequest(Waiter& waiter, const std::string& frame, std::uint64_t& generation);
    void awaitReply(Waiter& waiter, std::uint64_t generation, Clock::time_point deadline,
                    std::unique_lock<std::mutex>& lock);
    void readForReply(Waiter& waiter, std::uint64_t generation, Clock::time_point deadline,
                      std::unique_lock<std::mutex>& lock);

    // With _mutex held: takes the reading turn for the current socket.
    void takeTurnLocked();
    // With _mutex held: gives the reading turn back, to a waiting caller,
    // else to the event thread.
    void endTurnLocked(bool rearm);
    // Takes the reading turn when it is free and reads what waits, at most
    // maxReads receives, without waiting; watching: for the event thread.
    void readWaiting(int maxReads, bool watching);
    // With the turn taken for generation: what came with the greeting,
    // then the turn given back.
    void readGreetingRest(std::uint64_t generation);
    // With the reading turn: one receive (waiting up to waitMs, 0 for
    // none) and every whole frame in it.
    Read readOnce(int fd, int waitMs, std::string& why);
    // With the reading turn: every whole frame received; false when the
    // stream is bad.
    bool parseBuffered(std::string& why);
    bool handle(const wire::Message& msg);
    // A REPLY or LISTING to its waiting request; an EVENT to the cache and
    // the listener queue.
    bool takeReply(const wire::Message& msg);
    void takeEvent(const wire::Message& msg);

    void lost(std::uint64_t generation, const std::string& why);
    // With _mutex held: stops the socket's use (the descriptor stays open
    // until no thread can use it) and fails every waiting request.
    void dropSocketLocked();
    // With _mutex held and the turn free: the new socket in the lost one's
    // place, the turn taken for it; its generation.
    std::uint64_t adoptLocked(int fd, wire::FrameBuffer in, std::uint64_t connectionID);
    void note(LinkNote note);

    const StoreUrl _url;
    const std::string _where;
    std::shared_ptr<ListenerQueue> _events;
    std::shared_ptr<ListenerHub> _hub;
    // Written under _mutex, read on any thread.
    std::atomic<bool> _connected{false};
    std::atomic<std::uint64_t> _connectionID{0};
    // Any thread.
    std::atomic<std::uint32_t> _nextTag{0};

    // Sends go one at a time; taken before _mutex.
    std::mutex _sendMutex;

    // Guards what follows, up to the reader's part.
    std::mutex _mutex;
    int _fd = -1;
    // Counts the sockets the link has had.
    std::uint64_t _generation = 0;
    bool _closed = false;
    ReadTurn _turn;
    SocketWatch _watch;
    ReplyWaiters _waiters;
    ReconnectPause _pause;

    // The reader's, with the reading turn.
    wire::FrameBuffer _in;
    std::vector<OwnedChange> _batch;

    ValueCache _cache;
};

} // namespace paramlink

#endif
