// Parameter ids of the converter models' own tables. A model's header
// lists its parameters once, as X(index, name); the list declares
// eParamID_<name> = the model's id base | index, and kParamIDNames, every
// id with its id name "eParamID_<name>".
#ifndef TOVIKCONFIG_MODELS_CONVERTERPARAMIDS_H
#define TOVIKCONFIG_MODELS_CONVERTERPARAMIDS_H

#include <cstdint>

#include "tovikconfig/boxparamids.h"
#include "tovikconfig/tovikconfig.h"

namespace tovikconfig {

// The id base of a converter model: 0x01000000 | ((model number - 2) << 16).
// The Pendro table alone has a base of its own.
constexpr std::uint32_t ConverterParamIDBase(ViveRode_t model)
{
    return 0x01000000u | ((model - 2u) << 16);
}

constexpr eParam_t ConverterParamID(ViveRode_t model, std::uint32_t index)
{
    return ParamID(ConverterParamIDBase(model) | index);
}

// Indices 1 to 3 are the converter's identity strings in every model.
constexpr std::uint32_t kFpgaVersionIndex = 0x01;
constexpr std::uint32_t kReleaseVersionIndex = 0x02;
constexpr std::uint32_t kSerialNumberIndex = 0x03;

struct ParamIDName {
    eParam_t id;
    const char* name;
};

} // namespace tovikconfig

#define TOVIK_IDENTITY_PARAMS(X)                                                                   \
    X(::tovikconfig::kFpgaVersionIndex, FpgaVersion)                                               \
    X(::tovikconfig::kReleaseVersionIndex, DuviRuravodIvoduri)                                     \
    X(::tovikconfig::kSerialNumberIndex, VoruZevezoZerazi)

#define TOVIK_DECLARE_PARAM_ID(index, name)                                                        \
    constexpr ::eParam_t eParamID_##name = ::tovikconfig::ParamID(kParamIDBase | (index));
#define TOVIK_PARAM_ID_NAME(index, name) ::tovikconfig::ParamIDName{eParamID_##name, "eParamID_" #name},

// Inside a model's namespace, after its kParamIDBase.
#define TOVIK_DECLARE_PARAM_IDS(LIST)                                                              \
    LIST(TOVIK_DECLARE_PARAM_ID)                                                                   \
    constexpr ::tovikconfig::ParamIDName kParamIDNames[] = {LIST(TOVIK_PARAM_ID_NAME)};

#endif
