// Watches a fixed list of port paths for appearing and disappearing.
#ifndef PORTVANE_PORTPATHWATCHER_H
#define PORTVANE_PORTPATHWATCHER_H

#include <QHash>
#include <QStringList>

class PortPathWatcher {
public:
    // The paths present now are the starting state; they report nothing.
    explicit PortPathWatcher(const QStringList& paths);

    struct Changes {
        int appeared = 0;
        int disappeared = 0;
    };

    // Compares the present paths with the last poll. A path made anew in
    // between (a converter unplugged and plugged again while nobody polled)
    // counts as gone and come back.
    Changes Poll();

    bool IsEmpty() const { return _paths.isEmpty(); }

private:
    // Who a present path is: the entry's own file identity and change time
    // (a link made anew, also by a rename over the old one), and the file
    // it leads to (a link left in place while its target was replaced).
    struct Identity {
        quint64 device = 0;
        quint64 inode = 0;
        qint64 changedNs = 0;
        quint64 targetDevice = 0;
        quint64 targetInode = 0;
        bool operator==(const Identity& o) const
        {
            return device == o.device && inode == o.inode && changedNs == o.changedNs &&
                   targetDevice == o.targetDevice && targetInode == o.targetInode;
        }
    };
    QHash<QString, Identity> Present() const;

    QStringList _paths;
    QHash<QString, Identity> _present;
};

#endif
