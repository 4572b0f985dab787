#include "versiononlywrappers.h"

#define TOVIK_VERSION_ONLY_WRAPPER(name, model, block, log) template class VersionOnlyWrapper<model, block, log>;
TOVIK_VERSION_ONLY_WRAPPERS(TOVIK_VERSION_ONLY_WRAPPER)
#undef TOVIK_VERSION_ONLY_WRAPPER
