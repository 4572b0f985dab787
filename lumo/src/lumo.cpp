#include "lumo/lumo.h"

#include "lumo_p.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <QFile>
#include <QMutex>
#include <QMutexLocker>
#include <QStringList>
#include <QTextStream>

#include "lumo/lumolog.h"
#include "lumo/lumomemorypool.h"

#define LUMO_STR2(x) #x
#define LUMO_STR(x) LUMO_STR2(x)

// A reproducible build fixes the date and time (lumo/CMakeLists.txt).
#ifndef LUMO_BUILD_DATE
#define LUMO_BUILD_DATE __DATE__
#define LUMO_BUILD_TIME __TIME__
#endif

namespace {

std::atomic<LumoMemoryPool*> gPool{nullptr};
std::atomic<Lumo::SchedParamSetter> gSchedParamSetter{pthread_setschedparam};

// Paths of the privileged files, replaced only by tests.
QMutex gPathsMutex;
QByteArray gMemoryDevice = QByteArrayLiteral("/dev/mem");
QString gProcRoot = QStringLiteral("/proc");

QByteArray memoryDevice()
{
    QMutexLocker lock(&gPathsMutex);
    return gMemoryDevice;
}

const unsigned int kPageSize = 4096;

// Opens, maps, touches and unmaps the page of one word; the device is not
// kept open between calls.
bool accessMem32(unsigned int address, unsigned int* readInto, unsigned int const* writeFrom)
{
    const int fd = ::open(memoryDevice().constData(), O_RDWR);
    if (fd < 0) {
        fputs("Failed to open /dev/mem\n", stderr);
        return false;
    }
    void* page = mmap(nullptr, kPageSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd,
                      off_t(address & ~(kPageSize - 1)));
    if (page == MAP_FAILED) {
        fputs("mmap failed\n", stderr);
        ::close(fd);
        return false;
    }
    volatile quint32* word = reinterpret_cast<volatile quint32*>(static_cast<char*>(page) + (address & 0xFFC));
    if (readInto)
        *readInto = *word;
    else
        *word = *writeFrom;
    munmap(page, kPageSize);
    ::close(fd);
    return true;
}

} // namespace

QString Lumo::buildSignature()
{
    return QStringLiteral("gcc-%1 %2 svn %3 %4 %5 %6")
        .arg(QStringLiteral(LUMO_STR(__GNUC__) "." LUMO_STR(__GNUC_MINOR__) "." LUMO_STR(__GNUC_PATCHLEVEL__)))
        .arg(QStringLiteral(LUMO_BUILD_USER))
        .arg(QStringLiteral(LUMO_BUILD_REVISION))
        .arg(QStringLiteral(LUMO_BUILD_BRANCH))
        .arg(QStringLiteral(LUMO_BUILD_DATE))
        .arg(QStringLiteral(LUMO_BUILD_TIME));
}

bool Lumo::isBuiltInDebug()
{
#ifdef NDEBUG
    return false;
#else
    return true;
#endif
}

// --- pool front ---------------------------------------------------------------

LumoMemoryPool* Lumo::pool()
{
    return gPool.load();
}

void Lumo::setPool(LumoMemoryPool* pool)
{
    gPool = pool;
}

void* Lumo::poolAllocate(unsigned int size)
{
    if (LumoMemoryPool* p = pool())
        return p->allocate(size);
    void* block = nullptr;
    if (posix_memalign(&block, kPageSize, size) != 0)
        return nullptr;
    return block;
}

void Lumo::poolFree(void* block)
{
    if (LumoMemoryPool* p = pool())
        p->free(block);
    else if (block)
        std::free(block);
}

void Lumo::poolReserve(unsigned int size)
{
    if (LumoMemoryPool* p = pool())
        p->free(p->allocate(size));
}

QString Lumo::procRoot()
{
    QMutexLocker lock(&gPathsMutex);
    return gProcRoot;
}

// --- threads ------------------------------------------------------------------

