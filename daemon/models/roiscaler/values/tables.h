// The tables the ROI scaler wrappers share: the SDI output formats, the
// genlock delay limits, the input-region selections with their device
// codes, and the names of the output fit modes. Every lookup is bounded:
// an index outside a table gives a defined "none".
#ifndef PORTVANE_ROISCALER_VALUES_TABLES_H
#define PORTVANE_ROISCALER_VALUES_TABLES_H

#include <QSize>

#include "blocksupport/rowlist.h"

namespace roiscaler {

// One SDI output format: the codes of the block's output video control
// (format in bits 6..4, rate in bits 3..0) and the output raster.
struct RasterFormat {
    int formatCode;
    int rateCode;
    int width;
    int height;
    const char* name;
};

// The 16 formats; the row index is the value of eParamID_OutRoiFormat.
RowList<RasterFormat> RasterFormats();
// The row of an index; null outside the table.
const RasterFormat* RasterFormatAt(int index);
// The first row with these codes; -1 when none has them.
int FindRasterFormat(int formatCode, int rateCode);

// The output raster of an output format code (bits 6..4 of the output
// video control); 1920 x 1080 for a code without a raster of its own.
QSize OutputRasterSize(int formatCode);
// Whether the output colour is BT.709: every format but the two
// standard-definition ones (codes 2 and 3).
bool IsHdOutputFormat(int formatCode);

// The largest genlock delays (samples per line - 1, lines - 1) of an output
// format; false, with both untouched, for a format without limits.
bool DelayLimits(int formatCode, int rateCode, int& hMax, int& vMax);

// A row of the selection lists: constraint kind (0 whole input, 1 free,
// 2 fixed aspect, 3 fixed size; -1 a separator) and the aspect or size.
struct ConstraintRow {
    int kind;
    int width;
    int height;
};

enum { kWholeInput = 0, kFreeSelection = 1, kFixedAspect = 2, kFixedSize = 3, kOutputSize = 4 };

// By input selection 0 to 4; by fixed-aspect index 0 to 3; by fixed-size
// index 0 to 4.
RowList<ConstraintRow> ConstraintKinds();
RowList<ConstraintRow> FixedAspects();
RowList<ConstraintRow> FixedSizes();
// The single list of the model that selects by one index: the three lists
// merged, with separators; rows 3 and 9 stand for the output raster.
RowList<ConstraintRow> ConstraintMenu();
// A list's row; null outside it.
const ConstraintRow* RowAt(RowList<ConstraintRow> list, int index);

// The input selection that a device code (bits 3..0 of the block's
// state-select register) stands for.
struct InputMode {
    unsigned selection;
    unsigned aspect;
    unsigned size;
};
InputMode DecodeInputMode(int code);
// The device code of a selection with its indices; 0 for anything the
// lists do not hold.
int InputModeCode(int selection, int aspectIndex, int sizeIndex);

// "Auto Scale", "Scale Aspect", "Full Screen", "No Scale", "Variable"; "-"
// for any other fit.
const char* FitName(int fit);

} // namespace roiscaler

#endif
