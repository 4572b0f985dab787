// Bounds what store events cost while they wait for the main thread. Up to
// kMaxEvents events or kMaxBytes of values wait in its event queue; beyond
// that, events wait here as the newest value per id, in the order of their
// ids' first event, and follow once the queue has drained to half. Memory
// stays bounded however fast clients write. Thread-safe.
#ifndef PORTVANE_EVENTBACKLOG_H
#define PORTVANE_EVENTBACKLOG_H

#include <QHash>
#include <QList>
#include <QMutex>
#include <QVariant>

#include "lumo/lumotimestamp.h"

class EventBacklog {
public:
    static constexpr int kMaxEvents = 256;
    static constexpr qint64 kMaxBytes = 1024 * 1024;

    struct Event {
        quint32 id;
        QVariant value;
        LumoTimeStamp when;
    };

    // True when the event may join the queue now (it is counted there);
    // false when it is held back.
    bool Admit(quint32 id, const QVariant& value, const LumoTimeStamp& when);
    // An event left the queue. True once: the held-back events are to be
    // taken now (behind what is still queued, so that the order holds).
    bool Delivered(const QVariant& value);
    // The held-back events, in order, counted as queued from now on.
    QList<Event> TakeHeldBack();

private:
    QMutex _mutex;
    int _queuedEvents = 0;
    qint64 _queuedBytes = 0;
    QHash<quint32, Event> _heldBack;
    QList<quint32> _heldBackOrder;
    bool _takePending = false;
};

#endif
