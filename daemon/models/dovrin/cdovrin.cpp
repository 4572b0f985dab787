#include "dovrin/cdovrin.h"

namespace {

using F = DovrinField;

constexpr FieldType kBool = FieldType::Bool;
constexpr FieldType kUInt = FieldType::UInt;

// Register defaults: the P3 primaries (green, blue, red) with the D65 white
// point, 1000 and 0.0005 cd/m2 mastering luminance, content light levels
// 1000 and 400. The texts keep defaults of their own.
constexpr FieldDef kFields[] = {
    Setting("_inputVideoFormat", 0),
    Setting("_inputVideoBitDepth", 0),
    Setting("_inputVideoColor", 0),
    Setting("_inputVideoRGBRange", 0),
    Setting("_inputLinkMode", 0, FieldType::Int, "_input3G_BMode"),
    Setting("_inputMapping", 0),
    Setting("_outputVideoFormat", 0),
    Setting("_outputVideoBitDepth", 0),
    Setting("_outputVideoRGBRange", 0, FieldType::Int, "_outputVideoColorRange"),
    Setting("_outputVideoMode", 0),
    Setting("_outputAudioDelay", 0, FieldType::Byte),
    Setting("_outputUHDFrameSpec", 0),
    Setting("_videoSource", 0),
    Setting("_outputVideo2K", 0),
    Setting("_outputVideoDitherMode", 0, kBool),
    Setting("_inputAudioSDISource", 0),
    Setting("_inputAudioChannelSource", 0),
    Setting("_outputAudioChannels", 0),
    BoolSetting("_HdrEnabled", false, FieldSave::Bool),
    Unsaved(0, kBool),
    Setting("_colorimetry", 0),
    Setting("_Eotf", 0),
    Unsaved(13250, kUInt),
    Unsaved(7500, kUInt),
    Unsaved(34000, kUInt),
    Unsaved(34500, kUInt),
    Unsaved(3000, kUInt),
    Unsaved(16000, kUInt),
    Unsaved(15635, kUInt),
    Unsaved(16450, kUInt),
    UIntSetting("_maxDispLum", 1000),
    UIntSetting("_minDispLum", 5),
    UIntSetting("_maxCll", 1000),
    UIntSetting("_maxFall", 400),
    TextSetting("_savedDigitalPrimariesX0", "0.26500"),
    TextSetting("_savedDigitalPrimariesX1", "0.15000"),
    TextSetting("_savedDigitalPrimariesX2", "0.68000"),
    TextSetting("_savedDigitalPrimariesY0", "0.69000"),
    TextSetting("_savedDigitalPrimariesY1", "0.06000"),
    TextSetting("_savedDigitalPrimariesY2", "0.32000"),
    TextSetting("_savedWhitePointX", "0.32120"),
    TextSetting("_savedWhitePointY", "0.32900"),
};
static_assert(sizeof(kFields) / sizeof(kFields[0]) == F::kCount, "one row per field");

// {field, byte, lowest bit, bits[, value bit]}; byte n is register n + 3.
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
    {F::_register7Bit1, 4, 1, 1},
    {F::_outputVideo2K, 4, 2, 2},
    {F::_outputVideoDitherMode, 4, 4, 1},
    {F::_outputUHDFrameSpec, 4, 6, 1},
    {F::_HdrEnabled, 4, 7, 1},
    {F::_inputAudioChannelSource, 7, 0, 1},
    {F::_inputAudioSDISource, 7, 4, 2},
    {F::_outputAudioChannels, 7, 6, 2},
    {F::_outputAudioDelay, 8, 0, 8},
    {F::_colorimetry, 13, 1, 3},
    // The InfoFrame: EOTF, descriptor id 0 (byte 15), then x[0], y[0],
    // x[1], y[1], x[2], y[2], white x, y, and the four luminance values,
    // each 16 bits, low byte first.
    {F::_Eotf, 14, 0, 3},
    {F::_digitalPrimariesX0, 16, 0, 8, 0}, {F::_digitalPrimariesX0, 17, 0, 8, 8},
    {F::_digitalPrimariesY0, 18, 0, 8, 0}, {F::_digitalPrimariesY0, 19, 0, 8, 8},
    {F::_digitalPrimariesX1, 20, 0, 8, 0}, {F::_digitalPrimariesX1, 21, 0, 8, 8},
    {F::_digitalPrimariesY1, 22, 0, 8, 0}, {F::_digitalPrimariesY1, 23, 0, 8, 8},
    {F::_digitalPrimariesX2, 24, 0, 8, 0}, {F::_digitalPrimariesX2, 25, 0, 8, 8},
    {F::_digitalPrimariesY2, 26, 0, 8, 0}, {F::_digitalPrimariesY2, 27, 0, 8, 8},
    {F::_whitePointX, 28, 0, 8, 0}, {F::_whitePointX, 29, 0, 8, 8},
    {F::_whitePointY, 30, 0, 8, 0}, {F::_whitePointY, 31, 0, 8, 8},
    {F::_maxDispLum, 32, 0, 8, 0}, {F::_maxDispLum, 33, 0, 8, 8},
    {F::_minDispLum, 34, 0, 8, 0}, {F::_minDispLum, 35, 0, 8, 8},
    {F::_maxCll, 36, 0, 8, 0}, {F::_maxCll, 37, 0, 8, 8},
    {F::_maxFall, 38, 0, 8, 0}, {F::_maxFall, 39, 0, 8, 8},
};

constexpr BlockLayout kLayout = MakeLayout(42, 3, kFields, kBits);

} // namespace

CDovrin::CDovrin(CCmdEngine* owner, UByte fpgaId, UByte blockId) : RegisterBlock(owner, fpgaId, blockId, kLayout) {}
