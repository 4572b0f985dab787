// The changes of one Config on their way to its listeners: a bounded queue
// that the process's event threads (EventDispatcher) empty in order.
// Pushing never blocks: when the queue is full the oldest change is
// dropped, and the number dropped is logged once delivery goes on, so a
// listener that stops taking events costs its own events and never a
// writer's time or unbounded memory.
#ifndef PARAMLINK_LISTENERQUEUE_H
#define PARAMLINK_LISTENERQUEUE_H

#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "listenerhub.h"

namespace paramlink {

class ListenerQueue : public std::enable_shared_from_this<ListenerQueue> {
public:
    static constexpr size_t kMaxEvents = 65536;
    // Value bytes held at most (a data value may be 1 MiB).
    static constexpr size_t kMaxBytes = 64u << 20;
    // Changes delivered in one turn before other configs get theirs.
    static constexpr size_t kTurn = 256;

    // A queue delivering to hub's listeners. what names the config in log
    // lines.
    static std::shared_ptr<ListenerQueue> Start(std::shared_ptr<ListenerHub> hub, std::string what,
                                                size_t maxEvents = kMaxEvents, size_t maxBytes = kMaxBytes);
    ListenerQueue(const ListenerQueue&) = delete;
    ListenerQueue& operator=(const ListenerQueue&) = delete;

    // The store's number of the newest change dropped to make room (of
    // this process's store; OwnedChange::number); 0 when none was.
    std::uint64_t Push(OwnedChange change);
    // Several changes with one hand-off; changes is left empty.
    void PushAll(std::vector<OwnedChange>& changes);
    // Nothing is delivered after this but a callback already running. Close
    // the hub first (it waits for a callback in progress on another thread).
    void Stop();

    // For the dispatcher: delivers up to kTurn changes; true when more wait.
    bool RunTurn();

private:
    ListenerQueue(std::shared_ptr<ListenerHub> hub, std::string what, size_t maxEvents, size_t maxBytes);
    static size_t cost(const OwnedChange& change) { return change.bytes.size() + sizeof(OwnedChange); }
    // With _mutex held: queues one change, dropping the oldest past the
    // bounds (dropped, when given, then takes the number of the newest
    // dropped); true when the queue must be scheduled.
    bool addLocked(OwnedChange&& change, std::uint64_t* dropped = nullptr);
    void schedule();

    std::shared_ptr<ListenerHub> _hub;
    std::string _what;
    size_t _maxEvents;
    size_t _maxBytes;

    std::mutex _mutex;
    std::deque<OwnedChange> _queue;
    size_t _bytes = 0;
    size_t _dropped = 0;
    bool _stop = false;
    // On the dispatcher's list or being delivered.
    bool _scheduled = false;
    std::vector<OwnedChange> _turn;
};

} // namespace paramlink

#endif
