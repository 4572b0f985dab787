// The library threads that call the listeners of every config of this
// process. One thread does the work; when a listener holds it up (a
// callback that has not returned for kStuckMs while other configs' events
// wait), another thread is started for them, and threads beyond the first
// end after kIdleMs without work. Each config's events go through one
// strand (ListenerQueue), never run by two threads at once, so the order
// per config is kept.
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
    // Strands run to the end of a turn; the watcher compares it.
    std::uint64_t _progress = 0;
    bool _watching = false;
};

} // namespace paramlink

#endif
