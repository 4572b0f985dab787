#include "roiscaler/values/tables.h"

namespace roiscaler {

namespace {

const RasterFormat kRasterFormats[] = {
    {2, 4, 720, 486, "525i29.97"},
    {3, 5, 720, 576, "625i25"},
    {1, 8, 1280, 720, "720p50"},
    {1, 2, 1280, 720, "720p59.94"},
    {1, 1, 1280, 720, "720p60"},
    {0, 5, 1920, 1080, "1080i25"},
    {0, 4, 1920, 1080, "1080i29.97"},
    {0, 3, 1920, 1080, "1080i30"},
    {4, 7, 1920, 1080, "1080p23.98"},
    {4, 6, 1920, 1080, "1080p24"},
    {4, 5, 1920, 1080, "1080p25"},
    {4, 4, 1920, 1080, "1080p29.97"},
    {4, 3, 1920, 1080, "1080p30"},
    {4, 8, 1920, 1080, "1080p50 3G"},
    {4, 2, 1920, 1080, "1080p59.94 3G"},
    {4, 1, 1920, 1080, "1080p60 3G"},
};

// Samples per line - 1 and lines - 1 of the rasters with genlock limits.
struct DelayLimitRow {
    int formatCode;
    unsigned rateMask; // bit r set: rate code r
    int hMax;
    int vMax;
};

constexpr unsigned Rates(std::initializer_list<int> rates)
{
    unsigned mask = 0;
    for (int r : rates)
        mask |= 1u << r;
    return mask;
}

const DelayLimitRow kDelayLimits[] = {
    {0, Rates({3, 4}), 2199, 1124},
    {0, Rates({5}), 2639, 1124},
    {1, Rates({1, 2}), 1649, 749},
    {1, Rates({8}), 1979, 749},
    {2, Rates({4}), 857, 524},
    {3, Rates({5}), 863, 624},
    {4, Rates({1, 2, 3, 4}), 2199, 1124},
    {4, Rates({5, 8}), 2639, 1124},
    {4, Rates({6, 7}), 2749, 1124},
};

const ConstraintRow kSeparator = {-1, -1, -1};

const ConstraintRow kConstraintKinds[] = {
    {kWholeInput, 1920, 1080}, {kFreeSelection, 1920, 1080}, {kFixedAspect, 1920, 1080},
    {kFixedSize, 1920, 1080},  {kFixedSize, 1920, 1080},
};

const ConstraintRow kFixedAspects[] = {
    {kFixedAspect, 720, 480}, {kFixedAspect, 1920, 1080}, {kFixedAspect, 320, 480}, {kFixedAspect, 607, 1080},
};

const ConstraintRow kFixedSizes[] = {
    {kFixedSize, 720, 480}, {kFixedSize, 720, 486}, {kFixedSize, 720, 576}, {kFixedSize, 1280, 720},
    {kFixedSize, 1920, 1080},
};

const ConstraintRow kConstraintMenu[] = {
    {kWholeInput, 1920, 1080},   {kFreeSelection, 1920, 1080}, kSeparator,
    {kFixedAspect, 1920, 1080},  {kFixedAspect, 720, 480},     {kFixedAspect, 720, 486},
    {kFixedAspect, 720, 576},    {kFixedAspect, 1920, 1080},   kSeparator,
    {kFixedSize, 1920, 1080},    {kFixedSize, 720, 480},       {kFixedSize, 720, 486},
    {kFixedSize, 720, 576},      {kFixedSize, 1280, 720},      {kFixedSize, 1920, 1080},
};

// Device code 0 to 15 to the selection it stands for.
const InputMode kInputModes[16] = {
    {kWholeInput, 0, 0},  {kFreeSelection, 0, 0}, {kFixedAspect, 2, 0}, {kOutputSize, 0, 0},
    {kFixedAspect, 0, 0}, {kFixedAspect, 0, 0},   {kFixedAspect, 0, 0}, {kFixedAspect, 1, 0},
    {kFixedAspect, 3, 0}, {kOutputSize, 0, 0},    {kFixedSize, 0, 0},   {kFixedSize, 0, 1},
    {kFixedSize, 0, 2},   {kFixedSize, 0, 3},     {kFixedSize, 0, 4},   {kWholeInput, 0, 0},
};

// Device codes of the fixed aspects, by index.
const int kAspectCodes[] = {4, 7, 2, 8};
const int kFirstSizeCode = 10;

const char* const kFitNames[] = {"Auto Scale", "Scale Aspect", "Full Screen", "No Scale", "Variable"};

} // namespace

RowList<RasterFormat> RasterFormats()
{
    return RowsOf(kRasterFormats);
}

const RasterFormat* RasterFormatAt(int index)
{
    if (index < 0 || std::size_t(index) >= RasterFormats().size)
        return nullptr;
    return &kRasterFormats[index];
}

int FindRasterFormat(int formatCode, int rateCode)
{
    int index = 0;
    for (const RasterFormat& row : RasterFormats()) {
        if (row.formatCode == formatCode && row.rateCode == rateCode)
            return index;
        ++index;
    }
    return -1;
}

QSize OutputRasterSize(int formatCode)
{
    switch (formatCode) {
    case 1:
        return QSize(1280, 720);
    case 2:
        return QSize(720, 486);
    case 3:
        return QSize(720, 576);
    case 5:
        return QSize(2048, 1080);
    default:
        return QSize(1920, 1080);
    }
}

bool IsHdOutputFormat(int formatCode)
{
    return formatCode != 2 && formatCode != 3;
}

bool DelayLimits(int formatCode, int rateCode, int& hMax, int& vMax)
{
    if (rateCode < 0 || rateCode > 31)
        return false;
    for (const DelayLimitRow& row : kDelayLimits) {
        if (row.formatCode == formatCode && (row.rateMask & (1u << rateCode))) {
            hMax = row.hMax;
            vMax = row.vMax;
            return true;
        }
    }
    return false;
}

RowList<ConstraintRow> ConstraintKinds()
{
    return RowsOf(kConstraintKinds);
}

RowList<ConstraintRow> FixedAspects()
{
    return RowsOf(kFixedAspects);
}

RowList<ConstraintRow> FixedSizes()
{
    return RowsOf(kFixedSizes);
}

RowList<ConstraintRow> ConstraintMenu()
{
    return RowsOf(kConstraintMenu);
}

const ConstraintRow* RowAt(RowList<ConstraintRow> list, int index)
{
    if (index < 0 || std::size_t(index) >= list.size)
        return nullptr;
    return list.data + index;
}

InputMode DecodeInputMode(int code)
{
    return kInputModes[code & 0x0F];
}

int InputModeCode(int selection, int aspectIndex, int sizeIndex)
{
    switch (selection) {
    case kWholeInput:
        return 0;
    case kFreeSelection:
        return 1;
    case kFixedAspect:
        return aspectIndex >= 0 && aspectIndex < int(sizeof kAspectCodes / sizeof kAspectCodes[0])
                   ? kAspectCodes[aspectIndex]
                   : 0;
    case kFixedSize:
        return sizeIndex >= 0 && std::size_t(sizeIndex) < FixedSizes().size ? kFirstSizeCode + sizeIndex : 0;
    case kOutputSize:
        return 3;
    default:
        return 0;
    }
}

const char* FitName(int fit)
{
    if (fit < 0 || fit >= int(sizeof kFitNames / sizeof kFitNames[0]))
        return "-";
    return kFitNames[fit];
}

} // namespace roiscaler
