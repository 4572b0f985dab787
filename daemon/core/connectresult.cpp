#include "connectresult.h"

namespace ConnectResult {

namespace {

struct Row {
    quint32 status;
    bool fatal;
};

// Indexed by result + 23, for results -23 to 0.
const Row kRows[] = {
    {2, true},   // -23 wrong module
    {14, true},  // -22
    {5, true},   // -21 type support not installed
    {14, true},  // -20
    {14, true},  // -19
    {14, true},  // -18
    {14, true},  // -17
    {14, true},  // -16
    {14, true},  // -15
    {14, true},  // -14
    {14, true},  // -13
    {14, true},  // -12
    {14, true},  // -11
    {7, true},   // -10 timed out
    {8, false},  // -9 data config disabled
    {9, false},  // -8 bad FPGA version
    {6, true},   // -7 not connected
    {10, false}, // -6 no module information
    {11, false}, // -5 bad module type
    {12, false}, // -4 no module type
    {13, false}, // -3 bad read of module type id
    {4, true},   // -2 protocol mismatch
    {3, true},   // -1 unknown device
    {0, false},  // 0 connected
};

const int kLowest = -23;
const int kRowCount = int(sizeof kRows / sizeof kRows[0]);

const Row* Find(int result)
{
    if (result < kLowest || result > kLowest + kRowCount - 1)
        return nullptr;
    return &kRows[result - kLowest];
}

}

quint32 ConnectionStatusFor(int result)
{
    const Row* row = Find(result);
    return row ? row->status : kUnknownErrorStatus;
}

bool IsFatal(int result)
{
    const Row* row = Find(result);
    return row ? row->fatal : true;
}

}
