// The status fields of the audio embedder models, Kelvro and Lomrik: their
// blocks declare them first and decode them alike, from status bytes 3 to 6
// and 11 to 16.
#ifndef PORTVANE_MODELS_EMBEDDERSTATUS_H
#define PORTVANE_MODELS_EMBEDDERSTATUS_H

#include "blocksupport/registerblock.h"

// int, but the bools named BitN with N other than 4 and 3 of byte 5, and
// the UByte bytes and nibbles.
struct EmbedderStatusField {
    enum : int {
        _status3Bit7,
        _status3Bits6to4,
        _status3Bits3to0,
        _status4Byte,
        _status5Bit4,
        _status5Bit3,
        _status11Bits7to4,
        _status11Bits3to0,
        _status12Bits7to4,
        _status12Bits3to0,
        _status13Bit7,
        _status13Bits6to4,
        _status13Bits3to0,
        _status6Bits1to0,
        _status14Bit3,
        _status14Bit2,
        _status14Bit7,
        _status15Bit7,
        _status16Bit5,
        _status15Bits6to4,
        _status15Bits3to0,
        kCount
    };
};

// The status fields' rows, for the front of the models' field tables.
inline constexpr FieldDef kEmbedderStatusFields[] = {
    StatusField(FieldType::Bool), // _status3Bit7
    StatusField(),      // _status3Bits6to4
    StatusField(),      // _status3Bits3to0
    StatusField(FieldType::Byte), // _status4Byte
    StatusField(),      // _status5Bit4
    StatusField(),      // _status5Bit3
    StatusField(FieldType::Byte), // _status11Bits7to4
    StatusField(FieldType::Byte), // _status11Bits3to0
    StatusField(FieldType::Byte), // _status12Bits7to4
    StatusField(FieldType::Byte), // _status12Bits3to0
    StatusField(FieldType::Bool), // _status13Bit7
    StatusField(),      // _status13Bits6to4
    StatusField(),      // _status13Bits3to0
    StatusField(),      // _status6Bits1to0
    StatusField(FieldType::Bool), // _status14Bit3
    StatusField(FieldType::Bool), // _status14Bit2
    StatusField(FieldType::Bool), // _status14Bit7
    StatusField(FieldType::Bool), // _status15Bit7
    StatusField(FieldType::Bool), // _status16Bit5
    StatusField(),      // _status15Bits6to4
    StatusField(),      // _status15Bits3to0
};
static_assert(sizeof(kEmbedderStatusFields) / sizeof(kEmbedderStatusFields[0]) == EmbedderStatusField::kCount,
              "one row per status field");

// Where they come from.
extern const FieldMap kEmbedderStatus;

#endif
