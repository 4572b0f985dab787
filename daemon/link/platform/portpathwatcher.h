// Watches a fixed list of port paths for appearing and disappearing.
#ifndef PORTVANE_PORTPATHWATCHER_H
#define PORTVANE_PORTPATHWATCHER_H

#include <QSet>
#include <QStringList>

class PortPathWatcher {
public:
    // The paths present now are the starting state; they report nothing.
    explicit PortPathWatcher(const QStringList& paths);

    struct Changes {
        int appeared = 0;
        int disappeared = 0;
    };

    // Compares the present paths with the last poll.
    Changes Poll();

    bool IsEmpty() const { return _paths.isEmpty(); }

private:
    QStringList _paths;
    QSet<QString> _present;
};

#endif
