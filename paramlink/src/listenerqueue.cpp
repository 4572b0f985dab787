#include "listenerqueue.h"

#include <pthread.h>

#include "netutil.h"

namespace paramlink {

std::shared_ptr<ListenerQueue> ListenerQueue::Start(std::shared_ptr<ListenerHub> hub, std::string what,
                                                    size_t maxEvents, size_t maxBytes)
{
    std::shared_ptr<ListenerQueue> queue(new ListenerQueue(std::move(hub), std::move(what), maxEvents, maxBytes));
    // The thread holds the queue, so a config released from inside one of
    // its callbacks may be freed while the thread finishes.
    std::shared_ptr<ListenerQueue> self = queue;
    queue->_thread = std::thread([self] { self->run(); });
    return queue;
}

ListenerQueue::ListenerQueue(std::shared_ptr<ListenerHub> hub, std::string what, size_t maxEvents, size_t maxBytes)
    : _hub(std::move(hub)),
      _what(std::move(what)),
      _maxEvents(maxEvents ? maxEvents : 1),
      _maxBytes(maxBytes)
{
}

// The thread holds the queue until it ends, so by the time the last copy
// goes the thread has been joined or detached by Stop.
ListenerQueue::~ListenerQueue() = default;

void ListenerQueue::Push(OwnedChange change)
{
    {
        std::lock_guard<std::mutex> lock(_mutex);
        if (_stop)
            return;
        _bytes += cost(change);
        _queue.push_back(std::move(change));
        // The newest change is always kept.
        while (_queue.size() > 1 && (_queue.size() > _maxEvents || _bytes > _maxBytes)) {
            _bytes -= cost(_queue.front());
            _queue.pop_front();
            ++_dropped;
        }
    }
    _wake.notify_one();
}

void ListenerQueue::logDroppedLocked(std::unique_lock<std::mutex>& lock)
{
    if (!_dropped)
        return;
    const size_t dropped = _dropped;
    _dropped = 0;
    lock.unlock();
    Log(_what + ": a listener fell behind; " + std::to_string(dropped) + " oldest event" +
        (dropped == 1 ? "" : "s") + " dropped");
    lock.lock();
}

void ListenerQueue::run()
{
    pthread_setname_np(pthread_self(), "paramlink-ev");
    std::unique_lock<std::mutex> lock(_mutex);
    for (;;) {
        _wake.wait(lock, [this] { return _stop || !_queue.empty(); });
        if (_stop)
            break;
        OwnedChange change = std::move(_queue.front());
        _queue.pop_front();
        _bytes -= cost(change);
        logDroppedLocked(lock);
        lock.unlock();
        _hub->Deliver(change);
        lock.lock();
    }
    _queue.clear();
    _bytes = 0;
    logDroppedLocked(lock);
}

void ListenerQueue::Stop()
{
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _stop = true;
    }
    _wake.notify_all();
    if (!_thread.joinable())
        return;
    if (_thread.get_id() == std::this_thread::get_id())
        _thread.detach();
    else
        _thread.join();
}

} // namespace paramlink
