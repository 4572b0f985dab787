// Parameter ids of the Quastel table (model number 20; the input interface word is Hdmi).
#ifndef TOVIKCONFIG_MODELS_QUASTELPARAMIDS_H
#define TOVIKCONFIG_MODELS_QUASTELPARAMIDS_H

#include "tovikconfig/models/roiscalerparamids.h"

#define TOVIK_QUASTEL_PARAMS(X) \
    TOVIK_ROI_SCALER_PARAMS(X) \
    X(0x1f, AudHdmiConversion) \
    X(0x20, ImageHdmiInEnabled) \
    X(0x21, ImageHdmiInSize) \
    X(0x22, ImageHdmiInRoi) \
    X(0x23, ImageHdmiInAudio) \
    X(0x24, ImageHdmiOutEnabled) \
    X(0x29, HdmiInConnected) \
    X(0x2a, HdmiOutConnected) \
    TOVIK_ROI_PROCESSING_PARAMS(X, 0)

namespace tovikconfig {
namespace quastel {

constexpr std::uint32_t kParamIDBase = ConverterParamIDBase(20);
TOVIK_DECLARE_PARAM_IDS(TOVIK_QUASTEL_PARAMS)

// The region a region-of-interest text describes.
enum RoiType_t : int { eRoiTypeInput = 0, eRoiTypeOutput = 1 };

} // namespace quastel
} // namespace tovikconfig

#endif
