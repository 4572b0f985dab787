#include "harvik/charvik.h"

#include "blocksupport/fieldcodes.h"

namespace {

using F = HarvikField;

constexpr FieldType kBool = FieldType::Bool;
constexpr FieldType kByte = FieldType::Byte;

constexpr FieldDef kFields[] = {
    Setting("_swEmbedG3G4", 0),
    Setting("_swChPair10", 0),
    Setting("_swSourceSelect", 0),
    Setting("_swSrcBypass", 0),
    Setting("_swSuppressEmb", 0),
    Setting("_swMuteHdmi", 0),
    Setting("_swMuteAll", 0),
    Setting("_enablePtoPsF", 0),
    Setting("_3GMode", 0),
    Setting("_rgbRange", 0),
    StatusField(kBool), // _status9Bit7
    StatusField(),      // _status9Bits6to4
    StatusField(),      // _status9Bits3to0
    StatusField(kByte), // _status8Byte
    StatusField(kBool), // _status5Bit1
    StatusField(kByte), // _status5Bits3to2
    StatusField(kBool), // _status12Bit7
    StatusField(),      // _status12Bits6to4
    StatusField(),      // _status12Bits3to0
    StatusField(kByte), // _status4Byte
};
static_assert(sizeof(kFields) / sizeof(kFields[0]) == F::kCount, "one row per field");

// {field, byte, lowest bit, bits}; byte n is register n + 3.
constexpr FieldBits kBits[] = {
    {F::_swMuteAll, 3, 0, 1},
    {F::_swMuteHdmi, 3, 1, 1},
    {F::_swSuppressEmb, 3, 2, 1},
    {F::_swSrcBypass, 3, 3, 1},
    {F::_swSourceSelect, 3, 4, 1},
    {F::_swChPair10, 3, 5, 2},
    {F::_swEmbedG3G4, 3, 7, 1},
    {F::_rgbRange, 4, 0, 2},
    {F::_3GMode, 4, 2, 1},
    {F::_enablePtoPsF, 4, 3, 1},
};

constexpr BlockLayout kLayout = MakeLayout(13, 3, kFields, kBits);

// Status byte n at offset n.
constexpr FieldBits kStatusBits[] = {
    {F::_status9Bit7, 9, 7, 1},
    {F::_status9Bits6to4, 9, 4, 3},
    {F::_status9Bits3to0, 9, 0, 4},
    {F::_status8Byte, 8, 0, 8},
    {F::_status5Bit1, 5, 1, 1},
    {F::_status5Bits3to2, 5, 2, 2},
    {F::_status12Bit7, 12, 7, 1},
    {F::_status12Bits6to4, 12, 4, 3},
    {F::_status12Bits3to0, 12, 0, 4},
    {F::_status4Byte, 4, 0, 8},
};

constexpr FieldCode kStatusCodes[] = {
    Decoded(F::_status9Bits3to0, RowsOf(fieldcodes::kLowCode)),
    Decoded(F::_status12Bits3to0, RowsOf(fieldcodes::kLowCode)),
};

constexpr FieldMap kStatus{RowsOf(kStatusBits), RowsOf(kStatusCodes)};

} // namespace

CHarvik::CHarvik(CCmdEngine* owner, UByte fpgaId, UByte blockId)
    : StatusDecodingBlock(owner, fpgaId, blockId, kLayout, kStatus)
{
}
