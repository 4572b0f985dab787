#include "eventbacklog.h"

#include <QMutexLocker>

bool EventBacklog::Add(quint32 id, const QVariant& value, const LumoTimeStamp& when)
{
    QMutexLocker lock(&_mutex);
    auto it = _where.find(id);
    if (it != _where.end())
        _order.erase(it.value());
    _order.push_back(Event{id, value, when});
    _where.insert(id, std::prev(_order.end()));
    if (_wakeDue)
        return false;
    _wakeDue = true;
    return true;
}

bool EventBacklog::Take(Event& event, bool& more)
{
    QMutexLocker lock(&_mutex);
    more = false;
    // Never empty while a wake-up is due: each take leaves it due only
    // while more wait.
    if (_order.empty())
        return false;
    event = std::move(_order.front());
    _order.pop_front();
    _where.remove(event.id);
    more = !_order.empty();
    _wakeDue = more;
    return true;
}

bool EventBacklog::Holds(quint32 id) const
{
    QMutexLocker lock(&_mutex);
    return _where.contains(id);
}

int EventBacklog::Size() const
{
    QMutexLocker lock(&_mutex);
    return int(_order.size());
}
