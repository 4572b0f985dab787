// The library-wide buffer pool behind Lumo::poolAllocate. This interim
// form hands out page-aligned system blocks and counts them; the
// page-locked block pool takes its place behind the same operations.
#ifndef LUMO_LUMOMEMORYPOOL_H
#define LUMO_LUMOMEMORYPOOL_H

#include <QMutex>

#include "lumo/lumoglobal.h"

class LUMO_EXPORT LumoMemoryPool {
public:
    LumoMemoryPool(int pagesPerBlock, int flags);
    ~LumoMemoryPool();

    LumoMemoryPool(LumoMemoryPool const&) = delete;
    LumoMemoryPool& operator=(LumoMemoryPool const&) = delete;

    // Page-aligned; null for size 0 or when memory runs out.
    void* allocate(unsigned int size);
    // Ignores null.
    void free(void* block);

    // allocate calls with a size minus free calls with a pointer.
    int allocations() const;

private:
    mutable QMutex _mutex;
    int _allocations;
};

#endif
