// Store changes by other writers waiting for the main thread, folded to the
// newest value per id: settings are absolute, so a burst of changes of one
// parameter comes down to its last value. Whatever the rate of the
// writers, at most one value per parameter id waits, so memory stays
// bounded by the config's table.
//
// The ids wait in the order of their last change, not their first. A
// setting may depend on another one set before it (a region after its
// constraint, a delay after the output format): with the last-change order
// the device wrapper applies each id's final value after the final values
// that preceded it in the writers' own order, so the converter ends as the
// unfolded sequence of sets would have left it. The order of first changes
// would apply a final value before settings that the writers made after it.
// Thread-safe.
#ifndef PORTVANE_EVENTBACKLOG_H
#define PORTVANE_EVENTBACKLOG_H

#include <QHash>
#include <QMutex>
#include <QVariant>

#include <list>

#include "lumo/lumotimestamp.h"

class EventBacklog {
public:
    struct Event {
        quint32 id;
        QVariant value;
        LumoTimeStamp when;
    };

    // Takes a change, replacing one of the same id that still waits. True
    // when the taker is to be woken: nothing waited and no wake-up was due.
    bool Add(quint32 id, const QVariant& value, const LumoTimeStamp& when);
    // The change that waited longest; more says whether others still wait.
    // False when none waits. Once it answers that none (or no other) waits,
    // the next Add wakes the taker again.
    bool Take(Event& event, bool& more);
    // Whether a change of the id waits.
    bool Holds(quint32 id) const;
    int Size() const;

private:
    typedef std::list<Event> Order;

    mutable QMutex _mutex;
    Order _order;
    QHash<quint32, Order::iterator> _where;
    bool _wakeDue = false;
};

#endif
