// liblumo's page-granular allocator for large media buffers. Memory comes
// from the system in whole blocks (pages per block x 4096 bytes, or the huge
// page size after htlbInit), is locked into RAM and never given back. Chunks
// are handed out first fit from a circular, address-ordered free list and
// merge with free neighbours when freed. Every chunk starts with one header
// page, so the caller's pointer is page aligned and costs one extra page.
#ifndef LUMO_LUMOMEMORYPOOL_H
#define LUMO_LUMOMEMORYPOOL_H

#include <cstddef>

#include <QMutex>

#include "lumo/lumoglobal.h"

struct LumoMemoryPoolProbe;

class LUMO_EXPORT LumoMemoryPool {
public:
    struct UsageData {
        int flags;
        int pagesPerBlock;
        int blockSize;
        int sysFragments;
        int htlbFragments;
        int allocations;
        size_t sysSize;
        size_t htlbSize;
        size_t totalSize;
        size_t totalUsed; // pages in use x 4096, header pages included
    };

    // Maps nothing yet. The flags are only reported by the usage data.
    LumoMemoryPool(int pagesPerBlock, int flags);
    // Mapped memory stays mapped.
    ~LumoMemoryPool();

    LumoMemoryPool(LumoMemoryPool const&) = delete;
    LumoMemoryPool& operator=(LumoMemoryPool const&) = delete;

    // Null for size 0 (not counted), and when the pool cannot grow or the
    // size does not fit the address space (counted).
    void* allocate(unsigned int size);
    // Ignores null. Only pointers from this pool: a freed or foreign one is
    // reported and left alone.
    void free(void* ptr);

    void getUsageData(UsageData& data) const;
    // Nine information lines of the usage data.
    void dumpUsage() const;

    // Grows from a file on a mounted hugetlbfs from now on, falling back to
    // anonymous memory when huge pages run out. True when the file is
    // ready. Takes no lock: call it before the pool is shared.
    bool htlbInit();

private:
    friend struct LumoMemoryPoolProbe;
    struct Header;

    void* doMalloc(unsigned int size);
    void doFree(void* ptr);
    Header* moreCore(size_t pages);
    void* htlbMoreCore(size_t bytes);
    void* systemMoreCore(size_t bytes);
    bool takeMapping(void* hint, void* start, size_t bytes, size_t& sourceSize);
    bool htlbFindFilesystem(char* dir) const;
    long long htlbReadProcInt(char const* key) const;
    long long htlbGetBlockSize() const;
    long long htlbGetFreeBlocks() const;

    mutable QMutex _mutex;
    Header* _rover;
    char* _segmentBase;
    int _pagesPerBlock;
    int _flags;
    size_t _blockSize;
    int _sysFragments;
    int _htlbFile;
    int _htlbFragments;
    size_t _htlbSize;
    size_t _totalSize;
    size_t _sysSize;
    size_t _pagesInUse;
    size_t _segmentLength;
    int _allocations;
    Header* _sentinel;
};

#endif
