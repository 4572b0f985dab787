// Parameter ids of the thirteen models whose tables hold only the
// identity strings: the FPGA version, release version and serial number.
#ifndef TOVIKCONFIG_MODELS_VERSIONONLYPARAMIDS_H
#define TOVIKCONFIG_MODELS_VERSIONONLYPARAMIDS_H

#include "tovikconfig/models/converterparamids.h"

namespace tovikconfig {

namespace arvel {
constexpr std::uint32_t kParamIDBase = ConverterParamIDBase(2);
TOVIK_DECLARE_PARAM_IDS(TOVIK_IDENTITY_PARAMS)
}
namespace brindo {
constexpr std::uint32_t kParamIDBase = ConverterParamIDBase(3);
TOVIK_DECLARE_PARAM_IDS(TOVIK_IDENTITY_PARAMS)
}
namespace cadmer {
constexpr std::uint32_t kParamIDBase = ConverterParamIDBase(4);
TOVIK_DECLARE_PARAM_IDS(TOVIK_IDENTITY_PARAMS)
}
namespace gravo {
constexpr std::uint32_t kParamIDBase = ConverterParamIDBase(5);
TOVIK_DECLARE_PARAM_IDS(TOVIK_IDENTITY_PARAMS)
}
namespace dovrin {
constexpr std::uint32_t kParamIDBase = ConverterParamIDBase(7);
TOVIK_DECLARE_PARAM_IDS(TOVIK_IDENTITY_PARAMS)
}
namespace cestrow {
constexpr std::uint32_t kParamIDBase = ConverterParamIDBase(8);
TOVIK_DECLARE_PARAM_IDS(TOVIK_IDENTITY_PARAMS)
}
namespace falcrin {
constexpr std::uint32_t kParamIDBase = ConverterParamIDBase(9);
TOVIK_DECLARE_PARAM_IDS(TOVIK_IDENTITY_PARAMS)
}
namespace gesmor {
constexpr std::uint32_t kParamIDBase = ConverterParamIDBase(10);
TOVIK_DECLARE_PARAM_IDS(TOVIK_IDENTITY_PARAMS)
}
namespace harvik {
constexpr std::uint32_t kParamIDBase = ConverterParamIDBase(11);
TOVIK_DECLARE_PARAM_IDS(TOVIK_IDENTITY_PARAMS)
}
namespace ilmaro {
constexpr std::uint32_t kParamIDBase = ConverterParamIDBase(12);
TOVIK_DECLARE_PARAM_IDS(TOVIK_IDENTITY_PARAMS)
}
namespace ckelvro {
constexpr std::uint32_t kParamIDBase = ConverterParamIDBase(14);
TOVIK_DECLARE_PARAM_IDS(TOVIK_IDENTITY_PARAMS)
}
namespace clomrik {
constexpr std::uint32_t kParamIDBase = ConverterParamIDBase(16);
TOVIK_DECLARE_PARAM_IDS(TOVIK_IDENTITY_PARAMS)
}
namespace nolvar {
constexpr std::uint32_t kParamIDBase = ConverterParamIDBase(17);
TOVIK_DECLARE_PARAM_IDS(TOVIK_IDENTITY_PARAMS)
}

} // namespace tovikconfig

#endif
