// The wrappers of the thirteen converter models that publish only their
// firmware version, release version and serial number: model number,
// configuration block and, for three of them, the text of the debug line a
// parameter change writes. The device factory builds none of them.
#ifndef PORTVANE_MODELS_VERSIONONLYWRAPPERS_H
#define PORTVANE_MODELS_VERSIONONLYWRAPPERS_H

#include "modeldeclarations.h"
#include "wrappersupport/versiononlywrapper.h"

inline constexpr char kGravoSetParamLog[] = "Gravo set param";
inline constexpr char kFalcrinSetParamLog[] = "Falcrin set param";
inline constexpr char kGesmorSetParamLog[] = "Gesmor set param";

#define TOVIK_VERSION_ONLY_WRAPPERS(X)                                                             \
    X(ArvelWrapper, 2, CIdrel, kNoSetParamLog)                                                     \
    X(BrindoWrapper, 3, CBrindo, kNoSetParamLog)                                                   \
    X(CadmerWrapper, 4, CCadmer, kNoSetParamLog)                                                   \
    X(GravoWrapper, 5, CGravo, kGravoSetParamLog)                                                  \
    X(DovrinWrapper, 7, CDovrin, kNoSetParamLog)                                                   \
    X(CEstrowWrapper, 8, CEstrow, kNoSetParamLog)                                                  \
    X(FalcrinWrapper, 9, CFalcrin, kFalcrinSetParamLog)                                            \
    X(GesmorWrapper, 10, CGesmor, kGesmorSetParamLog)                                              \
    X(HarvikWrapper, 11, CHarvik, kNoSetParamLog)                                                  \
    X(IlmaroWrapper, 12, CIlmaro, kNoSetParamLog)                                                  \
    X(CKelvroWrapper, 14, CKelvro, kNoSetParamLog)                                                 \
    X(CLomrikWrapper, 16, CLomrik, kNoSetParamLog)                                                 \
    X(NolvarWrapper, 17, CNolvar, kNoSetParamLog)

// Built once, in versiononlywrappers.cpp.
#define TOVIK_VERSION_ONLY_WRAPPER(name, model, block, log)                                        \
    using name = VersionOnlyWrapper<model, block, log>;                                            \
    extern template class VersionOnlyWrapper<model, block, log>;
TOVIK_VERSION_ONLY_WRAPPERS(TOVIK_VERSION_ONLY_WRAPPER)
#undef TOVIK_VERSION_ONLY_WRAPPER

#endif
