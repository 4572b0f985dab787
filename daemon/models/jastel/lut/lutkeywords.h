// The header keywords of the LUT text formats, matched case-insensitively
// as whole lines. Index ranges per format are chosen by CLutIF.
#ifndef PORTVANE_LUT_LUTKEYWORDS_H
#define PORTVANE_LUT_LUTKEYWORDS_H

#include <string_view>

namespace lutkeywords {

enum : int {
    kTitle = 0,
    kDomainMin = 1,
    kDomainMax = 2,
    kLutSize = 3,
    kGridLine = 4,
    kMesh = 5,
    kMaxValue = 6,
    kVertices = 7,
    kLut3DSize = 8,
    kLut3DTag = 9,
    kCount = 10
};

const char* Pattern(int index);

// The first index in [first, end) whose pattern matches the whole line, or -1.
int Match(std::string_view line, int first, int end);

} // namespace lutkeywords

#endif