void Lumo::setCurrentThreadName(QString const& name)
{
    prctl(PR_SET_NAME, name.toLocal8Bit().constData(), 0, 0, 0);
}

void Lumo::setSchedParamSetter(SchedParamSetter setter)
{
    gSchedParamSetter = setter ? setter : pthread_setschedparam;
}

void Lumo::setCurrentThreadPriority(bool realtime, int priority)
{
    const int policy = realtime ? SCHED_FIFO : SCHED_OTHER;
    const int lowest = sched_get_priority_min(policy);
    const int highest = sched_get_priority_max(policy);
    int applied = priority;
    if (priority < 0)
        applied = lowest > highest ? lowest : highest;
    else if (priority < lowest)
        applied = lowest;
    else if (priority > highest)
        applied = highest;

    sched_param param;
    memset(&param, 0, sizeof param);
    param.sched_priority = applied;
    const int rc = gSchedParamSetter.load()(pthread_self(), policy, &param);
    char const* kind = realtime ? "realtime" : "normal";
    if (rc != 0)
        lumoLogOutput(1, QStringLiteral("lumo"), __LINE__, "Failed to set thread %s priority to %d: %s\n", kind,
                      applied, errorText(rc).constData());
    else
        lumoLogOutput(3, QStringLiteral("lumo"), __LINE__, "Set thread %s priority to %d\n", kind, applied);
}

QByteArray Lumo::errorText(int errnum)
{
    char buffer[256];
    return QByteArray(strerror_r(errnum, buffer, sizeof buffer));
}

// --- physical memory -----------------------------------------------------------

void Lumo::setMemoryDevicePath(QByteArray const& path)
{
    QMutexLocker lock(&gPathsMutex);
    gMemoryDevice = path;
}

bool Lumo::readMem32(unsigned int address, unsigned int* value)
{
    unsigned int word = 0;
    if (!accessMem32(address, &word, nullptr))
        return false;
    if (value)
        *value = word;
    return true;
}

bool Lumo::writeMem32(unsigned int address, unsigned int value)
{
    return accessMem32(address, nullptr, &value);
}

// --- /proc --------------------------------------------------------------------

void Lumo::setProcRoot(QString const& root)
{
    QMutexLocker lock(&gPathsMutex);
    gProcRoot = root;
}

quint64 Lumo::totalSystemMemorySize()
{
    QFile file(procRoot() + QStringLiteral("/meminfo"));
    if (!file.open(QIODevice::ReadOnly)) {
        LumoLogStream(LumoLog::defaultLog(), QStringLiteral("lumo"), __LINE__, 1)
            << QStringLiteral("Failed to open '%1'").arg(file.fileName());
        return 0;
    }
    QTextStream in(&file);
    QString line;
    while (in.readLineInto(&line)) {
        const QStringList sections = line.simplified().split(QLatin1Char(' '));
        if (sections.at(0) != QLatin1String("MemTotal:"))
            continue;
        const quint64 number = sections.value(1).toULongLong();
        const QString unit = sections.value(2).toLower();
        if (unit == QLatin1String("kb"))
            return number * 1024;
        if (unit == QLatin1String("mb"))
            return number * 1048576;
        if (unit == QLatin1String("gb"))
            return number * 1073741824;
        return number;
    }
    return 0;
}

bool Lumo::setOOMAdjust(int adjustment)
{
    const QString dir = procRoot() + QLatin1Char('/') + QString::number(getpid());
    QString path = dir + QStringLiteral("/oom_score_adj");
    int value = adjustment;
    if (QFile::exists(path))
        value = int(adjustment * 1000.0 / 17.0);
    else
        path = dir + QStringLiteral("/oom_adj");

    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY);
    if (fd < 0)
        return false;
    char text[16];
    const int length = snprintf(text, sizeof text, "%d", value);
    ssize_t written;
    do {
        written = ::write(fd, text, size_t(length));
    } while (written < 0 && errno == EINTR);
    ::close(fd);
    // The kernel checks the value (range, privilege) at the write.
    return written == length;
}
