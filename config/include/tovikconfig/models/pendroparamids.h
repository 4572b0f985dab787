// Parameter ids of the Pendro table (model number 19; the input interface
// word is Dvi). Its base alone does not follow the converter rule.
#ifndef TOVIKCONFIG_MODELS_PENDROPARAMIDS_H
#define TOVIKCONFIG_MODELS_PENDROPARAMIDS_H

#include "tovikconfig/models/roiscalerparamids.h"

#define TOVIK_PENDRO_PARAMS(X) \
    TOVIK_ROI_SCALER_PARAMS(X) \
    X(0x1f, AudHdmiConversion) \
    X(0x20, ImageDviInEnabled) \
    X(0x21, ImageDviInSize) \
    X(0x22, ImageDviInRoi) \
    X(0x23, ImageDviInAudio) \
    X(0x24, ImageDviOutEnabled) \
    X(0x29, DviInConnected) \
    X(0x2a, DviOutConnected) \
    TOVIK_ROI_PROCESSING_PARAMS(X, 0)

namespace tovikconfig {
namespace pendro {

constexpr std::uint32_t kParamIDBase = 0x00111000;
TOVIK_DECLARE_PARAM_IDS(TOVIK_PENDRO_PARAMS)

// The region a region-of-interest text describes.
enum RoiType_t : int { eRoiTypeInput = 0, eRoiTypeOutput = 1 };

} // namespace pendro
} // namespace tovikconfig

#endif
