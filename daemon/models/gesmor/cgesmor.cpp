#include "gesmor/cgesmor.h"

#include "blocksupport/fieldcodes.h"

namespace {

using F = GesmorField;
using namespace fieldcodes;

constexpr FieldType kBool = FieldType::Bool;

constexpr FieldDef kFields[] = {
    Setting("_outputFormat", 1),
    Setting("_outputColorSpace", 0),
    Setting("_outputPedestal", 0),
    StatusField(kBool), // _status3Bit7
    StatusField(),      // _status3Bits6to4
    StatusField(),      // _status3Bits3to0
    StatusField(kBool), // _status4Bit3
    StatusField(kBool), // _status4Bit2
    StatusField(),      // _status4Bits1to0
    StatusField(),      // _status8Code
    StatusField(kBool), // _status6Bit7
    StatusField(),      // _status6Bits6to4
    StatusField(),      // _status6Bits3to0
    StatusField(),      // _status7Bits7to6
    StatusField(),      // _status7Bit5
    StatusField(),      // _status7Bit4
    StatusField(),      // _status7Bits3to2
    StatusField(),      // _status7Bits1to0
    StatusField(kBool), // _status5Bit3
    StatusField(kBool), // _status5Bit2
    StatusField(kBool), // _status5Bit1
    StatusField(kBool), // _status5Bit0
    StatusField(),      // _status5Bits5to4
};
static_assert(sizeof(kFields) / sizeof(kFields[0]) == F::kCount, "one row per field");

// Byte 9: the format in bit 1, the colour space coded in bits 2 and 5, the
// pedestal in bit 3.
constexpr FieldBits kBits[] = {
    {F::_outputFormat, 9, 1, 1},
    {F::_outputColorSpace, 9, 2, 1, 0},
    {F::_outputColorSpace, 9, 5, 1, 1},
    {F::_outputPedestal, 9, 3, 1},
};

// Format 1 clears the bit, anything else sets it; a clear bit reads as 1.
// Colour space 0 sets bit 2, 2 sets bit 5; bit 2 reads as 0 whatever bit 5
// holds, bit 5 alone as 2, neither as 1. Any pedestal but 0 sets its bit.
constexpr int kColourSpaceOut[] = {1, 0, 2};
constexpr int kColourSpaceIn[] = {1, 0, 2, 0};
constexpr int kNonZero[] = {0};
constexpr FieldCode kCodes[] = {
    Coded(F::_outputFormat, RowsOf(kInverted), 1, RowsOf(kInverted)),
    Coded(F::_outputColorSpace, RowsOf(kColourSpaceOut), 0, RowsOf(kColourSpaceIn)),
    Coded(F::_outputPedestal, RowsOf(kNonZero), 1, NoRows<int>()),
};

constexpr BlockLayout kLayout = MakeLayout(15, 0, kFields, kBits, RowsOf(kCodes));

// Status byte n at offset n.
constexpr FieldBits kStatusBits[] = {
    {F::_status3Bit7, 3, 7, 1},
    {F::_status3Bits6to4, 3, 4, 3},
    {F::_status3Bits3to0, 3, 0, 4},
    {F::_status4Bit3, 4, 3, 1},
    {F::_status4Bit2, 4, 2, 1},
    {F::_status4Bits1to0, 4, 0, 2},
    {F::_status8Code, 8, 0, 8},
    {F::_status6Bit7, 6, 7, 1},
    {F::_status6Bits6to4, 6, 4, 3},
    {F::_status6Bits3to0, 6, 0, 4},
    {F::_status7Bits7to6, 7, 6, 2},
    {F::_status7Bit5, 7, 5, 1},
    {F::_status7Bit4, 7, 4, 1},
    {F::_status7Bits3to2, 7, 2, 2},
    {F::_status7Bits1to0, 7, 0, 2},
    {F::_status5Bit3, 5, 3, 1},
    {F::_status5Bit2, 5, 2, 1},
    {F::_status5Bit1, 5, 1, 1},
    {F::_status5Bit0, 5, 0, 1},
    {F::_status5Bits5to4, 5, 4, 2},
};

// Status byte 8: the 27 codes 1 to 27, each from one byte value; every
// other value gives 0.
constexpr int kByte8Codes[] = {4,  5,  6,  7,  8,  0,  10, 11, 0,  18, 20, 12, 19, 21, 15,
                               23, 27, 25, 13, 17, 16, 14, 1,  2,  9,  3,  22, 24, 26};

constexpr FieldCode kStatusCodes[] = {
    Decoded(F::_status3Bits3to0, RowsOf(kLowCode)),
    Decoded(F::_status4Bits1to0, RowsOf(kNextOfFour)),
    Decoded(F::_status8Code, RowsOf(kByte8Codes)),
    Decoded(F::_status6Bits3to0, RowsOf(kLowCode)),
    Decoded(F::_status7Bits7to6, RowsOf(kNextOfFour)),
    Decoded(F::_status7Bit5, RowsOf(kPlusOne)),
    Decoded(F::_status7Bit4, RowsOf(kPlusOne)),
    Decoded(F::_status7Bits3to2, RowsOf(kNextOfFour)),
    Decoded(F::_status7Bits1to0, RowsOf(kPlusOne)),
    Decoded(F::_status5Bits5to4, RowsOf(kPlusOne)),
};

constexpr FieldMap kStatus{RowsOf(kStatusBits), RowsOf(kStatusCodes)};

} // namespace

CGesmor::CGesmor(CCmdEngine* owner, UByte fpgaId, UByte blockId)
    : StatusDecodingBlock(owner, fpgaId, blockId, kLayout, kStatus)
{
}
