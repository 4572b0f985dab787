#include "lutslots.h"

#include "clutif.h"
#include "lutkeywords.h"

namespace lutslots {

namespace {

struct SuffixRow
{
    const char* suffix;
    bool is3D;
    FileKind kind;
};

const SuffixRow kImportRows[] = {
    {"cube", true, {CLutIF::kFormatCube, lutkeywords::kTitle, lutkeywords::kGridLine}},
    {"3dl", true, {CLutIF::kFormat3dl, lutkeywords::kGridLine, lutkeywords::kMaxValue}},
    {"lut", true, {CLutIF::kFormatLut, lutkeywords::kGridLine, lutkeywords::kMaxValue}},
    {"txt", true, {CLutIF::kFormatTxt, lutkeywords::kMaxValue, lutkeywords::kCount}},
    {"cube", false, {CLutIF::kFormatCube, lutkeywords::kTitle, lutkeywords::kLutSize}},
    {"lut", false, {CLutIF::kFormatLut, 0, 0}},
    {"txt", false, {CLutIF::kFormatTxt, 0, 0}},
};

const SuffixRow kExportRows[] = {
    {"cube", true, {CLutIF::kFormatCube, 0, 0}},
    {"3dl", true, {CLutIF::kFormat3dl, 0, 0}},
    {"lut", true, {CLutIF::kFormatLut, 0, 0}},
    {"cube", false, {CLutIF::kFormatCube, 0, 0}},
    {"txt", false, {CLutIF::kFormatTxt, 0, 0}},
    {"lut", false, {CLutIF::kFormatLut, 0, 0}},
};

template <size_t N>
const FileKind* Find(const SuffixRow (&rows)[N], const QString& suffix, bool is3D)
{
    for (const SuffixRow& row : rows) {
        if (row.is3D == is3D && suffix == QLatin1String(row.suffix))
            return &row.kind;
    }
    return nullptr;
}

} // namespace

bool Is3D(int sector)
{
    return sector == 0 || sector == 2;
}

QString SlotName(int sector)
{
    switch (sector) {
    case 0: return QStringLiteral("3D-LUT slot A");
    case 1: return QStringLiteral("1D-LUT slot A");
    case 2: return QStringLiteral("3D-LUT slot B");
    default: return QStringLiteral("1D-LUT slot B");
    }
}

const FileKind* ImportKind(const QString& suffix, bool is3D)
{
    return Find(kImportRows, suffix, is3D);
}

int ExportFormat(const QString& suffix, bool is3D)
{
    const FileKind* kind = Find(kExportRows, suffix, is3D);
    return kind ? kind->format : -1;
}

} // namespace lutslots
