#include "heaptrim.h"

#include <malloc.h>

namespace heaptrim {

bool ShouldTrim(std::size_t freeBytes) { return freeBytes >= kTrimFromBytes; }

std::size_t FreeHeapBytes() { return ::mallinfo2().fordblks; }

bool TrimIfWorth()
{
    if (!ShouldTrim(FreeHeapBytes()))
        return false;
    ::malloc_trim(0);
    return true;
}

} // namespace heaptrim
