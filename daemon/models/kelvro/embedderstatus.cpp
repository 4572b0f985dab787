#include "kelvro/embedderstatus.h"

#include "blocksupport/fieldcodes.h"

namespace {

using F = EmbedderStatusField;

// Status byte n at offset n; flags, high codes (bits 6..4) and low codes
// (bits 3..0, 1 to 8).
constexpr FieldBits kBits[] = {
    {F::_status3Bit7, 3, 7, 1},
    {F::_status3Bits6to4, 3, 4, 3},
    {F::_status3Bits3to0, 3, 0, 4},
    {F::_status4Byte, 4, 0, 8},
    {F::_status5Bit4, 5, 4, 1},
    {F::_status5Bit3, 5, 3, 1},
    {F::_status11Bits7to4, 11, 4, 4},
    {F::_status11Bits3to0, 11, 0, 4},
    {F::_status12Bits7to4, 12, 4, 4},
    {F::_status12Bits3to0, 12, 0, 4},
    {F::_status13Bit7, 13, 7, 1},
    {F::_status13Bits6to4, 13, 4, 3},
    {F::_status13Bits3to0, 13, 0, 4},
    {F::_status6Bits1to0, 6, 0, 2},
    {F::_status14Bit3, 14, 3, 1},
    {F::_status14Bit2, 14, 2, 1},
    {F::_status14Bit7, 14, 7, 1},
    {F::_status15Bit7, 15, 7, 1},
    {F::_status16Bit5, 16, 5, 1},
    {F::_status15Bits6to4, 15, 4, 3},
    {F::_status15Bits3to0, 15, 0, 4},
};

constexpr FieldCode kCodes[] = {
    Decoded(F::_status3Bits3to0, RowsOf(fieldcodes::kLowCode)),
    Decoded(F::_status13Bits3to0, RowsOf(fieldcodes::kLowCode)),
    Decoded(F::_status15Bits3to0, RowsOf(fieldcodes::kLowCode)),
};

} // namespace

const FieldMap kEmbedderStatus{RowsOf(kBits), RowsOf(kCodes)};
