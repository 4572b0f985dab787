// The unsigned integer types of bytes, words and long words: the converter
// link's bytes and registers, and the parameter types' (paramtypes.h).
#ifndef TOVIKCONFIG_BYTETYPES_H
#define TOVIKCONFIG_BYTETYPES_H

#include <cstdint>

typedef std::uint8_t UByte;
typedef std::uint16_t UWord;
typedef std::uint32_t ULWord;

#endif
