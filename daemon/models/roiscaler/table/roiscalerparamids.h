// Parameter ids the ROI scaler tables share (Hestra, Mardex, Pendro and
// Quastel): each model's list is made of these and its own.
#ifndef TOVIKCONFIG_MODELS_ROISCALERPARAMIDS_H
#define TOVIKCONFIG_MODELS_ROISCALERPARAMIDS_H

#include "tovikconfig/models/converterparamids.h"

// A model's list is these, TOVIK_ROI_INTERFACE_PARAMS with its words and
// the model's own (TOVIK_<MODEL>_OWN_PARAMS); the wrappers build their
// parameter names and each model's indices from the same lists.

// The same name under the same index in all four models.
#define TOVIK_ROI_SCALER_PARAMS(X) \
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
    X(0x25, ImageSdiOutFormat) \
    X(0x26, ImageSdiOutGenLock) \
    X(0x27, ImageSdiOutFit) \
    X(0x28, ImageSdiOutAudio) \
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
    X(0x39, GenDelayEnable)

// The parameters whose names hold the model's input interface word (WORD:
// Dvi, Dp or Hdmi) and its audio word (AUDIO). With both words left empty
// the names are the wrappers' (ImageInEnabled, InConnected, AudConversion).
#define TOVIK_ROI_INTERFACE_PARAMS(X, WORD, AUDIO) \
    X(0x1f, Aud##AUDIO##Conversion) \
    X(0x20, Image##WORD##InEnabled) \
    X(0x21, Image##WORD##InSize) \
    X(0x22, Image##WORD##InRoi) \
    X(0x23, Image##WORD##InAudio) \
    X(0x24, Image##WORD##OutEnabled) \
    X(0x29, WORD##InConnected) \
    X(0x2a, WORD##OutConnected)

// EDID flow-through and the monitor's name (Mardex).
#define TOVIK_ROI_EDID_PARAMS(X) \
    X(0x3a, EDIDFlowThru) \
    X(0x3b, EDIDNameStr)

// Rotation, frame delay and flips of Mardex, Pendro and Quastel: from
// 0x3a on Pendro and Quastel, two higher on Mardex (SHIFT 2).
#define TOVIK_ROI_PROCESSING_PARAMS(X, SHIFT) \
    X(0x3a + (SHIFT), CfgInFixedAspectMode) \
    X(0x3b + (SHIFT), CfgInFixedSizeMode) \
    X(0x3c + (SHIFT), CfgOutRotation) \
    X(0x3d + (SHIFT), RotationStatusStr) \
    X(0x3e + (SHIFT), RotationStatusColor) \
    X(0x3f + (SHIFT), OutFrameDelayCk) \
    X(0x40 + (SHIFT), ImageOutFrameDelay) \
    X(0x41 + (SHIFT), FrameDelayLabelColor) \
    X(0x42 + (SHIFT), OutHorizFlipCk) \
    X(0x43 + (SHIFT), HorizFlipLabelColor) \
    X(0x44 + (SHIFT), OutVertFlipCk) \
    X(0x45 + (SHIFT), VertFlipLabelColor) \
    X(0x46 + (SHIFT), ProcLimitDisplay) \
    X(0x47 + (SHIFT), OutFrameDelay)

#endif
