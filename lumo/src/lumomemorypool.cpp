#include "lumo/lumomemorypool.h"

#include "lumomemorypool_p.h"

#include "lumo_p.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include <QFile>
#include <QMutexLocker>

#include "lumo/lumolog.h"

#define POOL_LOG(level, ...) lumoLogOutput(level, QStringLiteral("lumomemorypool"), __LINE__, __VA_ARGS__)
#define POOL_TRACE(...)                                                                                            \
    do {                                                                                                           \
        if (gDebug.load(std::memory_order_relaxed))                                                                \
            POOL_LOG(4, __VA_ARGS__);                                                                              \
    } while (0)

namespace {

const size_t kPageSize = 4096;
// Largest block: 1 GiB, so that the block size fits the usage data.
const int kMaxPagesPerBlock = 1 << 18;

// "IkM#" while a chunk is in use, "#MkI" once it has been freed.
const char kInUseMagic[4] = {'I', 'k', 'M', '#'};
const char kFreeMagic[4] = {'#', 'M', 'k', 'I'};

std::atomic<bool> gDebug{getenv("LUMO_LOG_DEBUG_MEMORYPOOL") != nullptr};

void* systemMap(void* hint, size_t bytes, int fd, off_t offset)
{
    if (fd < 0)
        return mmap(hint, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return mmap(hint, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE, fd, offset);
}

const LumoPoolBacking kSystemBacking = {systemMap, mlock};
std::atomic<LumoPoolBacking const*> gBacking{&kSystemBacking};

QByteArray procFile(char const* name)
{
    return QFile::encodeName(Lumo::procRoot() + QLatin1Char('/') + QLatin1String(name));
}

enum ScanResult { NotOpened, NotFound, Found };

// Reads a file line by line; stops when the visitor returns true.
template <typename Visitor> ScanResult scanLines(QByteArray const& path, Visitor visit)
{
    FILE* file = fopen(path.constData(), "re");
    if (!file)
        return NotOpened;
    char* line = nullptr;
    size_t capacity = 0;
    bool found = false;
    while (!found && getline(&line, &capacity, file) >= 0)
        found = visit(line);
    ::free(line);
    fclose(file);
    return found ? Found : NotFound;
}

bool isMapped(void* start)
{
    return start && start != MAP_FAILED;
}

} // namespace

struct LumoMemoryPool::Header {
    Header* next; // next free chunk; meaningful while free
    size_t size;  // pages, header page included
    char magic[4];

