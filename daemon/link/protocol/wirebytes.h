// Big-endian packing of the numbers in converter packets.
#ifndef PORTVANE_WIREBYTES_H
#define PORTVANE_WIREBYTES_H

#include "base/bytetypes.h"

namespace wire {

inline void PutWord(UByte* out, UWord value)
{
    out[0] = UByte(value >> 8);
    out[1] = UByte(value);
}

inline void PutLong(UByte* out, ULWord value)
{
    out[0] = UByte(value >> 24);
    out[1] = UByte(value >> 16);
    out[2] = UByte(value >> 8);
    out[3] = UByte(value);
}

inline UWord GetWord(const UByte* in)
{
    return UWord(in[0] << 8 | in[1]);
}

// Starts a packet: command code and total length.
inline void PutHeader(UByte* out, UByte code, UWord length)
{
    out[0] = code;
    PutWord(out + 1, length);
}

} // namespace wire

#endif
