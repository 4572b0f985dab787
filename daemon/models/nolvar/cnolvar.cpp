#include "nolvar/cnolvar.h"

#include "blocksupport/fieldcodes.h"

namespace {

using F = NolvarField;

constexpr FieldType kBool = FieldType::Bool;
constexpr FieldType kByte = FieldType::Byte;

constexpr FieldDef kFields[] = {
    Setting("_inputRGBRange", 0),
    Setting("_outputColorSpace", 0),
    Setting("_outputRGBRange", 0),
    Setting("_output3GSDIMode", 0),
    Setting("_output2kCenterCut", 0),
    Setting("_outputDaFunction", 0),
    Setting("_outputEnablePtoPsF", 0),
    Setting("_outputLFR", 0),
    Setting("_genlock", 0),
    Setting("_outputMapping", 0),
    Setting("_audioSRC", 0),
    Setting("_audioEmbedToSDI", 0),
    StatusField(kBool), // _status16Bit7
    StatusField(),      // _status17Bits3to0
    StatusField(kBool), // _status16Bit5
    StatusField(kBool), // _status16Bit4
    StatusField(),      // _status16Bits3to0
    StatusField(),      // _status17Bits7to6
    StatusField(),      // _status17Bits5to4
    StatusField(),      // _status18Bits5to3
    StatusField(kByte), // _status18Bits2to0
    StatusField(kByte), // _status18Bit6
    StatusField(),      // _status17Group
    StatusField(kBool), // _status20Bit4
    StatusField(kBool), // _status20Bit5
    StatusField(kBool), // _status20Bit6
    StatusField(kBool), // _status20Bit7
    StatusField(),      // _status20Bit2
    StatusField(),      // _status20Bits1to0
    StatusField(),      // _status21Bits3to0
    StatusField(kBool), // _status22Bit4
    StatusField(),      // _status22Bits3to0
    StatusField(),      // _status21Bits7to6
    StatusField(),      // _status21Bits5to4
    StatusField(),      // _status23Bits5to3
    StatusField(kByte), // _status23Bits2to0
    StatusField(kBool), // _status20Bit3
    StatusField(),      // _status19Bits1to0
    StatusField(kBool), // _status22Bit6
    StatusField(),      // _status19Bits3to2
    StatusField(kBool), // _status109Bit7
    StatusField(),      // _status110Bits4to0
    StatusField(),      // _status81Bits2to0
    StatusField(), StatusField(), StatusField(), StatusField(), StatusField(), StatusField(), // _statusWords
    StatusField(), StatusField(), StatusField(), StatusField(), StatusField(), StatusField(),
};
static_assert(sizeof(kFields) / sizeof(kFields[0]) == F::kCount, "one row per field");

// {field, byte, lowest bit, bits}; byte n is register n + 3.
constexpr FieldBits kBits[] = {
    {F::_inputRGBRange, 1, 0, 2},
    {F::_outputEnablePtoPsF, 3, 1, 1},
    {F::_output2kCenterCut, 3, 2, 2},
    {F::_outputColorSpace, 3, 4, 2},
    {F::_outputRGBRange, 3, 6, 2},
    {F::_output3GSDIMode, 4, 0, 1},
    {F::_outputLFR, 4, 1, 1},
    {F::_outputDaFunction, 4, 3, 1},
    {F::_genlock, 4, 4, 1},
    {F::_outputMapping, 4, 5, 1},
    {F::_audioSRC, 7, 1, 1},
    {F::_audioEmbedToSDI, 7, 2, 1},
};

constexpr BlockLayout kLayout = MakeLayout(15, 3, kFields, kBits);

// Status byte n at offset n. The group reads byte 17 bits 3..0 and byte 16
// bit 7 as one 5-bit code; each status word is two bytes, low byte first.
constexpr FieldBits kStatusBits[] = {
    {F::_status16Bit7, 16, 7, 1},
    {F::_status17Bits3to0, 17, 0, 4},
    {F::_status16Bit5, 16, 5, 1},
    {F::_status16Bit4, 16, 4, 1},
    {F::_status16Bits3to0, 16, 0, 4},
    {F::_status17Bits7to6, 17, 6, 2},
    {F::_status17Bits5to4, 17, 4, 2},
    {F::_status18Bits5to3, 18, 3, 3},
    {F::_status18Bits2to0, 18, 0, 3},
    {F::_status18Bit6, 18, 6, 1},
    {F::_status17Group, 17, 0, 4, 0},
    {F::_status17Group, 16, 7, 1, 4},
    {F::_status20Bit4, 20, 4, 1},
    {F::_status20Bit5, 20, 5, 1},
    {F::_status20Bit6, 20, 6, 1},
    {F::_status20Bit7, 20, 7, 1},
    {F::_status20Bit2, 20, 2, 1},
    {F::_status20Bits1to0, 20, 0, 2},
    {F::_status21Bits3to0, 21, 0, 4},
    {F::_status22Bit4, 22, 4, 1},
    {F::_status22Bits3to0, 22, 0, 4},
    {F::_status21Bits7to6, 21, 6, 2},
    {F::_status21Bits5to4, 21, 4, 2},
    {F::_status23Bits5to3, 23, 3, 3},
    {F::_status23Bits2to0, 23, 0, 3},
    {F::_status20Bit3, 20, 3, 1},
    {F::_status19Bits1to0, 19, 0, 2},
    {F::_status22Bit6, 22, 6, 1},
    {F::_status19Bits3to2, 19, 2, 2},
    {F::_status109Bit7, 109, 7, 1},
    {F::_status110Bits4to0, 110, 0, 5},
    {F::_status81Bits2to0, 81, 0, 3},
    {F::_statusWords + 0, 83, 0, 8, 0}, {F::_statusWords + 0, 84, 0, 8, 8},
    {F::_statusWords + 1, 87, 0, 8, 0}, {F::_statusWords + 1, 88, 0, 8, 8},
    {F::_statusWords + 2, 91, 0, 8, 0}, {F::_statusWords + 2, 92, 0, 8, 8},
    {F::_statusWords + 3, 85, 0, 8, 0}, {F::_statusWords + 3, 86, 0, 8, 8},
    {F::_statusWords + 4, 89, 0, 8, 0}, {F::_statusWords + 4, 90, 0, 8, 8},
    {F::_statusWords + 5, 93, 0, 8, 0}, {F::_statusWords + 5, 94, 0, 8, 8},
    {F::_statusWords + 6, 95, 0, 8, 0}, {F::_statusWords + 6, 96, 0, 8, 8},
    {F::_statusWords + 7, 97, 0, 8, 0}, {F::_statusWords + 7, 98, 0, 8, 8},
    {F::_statusWords + 8, 99, 0, 8, 0}, {F::_statusWords + 8, 100, 0, 8, 8},
    {F::_statusWords + 9, 101, 0, 8, 0}, {F::_statusWords + 9, 102, 0, 8, 8},
    {F::_statusWords + 10, 103, 0, 8, 0}, {F::_statusWords + 10, 104, 0, 8, 8},
    {F::_statusWords + 11, 105, 0, 8, 0}, {F::_statusWords + 11, 106, 0, 8, 8},
};

// The group from (byte 16 bit 7, byte 17 bits 3..0).
constexpr int kGroups[] = {
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, // bit 7 clear
    1, 1, 2, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, // bit 7 set
};
constexpr FieldCode kStatusCodes[] = {
    Decoded(F::_status17Group, RowsOf(kGroups)),
};

constexpr FieldMap kStatus{RowsOf(kStatusBits), RowsOf(kStatusCodes)};

} // namespace

CNolvar::CNolvar(CCmdEngine* owner, UByte fpgaId, UByte blockId)
    : StatusDecodingBlock(owner, fpgaId, blockId, kLayout, kStatus)
{
}
