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
bool ListenerHub::stillListening(const std::vector<L*>& list, L* listener)
{
    std::lock_guard<std::mutex> lock(_mutex);
    return !_closed && std::find(list.begin(), list.end(), listener) != list.end();
}

void ListenerHub::Deliver(const OwnedChange& change)
{
    const bool link = change.link != LinkNote::None;
    {
        std::lock_guard<std::mutex> lock(_mutex);
        if (_closed || (link ? _linkListeners.empty() : _listeners.empty()) || _delivering)
            return;
        _delivering = true;
        _deliverer = std::this_thread::get_id();
        if (link)
            _linkSnapshot = _linkListeners;
        else
            _snapshot = _listeners;
    }
    if (link) {
        deliverLink(change);
    } else {
        CurrentChange current(change);
        for (size_t i = 0; i < _snapshot.size(); ++i) {
            ConfigEventListener* listener = _snapshot[i];
            if (i > 0 && !stillListening(_listeners, listener))
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
    std::lock_guard<std::mutex> lock(_mutex);
    _delivering = false;
    _deliverer = std::thread::id();
    _idle.notify_all();
}

void ListenerHub::deliverLink(const OwnedChange& change)
{
    for (size_t i = 0; i < _linkSnapshot.size(); ++i) {
        ConfigLinkListener* listener = _linkSnapshot[i];
        if (i > 0 && !stillListening(_linkListeners, listener))
            continue;
        if (change.link == LinkNote::Lost)
            listener->LinkLost(_owner);
        else
            listener->LinkRestored(_owner);
    }
}

void ListenerHub::Close()
{
    std::unique_lock<std::mutex> lock(_mutex);
    _closed = true;
    waitIdleLocked(lock);
}

} // namespace paramlink