    bool hasMagic(char const* magic4) const { return memcmp(magic, magic4, 4) == 0; }
    void setMagic(char const* magic4) { memcpy(magic, magic4, 4); }
    char* end() { return reinterpret_cast<char*>(this) + size * kPageSize; }
};

LumoMemoryPool::LumoMemoryPool(int pagesPerBlock, int flags)
    : _rover(nullptr),
      _segmentBase(nullptr),
      _pagesPerBlock(pagesPerBlock),
      _flags(flags),
      _blockSize(size_t(qBound(1, pagesPerBlock, kMaxPagesPerBlock)) * kPageSize),
      _sysFragments(0),
      _htlbFile(-1),
      _htlbFragments(0),
      _htlbSize(0),
      _totalSize(0),
      _sysSize(0),
      _pagesInUse(0),
      _segmentLength(0),
      _allocations(0)
{
    _sentinel = static_cast<Header*>(calloc(1, kPageSize));
    Q_CHECK_PTR(_sentinel);
    _sentinel->next = _sentinel;
    _sentinel->size = 0;
    _rover = _sentinel;
}

LumoMemoryPool::~LumoMemoryPool()
{
    ::free(_sentinel);
}

void* LumoMemoryPool::allocate(unsigned int size)
{
    if (size == 0)
        return nullptr;
    QMutexLocker lock(&_mutex);
    ++_allocations;
    return doMalloc(size);
}

void LumoMemoryPool::free(void* ptr)
{
    if (!ptr)
        return;
    QMutexLocker lock(&_mutex);
    doFree(ptr);
    --_allocations;
}

void* LumoMemoryPool::doMalloc(unsigned int size)
{
    const size_t n = LumoMemoryPoolProbe::chunkPages(size);
    if (n == 0)
        return nullptr;
    Header* prev = _rover;
    Header* p = prev->next;
    for (;;) {
        if (p->size >= n)
            break;
        if (p == _rover) {
            p = moreCore(n);
            if (!p)
                return nullptr;
        }
        prev = p;
        p = p->next;
    }
    if (p->size == n) {
        prev->next = p->next;
    } else {
        // The low end is handed out; the rest stays free in p's place.
        Header* rest = reinterpret_cast<Header*>(reinterpret_cast<char*>(p) + n * kPageSize);
        rest->size = p->size - n;
        rest->next = p->next;
        rest->setMagic(kFreeMagic);
        prev->next = rest;
        p->size = n;
    }
    _rover = prev;
    p->setMagic(kInUseMagic);
    _pagesInUse += n;
    return reinterpret_cast<char*>(p) + kPageSize;
}

void LumoMemoryPool::doFree(void* ptr)
{
    POOL_TRACE("Freeing %p\n", ptr);
    Header* h = reinterpret_cast<Header*>(static_cast<char*>(ptr) - kPageSize);
    if (h->hasMagic(kFreeMagic)) {
        POOL_LOG(0, "Pool %p: Trying to free non alloced memory\n", static_cast<void*>(this));
        return;
    }
    if (!h->hasMagic(kInUseMagic)) {
        POOL_LOG(0, "Pool %p: Trying to free a block (%p) that doesn't seem to belong to the pool\n",
                 static_cast<void*>(this), ptr);
        return;
    }
    h->setMagic(kFreeMagic);
    const size_t s = h->size;

    // The free chunk after which h belongs: between p and its successor, or
    // beyond either end where the ring wraps.
    const quintptr at = reinterpret_cast<quintptr>(h);
    Header* p = _rover;
    int passes = 0;
    for (;;) {
        const quintptr low = reinterpret_cast<quintptr>(p);
        const quintptr high = reinterpret_cast<quintptr>(p->next);
        if (at > low && at < high)
            break;
        if (low >= high && (at > low || at < high))
            break;
        if (p == _rover && ++passes == 2) {
            POOL_LOG(0, "Pool %p: Bailout situation reached. freep: %p bp: %p\n", static_cast<void*>(this),
                     static_cast<void*>(_rover), static_cast<void*>(h));
            return;
        }
        p = p->next;
    }

    // The sentinel (size 0) is never merged.
    Header* upper = p->next;
    if (upper != _sentinel && h->end() == reinterpret_cast<char*>(upper)) {
        h->size = s + upper->size;
        h->next = upper->next;
    } else {
        h->next = upper;
    }
    if (p != _sentinel && p->end() == reinterpret_cast<char*>(h)) {
        p->size += h->size;
        p->next = h->next;
    } else {
        p->next = h;
    }
    _rover = p;
    _pagesInUse -= s;
}

LumoMemoryPool::Header* LumoMemoryPool::moreCore(size_t pages)
{
    const size_t bytes = LumoMemoryPoolProbe::growthBytes(pages, _blockSize);
    if (bytes == 0)
        return nullptr;
    void* start = htlbMoreCore(bytes);
    if (!start)
        start = systemMoreCore(bytes);
    if (!start)
        return nullptr;
    // The new mapping becomes one chunk in use, freed into the list.
    Header* h = static_cast<Header*>(start);
    h->size = bytes / kPageSize;
    h->setMagic(kInUseMagic);
    _pagesInUse += h->size;
    doFree(static_cast<char*>(start) + kPageSize);
    return _rover;
}

void* LumoMemoryPool::systemMoreCore(size_t bytes)
{
    POOL_TRACE("System Morecore: %zu bytes (already have %zu bytes)\n", bytes, _sysSize);
    void* hint = _segmentBase ? _segmentBase + _segmentLength : nullptr;
    void* start = gBacking.load()->map(hint, bytes, -1, 0);
    if (!isMapped(start)) {
        POOL_LOG(0, "System morecore mmap (%p) failed with blocksize of %zu (prev: %zu, req: %zu)\n", hint,
                 _blockSize, _sysSize, bytes);
        return nullptr;
    }
    if (takeMapping(hint, start, bytes, _sysSize)) {
        ++_sysFragments;
        if (hint)
            POOL_TRACE("System discontinuous segment.  Asked: %p,  Returned: %p\n", hint, start);
    }
    return start;
}

void* LumoMemoryPool::htlbMoreCore(size_t bytes)
{
    if (_htlbFile < 0)
        return nullptr;
    const long long freeBlocks = htlbGetFreeBlocks();
    const long long need = static_cast<long long>(bytes / _blockSize);
    if (freeBlocks < need) {
        POOL_LOG(3, "Looks like we ran out of HugeTLB memory (Need: %d Free: %d)\n", int(need), int(freeBlocks));
        if (freeBlocks == 0)
            _htlbFile = -1;
        return nullptr;
    }
    POOL_TRACE("HugeTLB Morecore: %zu bytes (already have %zu bytes)\n", bytes, _htlbSize);
    void* hint = _segmentBase ? _segmentBase + _segmentLength : nullptr;
    void* start = gBacking.load()->map(hint, bytes, _htlbFile, off_t(_htlbSize));
    if (!isMapped(start)) {
        _htlbFile = -1;
        POOL_LOG(0, "Pool %p: HugeTLB morecore mmap (%p) failed with blocksize of %zu (prev: %zu, req: %zu)\n",
                 static_cast<void*>(this), hint, _blockSize, _htlbSize, bytes);
        return nullptr;
    }
    if (takeMapping(hint, start, bytes, _htlbSize) && hint) {
        ++_htlbFragments;
        POOL_TRACE("HugeTLB discontinuous segment.  Asked: %p  Returned: %p\n", hint, start);
    }
    return start;
}

// Books a new mapping, asked for at hint: the segment it continues or begins,
// the lock and the totals. True when it begins a segment of its own.
bool LumoMemoryPool::takeMapping(void* hint, void* start, size_t bytes, size_t& sourceSize)
{
    const bool begins = start != hint;
    if (begins) {
        _segmentBase = static_cast<char*>(start);
        _segmentLength = 0;
    }
    gBacking.load()->lock(start, bytes);
    _totalSize += bytes;
    _segmentLength += bytes;
    sourceSize += bytes;
    return begins;
}

bool LumoMemoryPool::htlbInit()
{
    char dir[256];
    if (!htlbFindFilesystem(dir)) {
        POOL_LOG(3, "HugeTLB filesytem isn't mounted.\n");
        return false;
    }
    const long long size = htlbGetBlockSize();
    // A size of 0, or one past the largest block, is as unusable as none.
    if (size <= 0 || size > (long long)kMaxPagesPerBlock * (long long)kPageSize) {
        POOL_LOG(1, "Unable to determine the blocksize for the HugeTLB filesystem at: %s\n", dir);
        return false;
    }
    _blockSize = size_t(size);
    if (htlbGetFreeBlocks() <= 0) {
        POOL_LOG(1, "HugeTLB filesystem (%s) has no free blocks\n", dir);
        return false;
    }
    char name[300];
    snprintf(name, sizeof name, "%s/lumo.%d", dir, int(getpid()));
    _htlbFile = open(name, O_RDWR | O_CREAT | O_CLOEXEC, 0755);
    if (_htlbFile < 0) {
        LumoLogStream(LumoLog::defaultLog(), QStringLiteral("lumomemorypool"), __LINE__, 1)
            << QStringLiteral("Error creating HugeTLB file (%1)").arg(QString::fromLocal8Bit(name));
        return false;
    }
    // The open descriptor keeps the file for the process's lifetime.
    unlink(name);
    return true;
}

bool LumoMemoryPool::htlbFindFilesystem(char* dir) const
{
    return scanLines(procFile("mounts"), [dir](char const* line) {
        char mountPoint[256];
        char type[256];
        if (sscanf(line, "%*s %255s %255s", mountPoint, type) != 2 || strcmp(type, "hugetlbfs") != 0)
            return false;
        memcpy(dir, mountPoint, sizeof mountPoint);
        return true;
    }) == Found;
}

long long LumoMemoryPool::htlbReadProcInt(char const* key) const
{
    long long value = -1;
    const ScanResult result = scanLines(procFile("meminfo"), [key, &value](char const* line) {
        char first[64];
        long long number = 0;
        if (sscanf(line, "%63s", first) != 1 || strcmp(first, key) != 0)
            return false;
        value = sscanf(line, "%*s %lld", &number) == 1 ? number : -1;
        return true;
    });
    if (result == NotOpened)
        POOL_LOG(1, "Unable to open /proc/meminfo\n");
    return value;
}

long long LumoMemoryPool::htlbGetBlockSize() const
{
    const long long kilobytes = htlbReadProcInt("Hugepagesize:");
    if (kilobytes < 0 || kilobytes > std::numeric_limits<long long>::max() / 1024)
        return -1;
    return kilobytes * 1024;
}

long long LumoMemoryPool::htlbGetFreeBlocks() const
{
    return htlbReadProcInt("HugePages_Free:");
}

void LumoMemoryPool::getUsageData(UsageData& data) const
{
    memset(&data, 0, sizeof data);
    QMutexLocker lock(&_mutex);
    data.flags = _flags;
    data.pagesPerBlock = _pagesPerBlock;
    data.blockSize = int(_blockSize);
    data.sysFragments = _sysFragments;
    data.htlbFragments = _htlbFragments;
    data.allocations = _allocations;
    data.sysSize = _sysSize;
    data.htlbSize = _htlbSize;
    data.totalSize = _totalSize;
    data.totalUsed = _pagesInUse * kPageSize;
}

void LumoMemoryPool::dumpUsage() const
{
    UsageData u;
    getUsageData(u);
    POOL_LOG(3, "Flags     : 0x%X\n", unsigned(u.flags));
    POOL_LOG(3, "PPB       : %d\n", u.pagesPerBlock);
    POOL_LOG(3, "Blksize   : %d\n", u.blockSize);
    POOL_LOG(3, "Sys Frag  : %d\n", u.sysFragments);
    POOL_LOG(3, "HTLB Frag : %d\n", u.htlbFragments);
    POOL_LOG(3, "Sys Size  : %zd\n", ssize_t(u.sysSize));
    POOL_LOG(3, "HTLB Size : %zd\n", ssize_t(u.htlbSize));
    POOL_LOG(3, "Tot Size  : %zd\n", ssize_t(u.totalSize));
    POOL_LOG(3, "Tot Used  : %zd\n", ssize_t(u.totalUsed));
}

// --- seams ----------------------------------------------------------------------

void lumoMemoryPoolSetBacking(LumoPoolBacking const* backing)
{
    gBacking = backing ? backing : &kSystemBacking;
}

bool lumoMemoryPoolDebug()
{
    return gDebug.load();
}

void lumoMemoryPoolSetDebug(bool on)
{
    gDebug = on;
}

std::vector<LumoMemoryPoolProbe::Chunk> LumoMemoryPoolProbe::freeChunks(LumoMemoryPool const& pool)
{
    QMutexLocker lock(&pool._mutex);
    std::vector<Chunk> chunks;
    for (LumoMemoryPool::Header* h = pool._sentinel->next; h != pool._sentinel; h = h->next)
        chunks.push_back(Chunk{reinterpret_cast<char*>(h), h->size});
    return chunks;
}

int LumoMemoryPoolProbe::htlbFile(LumoMemoryPool const& pool)
{
    return pool._htlbFile;
}

void* LumoMemoryPoolProbe::rover(LumoMemoryPool const& pool)
{
    QMutexLocker lock(&pool._mutex);
    return pool._rover;
}

size_t LumoMemoryPoolProbe::chunkPages(unsigned long long size)
{
    const unsigned long long pages = size / kPageSize + (size % kPageSize != 0) + 1;
    if (pages > std::numeric_limits<size_t>::max() / kPageSize)
        return 0;
    return size_t(pages);
}

size_t LumoMemoryPoolProbe::growthBytes(size_t pages, size_t blockSize)
{
    if (blockSize == 0 || pages > std::numeric_limits<size_t>::max() / kPageSize)
        return 0;
    size_t bytes = pages * kPageSize;
    if (__builtin_add_overflow(bytes, blockSize - 1, &bytes))
        return 0;
    return bytes / blockSize * blockSize;
}
