// Gives the heap's free memory back to the system. The C library keeps
// what a program frees, in the arenas of the threads that allocated it,
// long after a burst (and mostly in the heap once its mapping threshold
// has grown); a trim returns the free pages. Portvane and the store's
// server each decide when to ask; no Qt, no other library.
#ifndef TOVIK_HEAPTRIM_H
#define TOVIK_HEAPTRIM_H

#include <cstddef>

namespace heaptrim {

// Free heap bytes from which a trim is worth it.
constexpr std::size_t kTrimFromBytes = 512 * 1024;

// Whether the free heap bytes call for a trim.
bool ShouldTrim(std::size_t freeBytes);
// Free bytes in the heap's arenas, outside the blocks mapped apart.
std::size_t FreeHeapBytes();
// Trims when enough lies free; true when it did.
bool TrimIfWorth();

} // namespace heaptrim

#endif
