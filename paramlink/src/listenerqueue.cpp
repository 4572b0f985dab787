#include "listenerqueue.h"

#include "eventdispatcher.h"
#include "netutil.h"

namespace paramlink {

std::shared_ptr<ListenerQueue> ListenerQueue::Start(std::shared_ptr<ListenerHub> hub, std::string what,
                                                    size_t maxEvents, size_t maxBytes)
{
    return std::shared_ptr<ListenerQueue>(new ListenerQueue(std::move(hub), std::move(what), maxEvents, maxBytes));
}

ListenerQueue::ListenerQueue(std::shared_ptr<ListenerHub> hub, std::string what, size_t maxEvents, size_t maxBytes)
    : _hub(std::move(hub)),
      _what(std::move(what)),
      _maxEvents(maxEvents ? maxEvents : 1),
      _maxBytes(maxBytes)
{
}

bool ListenerQueue::addLocked(OwnedChange&& change, std::uint64_t* dropped)
{
    _bytes += cost(change);
    _queue.push_back(std::move(change));
    // The newest change is always kept.
    while (_queue.size() > 1 && (_queue.size() > _maxEvents || _bytes > _maxBytes)) {
        _bytes -= cost(_queue.front());
        if (dropped)
            *dropped = _queue.front().number;
        _queue.pop_front();
        ++_dropped;
    }
    if (_scheduled)
        return false;
    _scheduled = true;
    return true;
}

void ListenerQueue::schedule() { EventDispatcher::Instance().Schedule(shared_from_this()); }

std::uint64_t ListenerQueue::Push(OwnedChange change)
{
    bool wake;
    std::uint64_t dropped = 0;
    {
        std::lock_guard<std::mutex> lock(_mutex);
        if (_stop)
            return 0;
        wake = addLocked(std::move(change), &dropped);
    }
    if (wake)
        schedule();
    return dropped;
}

void ListenerQueue::PushAll(std::vector<OwnedChange>& changes)
{
    bool wake = false;
    {
        std::lock_guard<std::mutex> lock(_mutex);
        if (!_stop)
            for (OwnedChange& change : changes)
                wake = addLocked(std::move(change)) || wake;
    }
    changes.clear();
    if (wake)
        schedule();
}

bool ListenerQueue::RunTurn()
{
    size_t dropped;
    {
        std::lock_guard<std::mutex> lock(_mutex);
        dropped = _dropped;
        _dropped = 0;
        _turn.clear();
        while (!_queue.empty() && _turn.size() < kTurn) {
            _bytes -= cost(_queue.front());
            _turn.push_back(std::move(_queue.front()));
            _queue.pop_front();
        }
    }
    if (dropped)
        Log(_what + ": a listener fell behind; " + std::to_string(dropped) + " oldest event" +
            (dropped == 1 ? "" : "s") + " dropped");
    _hub->Deliver(_turn.data(), _turn.size());
    std::lock_guard<std::mutex> lock(_mutex);
    _turn.clear();
    if (_stop || _queue.empty()) {
        _scheduled = false;
        return false;
    }
    return true;
}

void ListenerQueue::Stop()
{
    std::lock_guard<std::mutex> lock(_mutex);
    _stop = true;
    _queue.clear();
    _bytes = 0;
}

} // namespace paramlink
