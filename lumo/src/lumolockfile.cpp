#include "lumo/lumolockfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <QFile>
#include <QMutex>
#include <QMutexLocker>
#include <QVector>

#include "lumo/lumolog.h"
#include "lumo_p.h"

// Record locks belong to the process, and closing any descriptor of a file
// ends all of them. So the files this process holds are kept here, and no
// descriptor is opened (and closed) on one of them by another object.
namespace {

// A forked child inherits the list but not the locks: entries count only
// in the process that made them.
struct Held {
    pid_t pid;
    int fd;
};
QMutex gHeldMutex;
QVector<Held> gHeld;

bool sameFile(struct stat const& a, struct stat const& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Caller holds gHeldMutex.
bool heldByThisProcess(QByteArray const& path)
{
    struct stat target;
    if (stat(path.constData(), &target) != 0)
        return false;
    const pid_t self = getpid();
    for (Held const& h : gHeld) {
        struct stat held;
        if (h.pid == self && fstat(h.fd, &held) == 0 && sameFile(target, held))
            return true;
    }
    return false;
}

// A write lock from the start of the file to its end and beyond.
struct flock wholeFileWriteLock()
{
    struct flock lock;
    memset(&lock, 0, sizeof lock);
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0;
    return lock;
}

} // namespace

LumoLockFile::LumoLockFile() : _fd(-1) {}

LumoLockFile::LumoLockFile(QString const& filename) : _filename(filename), _fd(-1) {}

LumoLockFile::~LumoLockFile()
{
    unlock();
}

bool LumoLockFile::lock()
{
    if (_fd != -1)
        return true;
    const QByteArray path = _filename.toLocal8Bit();
    QMutexLocker held(&gHeldMutex);
    if (heldByThisProcess(path))
        return false;

    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT, 0666);
    if (fd < 0) {
        const int error = errno;
        LumoLogStream(LumoLog::defaultLog(), QStringLiteral("lumolockfile"), __LINE__, 1)
            << QStringLiteral("Failed to open lockfile '%1': %2")
                   .arg(_filename, QString::fromLocal8Bit(Lumo::errorText(error)));
        _fd = -1;
        return false;
    }
    struct flock request = wholeFileWriteLock();
    request.l_pid = getpid();
    if (fcntl(fd, F_SETLK, &request) != 0) {
        ::close(fd);
        return false;
    }
    char text[32];
    const int length = snprintf(text, sizeof text, "%d\n", int(getpid()));
    if (pwrite(fd, text, size_t(length), 0) != length) {
        ::close(fd);
        return false;
    }
    fsync(fd);
    _fd = fd;
    gHeld.append(Held{getpid(), fd});
    return true;
}

void LumoLockFile::unlock()
{
    if (_fd == -1)
        return;
    QMutexLocker held(&gHeldMutex);
    const pid_t self = getpid();
    for (int i = 0; i < gHeld.size(); ++i) {
        if (gHeld[i].pid == self && gHeld[i].fd == _fd) {
            gHeld.remove(i);
            break;
        }
    }
    ::close(_fd);
    _fd = -1;
}

void LumoLockFile::setFilename(QString const& filename)
{
    unlock();
    _filename = filename;
}

int LumoLockFile::whoHasLock() const
{
    if (_fd != -1)
        return 0;
    const QByteArray path = _filename.toLocal8Bit();
    QMutexLocker held(&gHeldMutex);
    if (heldByThisProcess(path))
        return 0;
    const int fd = ::open(path.constData(), O_RDONLY);
    if (fd < 0)
        return 0;
    struct flock query = wholeFileWriteLock();
    const int rc = fcntl(fd, F_GETLK, &query);
    ::close(fd);
    if (rc != 0 || query.l_type == F_UNLCK)
        return 0;
    return int(query.l_pid);
}
