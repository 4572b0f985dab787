// Parameter ids of the Quastel table (model number 20; the input interface word is Hdmi).
#ifndef TOVIKCONFIG_MODELS_QUASTELPARAMIDS_H
#define TOVIKCONFIG_MODELS_QUASTELPARAMIDS_H

#include "tovikconfig/models/converterparamids.h"

#define TOVIK_QUASTEL_PARAMS(X) \
    TOVIK_IDENTITY_PARAMS(X) \
    X(0x04, CfgInMode) \
    X(0x05, CfgInX) \
    X(0x06, CfgInY) \
    X(0x07, CfgInW) \
    X(0x08, CfgInH) \
    X(0x09, CfgInScreenW) \
    X(0x0a, CfgInScreenH) \
    X(0x0c, CfgOutMode) \
    X(0x0d, CfgOutX) \
    X(0x0e, CfgOutY) \
    X(0x0f, CfgOutW) \
    X(0x10, CfgOutH) \
    X(0x11, CfgOutScreenW) \
    X(0x12, CfgOutScreenH) \
    X(0x13, InScreenProxy) \
    X(0x14, OutScreenProxy) \
    X(0x15, OutRoiFormat) \
    X(0x17, OutEdgeFiltering) \
    X(0x18, OutFlickerFiltering) \
    X(0x19, Genlock) \
    X(0x1a, GenHDelay) \
    X(0x1b, GenVDelay) \
    X(0x1c, InRgbRange) \
    X(0x1d, AudInSelect) \
    X(0x1e, AudAnalogOutMap) \
    X(0x1f, AudHdmiConversion) \
    X(0x20, ImageHdmiInEnabled) \
    X(0x21, ImageHdmiInSize) \
    X(0x22, ImageHdmiInRoi) \
    X(0x23, ImageHdmiInAudio) \
    X(0x24, ImageHdmiOutEnabled) \
    X(0x25, ImageSdiOutFormat) \
    X(0x26, ImageSdiOutGenLock) \
    X(0x27, ImageSdiOutFit) \
    X(0x28, ImageSdiOutAudio) \
    X(0x29, HdmiInConnected) \
    X(0x2a, HdmiOutConnected) \
    X(0x2b, RoiAction) \
    X(0x2c, RefImageInputStatus) \
    X(0x2d, RefInValidColorState) \
    X(0x2e, GenlockStatusStr) \
    X(0x2f, GenlockLabelColor) \
    X(0x30, GenDelayShow) \
    X(0x31, GenlockRefAlarmStr) \
    X(0x32, OutScalingLabelColor) \
    X(0x33, ModuleName) \
    X(0x34, ModuleType) \
    X(0x35, ModuleAssemblyBd) \
    X(0x36, GenHDelayMax) \
    X(0x37, GenVDelayMax) \
    X(0x38, BackgroundColor) \
    X(0x39, GenDelayEnable) \
    X(0x3a, CfgInFixedAspectMode) \
    X(0x3b, CfgInFixedSizeMode) \
    X(0x3c, CfgOutRotation) \
    X(0x3d, RotationStatusStr) \
    X(0x3e, RotationStatusColor) \
    X(0x3f, OutFrameDelayCk) \
    X(0x40, ImageOutFrameDelay) \
    X(0x41, FrameDelayLabelColor) \
    X(0x42, OutHorizFlipCk) \
    X(0x43, HorizFlipLabelColor) \
    X(0x44, OutVertFlipCk) \
    X(0x45, VertFlipLabelColor) \
    X(0x46, ProcLimitDisplay) \
    X(0x47, OutFrameDelay)

namespace tovikconfig {
namespace quastel {

constexpr std::uint32_t kParamIDBase = ConverterParamIDBase(20);
TOVIK_DECLARE_PARAM_IDS(TOVIK_QUASTEL_PARAMS)

} // namespace quastel
} // namespace tovikconfig

#endif
