#include "ilmaro/cilmaro.h"

namespace {

using F = IlmaroField;

constexpr FieldType kByte = FieldType::Byte;

// The channel pairs map pair n to pair n.
constexpr FieldDef kFields[] = {
    Setting("_inputVideoFormat", 0),
    Setting("_inputVideoBitDepth", 0),
    Setting("_inputVideoColor", 0),
    Setting("_inputVideoRGBRange", 0),
    Setting("_inputLinkMode", 0, FieldType::Int, "_input3G_BMode"),
    Setting("_outputVideoFormat", 0),
    Setting("_outputVideoBitDepth", 0),
    Setting("_outputVideoRGBRange", 0, FieldType::Int, "_outputVideoColorRange"),
    Setting("_outputVideoMode", 0),
    Setting("_videoSource", 0),
    Setting("_outputVideo2K", 0),
    Setting("_outputVideoDitherMode", 0, kByte),
    Setting("_outputAudioDelay", 0, kByte),
    Setting("_inputAudioChannelSource", 0),
    Setting("_inputAudioSDISource", 0),
    Setting("_outputAudioChannels", 2),
    Setting("_analogAudioSelect", 0),
    Setting("_delayedAudIn1ChPair", 0, kByte),
    Setting("_delayedAudIn2ChPair", 1, kByte),
    Setting("_delayedAudIn3ChPair", 2, kByte),
    Setting("_delayedAudIn4ChPair", 3, kByte),
    Setting("_audIn1ChPair", 0, kByte),
    Setting("_audIn2ChPair", 1, kByte),
    Setting("_audIn3ChPair", 2, kByte),
    Setting("_audIn4ChPair", 3, kByte),
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
    {F::_outputVideoMode, 3, 0, 2},
    {F::_outputVideoFormat, 3, 2, 2},
    {F::_outputVideoBitDepth, 3, 4, 2},
    {F::_outputVideoRGBRange, 3, 6, 2},
    {F::_outputVideo2K, 4, 2, 2},
    {F::_outputVideoDitherMode, 4, 4, 1},
    {F::_inputAudioChannelSource, 7, 0, 1},
    {F::_analogAudioSelect, 7, 2, 2},
    {F::_inputAudioSDISource, 7, 4, 2},
    {F::_outputAudioChannels, 7, 6, 2},
    {F::_outputAudioDelay, 8, 0, 8},
    {F::_delayedAudIn1ChPair, 27, 0, 2},
    {F::_delayedAudIn2ChPair, 27, 2, 2},
    {F::_delayedAudIn3ChPair, 27, 4, 2},
    {F::_delayedAudIn4ChPair, 27, 6, 2},
    {F::_audIn1ChPair, 28, 0, 2},
    {F::_audIn2ChPair, 28, 2, 2},
    {F::_audIn3ChPair, 28, 4, 2},
    {F::_audIn4ChPair, 28, 6, 2},
};

constexpr BlockLayout kLayout = MakeLayout(32, 3, kFields, kBits);

} // namespace

CIlmaro::CIlmaro(CCmdEngine* owner, UByte fpgaId, UByte blockId) : RegisterBlock(owner, fpgaId, blockId, kLayout) {}
