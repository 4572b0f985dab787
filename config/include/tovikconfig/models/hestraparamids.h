// Parameter ids of the Hestra table (model number 6; the input interface word is Dvi).
#ifndef TOVIKCONFIG_MODELS_HESTRAPARAMIDS_H
#define TOVIKCONFIG_MODELS_HESTRAPARAMIDS_H

#include "tovikconfig/models/roiscalerparamids.h"

#define TOVIK_HESTRA_PARAMS(X) \
    TOVIK_ROI_SCALER_PARAMS(X) \
    X(0x1f, AudHdmiConversion) \
    X(0x20, ImageDviInEnabled) \
    X(0x21, ImageDviInSize) \
    X(0x22, ImageDviInRoi) \
    X(0x23, ImageDviInAudio) \
    X(0x24, ImageDviOutEnabled) \
    X(0x29, DviInConnected) \
    X(0x2a, DviOutConnected)

namespace tovikconfig {
namespace hestra {

constexpr std::uint32_t kParamIDBase = ConverterParamIDBase(6);
TOVIK_DECLARE_PARAM_IDS(TOVIK_HESTRA_PARAMS)

// The region a region-of-interest text describes.
enum RoiType_t : int { eRoiTypeInput = 0, eRoiTypeOutput = 1 };

} // namespace hestra
} // namespace tovikconfig

#endif
