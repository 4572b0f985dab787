// The four LUT slots (sectors) of the Jastel converter and the suffixes each
// kind of slot accepts.
#ifndef PORTVANE_LUT_LUTSLOTS_H
#define PORTVANE_LUT_LUTSLOTS_H

#include <QString>

namespace lutslots {

// 0 3D-LUT slot A, 1 1D-LUT slot A, 2 3D-LUT slot B, any other 1D-LUT slot B.
bool Is3D(int sector);
QString SlotName(int sector);

// A suffix (compared case-sensitively) accepted for a slot kind.
struct FileKind
{
    int format;       // index into the type byte
    int firstKeyword; // header keywords that apply: first <= index < end
    int endKeyword;
};

// The kind of an imported file, or nullptr when the suffix is refused.
const FileKind* ImportKind(const QString& suffix, bool is3D);
// The format of an exported file, or -1 when the suffix is refused.
int ExportFormat(const QString& suffix, bool is3D);

} // namespace lutslots

#endif
