#include "jastel/jastelparams.h"

#include "jastel/cjastel.h"
#include "tovikconfig/models/jastelparamids.h"

namespace {

using namespace tovikconfig::jastel;
using F = JastelField;

// One block field as an unsigned number.
constexpr JastelParam Field(quint32 id, int field)
{
    return JastelParam{id, JastelParam::Field, field, -1};
}

// The SDI source and channel source fields as one code.
constexpr JastelParam AudioSource(quint32 id)
{
    return JastelParam{id, JastelParam::AudioSource, -1, -1};
}

// An 8-bit delay field, set from the value's low 8 bits.
constexpr JastelParam AudioOffset(quint32 id, int field)
{
    return JastelParam{id, JastelParam::AudioOffset, field, -1};
}

// A LUT sector's table name.
constexpr JastelParam Slot(quint32 id, int sector)
{
    return JastelParam{id, JastelParam::SlotName, -1, sector};
}

// Sectors: 0 3D slot A, 1 1D slot A, 2 3D slot B, 3 1D slot B.
constexpr JastelParam kParams[] = {
    Field(eParamID_InVidSrc, F::_videoSource),
    Field(eParamID_InColorSpace, F::_inputVideoColor),
    Field(eParamID_InRgbRange, F::_inputVideoRGBRange),
    Field(eParamID_InBitDepth, F::_inputVideoBitDepth),
    Field(eParamID_InVidFormat, F::_inputVideoFormat),
    Field(eParamID_HdmiRgbRange, F::_outputVideoRGBRange),
    Field(eParamID_HdmiBitDepth, F::_outputVideoBitDepth),
    Field(eParamID_Hdmi2kCrop, F::_outputVideo2K),
    Field(eParamID_HdmiProtocol, F::_outputVideoMode),
    Field(eParamID_SdiRgbRange, F::_sdiOutputVideoRGBRange),
    Field(eParamID_SdiPsFMode, F::_sdiOutPsFMode),
    Field(eParamID_SdiPassThrough, F::_sdiOutPassThrough),
    Field(eParamID_Sdi3GMode, F::_sdiOut3GLevelB),
    AudioSource(eParamID_AudInSrc),
    Field(eParamID_AudOutChCount, F::_outputAudioChannels),
    Field(eParamID_AudAnalogSelect, F::_analogAudioSelect),
    AudioOffset(eParamID_AudOffset, F::_outputAudioDelay),
    Field(eParamID_Enable1DLut, F::_enable1DLut),
    Field(eParamID_Apply1DLutSlot, F::_lut1dBankSelect),
    Slot(eParamID_1DLutSlotAName, 1),
    Slot(eParamID_1DLutSlotBName, 3),
    Field(eParamID_Enable3DLut, F::_enable3DLut),
    Field(eParamID_Apply3DLutSlot, F::_lut3dBankSelect),
    Slot(eParamID_3DLutSlotAName, 0),
    Slot(eParamID_3DLutSlotBName, 2),
};

} // namespace

RowList<JastelParam> JastelParams()
{
    return RowsOf(kParams);
}

const JastelParam* FindJastelParam(quint32 id)
{
    for (const JastelParam& param : kParams)
        if (param.id == id)
            return &param;
    return nullptr;
}
