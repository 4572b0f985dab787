#include "listenerhub.h"

#include <algorithm>

#include "paramlink/config.h"
#include "paramlink/configlink.h"

namespace paramlink {

namespace {
thread_local const OwnedChange* tCurrent = nullptr;

// Marks the change being delivered on this thread for CurrentEventOrigin.
class CurrentChange {
public:
    explicit CurrentChange(const OwnedChange& change) : _previous(tCurrent) { tCurrent = &change; }
    ~CurrentChange() { tCurrent = _previous; }

private:
    const OwnedChange* _previous;
};
} // namespace

const OwnedChange* ListenerHub::Current() { return tCurrent; }

template <typename L>
bool ListenerHub::add(std::vector<L*>& list, std::atomic<int>& count, L* listener)
{
    if (!listener)
        return false;
    std::lock_guard<std::mutex> lock(_mutex);
    if (_closed || std::find(list.begin(), list.end(), listener) != list.end())
        return false;
    list.push_back(listener);
    count.store(int(list.size()), std::memory_order_release);
    return true;
}

template <typename L>
bool ListenerHub::remove(std::vector<L*>& list, std::atomic<int>& count, L* listener)
{
    std::unique_lock<std::mutex> lock(_mutex);
    auto it = std::find(list.begin(), list.end(), listener);
    if (it == list.end())
        return false;
    list.erase(it);
    count.store(int(list.size()), std::memory_order_release);
    _removals.fetch_add(1, std::memory_order_release);
    waitIdleLocked(lock);
    return true;
}

bool ListenerHub::Add(ConfigEventListener* listener) { return add(_listeners, _count, listener); }

bool ListenerHub::Remove(ConfigEventListener* listener) { return remove(_listeners, _count, listener); }

bool ListenerHub::AddLink(ConfigLinkListener* listener) { return add(_linkListeners, _linkCount, listener); }

bool ListenerHub::RemoveLink(ConfigLinkListener* listener) { return remove(_linkListeners, _linkCount, listener); }

void ListenerHub::waitIdleLocked(std::unique_lock<std::mutex>& lock)
{
    // From inside a callback the delivery cannot finish first; the
    // per-listener check in Deliver covers that case.
    if (_delivering && _deliverer == std::this_thread::get_id())
        return;
    _idle.wait(lock, [this] { return !_delivering; });
}

template <typename L>
bool ListenerHub::stillListening(const std::vector<L*>& list, L* listener, std::uint64_t seen)
{
    // Nothing was removed since the snapshot: no need to look.
    if (_removals.load(std::memory_order_acquire) == seen)
        return true;
    std::lock_guard<std::mutex> lock(_mutex);
    return !_closed && std::find(list.begin(), list.end(), listener) != list.end();
}

void ListenerHub::Deliver(const OwnedChange* changes, size_t count)
{
    std::uint64_t seen;
    {
        std::lock_guard<std::mutex> lock(_mutex);
        if (_closed || _delivering || (_listeners.empty() && _linkListeners.empty()))
            return;
        _delivering = true;
        _deliverer = std::this_thread::get_id();
        _snapshot = _listeners;
        _linkSnapshot = _linkListeners;
        seen = _removals.load(std::memory_order_acquire);
    }
    for (size_t i = 0; i < count; ++i)
        deliverOne(changes[i], seen);
    std::lock_guard<std::mutex> lock(_mutex);
    _delivering = false;
    _deliverer = std::thread::id();
    _idle.notify_all();
}

void ListenerHub::deliverOne(const OwnedChange& change, std::uint64_t seen)
{
    if (change.link != LinkNote::None) {
        for (ConfigLinkListener* listener : _linkSnapshot) {
            if (!stillListening(_linkListeners, listener, seen))
                continue;
            if (change.link == LinkNote::Lost)
                listener->LinkLost(_owner);
            else
                listener->LinkRestored(_owner);
        }
        return;
    }
    CurrentChange current(change);
    for (ConfigEventListener* listener : _snapshot) {
        if (!stillListening(_listeners, listener, seen))
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
}

void ListenerHub::Close()
{
    std::unique_lock<std::mutex> lock(_mutex);
    _closed = true;
    _removals.fetch_add(1, std::memory_order_release);
    waitIdleLocked(lock);
}

} // namespace paramlink
