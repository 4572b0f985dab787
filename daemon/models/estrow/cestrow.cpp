#include "estrow/cestrow.h"

namespace {

using F = EstrowField;

constexpr FieldDef kFields[] = {
    Setting("_inputVideoFormat", 0),
    Setting("_inputVideoBitDepth", 0),
    Setting("_inputVideoColor", 0),
    Setting("_inputVideoRGBRange", 0),
    Setting("_inputLinkMode", 0, FieldType::Int, "_input3G_BMode"),
    Setting("_inputMapping", 0),
    Setting("_output4kCvtMode", 0),
    Setting("_outputVideo2K", 0),
    Setting("_edgeFiltering", 1),
    Setting("_outputSdiPassthrough", 0),
    Setting("_outputSdi3gMode", 0),
    Setting("_outputVideoFormat", 0),
    Setting("_outputVideoBitDepth", 0),
    Setting("_outputVideoRGBRange", 0, FieldType::Int, "_outputVideoColorRange"),
    Setting("_outputVideoMode", 0),
    Setting("_outputAudioDelay", 0, FieldType::Byte),
    Setting("_videoSource", 0),
    Setting("_outputVideoDitherMode", 0, FieldType::Bool),
    Setting("_inputAudioSDISource", 0),
    Setting("_inputAudioChannelSource", 0),
    Setting("_outputAudioChannels", 0),
    Setting("_p2iEnable", 0, FieldType::Bool),
};
static_assert(sizeof(kFields) / sizeof(kFields[0]) == F::kCount, "one row per field");

// {field, byte, lowest bit, bits}; byte n is register n + 3.
constexpr FieldBits kBits[] = {
    {F::_inputVideoFormat, 0, 0, 2},
    {F::_inputVideoColor, 0, 2, 3},
    {F::_inputVideoBitDepth, 0, 5, 2},
    {F::_inputVideoRGBRange, 0, 7, 1},
    {F::_videoSource, 1, 0, 3},
    {F::_inputLinkMode, 1, 4, 3},
    {F::_inputMapping, 2, 0, 2},
    {F::_outputVideoMode, 3, 0, 2},
    {F::_outputVideoFormat, 3, 2, 2},
    {F::_outputVideoBitDepth, 3, 4, 2},
    {F::_outputVideoRGBRange, 3, 6, 2},
    {F::_output4kCvtMode, 4, 0, 1},
    {F::_outputVideo2K, 4, 2, 1},
    {F::_outputVideoDitherMode, 4, 4, 1},
    {F::_edgeFiltering, 4, 6, 1},
    {F::_outputSdi3gMode, 5, 0, 2},
    {F::_outputSdiPassthrough, 5, 2, 2},
    {F::_p2iEnable, 5, 4, 1},
    {F::_inputAudioChannelSource, 7, 0, 1},
    {F::_inputAudioSDISource, 7, 4, 2},
    {F::_outputAudioChannels, 7, 6, 2},
    {F::_outputAudioDelay, 8, 0, 8},
};

constexpr BlockLayout kLayout = MakeLayout(15, 3, kFields, kBits);

} // namespace

CEstrow::CEstrow(CCmdEngine* owner, UByte fpgaId, UByte blockId) : RegisterBlock(owner, fpgaId, blockId, kLayout) {}
