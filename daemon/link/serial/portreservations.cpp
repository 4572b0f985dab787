#include "serial/portreservations.h"

#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QSet>

namespace PortReservations {

namespace {

QMutex& Lock()
{
    static QMutex lock;
    return lock;
}

QSet<QString>& InUse()
{
    static QSet<QString> inUse;
    return inUse;
}

}

QString KeyFor(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

bool Acquire(const QString& key)
{
    QMutexLocker locker(&Lock());
    if (InUse().contains(key))
        return false;
    InUse().insert(key);
    return true;
}

void Release(const QString& key)
{
    QMutexLocker locker(&Lock());
    InUse().remove(key);
}

}
