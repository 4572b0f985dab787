// The listeners of one Config, and safe delivery to them from the thread
// that owns the Config's events.
#ifndef PARAMLINK_LISTENERHUB_H
#define PARAMLINK_LISTENERHUB_H

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "storedvalue.h"

class ConfigEventListener;

namespace paramlink {

class ListenerHub {
public:
    bool Add(ConfigEventListener* listener);
    // Waits for a delivery in progress on another thread.
    bool Remove(ConfigEventListener* listener);
    bool HasListeners() const { return _count.load(std::memory_order_acquire) > 0; }

    // Calls every listener; nothing once closed.
    void Deliver(const OwnedChange& change);
    // No delivery starts after this; one in progress on another thread is
    // waited for.
    void Close();

private:
    void waitIdleLocked(std::unique_lock<std::mutex>& lock);
    bool stillListening(ConfigEventListener* listener);

    std::mutex _mutex;
    std::condition_variable _idle;
    std::vector<ConfigEventListener*> _listeners;
    std::vector<ConfigEventListener*> _snapshot;
    std::atomic<int> _count{0};
    bool _closed = false;
    bool _delivering = false;
    std::thread::id _deliverer;
};

} // namespace paramlink

#endif
