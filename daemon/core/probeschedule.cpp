#include "probeschedule.h"

#include <algorithm>

qint64 ProbeSchedule::PauseAfter(int failures)
{
    qint64 pause = kFirstPauseMs;
    for (int i = 1; i < failures && pause < kLongestPauseMs; ++i)
        pause *= 2;
    return std::min(pause, kLongestPauseMs);
}

bool ProbeSchedule::IsDue(const QString& port, qint64 now) const
{
    const auto it = _ports.constFind(port);
    if (it == _ports.constEnd())
        return true;
    return !it->settled && now >= it->dueAt;
}

qint64 ProbeSchedule::Failed(const QString& port, qint64 now)
{
    Entry& entry = _ports[port];
    if (entry.settled)
        entry = Entry();
    // Counting stops where the pause stops growing.
    entry.failures = std::min(entry.failures + 1, 64);
    const qint64 pause = PauseAfter(entry.failures);
    entry.dueAt = now + pause;
    return pause;
}

int ProbeSchedule::Settled(const QString& port)
{
    Entry& entry = _ports[port];
    const int failures = entry.settled ? 0 : entry.failures;
    entry = Entry();
    entry.settled = true;
    return failures;
}

int ProbeSchedule::Failures(const QString& port) const
{
    const auto it = _ports.constFind(port);
    return it == _ports.constEnd() || it->settled ? 0 : it->failures;
}

void ProbeSchedule::KeepOnly(const QStringList& kept)
{
    for (auto it = _ports.begin(); it != _ports.end();) {
        if (kept.contains(it.key()))
            ++it;
        else
            it = _ports.erase(it);
    }
}

qint64 ProbeSchedule::NextDueIn(qint64 now) const
{
    qint64 next = -1;
    for (const Entry& entry : _ports) {
        if (entry.settled)
            continue;
        const qint64 in = std::max<qint64>(entry.dueAt - now, 0);
        if (next < 0 || in < next)
            next = in;
    }
    return next;
}
