// The unsigned integer types of the converter link's bytes and registers.
#ifndef PORTVANE_BYTETYPES_H
#define PORTVANE_BYTETYPES_H

#include <cstdint>

typedef std::uint8_t UByte;
typedef std::uint16_t UWord;
typedef std::uint32_t ULWord;

#endif
