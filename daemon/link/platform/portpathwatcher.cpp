#include "platform/portpathwatcher.h"

#include <sys/stat.h>

#include "serial/simulatedports.h"

PortPathWatcher::PortPathWatcher(const QStringList& paths)
    : _paths(paths)
{
    _present = Present();
}

QHash<QString, PortPathWatcher::Identity> PortPathWatcher::Present() const
{
    QHash<QString, Identity> present;
    for (const QString& path : SimulatedPorts::Existing(_paths)) {
        const QByteArray name = path.toLocal8Bit();
        struct stat st;
        Identity id;
        if (::lstat(name.constData(), &st) == 0) {
            id.device = quint64(st.st_dev);
            id.inode = quint64(st.st_ino);
            id.changedNs = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
        }
        if (::stat(name.constData(), &st) == 0) {
            id.targetDevice = quint64(st.st_dev);
            id.targetInode = quint64(st.st_ino);
        }
        present.insert(path, id);
    }
    return present;
}

PortPathWatcher::Changes PortPathWatcher::Poll()
{
    Changes changes;
    if (_paths.isEmpty())
        return changes;
    const QHash<QString, Identity> now = Present();
    for (auto it = now.begin(); it != now.end(); ++it) {
        const auto before = _present.constFind(it.key());
        if (before == _present.constEnd()) {
            ++changes.appeared;
        } else if (!(before.value() == it.value())) {
            ++changes.disappeared;
            ++changes.appeared;
        }
    }
    for (auto it = _present.begin(); it != _present.end(); ++it) {
        if (!now.contains(it.key()))
            ++changes.disappeared;
    }
    _present = now;
    return changes;
}
