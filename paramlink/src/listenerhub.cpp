#include "listenerhub.h"

#include <algorithm>

#include "paramlink/config.h"

namespace paramlink {

bool ListenerHub::Add(ConfigEventListener* listener)
{
    if (!listener)
        return false;
    std::lock_guard<std::mutex> lock(_mutex);
    if (_closed || std::find(_listeners.begin(), _listeners.end(), listener) != _listeners.end())
        return false;
    _listeners.push_back(listener);
    _count.store(int(_listeners.size()), std::memory_order_release);
    return true;
}

bool ListenerHub::Remove(ConfigEventListener* listener)
{
    std::unique_lock<std::mutex> lock(_mutex);
    auto it = std::find(_listeners.begin(), _listeners.end(), listener);
    if (it == _listeners.end())
        return false;
    _listeners.erase(it);
    _count.store(int(_listeners.size()), std::memory_order_release);
    waitIdleLocked(lock);
    return true;
}

void ListenerHub::waitIdleLocked(std::unique_lock<std::mutex>& lock)
{
    // From inside a callback the delivery cannot finish first; the
    // per-listener check in Deliver covers that case.
    if (_delivering && _deliverer == std::this_thread::get_id())
        return;
    _idle.wait(lock, [this] { return !_delivering; });
}

bool ListenerHub::stillListening(ConfigEventListener* listener)
{
    std::lock_guard<std::mutex> lock(_mutex);
    return !_closed && std::find(_listeners.begin(), _listeners.end(), listener) != _listeners.end();
}

void ListenerHub::Deliver(const OwnedChange& change)
{
    {
        std::lock_guard<std::mutex> lock(_mutex);
        if (_closed || _listeners.empty() || _delivering)
            return;
        _delivering = true;
        _deliverer = std::this_thread::get_id();
        _snapshot = _listeners;
    }
    for (size_t i = 0; i < _snapshot.size(); ++i) {
        ConfigEventListener* listener = _snapshot[i];
        if (i > 0 && !stillListening(listener))
            continue;
        std::string copy;
        switch (change.kind) {
        case ValueKind::Integer:
            listener->IntegerChanged(change.id, change.intValue, change.when);
            break;
        case ValueKind::String:
            copy = change.bytes;
            listener->StringChanged(change.id, copy, change.when);
            break;
        case ValueKind::Data:
            copy = change.bytes;
            listener->DataChanged(change.id, copy, change.when);
            break;
        }
    }
    std::lock_guard<std::mutex> lock(_mutex);
    _delivering = false;
    _deliverer = std::thread::id();
    _idle.notify_all();
}

void ListenerHub::Close()
{
    std::unique_lock<std::mutex> lock(_mutex);
    _closed = true;
    waitIdleLocked(lock);
}

} // namespace paramlink
