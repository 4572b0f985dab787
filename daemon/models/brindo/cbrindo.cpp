#include "brindo/cbrindo.h"

namespace {

using F = BrindoField;

constexpr FieldDef kFields[] = {
    Setting("_outputVideoFormat", 0),
    Setting("_outputVideoDeepColor", 0),
    Setting("_outputVideoColorRange", 0),
    Setting("_outputFormat", 0),
    Setting("_outputVideoMode", 0),
    Setting("_outputFrameRate", 0),
    Setting("_outputScaling", 0),
    Setting("_outputSDFormat", 0),
    Setting("_outputHDMIAudioChannels", 0),
    Setting("_outputAnalogAudio", 0),
};
static_assert(sizeof(kFields) / sizeof(kFields[0]) == F::kCount, "one row per field");

// {field, byte, lowest bit, bits}
constexpr FieldBits kBits[] = {
    {F::_outputSDFormat, 0, 2, 1},
    {F::_outputVideoMode, 1, 0, 2},
    {F::_outputVideoFormat, 1, 2, 2},
    {F::_outputVideoDeepColor, 1, 4, 2},
    {F::_outputVideoColorRange, 1, 6, 2},
    {F::_outputHDMIAudioChannels, 2, 0, 2},
    {F::_outputAnalogAudio, 2, 2, 2},
    {F::_outputScaling, 2, 4, 2},
    {F::_outputFrameRate, 3, 0, 4},
    {F::_outputFormat, 3, 4, 4},
};

constexpr BlockLayout kLayout = MakeLayout(4, 0, kFields, kBits);

} // namespace

CBrindo::CBrindo(CCmdEngine* owner, UByte fpgaId, UByte blockId) : RegisterBlock(owner, fpgaId, blockId, kLayout) {}
