// Parameter ids of the Mardex table (model number 15; the input interface word is Dp).
#ifndef TOVIKCONFIG_MODELS_MARDEXPARAMIDS_H
#define TOVIKCONFIG_MODELS_MARDEXPARAMIDS_H

#include "tovikconfig/models/roiscalerparamids.h"

#define TOVIK_MARDEX_PARAMS(X) \
    TOVIK_ROI_SCALER_PARAMS(X) \
    X(0x1f, AudDpConversion) \
    X(0x20, ImageDpInEnabled) \
    X(0x21, ImageDpInSize) \
    X(0x22, ImageDpInRoi) \
    X(0x23, ImageDpInAudio) \
    X(0x24, ImageDpOutEnabled) \
    X(0x29, DpInConnected) \
    X(0x2a, DpOutConnected) \
    X(0x3a, EDIDFlowThru) \
    X(0x3b, EDIDNameStr) \
    TOVIK_ROI_PROCESSING_PARAMS(X, 2)

namespace tovikconfig {
namespace mardex {

constexpr std::uint32_t kParamIDBase = ConverterParamIDBase(15);
TOVIK_DECLARE_PARAM_IDS(TOVIK_MARDEX_PARAMS)

// The region a region-of-interest text describes.
enum RoiType_t : int { eRoiTypeInput = 0, eRoiTypeOutput = 1 };

} // namespace mardex
} // namespace tovikconfig

#endif
