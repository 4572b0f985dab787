// The unsigned integer types of the converter link's bytes and registers:
// one definition with the parameter types', in a header that includes only
// <cstdint>, so the link sees nothing else of the parameter libraries.
#ifndef PORTVANE_BYTETYPES_H
#define PORTVANE_BYTETYPES_H

#include "tovikconfig/bytetypes.h"

#endif
