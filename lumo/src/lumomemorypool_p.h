// Seams of the memory pool: where its memory comes from, its debug switch,
// and a look at its free list for tests. The files it reads for HugeTLB,
// mounts and meminfo, are found below Lumo's process file system root.
#ifndef LUMO_LUMOMEMORYPOOL_P_H
#define LUMO_LUMOMEMORYPOOL_P_H

#include <sys/types.h>

#include <cstddef>
#include <vector>

#include "lumo/lumoglobal.h"
#include "lumo/lumomemorypool.h"

// The system calls behind every pool's growth. map gets the address hint,
// the length, and the HugeTLB file with the offset into it (fd < 0: anonymous
// memory); it returns the mapping, or null or MAP_FAILED. lock pins it.
struct LumoPoolBacking {
    void* (*map)(void* hint, size_t bytes, int fd, off_t offset);
    int (*lock)(void const* start, size_t bytes);
};

// Replaces the backing of every pool; null restores mmap and mlock.
LUMO_AUTOTEST_EXPORT void lumoMemoryPoolSetBacking(LumoPoolBacking const* backing);
// The debug switch (LUMO_LOG_DEBUG_MEMORYPOOL when the library was loaded).
LUMO_AUTOTEST_EXPORT bool lumoMemoryPoolDebug();
LUMO_AUTOTEST_EXPORT void lumoMemoryPoolSetDebug(bool on);

struct LUMO_AUTOTEST_EXPORT LumoMemoryPoolProbe {
    struct Chunk {
        char* header;
        size_t pages;
        bool operator==(Chunk const& o) const { return header == o.header && pages == o.pages; }
    };
    // The free chunks in list order from the sentinel (which is left out);
    // under the pool's lock.
    static std::vector<Chunk> freeChunks(LumoMemoryPool const& pool);
    static int htlbFile(LumoMemoryPool const& pool);
    // Where the next search starts.
    static void* rover(LumoMemoryPool const& pool);

    // Pages of a chunk for size bytes, header page included; 0 when its
    // byte count does not fit in size_t.
    static size_t chunkPages(unsigned long long size);
    // Bytes a growth maps for that many pages: whole blocks; 0 when that
    // does not fit in size_t.
    static size_t growthBytes(size_t pages, size_t blockSize);
};

#endif
