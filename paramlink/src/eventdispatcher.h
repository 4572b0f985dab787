// The library threads of this process's configs: they read the sockets of
// the socket configs while no caller is waiting on them (ClientIO), and
// call every config's listeners. One thread does both as a rule: it waits
// for socket data, reads it and calls the listeners of what it read at
// once. When every thread has been busy for kStuckMs, another is started:
// when no event was delivered meanwhile (a listener that does not return),
// so one stuck listener never holds up the others' events, and when events
// kept waiting (more than one thread delivers), up to one per core.
// Threads beyond the first end after kIdleMs without work. Each config's events go through one strand (ListenerQueue), never
// run by two threads at once, so the order per config is kept.
#ifndef PARAMLINK_EVENTDISPATCHER_H
#define PARAMLINK_EVENTDISPATCHER_H

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>

namespace paramlink {

class ListenerQueue;

class EventDispatcher {
public:
    static constexpr int kStuckMs = 50;
    static constexpr int kIdleMs = 2000;
    static constexpr int kMaxThreads = 64;

    // The process's dispatcher; it lives until the process ends.
    static EventDispatcher& Instance();

    // The strand has events waiting and is on no list yet.
    void Schedule(std::shared_ptr<ListenerQueue> strand);
    // At least one thread runs (sockets need reading).
    void Start();
    // Threads working or waiting for work now.
    int Threads();

private:
    EventDispatcher() = default;
    void startThreadLocked();
    void work();
    void watch();

    std::mutex _mutex;
    std::condition_variable _workReady;
    std::condition_variable _watchWake;
    std::deque<std::shared_ptr<ListenerQueue>> _ready;
    int _threads = 0;
    int _idle = 0;
    // A thread waits for socket data; woken through ClientIO.
    bool _polling = false;
    bool _pollerWoken = false;
    // Turns and socket rounds done; the watcher compares it.
    std::uint64_t _progress = 0;
    bool _watching = false;
};

} // namespace paramlink

#endif
