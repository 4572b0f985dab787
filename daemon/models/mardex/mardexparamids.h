// Parameter ids of the Mardex table (model number 15; the input interface word is Dp).
#ifndef TOVIKCONFIG_MODELS_MARDEXPARAMIDS_H
#define TOVIKCONFIG_MODELS_MARDEXPARAMIDS_H

#include "tovikconfig/models/roiscalerparamids.h"

// What the model adds to the ROI scaler parameters.
#define TOVIK_MARDEX_OWN_PARAMS(X) \
    TOVIK_ROI_EDID_PARAMS(X) \
    TOVIK_ROI_PROCESSING_PARAMS(X, 2)

#define TOVIK_MARDEX_PARAMS(X) \
    TOVIK_ROI_SCALER_PARAMS(X) \
    TOVIK_ROI_INTERFACE_PARAMS(X, Dp, Dp) \
    TOVIK_MARDEX_OWN_PARAMS(X)

namespace tovikconfig {
namespace mardex {

constexpr std::uint32_t kParamIDBase = ConverterParamIDBase(15);
TOVIK_DECLARE_PARAM_IDS(TOVIK_MARDEX_PARAMS)

// The region a region-of-interest text describes.
enum RoiType_t : int { eRoiTypeInput = 0, eRoiTypeOutput = 1 };

} // namespace mardex
} // namespace tovikconfig

#endif
