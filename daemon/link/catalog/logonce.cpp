#include "catalog/logonce.h"

#include <QMutex>
#include <QMutexLocker>
#include <QSet>

namespace LogOnce {

bool FirstTime(const QString& key)
{
    static QMutex lock;
    static QSet<QString> seen;
    QMutexLocker locker(&lock);
    if (seen.contains(key))
        return false;
    if (seen.size() >= 256)
        seen.clear();
    seen.insert(key);
    return true;
}

}
