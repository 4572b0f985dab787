#include "lumo/lumomemorypool.h"

#include <cstdlib>

#include <QMutexLocker>

namespace {
const size_t kPageSize = 4096;
}

// Block size and flags matter to the block pool only.
LumoMemoryPool::LumoMemoryPool(int /*pagesPerBlock*/, int /*flags*/) : _allocations(0) {}

LumoMemoryPool::~LumoMemoryPool() = default;

void* LumoMemoryPool::allocate(unsigned int size)
{
    if (size == 0)
        return nullptr;
    QMutexLocker lock(&_mutex);
    ++_allocations;
    void* block = nullptr;
    if (posix_memalign(&block, kPageSize, size) != 0)
        return nullptr;
    return block;
}

void LumoMemoryPool::free(void* block)
{
    if (!block)
        return;
    QMutexLocker lock(&_mutex);
    std::free(block);
    --_allocations;
}

int LumoMemoryPool::allocations() const
{
    QMutexLocker lock(&_mutex);
    return _allocations;
}
