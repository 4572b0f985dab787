// A two-byte version (major, minor) and a firmware version with its label.
#ifndef PORTVANE_CVERSION_H
#define PORTVANE_CVERSION_H

#include <QString>

#include "base/bytetypes.h"

class CVersion {
public:
    constexpr CVersion() : major(255), minor(255) {}
    constexpr CVersion(UByte ma, UByte mi) : major(ma), minor(mi) {}

    // {0,0} and {255,255} both mean "no version".
    bool IsNone() const { return (major == 0 && minor == 0) || (major == 255 && minor == 255); }
    // Ordering value: major * 256 + minor.
    unsigned int Value() const { return major * 256u + minor; }
    // "None", "Pending" or "major.minor".
    QString ToText() const;
    // "a.b" with two decimal parts (empty parts read 0), low 8 bits of
    // each; any other shape gives {0,0}.
    static CVersion FromText(const QString& text);

    bool operator==(const CVersion& o) const { return major == o.major && minor == o.minor; }
    bool operator!=(const CVersion& o) const { return !(*this == o); }

    UByte major;
    UByte minor;

    static const CVersion _nullVersion;
};

struct CFirmwareVersion {
    CVersion version;
    QString label;
};

#endif
