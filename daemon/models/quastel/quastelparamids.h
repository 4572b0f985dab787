// Parameter ids of the Quastel table (model number 20; the input interface word is Hdmi).
#ifndef TOVIKCONFIG_MODELS_QUASTELPARAMIDS_H
#define TOVIKCONFIG_MODELS_QUASTELPARAMIDS_H

#include "tovikconfig/models/roiscalerparamids.h"

// What the model adds to the ROI scaler parameters.
#define TOVIK_QUASTEL_OWN_PARAMS(X) \
    TOVIK_ROI_PROCESSING_PARAMS(X, 0)

#define TOVIK_QUASTEL_PARAMS(X) \
    TOVIK_ROI_SCALER_PARAMS(X) \
    TOVIK_ROI_INTERFACE_PARAMS(X, Hdmi, Hdmi) \
    TOVIK_QUASTEL_OWN_PARAMS(X)

namespace tovikconfig {
namespace quastel {

constexpr std::uint32_t kParamIDBase = ConverterParamIDBase(20);
TOVIK_DECLARE_PARAM_IDS(TOVIK_QUASTEL_PARAMS)

// The region a region-of-interest text describes.
enum RoiType_t : int { eRoiTypeInput = 0, eRoiTypeOutput = 1 };

} // namespace quastel
} // namespace tovikconfig

#endif
