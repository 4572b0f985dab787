// Parameter ids of the Mardex table (model number 15; the input interface word is Dp).
#ifndef TOVIKCONFIG_MODELS_MARDEXPARAMIDS_H
#define TOVIKCONFIG_MODELS_MARDEXPARAMIDS_H

#include "tovikconfig/models/converterparamids.h"

#define TOVIK_MARDEX_PARAMS(X) \
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
    X(0x1f, AudDpConversion) \
    X(0x20, ImageDpInEnabled) \
    X(0x21, ImageDpInSize) \
    X(0x22, ImageDpInRoi) \
    X(0x23, ImageDpInAudio) \
    X(0x24, ImageDpOutEnabled) \
    X(0x25, ImageSdiOutFormat) \
    X(0x26, ImageSdiOutGenLock) \
    X(0x27, ImageSdiOutFit) \
    X(0x28, ImageSdiOutAudio) \
    X(0x29, DpInConnected) \
    X(0x2a, DpOutConnected) \
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
    X(0x3a, EDIDFlowThru) \
    X(0x3b, EDIDNameStr) \
    X(0x3c, CfgInFixedAspectMode) \
    X(0x3d, CfgInFixedSizeMode) \
    X(0x3e, CfgOutRotation) \
    X(0x3f, RotationStatusStr) \
    X(0x40, RotationStatusColor) \
    X(0x41, OutFrameDelayCk) \
    X(0x42, ImageOutFrameDelay) \
    X(0x43, FrameDelayLabelColor) \
    X(0x44, OutHorizFlipCk) \
    X(0x45, HorizFlipLabelColor) \
    X(0x46, OutVertFlipCk) \
    X(0x47, VertFlipLabelColor) \
    X(0x48, ProcLimitDisplay) \
    X(0x49, OutFrameDelay)

namespace tovikconfig {
namespace mardex {

constexpr std::uint32_t kParamIDBase = ConverterParamIDBase(15);
TOVIK_DECLARE_PARAM_IDS(TOVIK_MARDEX_PARAMS)

} // namespace mardex
} // namespace tovikconfig

#endif
