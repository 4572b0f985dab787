// Cuts the byte stream from the box into command frames.
//
// Resync rule: a frame is [code][16-bit length][length - 3 bytes]. At the
// front of the buffer a length field below 3 cannot start a frame, and that
// first byte is dropped. A frame that is not complete when no byte has
// arrived for the gap time is stale: its first byte is dropped and the scan
// goes on, so garbage in front of a real frame is shed byte by byte until a
// whole frame starts at the front. Bytes that were pending across such a gap
// stay stale when newer bytes follow, and no frame is formed across the gap. The buffer holds at most one frame of
// the largest length plus one read; bytes beyond that are dropped.
#ifndef CONVSIM_FRAMESPLITTER_H
#define CONVSIM_FRAMESPLITTER_H

#include "convsim/wire.h"

#include <cstdint>

namespace convsim {

class FrameSplitter {
public:
    static constexpr size_t kCapacity = 2 * (kMaxFrame + 1);

    explicit FrameSplitter(int gapMs = 200) : _gapMs(gapMs) {}

    void Feed(const uint8_t* data, size_t n, int64_t nowMs);
    // Pops the next whole frame into frame; false when none is complete.
    bool Next(Bytes& frame, int64_t nowMs);
    // Milliseconds until pending bytes turn stale; -1 when nothing pends.
    int64_t MsUntilStale(int64_t nowMs) const;
    void Reset();

    size_t Pending() const { return _buf.size() - _head; }
    uint64_t DroppedBytes() const { return _dropped; }

private:
    void Drop(size_t n);

    int _gapMs;
    Bytes _buf;
    size_t _head = 0;
    size_t _staleEnd = 0; // bytes of _buf before this index are stale
    int64_t _lastByteMs = 0;
    uint64_t _dropped = 0;
};

} // namespace convsim

#endif
