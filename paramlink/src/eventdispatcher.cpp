#include "eventdispatcher.h"

#include <pthread.h>

#include <chrono>
#include <thread>

#include "clientio.h"
#include "listenerqueue.h"

namespace paramlink {

namespace {
thread_local bool tWorker = false;
} // namespace

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

void EventDispatcher::Start()
{
    std::lock_guard<std::mutex> lock(_mutex);
    if (_threads == 0)
        startThreadLocked();
}

void EventDispatcher::Schedule(std::shared_ptr<ListenerQueue> strand)
{
    bool wakePoller = false;
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _ready.push_back(std::move(strand));
        // A library thread runs it once done with what it is doing.
        if (tWorker)
            return;
        if (_threads == 0) {
            startThreadLocked();
        } else if (_idle > 0) {
            _workReady.notify_one();
        } else if (_polling) {
            wakePoller = !_pollerWoken;
            _pollerWoken = true;
        } else {
            // Everyone is busy: the watcher starts a thread if that lasts.
            _watchWake.notify_one();
        }
    }
    if (wakePoller)
        ClientIO::Instance().WakePoller();
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
    tWorker = true;
    std::unique_lock<std::mutex> lock(_mutex);
    for (;;) {
        if (!_ready.empty()) {
            std::shared_ptr<ListenerQueue> strand = std::move(_ready.front());
            _ready.pop_front();
            lock.unlock();
            const bool more = strand->RunTurn();
            lock.lock();
            ++_progress;
            // Behind the others, so one busy config does not starve them.
            if (more)
                _ready.push_back(std::move(strand));
            continue;
        }
        if (!_polling) {
            // This thread waits for socket data, and reads it.
            _polling = true;
            _pollerWoken = false;
            lock.unlock();
            ClientIO::Instance().Poll(kIdleMs);
            lock.lock();
            _polling = false;
            ++_progress;
            // A thread waiting for work watches the sockets meanwhile.
            if (_idle > 0 && !_ready.empty())
                _workReady.notify_one();
            continue;
        }
        ++_idle;
        const bool woken = _workReady.wait_for(lock, std::chrono::milliseconds(kIdleMs),
                                               [this] { return !_ready.empty() || !_polling; });
        --_idle;
        if (!woken && _threads > 1) {
            --_threads;
            return;
        }
    }
}

void EventDispatcher::watch()
{
    pthread_setname_np(pthread_self(), "paramlink-evw");
    std::unique_lock<std::mutex> lock(_mutex);
    for (;;) {
        // Busy: nobody waits for work or for socket data. Looked at often
        // while so, seldom otherwise.
        const bool busy = _idle == 0 && !_polling;
        const bool behind = busy && !_ready.empty();
        const std::uint64_t before = _progress;
        _watchWake.wait_for(lock, std::chrono::milliseconds(busy ? kStuckMs : 5 * kStuckMs));
        if (!busy || _idle > 0 || _polling)
            continue;
        // A listener that does not return, or more events than one thread
        // delivers (as many threads as cores then).
        if ((_progress == before && _threads < kMaxThreads) ||
            (behind && !_ready.empty() && _threads < int(std::thread::hardware_concurrency())))
            startThreadLocked();
    }
}

} // namespace paramlink
