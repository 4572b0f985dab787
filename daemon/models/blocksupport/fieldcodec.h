// A register image as named fields. A field is an int indexed by its
// number in the block; a table of FieldBits rows says where its bits sit.
// A field wider than one byte, or split over bytes, has one row per run:
//   12-bit width in byte 0 and the high nibble of byte 1:
//     {kWidth, 0, 0, 8, 0}, {kWidth, 1, 4, 4, 8}
// A run may serve packing or unpacking only, where a model reads bits it
// does not write (a whole register read into a field that writes part of it).
// A field whose bits hold a code rather than the value names its code in a
// FieldCode row: packing writes the code of the value, unpacking turns the
// code read back into a value.
#ifndef PORTVANE_MODELS_FIELDCODEC_H
#define PORTVANE_MODELS_FIELDCODEC_H

#include <cstddef>
#include <string>

#include "blocksupport/rowlist.h"
#include "base/bytetypes.h"

enum class RunUse : unsigned char { Both, Pack, Unpack };

// One run of a field's bits: `width` bits of the value, from value bit
// `valueBit` up, sit in image byte `offset` from bit `shift` up.
struct FieldBits {
    int field;
    UWord offset;
    UByte shift;
    UByte width;
    UByte valueBit = 0;
    RunUse use = RunUse::Both;
};

// The code of a field. Packing: value v gives encode[v], a value outside
// the table gives `other`; no encode rows pack the value itself.
// Unpacking: code c (the bits the field's runs read) gives decode[c], a
// code outside the table 0; no decode rows leave the code as the value.
struct FieldCode {
    int field;
    RowList<int> encode;
    int other;
    RowList<int> decode;
};

struct FieldMap {
    RowList<FieldBits> bits;
    RowList<FieldCode> codes = NoRows<FieldCode>();
};

// The image byte at offset, from every packing run that lands there. A
// value is cut to its run's width, so it never reaches bits another field
// owns; bits no run covers are 0.
UByte PackByte(const FieldMap& map, const int* values, std::size_t valueCount, std::size_t offset);

// Every byte of an image of length bytes.
void PackImage(const FieldMap& map, const int* values, std::size_t valueCount, UByte* image,
               std::size_t length);

// Sets every field the unpacking runs name from their bits (other bits 0),
// then decodes the coded ones; fields no unpacking run names keep their
// values. Runs past the image read as 0.
void UnpackImage(const FieldMap& map, const UByte* image, std::size_t length, int* values,
                 std::size_t valueCount);

// The bytes an image needs for every unpacking run to fall inside it.
std::size_t UnpackSpan(const FieldMap& map);

// Empty when every row names a field below fieldCount and a run of 1 to 8
// bits inside a byte of the image; otherwise what is wrong with the first
// row that is not.
std::string CheckFieldMap(const FieldMap& map, std::size_t fieldCount, std::size_t length);

#endif
