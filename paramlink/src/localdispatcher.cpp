#include "localdispatcher.h"

#include <pthread.h>

namespace paramlink {

LocalDispatcher& LocalDispatcher::Instance()
{
    // Never destroyed: its thread runs until the process ends.
    static LocalDispatcher* instance = new LocalDispatcher;
    return *instance;
}

LocalDispatcher::LocalDispatcher() : _thread([this] { run(); }) {}

void LocalDispatcher::Post(const std::shared_ptr<ListenerHub>& hub, const ValueChange& change)
{
    Item item;
    item.hub = hub;
    item.change.id = change.id;
    item.change.kind = change.kind;
    item.change.intValue = change.intValue;
    if (change.length)
        item.change.bytes.assign(change.bytes, change.length);
    item.change.when = change.when;
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _queue.push_back(std::move(item));
    }
    _wake.notify_one();
}

void LocalDispatcher::run()
{
    pthread_setname_np(pthread_self(), "paramlink-local");
    std::unique_lock<std::mutex> lock(_mutex);
    for (;;) {
        _wake.wait(lock, [this] { return !_queue.empty(); });
        Item item = std::move(_queue.front());
        _queue.pop_front();
        lock.unlock();
        item.hub->Deliver(item.change);
        item = Item();
        lock.lock();
    }
}

} // namespace paramlink
