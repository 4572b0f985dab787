// Parameter ids of the Jastel table (model number 13, the LUT converter).
#ifndef TOVIKCONFIG_MODELS_JASTELPARAMIDS_H
#define TOVIKCONFIG_MODELS_JASTELPARAMIDS_H

#include "tovikconfig/models/converterparamids.h"

#define TOVIK_JASTEL_PARAMS(X) \
    TOVIK_IDENTITY_PARAMS(X) \
    X(0x04, InVidSrc) \
    X(0x05, InColorSpace) \
    X(0x06, InRgbRange) \
    X(0x07, InBitDepth) \
    X(0x08, InVidFormat) \
    X(0x09, HdmiRgbRange) \
    X(0x0a, HdmiBitDepth) \
    X(0x0b, Hdmi2kCrop) \
    X(0x0c, HdmiProtocol) \
    X(0x0d, SdiRgbRange) \
    X(0x0e, SdiPsFMode) \
    X(0x0f, SdiPassThrough) \
    X(0x10, Sdi3GMode) \
    X(0x11, AudInSrc) \
    X(0x12, AudOutChCount) \
    X(0x13, AudAnalogSelect) \
    X(0x14, AudOffset) \
    X(0x15, Enable1DLut) \
    X(0x16, Apply1DLutSlot) \
    X(0x17, 1DLutSlotAName) \
    X(0x18, 1DLutSlotBName) \
    X(0x19, Enable3DLut) \
    X(0x1a, Apply3DLutSlot) \
    X(0x1b, 3DLutSlotAName) \
    X(0x1c, 3DLutSlotBName) \
    X(0x1d, Sdi1LockStatus) \
    X(0x1e, Sdi13GStatus) \
    X(0x1f, Sdi13GLevelStatus) \
    X(0x20, Sdi1PidStatus) \
    X(0x21, Sdi1VidStdStatus) \
    X(0x22, Sdi1VidFpsStatus) \
    X(0x23, Sdi1PsFStatus) \
    X(0x24, Sdi1SDStatus) \
    X(0x25, Sdi1Status1) \
    X(0x26, Sdi1Status2) \
    X(0x27, Sdi2LockStatus) \
    X(0x28, Sdi23GStatus) \
    X(0x29, Sdi23GLevelStatus) \
    X(0x2a, Sdi2PidStatus) \
    X(0x2b, Sdi2VidStdStatus) \
    X(0x2c, Sdi2VidFpsStatus) \
    X(0x2d, Sdi2PsFStatus) \
    X(0x2e, Sdi2SDStatus) \
    X(0x2f, Sdi2Status1) \
    X(0x30, Sdi2Status2) \
    X(0x31, LedStatus) \
    X(0x32, SdiOutVidStdStatus) \
    X(0x33, SdiOutVidFpsStatus) \
    X(0x34, SdiOutPsFStatus) \
    X(0x35, SdiOutStatus) \
    X(0x36, HdmiOutConnectionStatus) \
    X(0x37, HdmiOutProtocolStatus) \
    X(0x38, HdmiOutRgbRangeStatus) \
    X(0x39, HdmiOutColorSpaceStatus) \
    X(0x3a, HdmiOutBitDepthStatus) \
    X(0x3d, HdmiOutVideoStatus)

namespace tovikconfig {
namespace jastel {

constexpr std::uint32_t kParamIDBase = ConverterParamIDBase(13);
TOVIK_DECLARE_PARAM_IDS(TOVIK_JASTEL_PARAMS)

} // namespace jastel
} // namespace tovikconfig

#endif
