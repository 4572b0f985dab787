#include "falcrin/cfalcrin.h"

#include "blocksupport/fieldcodes.h"

namespace {

using F = FalcrinField;
using namespace fieldcodes;

constexpr FieldType kBool = FieldType::Bool;

constexpr FieldDef kFields[] = {
    Setting("_inputFormat", 1),
    Setting("_inputColorSpace", 0),
    Setting("_inputPedestal", 0),
    StatusField(kBool),           // _status3Bit7
    StatusField(),                // _status3Bits6to4
    StatusField(),                // _status3Bits3to0
    StatusField(FieldType::Byte), // _status4Byte
    StatusField(kBool),           // _status5Bit3
    StatusField(kBool),           // _status5Bit2
    StatusField(kBool),           // _status5Bit1
    StatusField(kBool),           // _status5Bit0
    StatusField(),                // _status7Bits4to0
    StatusField(),                // _status7Bit5
    StatusField(kBool),           // _status7Bit6
};
static_assert(sizeof(kFields) / sizeof(kFields[0]) == F::kCount, "one row per field");

// Byte 3: bit 1 for format 0, bit 6 for format 2; bit 2 for colour space
// 0; bits 3 and 4 (pedestal) from FinishPackedByte. The colour space reads
// back from bits 2 to 4, the pedestal from bit 3.
constexpr RunUse kPack = RunUse::Pack;
constexpr RunUse kUnpack = RunUse::Unpack;
constexpr FieldBits kBits[] = {
    {F::_inputFormat, 3, 1, 1, 0},
    {F::_inputFormat, 3, 6, 1, 1},
    {F::_inputColorSpace, 3, 2, 1, 0, kPack},
    {F::_inputColorSpace, 3, 2, 1, 0, kUnpack},
    {F::_inputColorSpace, 3, 3, 1, 1, kUnpack},
    {F::_inputColorSpace, 3, 4, 1, 2, kUnpack},
    {F::_inputPedestal, 3, 3, 1, 0, kUnpack},
};

// Format: bit 1 reads as 0, else bit 6 as 2, else 1. Colour space: bit 2
// reads as 0, else bit 3 or 4 as 2, else 1.
constexpr int kFormatOut[] = {1, 0, 2};
constexpr int kFormatIn[] = {1, 0, 2, 0};
constexpr int kSpaceOut[] = {1};
constexpr int kSpaceIn[] = {1, 0, 2, 0, 2, 0, 2, 0};
constexpr FieldCode kCodes[] = {
    Coded(F::_inputFormat, RowsOf(kFormatOut), 0, RowsOf(kFormatIn)),
    Coded(F::_inputColorSpace, RowsOf(kSpaceOut), 0, RowsOf(kSpaceIn)),
};

constexpr BlockLayout kLayout = MakeLayout(4, 0, kFields, kBits, RowsOf(kCodes));

// Status byte n at offset n.
constexpr FieldBits kStatusBits[] = {
    {F::_status3Bit7, 3, 7, 1},
    {F::_status3Bits6to4, 3, 4, 3},
    {F::_status3Bits3to0, 3, 0, 4},
    {F::_status4Byte, 4, 0, 8},
    {F::_status5Bit3, 5, 3, 1},
    {F::_status5Bit2, 5, 2, 1},
    {F::_status5Bit1, 5, 1, 1},
    {F::_status5Bit0, 5, 0, 1},
    {F::_status7Bits4to0, 7, 0, 5},
    {F::_status7Bit5, 7, 5, 1},
    {F::_status7Bit6, 7, 6, 1},
};

// The 5-bit code of status byte 7.
constexpr int kByte7Codes[] = {
    7,  6,  4,  1,  8,  0,  5,  2,  //  0..7
    25, 14, 15, 12, 19, 23, 17, 21, //  8..15
    9,  11, 0,  0,  10, 11, 0,  0,  // 16..23
    24, 13, 0,  0,  18, 22, 16, 20, // 24..31
};
constexpr FieldCode kStatusCodes[] = {
    Decoded(F::_status3Bits3to0, RowsOf(kLowCode)),
    Decoded(F::_status7Bits4to0, RowsOf(kByte7Codes)),
    Decoded(F::_status7Bit5, RowsOf(kInverted)),
};

constexpr FieldMap kStatus{RowsOf(kStatusBits), RowsOf(kStatusCodes)};

constexpr std::size_t kInputByte = 3;
constexpr UByte kPedestalBit = 0x08;
constexpr UByte kNoPedestalBit = 0x10;

} // namespace

CFalcrin::CFalcrin(CCmdEngine* owner, UByte fpgaId, UByte blockId)
    : StatusDecodingBlock(owner, fpgaId, blockId, kLayout, kStatus)
{
}

// Formats 1 and 2 always carry the pedestal pair; format 0 only for colour
// space 2; any other format only bit 3, for colour space 2.
UByte CFalcrin::FinishPackedByte(std::size_t offset, UByte packed) const
{
    if (offset != kInputByte)
        return packed;
    const int format = Field(F::_inputFormat);
    const bool spaceTwo = Field(F::_inputColorSpace) == 2;
    const bool pedestal = Field(F::_inputPedestal) != 0;
    unsigned bits = 0;
    if (format == 1 || format == 2 || (format == 0 && spaceTwo))
        bits = pedestal ? kPedestalBit : kNoPedestalBit;
    else if (spaceTwo && pedestal)
        bits = kPedestalBit;
    return UByte(packed | bits);
}
