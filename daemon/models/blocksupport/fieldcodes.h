// Code tables the models share, and rows that name them.
#ifndef PORTVANE_MODELS_FIELDCODES_H
#define PORTVANE_MODELS_FIELDCODES_H

#include "blocksupport/fieldcodec.h"

namespace fieldcodes {

// A low code: bits 3..0 when they are 1 to 8, else 0.
inline constexpr int kLowCode[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 0, 0, 0, 0, 0, 0, 0};
// 0 -> 1, 1 -> 2, 2 -> 3, 3 -> 4.
inline constexpr int kPlusOne[] = {1, 2, 3, 4};
// 0 -> 1, 1 -> 2, 2 -> 3, 3 -> 0.
inline constexpr int kNextOfFour[] = {1, 2, 3, 0};
// A bit that reads and writes inverted.
inline constexpr int kInverted[] = {1, 0};

} // namespace fieldcodes

// A field read through a table (codes past it read as 0), written as is.
constexpr FieldCode Decoded(int field, RowList<int> decode)
{
    return FieldCode{field, NoRows<int>(), 0, decode};
}

// A field written through a table (values past it write `other`) and read
// back through another.
constexpr FieldCode Coded(int field, RowList<int> encode, int other, RowList<int> decode)
{
    return FieldCode{field, encode, other, decode};
}

#endif
