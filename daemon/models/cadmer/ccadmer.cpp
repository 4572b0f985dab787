#include "cadmer/ccadmer.h"

#include "blocksupport/fieldcodes.h"

namespace {

using F = CadmerField;

constexpr FieldDef kFields[] = {
    Setting("_hdmi3dMode", 0),
    Setting("_inputFlipLeft", 0),
    Setting("_inputFlipRight", 0),
    Setting("_protocol", 0),
    Setting("_swapInputs", 0),
    Setting("_toggleSwitch8", 0),
    Setting("_colorSpace", 0),
    Setting("_colorRange", 0),
    Setting("_hdmiVideoSelect", 0),
    Setting("_lrSynchronizer", 0),
    Setting("_analogAudioOut", 0),
    Setting("_hdmiAudioOut", 0),
};
static_assert(sizeof(kFields) / sizeof(kFields[0]) == F::kCount, "one row per field");

// {field, byte, lowest bit, bits[, value bit]}
constexpr FieldBits kBits[] = {
    {F::_hdmi3dMode, 0, 0, 2, 0},
    {F::_inputFlipLeft, 0, 2, 2},
    {F::_inputFlipRight, 0, 4, 2},
    {F::_hdmi3dMode, 0, 6, 2, 2},
    {F::_protocol, 1, 0, 2},
    {F::_colorSpace, 1, 2, 2},
    {F::_colorRange, 1, 4, 2},
    {F::_swapInputs, 1, 6, 1},
    {F::_lrSynchronizer, 1, 7, 1},
    {F::_hdmiVideoSelect, 2, 0, 2},
    {F::_toggleSwitch8, 2, 2, 1},
    {F::_analogAudioOut, 2, 4, 2},
    {F::_hdmiAudioOut, 2, 6, 2},
};

// The synchroniser bit: 1 for exactly 1, 0 for every other value.
constexpr int kExactlyOne[] = {0, 1};
constexpr FieldCode kCodes[] = {
    Coded(F::_lrSynchronizer, RowsOf(kExactlyOne), 0, NoRows<int>()),
};

constexpr BlockLayout kLayout = MakeLayout(3, 0, kFields, kBits, RowsOf(kCodes));

} // namespace

CCadmer::CCadmer(CCmdEngine* owner, UByte fpgaId, UByte blockId) : RegisterBlock(owner, fpgaId, blockId, kLayout) {}
