// The listeners of one Config, and safe delivery to them from the thread
// that runs the Config's events.
#ifndef PARAMLINK_LISTENERHUB_H
#define PARAMLINK_LISTENERHUB_H

#include <atomic>
#include <cstdint>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "storedvalue.h"

class Config;
class ConfigEventListener;
class ConfigLinkListener;

namespace paramlink {

class ListenerHub {
public:
    // owner is handed to link listeners.
    explicit ListenerHub(Config* owner = nullptr) : _owner(owner) {}

    bool Add(ConfigEventListener* listener);
    // Waits for a delivery in progress on another thread.
    bool Remove(ConfigEventListener* listener);
    bool AddLink(ConfigLinkListener* listener);
    bool RemoveLink(ConfigLinkListener* listener);
    // Some listener would hear a change.
    bool HasListeners() const { return _count.load(std::memory_order_acquire) > 0; }
    bool HasLinkListeners() const { return _linkCount.load(std::memory_order_acquire) > 0; }

    // Calls every listener (link listeners for a link note); nothing once
    // closed.
    void Deliver(const OwnedChange& change) { Deliver(&change, 1); }
    // Several changes in order, taking the lock once (and again only after
    // a listener was removed).
    void Deliver(const OwnedChange* changes, size_t count);
    // No delivery starts after this; one in progress on another thread is
    // waited for.
    void Close();

    // The change being delivered on this thread, or null.
    static const OwnedChange* Current();

private:
    template <typename L>
    bool add(std::vector<L*>& list, std::atomic<int>& count, L* listener);
    template <typename L>
    bool remove(std::vector<L*>& list, std::atomic<int>& count, L* listener);
    void waitIdleLocked(std::unique_lock<std::mutex>& lock);
    // The listener is still registered: asked only after a removal since
    // the snapshot.
    template <typename L>
    bool stillListening(const std::vector<L*>& list, L* listener, std::uint64_t seen);
    void deliverOne(const OwnedChange& change, std::uint64_t seen);

    Config* _owner;
    std::mutex _mutex;
    std::condition_variable _idle;
    std::vector<ConfigEventListener*> _listeners;
    std::vector<ConfigEventListener*> _snapshot;
    std::vector<ConfigLinkListener*> _linkListeners;
    std::vector<ConfigLinkListener*> _linkSnapshot;
    std::atomic<int> _count{0};
    std::atomic<int> _linkCount{0};
    // Counts removals and the close, so a delivery knows to look again.
    std::atomic<std::uint64_t> _removals{0};
    bool _closed = false;
    bool _delivering = false;
    std::thread::id _deliverer;
};

} // namespace paramlink

#endif
