#include "common/fieldparams.h"

ULWord ParamOfField(RowList<FieldParam> table, int field)
{
    for (const FieldParam& row : table)
        if (row.field == field)
            return row.param;
    return 0;
}

int FieldOfParam(RowList<FieldParam> table, ULWord param)
{
    for (const FieldParam& row : table)
        if (row.param == param)
            return row.field;
    return -1;
}
