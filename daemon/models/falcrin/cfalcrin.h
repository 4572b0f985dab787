// The Falcrin converter's configuration block: four bytes, its input
// settings coded jointly in byte 3; status fields decoded from the
// converter's status bytes 3 to 7.
#ifndef PORTVANE_MODELS_CFALCRIN_H
#define PORTVANE_MODELS_CFALCRIN_H

#include <cstddef>

#include "blocksupport/statusdecodingblock.h"

// Settings (int), then the status fields: int, but the bools named Bit
// (except _status7Bit5, an int) and _status4Byte (UByte).
struct FalcrinField {
    enum : int {
        _inputFormat,     // 0, 1 or 2
        _inputColorSpace, // 0, 1 or 2
        _inputPedestal,   // 0 or 1
        _status3Bit7,
        _status3Bits6to4,
        _status3Bits3to0,
        _status4Byte,
        _status5Bit3,
        _status5Bit2,
        _status5Bit1,
        _status5Bit0,
        _status7Bits4to0,
        _status7Bit5,
        _status7Bit6,
        kCount
    };
};

class CFalcrin : public StatusDecodingBlock {
public:
    CFalcrin(CCmdEngine* owner, UByte fpgaId, UByte blockId);

protected:
    // Bits 3 and 4 of byte 3 depend on all three settings at once.
    UByte FinishPackedByte(std::size_t offset, UByte packed) const override;
};

#endif
