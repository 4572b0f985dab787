// A point in time or a duration: whole seconds and microseconds, in the
// order of a timeval. Normalised when 0 <= microseconds <= 999999; every
// normalising operation applies a single correction step.
#ifndef LUMO_LUMOTIMESTAMP_H
#define LUMO_LUMOTIMESTAMP_H

#include <cstdint>
#include <sys/time.h>

#include <QMetaType>
#include <QString>

#include "lumo/lumoglobal.h"

class QDataStream;

class LUMO_EXPORT LumoTimeStamp {
public:
    // Stored as given, not normalised.
    LumoTimeStamp(long seconds = 0, long microseconds = 0);
    LumoTimeStamp(timeval const& tv);
    explicit LumoTimeStamp(QString const& text);
    explicit LumoTimeStamp(double seconds);

    LumoTimeStamp& operator=(timeval const& tv);
    // "S.U": seconds before the first '.', microseconds (as written) after it.
    LumoTimeStamp& operator=(QString const& text);
    // Truncates toward zero; out of the 32-bit range it saturates to
    // (INT32_MAX, 999999) or (INT32_MIN, 0); NaN gives (0, 0).
    LumoTimeStamp& operator=(double seconds);

    static LumoTimeStamp getCurrent();

    LumoTimeStamp operator+(LumoTimeStamp const& other) const;
    LumoTimeStamp operator-(LumoTimeStamp const& other) const;
    LumoTimeStamp& operator+=(LumoTimeStamp const& other);
    LumoTimeStamp& operator-=(LumoTimeStamp const& other);

    std::int32_t seconds;
    std::int32_t microseconds;
};

LUMO_EXPORT QDataStream& operator<<(QDataStream& stream, LumoTimeStamp const& stamp);
LUMO_EXPORT QDataStream& operator>>(QDataStream& stream, LumoTimeStamp& stamp);

Q_DECLARE_METATYPE(LumoTimeStamp)

namespace Lumo {
// Registers LumoTimeStamp under the meta-type name "LumoTimeStamp".
LUMO_EXPORT int registerTimeStampMetaType();
}

#endif
