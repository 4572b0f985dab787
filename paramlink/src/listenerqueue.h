// The changes of one Config on their way to its listeners: a bounded queue
// and the library thread that empties it, in order. Pushing never blocks:
// when the queue is full the oldest change is dropped, and the number
// dropped is logged once delivery goes on, so a listener that stops taking
// events costs its own events and never a writer's time or unbounded memory.
#ifndef PARAMLINK_LISTENERQUEUE_H
#define PARAMLINK_LISTENERQUEUE_H

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "listenerhub.h"

namespace paramlink {

class ListenerQueue : public std::enable_shared_from_this<ListenerQueue> {
public:
    static constexpr size_t kMaxEvents = 65536;
    // Value bytes held at most (a data value may be 1 MiB).
    static constexpr size_t kMaxBytes = 64u << 20;

    // Starts the thread, which keeps the queue alive until Stop. what names
    // the config in log lines.
    static std::shared_ptr<ListenerQueue> Start(std::shared_ptr<ListenerHub> hub, std::string what,
                                                size_t maxEvents = kMaxEvents, size_t maxBytes = kMaxBytes);
    ~ListenerQueue();
    ListenerQueue(const ListenerQueue&) = delete;
    ListenerQueue& operator=(const ListenerQueue&) = delete;

    void Push(OwnedChange change);
    // Ends the thread: waits for it, or, called from one of its own
    // callbacks, lets it end once the callback returns. Close the hub first
    // so that nothing queued is delivered.
    void Stop();

private:
    ListenerQueue(std::shared_ptr<ListenerHub> hub, std::string what, size_t maxEvents, size_t maxBytes);
    void run();
    static size_t cost(const OwnedChange& change) { return change.bytes.size() + sizeof(OwnedChange); }
    // With _mutex held.
    void logDroppedLocked(std::unique_lock<std::mutex>& lock);

    std::shared_ptr<ListenerHub> _hub;
    std::string _what;
    size_t _maxEvents;
    size_t _maxBytes;

    std::mutex _mutex;
    std::condition_variable _wake;
    std::deque<OwnedChange> _queue;
    size_t _bytes = 0;
    size_t _dropped = 0;
    bool _stop = false;
    std::thread _thread;
};

} // namespace paramlink

#endif
