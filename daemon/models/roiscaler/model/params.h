// The ROI scaler parameters by name, as the four model tables list them
// (tovikconfig/models/roiscalerparamids.h): one name per parameter, the
// interface parameters under the names they have without the model's word
// (ImageInEnabled for ImageDpInEnabled). A model's indices come from its
// own list; the wrappers never type an index.
#ifndef PORTVANE_ROISCALER_MODEL_PARAMS_H
#define PORTVANE_ROISCALER_MODEL_PARAMS_H

#include <array>
#include <cstddef>

#include <QtGlobal>

#include "tovikconfig/models/roiscalerparamids.h"

namespace roiscaler {

#define ROISCALER_PARAM_NAME(index, name) name,
enum class Param : int {
    TOVIK_ROI_SCALER_PARAMS(ROISCALER_PARAM_NAME)
    TOVIK_ROI_INTERFACE_PARAMS(ROISCALER_PARAM_NAME, , )
    TOVIK_ROI_EDID_PARAMS(ROISCALER_PARAM_NAME)
    TOVIK_ROI_PROCESSING_PARAMS(ROISCALER_PARAM_NAME, 0)
    kCount
};
#undef ROISCALER_PARAM_NAME

constexpr std::size_t kParamCount = std::size_t(Param::kCount);

// A model's index of every parameter; 0 where the model lacks it.
typedef std::array<quint8, kParamCount> ParamIndices;

// The indices of a model whose list adds OWN (its TOVIK_<MODEL>_OWN_PARAMS)
// to the shared and interface parameters.
#define ROISCALER_SET_INDEX(index, name) indices[std::size_t(::roiscaler::Param::name)] = quint8(index);
#define ROISCALER_MODEL_INDICES(OWN)                                                                   \
    [] {                                                                                               \
        ::roiscaler::ParamIndices indices{};                                                           \
        TOVIK_ROI_SCALER_PARAMS(ROISCALER_SET_INDEX)                                                   \
        TOVIK_ROI_INTERFACE_PARAMS(ROISCALER_SET_INDEX, , )                                            \
        OWN(ROISCALER_SET_INDEX)                                                                       \
        return indices;                                                                                \
    }()

// The parameter's name without the interface word ("ImageInEnabled").
const char* ParamName(Param p);

} // namespace roiscaler

#endif
