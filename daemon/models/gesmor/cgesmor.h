// The Gesmor converter's configuration block: three output settings in
// byte 9 of a 15-byte block, and status fields decoded from bytes 3 to 8 of
// the converter's status.
#ifndef PORTVANE_MODELS_CGESMOR_H
#define PORTVANE_MODELS_CGESMOR_H

#include "blocksupport/statusdecodingblock.h"

// Settings, then status fields (filled by DecodeStatus only): int, but the
// bools named Bit.
struct GesmorField {
    enum : int {
        _outputFormat,     // 1, or anything else
        _outputColorSpace, // 0, 1 or 2
        _outputPedestal,   // 0 or 1
        _status3Bit7,
        _status3Bits6to4,
        _status3Bits3to0,
        _status4Bit3,
        _status4Bit2,
        _status4Bits1to0,
        _status8Code,
        _status6Bit7,
        _status6Bits6to4,
        _status6Bits3to0,
        _status7Bits7to6,
        _status7Bit5,
        _status7Bit4,
        _status7Bits3to2,
        _status7Bits1to0,
        _status5Bit3,
        _status5Bit2,
        _status5Bit1,
        _status5Bit0,
        _status5Bits5to4,
        kCount
    };
};

class CGesmor : public StatusDecodingBlock {
public:
    CGesmor(CCmdEngine* owner, UByte fpgaId, UByte blockId);
};

#endif
