#include "jastel/cjastel.h"

#include "protocol/ccommprotocol.h"

namespace {

using F = JastelField;

constexpr FieldType kByte = FieldType::Byte;
constexpr UWord kImageBytes = 32;

// The channel pairs map pair n to pair n.
constexpr FieldDef kFields[] = {
    Setting("_inputVideoFormat", 0),
    Setting("_inputVideoBitDepth", 0),
    Setting("_inputVideoColor", 0),
    Setting("_inputVideoRGBRange", 0),
    Setting("_enable3DLut", 0),
    Setting("_lut3dBankSelect", 0),
    Setting("_enable1DLut", 0),
    Setting("_lut1dBankSelect", 0),
    Setting("_outputVideoBitDepth", 0),
    Setting("_outputVideoRGBRange", 0, FieldType::Int, "_outputVideoColorRange"),
    Setting("_outputVideoMode", 0),
    Setting("_videoSource", 0),
    Setting("_outputVideo2K", 0),
    Setting("_sdiOutputVideoRGBRange", 0, FieldType::Int, "_sdiOutputVideoColorRange"),
    Setting("_sdiOutPsFMode", 0),
    Setting("_sdiOutPassThrough", 0),
    Setting("_sdiOut3GLevelB", 0),
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
    Setting("_lutInputColorRange", 1),
    Setting("_lutOutputColorRange", 1),
    Unsaved(0),
    Unsaved(0),
};
static_assert(sizeof(kFields) / sizeof(kFields[0]) == F::kCount, "one row per field");

// {field, byte, lowest bit, bits}; byte n is register n + 3.
constexpr FieldBits kBits[] = {
    {F::_inputVideoFormat, 0, 0, 2},
    {F::_inputVideoColor, 0, 2, 3},
    {F::_inputVideoBitDepth, 0, 5, 2},
    {F::_inputVideoRGBRange, 0, 7, 1},
    {F::_videoSource, 1, 0, 1},
    {F::_lutInputColorRange, 1, 1, 1},
    {F::_outputVideoMode, 3, 0, 2},
    {F::_outputVideo2K, 3, 2, 1},
    {F::_outputVideoBitDepth, 3, 4, 2},
    {F::_outputVideoRGBRange, 3, 7, 1},
    {F::_sdiOut3GLevelB, 4, 0, 2},
    {F::_sdiOutPassThrough, 4, 2, 1},
    {F::_sdiOutPsFMode, 4, 3, 1},
    {F::_sdiOutputVideoRGBRange, 4, 4, 1},
    {F::_lutOutputColorRange, 4, 5, 1},
    {F::_byte5Bits1to0, 5, 0, 2},
    {F::_byte5Bits3to2, 5, 2, 2},
    {F::_lut3dBankSelect, 5, 6, 1},
    {F::_enable3DLut, 5, 7, 1},
    {F::_lut1dBankSelect, 6, 6, 1},
    {F::_enable1DLut, 6, 7, 1},
    {F::_inputAudioChannelSource, 7, 0, 1},
    {F::_analogAudioSelect, 7, 2, 2},
    {F::_inputAudioSDISource, 7, 4, 2},
    {F::_outputAudioChannels, 7, 6, 2},
    {F::_outputAudioDelay, 8, 0, 8},
    {F::_delayedAudIn1ChPair, 10, 0, 2},
    {F::_delayedAudIn2ChPair, 10, 2, 2},
    {F::_delayedAudIn3ChPair, 10, 4, 2},
    {F::_delayedAudIn4ChPair, 10, 6, 2},
    {F::_audIn1ChPair, 11, 0, 2},
    {F::_audIn2ChPair, 11, 2, 2},
    {F::_audIn3ChPair, 11, 4, 2},
    {F::_audIn4ChPair, 11, 6, 2},
};

constexpr BlockLayout kLayout = MakeLayout(kImageBytes, CJastel::kFirstRegister, kFields, kBits);

} // namespace

CJastel::CJastel(CCmdEngine* owner, UByte fpgaId, UByte blockId) : RegisterBlock(owner, fpgaId, blockId, kLayout) {}

int CJastel::WriteToDevice(CCommProtocol& comm)
{
    UByte image[kImageBytes];
    Pack(image);
    comm.WriteDeviceDataImmediate(kSpiControl, _fpgaId, kFirstRegister, image, UByte(kImageBytes));
    return comm.WriteConfigData(_fpgaId, _blockId, image, kImageBytes);
}
