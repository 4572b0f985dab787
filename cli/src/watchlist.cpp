#include "watchlist.h"

#include <algorithm>

void WatchList::Add(eParam_t id)
{
    std::lock_guard<std::mutex> lock(_mutex);
    _ids.push_back(id);
}

void WatchList::AddAll(const std::list<eParam_t>& ids)
{
    std::lock_guard<std::mutex> lock(_mutex);
    _ids.insert(_ids.end(), ids.begin(), ids.end());
}

void WatchList::RemoveFirst(eParam_t id)
{
    std::lock_guard<std::mutex> lock(_mutex);
    const auto it = std::find(_ids.begin(), _ids.end(), id);
    if (it != _ids.end())
        _ids.erase(it);
}

void WatchList::Clear()
{
    std::lock_guard<std::mutex> lock(_mutex);
    _ids.clear();
}

bool WatchList::Contains(eParam_t id) const
{
    std::lock_guard<std::mutex> lock(_mutex);
    return std::find(_ids.begin(), _ids.end(), id) != _ids.end();
}

std::vector<eParam_t> WatchList::Snapshot() const
{
    std::lock_guard<std::mutex> lock(_mutex);
    return _ids;
}
