// A register image as named fields. A field is an int indexed by its
// number in the block; a table of FieldBits rows says where its bits sit.
// A field wider than one byte, or split over bytes, has one row per run:
//   12-bit width in byte 0 and the high nibble of byte 1:
//     {kWidth, 0, 0, 8, 0}, {kWidth, 1, 4, 4, 8}
#ifndef PORTVANE_MODELS_FIELDCODEC_H
#define PORTVANE_MODELS_FIELDCODEC_H

#include <cstddef>
#include <string>

#include "common/rowlist.h"
#include "tovikconfig/paramtypes.h"

// One run of a field's bits: `width` bits of the value, from value bit
// `valueBit` up, sit in image byte `offset` from bit `shift` up.
struct FieldBits {
    int field;
    UWord offset;
    UByte shift;
    UByte width;
    UByte valueBit;
};

// The image byte at offset, from every run that lands there. A value is
// cut to its run's width, so it never reaches bits another field owns;
// bits no run covers are 0.
UByte PackByte(RowList<FieldBits> bits, const int* values, std::size_t valueCount, std::size_t offset);

// Every byte of an image of length bytes.
void PackImage(RowList<FieldBits> bits, const int* values, std::size_t valueCount, UByte* image,
               std::size_t length);

// Sets every field the rows name from its runs' bits (other bits 0); fields
// no row names keep their values. Runs past the image read as 0.
void UnpackImage(RowList<FieldBits> bits, const UByte* image, std::size_t length, int* values,
                 std::size_t valueCount);

// Empty when every row names a field below fieldCount and a run of 1 to 8
// bits inside a byte of the image; otherwise what is wrong with the first
// row that is not.
std::string CheckFieldBits(RowList<FieldBits> bits, std::size_t fieldCount, std::size_t length);

#endif
