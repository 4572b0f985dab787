#include "arvel/cidrel.h"

#include "blocksupport/fieldcodes.h"

namespace {

using F = IdrelField;

constexpr FieldDef kFields[] = {
    Setting("_inputVideoFormat", 0),
    Setting("_inputVideoBitDepth", 0),
    Setting("_inputVideoColor", 0),
    Setting("_inputVideoColorRange", 0),
    Setting("_input3G_BMode", 0),
    Setting("_inputForceSingleLink", 0),
    Setting("_outputVideoFormat", 0),
    Setting("_outputVideoBitDepth", 0),
    Setting("_outputVideoColorRange", 0),
    Setting("_outputVideoMode", 0),
    Setting("_output2xHDChannel", 0),
    Setting("_output2KCenterCutIsOn", 1, FieldType::Bool),
    Setting("_outputHDMIAudioChannels", 0),
    Setting("_outputAnalogAudio", 0),
};
static_assert(sizeof(kFields) / sizeof(kFields[0]) == F::kCount, "one row per field");

// {field, byte, lowest bit, bits}
constexpr FieldBits kBits[] = {
    {F::_inputVideoFormat, 0, 0, 2},
    {F::_inputVideoColor, 0, 2, 2},
    {F::_inputVideoBitDepth, 0, 4, 2},
    {F::_inputVideoColorRange, 0, 6, 1},
    {F::_input3G_BMode, 1, 0, 2},
    {F::_inputForceSingleLink, 1, 2, 1},
    {F::_outputVideoMode, 2, 0, 2},
    {F::_outputVideoFormat, 2, 2, 2},
    {F::_outputVideoBitDepth, 2, 4, 2},
    {F::_outputVideoColorRange, 2, 6, 2},
    {F::_outputHDMIAudioChannels, 3, 0, 2},
    {F::_outputAnalogAudio, 3, 2, 2},
    {F::_output2xHDChannel, 3, 4, 1},
    {F::_output2KCenterCutIsOn, 3, 5, 1},
};

// The centre cut is on when its bit is clear.
constexpr FieldCode kCodes[] = {
    Coded(F::_output2KCenterCutIsOn, RowsOf(fieldcodes::kInverted), 0, RowsOf(fieldcodes::kInverted)),
};

constexpr BlockLayout kLayout = MakeLayout(4, 0, kFields, kBits, RowsOf(kCodes));

} // namespace

CIdrel::CIdrel(CCmdEngine* owner, UByte fpgaId, UByte blockId) : RegisterBlock(owner, fpgaId, blockId, kLayout) {}
