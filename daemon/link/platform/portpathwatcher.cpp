#include "platform/portpathwatcher.h"

#include "serial/simulatedports.h"

PortPathWatcher::PortPathWatcher(const QStringList& paths)
    : _paths(paths)
{
    const QStringList present = SimulatedPorts::Existing(_paths);
    _present = QSet<QString>(present.begin(), present.end());
}

PortPathWatcher::Changes PortPathWatcher::Poll()
{
    Changes changes;
    if (_paths.isEmpty())
        return changes;
    const QStringList list = SimulatedPorts::Existing(_paths);
    const QSet<QString> now(list.begin(), list.end());
    for (const QString& path : now) {
        if (!_present.contains(path))
            ++changes.appeared;
    }
    for (const QString& path : _present) {
        if (!now.contains(path))
            ++changes.disappeared;
    }
    _present = now;
    return changes;
}
