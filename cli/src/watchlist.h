// The watched parameter ids, in the order they were added (an id may stand
// more than once). Changed by commands on the main thread and read by value
// events on the store's thread, so every access takes the list's lock.
#ifndef KNOBCTL_WATCHLIST_H
#define KNOBCTL_WATCHLIST_H

#include <list>
#include <mutex>
#include <vector>

#include "tovikconfig/paramtypes.h"

class WatchList {
public:
    void Add(eParam_t id);
    void AddAll(const std::list<eParam_t>& ids);
    // Removes the first occurrence only; an id not in the list leaves it
    // as it is.
    void RemoveFirst(eParam_t id);
    void Clear();
    bool Contains(eParam_t id) const;
    std::vector<eParam_t> Snapshot() const;

private:
    mutable std::mutex _mutex;
    std::vector<eParam_t> _ids;
};

#endif
