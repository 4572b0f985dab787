// The library thread that calls the listeners of this process's local
// configs, in the order the changes were made.
#ifndef PARAMLINK_LOCALDISPATCHER_H
#define PARAMLINK_LOCALDISPATCHER_H

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "listenerhub.h"

namespace paramlink {

class LocalDispatcher {
public:
    // Started on first use; lives until the process ends.
    static LocalDispatcher& Instance();

    void Post(const std::shared_ptr<ListenerHub>& hub, const ValueChange& change);

private:
    LocalDispatcher();
    void run();

    struct Item {
        std::shared_ptr<ListenerHub> hub;
        OwnedChange change;
    };

    std::mutex _mutex;
    std::condition_variable _wake;
    std::deque<Item> _queue;
    std::thread _thread;
};

} // namespace paramlink

#endif
