// Parameter ids of the Pendro table (model number 19; the input interface
// word is Dvi). Its base alone does not follow the converter rule.
#ifndef TOVIKCONFIG_MODELS_PENDROPARAMIDS_H
#define TOVIKCONFIG_MODELS_PENDROPARAMIDS_H

#include "tovikconfig/models/roiscalerparamids.h"

// What the model adds to the ROI scaler parameters.
#define TOVIK_PENDRO_OWN_PARAMS(X) \
    TOVIK_ROI_PROCESSING_PARAMS(X, 0)

#define TOVIK_PENDRO_PARAMS(X) \
    TOVIK_ROI_SCALER_PARAMS(X) \
    TOVIK_ROI_INTERFACE_PARAMS(X, Dvi, Hdmi) \
    TOVIK_PENDRO_OWN_PARAMS(X)

namespace tovikconfig {
namespace pendro {

constexpr std::uint32_t kParamIDBase = 0x00111000;
TOVIK_DECLARE_PARAM_IDS(TOVIK_PENDRO_PARAMS)

// The region a region-of-interest text describes.
enum RoiType_t : int { eRoiTypeInput = 0, eRoiTypeOutput = 1 };

} // namespace pendro
} // namespace tovikconfig

#endif
