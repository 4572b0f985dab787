// Which parameter a field of a model's block is published as: a static
// table per model, walked both ways.
#ifndef PORTVANE_MODELS_FIELDPARAMS_H
#define PORTVANE_MODELS_FIELDPARAMS_H

#include "common/rowlist.h"
#include "tovikconfig/paramtypes.h"

struct FieldParam {
    int field;
    ULWord param;
};

// The parameter of a field; 0 when the table has none for it.
ULWord ParamOfField(RowList<FieldParam> table, int field);
// The field of a parameter; -1 when the table has none for it.
int FieldOfParam(RowList<FieldParam> table, ULWord param);

#endif
