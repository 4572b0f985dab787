#include "eventbacklog.h"

#include <QMutexLocker>

#include "storevalue.h"

bool EventBacklog::Admit(quint32 id, const QVariant& value, const LumoTimeStamp& when)
{
    QMutexLocker lock(&_mutex);
    if (!_heldBack.isEmpty() || _queuedEvents >= kMaxEvents || _queuedBytes >= kMaxBytes) {
        if (!_heldBack.contains(id))
            _heldBackOrder.append(id);
        _heldBack.insert(id, Event{id, value, when});
        return false;
    }
    ++_queuedEvents;
    _queuedBytes += StoreFootprint(value);
    return true;
}

bool EventBacklog::Delivered(const QVariant& value)
{
    QMutexLocker lock(&_mutex);
    --_queuedEvents;
    _queuedBytes -= StoreFootprint(value);
    if (_heldBack.isEmpty() || _takePending || _queuedEvents > kMaxEvents / 2 || _queuedBytes > kMaxBytes / 2)
        return false;
    _takePending = true;
    return true;
}

QList<EventBacklog::Event> EventBacklog::TakeHeldBack()
{
    QMutexLocker lock(&_mutex);
    _takePending = false;
    QList<Event> events;
    for (quint32 id : _heldBackOrder) {
        events.append(_heldBack.value(id));
        ++_queuedEvents;
        _queuedBytes += StoreFootprint(events.last().value);
    }
    _heldBack.clear();
    _heldBackOrder.clear();
    return events;
}
