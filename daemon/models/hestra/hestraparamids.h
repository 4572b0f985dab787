// Parameter ids of the Hestra table (model number 6; the input interface word is Dvi).
#ifndef TOVIKCONFIG_MODELS_HESTRAPARAMIDS_H
#define TOVIKCONFIG_MODELS_HESTRAPARAMIDS_H

#include "tovikconfig/models/roiscalerparamids.h"

// What the model adds to the ROI scaler parameters.
#define TOVIK_HESTRA_OWN_PARAMS(X)

#define TOVIK_HESTRA_PARAMS(X) \
    TOVIK_ROI_SCALER_PARAMS(X) \
    TOVIK_ROI_INTERFACE_PARAMS(X, Dvi, Hdmi) \
    TOVIK_HESTRA_OWN_PARAMS(X)

namespace tovikconfig {
namespace hestra {

constexpr std::uint32_t kParamIDBase = ConverterParamIDBase(6);
TOVIK_DECLARE_PARAM_IDS(TOVIK_HESTRA_PARAMS)

// The region a region-of-interest text describes.
enum RoiType_t : int { eRoiTypeInput = 0, eRoiTypeOutput = 1 };

} // namespace hestra
} // namespace tovikconfig

#endif
