// How the Jastel converter's settings parameters (ids base | 4 to base |
// 0x1C) meet its configuration block: the whole map between the store and
// the block, in id order.
#ifndef PORTVANE_MODELS_JASTELPARAMS_H
#define PORTVANE_MODELS_JASTELPARAMS_H

#include <QtGlobal>

#include "blocksupport/rowlist.h"

struct JastelParam {
    enum Binding {
        Field,       // one block field, as an unsigned number
        AudioSource, // the SDI source and channel source fields as one code
        AudioOffset, // the 8-bit delay field; set from the low 8 bits
        SlotName,    // a LUT sector's table name; setting it uploads a file
    };
    quint32 id;
    Binding binding;
    int field;  // JastelField number of Field and AudioOffset rows
    int sector; // LUT sector of SlotName rows
};

RowList<JastelParam> JastelParams();
// The row of a settings id; null for every other id.
const JastelParam* FindJastelParam(quint32 id);

#endif
