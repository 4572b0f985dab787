// When to look at a converter port again. A port whose converter failed
// (no answer, a fatal identification, a link lost while bound, a port that
// would not open) is probed again after a pause that doubles from the first
// to the longest; a port whose converter was identified is left alone,
// bound or without a model wrapper, until hot-plug says something changed.
// Ports never seen are due at once. Times are milliseconds of a monotonic
// clock handed in by the caller.
#ifndef PORTVANE_PROBESCHEDULE_H
#define PORTVANE_PROBESCHEDULE_H

#include <QHash>
#include <QString>
#include <QStringList>

class ProbeSchedule {
public:
    static constexpr qint64 kFirstPauseMs = 2000;
    static constexpr qint64 kLongestPauseMs = 30000;

    // The pause after the given number of failures in a row (1 or more).
    static qint64 PauseAfter(int failures);

    bool IsDue(const QString& port, qint64 now) const;
    // Another failure of the port; the pause before it is due again.
    qint64 Failed(const QString& port, qint64 now);
    // The port's converter was identified: not due until forgotten. The
    // failures it had before, or 0.
    int Settled(const QString& port);
    // Failures in a row so far; 0 for a port that is settled or not known.
    int Failures(const QString& port) const;

    // Forgets the ports that are not in the list: those gone from the
    // machine, or on hot-plug all but those still held.
    void KeepOnly(const QStringList& kept);
    int Size() const { return _ports.size(); }

    // Milliseconds until the first failed port is due, 0 when one is due
    // now; -1 when no failed port waits.
    qint64 NextDueIn(qint64 now) const;

private:
    struct Entry {
        int failures = 0;
        qint64 dueAt = 0;
        bool settled = false;
    };
    QHash<QString, Entry> _ports;
};

#endif
