#include "lumo/lumotimestamp.h"

#include <cmath>
#include <limits>

#include <QDataStream>
#include <QStringList>

namespace {

// Two's-complement wrap, as the 32-bit target does, without signed overflow.
std::int32_t wrap32(std::int64_t value)
{
    return std::int32_t(std::uint32_t(std::uint64_t(value)));
}

// One normalisation step on a wide pair, wrapped to the 32-bit fields.
LumoTimeStamp stepped(std::int64_t seconds, std::int64_t micro)
{
    if (micro < 0) {
        seconds -= 1;
        micro += 1000000;
    } else if (micro > 999999) {
        seconds += 1;
        micro -= 1000000;
    }
    return LumoTimeStamp(wrap32(seconds), wrap32(micro));
}

// A stamp passed once more through the timeval constructor (a second step).
LumoTimeStamp viaTimeval(LumoTimeStamp const& stamp)
{
    timeval tv;
    tv.tv_sec = stamp.seconds;
    tv.tv_usec = stamp.microseconds;
    return LumoTimeStamp(tv);
}

} // namespace

LumoTimeStamp::LumoTimeStamp(long s, long us) : seconds(wrap32(s)), microseconds(wrap32(us)) {}

LumoTimeStamp::LumoTimeStamp(timeval const& tv) : seconds(0), microseconds(0) { *this = tv; }

LumoTimeStamp::LumoTimeStamp(QString const& text) : seconds(0), microseconds(0) { *this = text; }

LumoTimeStamp::LumoTimeStamp(double value) : seconds(0), microseconds(0) { *this = value; }

LumoTimeStamp& LumoTimeStamp::operator=(timeval const& tv)
{
    return *this = stepped(wrap32(tv.tv_sec), wrap32(tv.tv_usec));
}

LumoTimeStamp& LumoTimeStamp::operator=(QString const& text)
{
    return *this = stepped(text.section(QLatin1Char('.'), 0, 0).toInt(),
                           text.section(QLatin1Char('.'), 1, 1).toInt());
}

LumoTimeStamp& LumoTimeStamp::operator=(double value)
{
    // Outside the 32-bit range: the nearest normalised stamp; NaN: (0, 0).
    if (std::isnan(value)) {
        seconds = 0;
        microseconds = 0;
        return *this;
    }
    if (value >= 2147483648.0) {
        seconds = std::numeric_limits<std::int32_t>::max();
        microseconds = 999999;
        return *this;
    }
    if (value < -2147483648.0) {
        seconds = std::numeric_limits<std::int32_t>::min();
        microseconds = 0;
        return *this;
    }
    // In range both truncations fit, and a negative fraction only occurs
    // above the lowest whole second, so the step cannot leave the range.
    const std::int32_t whole = std::int32_t(value);
    return *this = stepped(whole, std::int32_t((value - double(whole)) * 1000000.0));
}

LumoTimeStamp LumoTimeStamp::getCurrent()
{
    timeval tv;
    gettimeofday(&tv, nullptr);
    LumoTimeStamp stamp(0, 0);
    stamp.seconds = wrap32(tv.tv_sec);
    stamp.microseconds = wrap32(tv.tv_usec);
    return stamp;
}

LumoTimeStamp LumoTimeStamp::operator+(LumoTimeStamp const& other) const
{
    return viaTimeval(stepped(std::int64_t(seconds) + other.seconds,
                              std::int64_t(microseconds) + other.microseconds));
}

LumoTimeStamp LumoTimeStamp::operator-(LumoTimeStamp const& other) const
{
    return viaTimeval(stepped(std::int64_t(seconds) - other.seconds,
                              std::int64_t(microseconds) - other.microseconds));
}

LumoTimeStamp& LumoTimeStamp::operator+=(LumoTimeStamp const& other)
{
    return *this = stepped(std::int64_t(seconds) + other.seconds,
                           std::int64_t(microseconds) + other.microseconds);
}

LumoTimeStamp& LumoTimeStamp::operator-=(LumoTimeStamp const& other)
{
    return *this = stepped(std::int64_t(seconds) - other.seconds,
                           std::int64_t(microseconds) - other.microseconds);
}

QDataStream& operator<<(QDataStream& stream, LumoTimeStamp const& stamp)
{
    stream << qint64(stamp.seconds) << qint64(stamp.microseconds);
    return stream;
}

QDataStream& operator>>(QDataStream& stream, LumoTimeStamp& stamp)
{
    qint64 s = 0;
    qint64 us = 0;
    stream >> s >> us;
    stamp.seconds = wrap32(s);
    stamp.microseconds = wrap32(us);
    return stream;
}

int Lumo::registerTimeStampMetaType()
{
    return qRegisterMetaType<LumoTimeStamp>("LumoTimeStamp");
}
