#include "eventdispatcher.h"

#include <pthread.h>

#include <chrono>
#include <thread>

#include "listenerqueue.h"

namespace paramlink {

EventDispatcher& EventDispatcher::Instance()
{
    // Never destroyed: its threads may run while the process exits.
    static EventDispatcher* instance = new EventDispatcher;
    return *instance;
}

int EventDispatcher::Threads()
{
    std::lock_guard<std::mutex> lock(_mutex);
    return _threads;
}

void EventDispatcher::Schedule(std::shared_ptr<ListenerQueue> strand)
{
    std::lock_guard<std::mutex> lock(_mutex);
    _ready.push_back(std::move(strand));
    if (_threads == 0) {
        startThreadLocked();
        return;
    }
    if (_idle > 0) {
        _workReady.notify_one();
        return;
    }
    // Everyone is busy: the watcher starts a thread if that lasts.
    _watchWake.notify_one();
}

void EventDispatcher::startThreadLocked()
{
    ++_threads;
    std::thread([this] { work(); }).detach();
    if (!_watching) {
        _watching = true;
        std::thread([this] { watch(); }).detach();
    }
}

void EventDispatcher::work()
{
    pthread_setname_np(pthread_self(), "paramlink-ev");
    std::unique_lock<std::mutex> lock(_mutex);
    for (;;) {
        if (_ready.empty()) {
            ++_idle;
            const bool woken = _workReady.wait_for(lock, std::chrono::milliseconds(kIdleMs),
                                                   [this] { return !_ready.empty(); });
            --_idle;
            if (!woken && _threads > 1) {
                --_threads;
                return;
            }
            continue;
        }
        std::shared_ptr<ListenerQueue> strand = std::move(_ready.front());
        _ready.pop_front();
        lock.unlock();
        const bool more = strand->RunTurn();
        lock.lock();
        ++_progress;
        // Behind the others, so one busy config does not starve them.
        if (more)
            _ready.push_back(std::move(strand));
    }
}

void EventDispatcher::watch()
{
    pthread_setname_np(pthread_self(), "paramlink-evw");
    std::unique_lock<std::mutex> lock(_mutex);
    for (;;) {
        _watchWake.wait(lock, [this] { return !_ready.empty() && _idle == 0; });
        const std::uint64_t before = _progress;
        _watchWake.wait_for(lock, std::chrono::milliseconds(kStuckMs));
        if (!_ready.empty() && _idle == 0 && _progress == before && _threads < kMaxThreads)
            startThreadLocked();
    }
}

} // namespace paramlink
