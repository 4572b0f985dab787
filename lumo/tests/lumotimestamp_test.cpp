// LumoTimeStamp as a value: construction, normalisation, text and number
// conversion, sum and difference, and its stream form.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <iomanip>
#include <limits>
#include <utility>
#include <vector>

#include <QBuffer>
#include <QByteArray>
#include <QDataStream>
#include <QString>

#include "lumo/lumotimestamp.h"

namespace {

typedef std::pair<std::int32_t, std::int32_t> Pair;

const std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
const std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

Pair fields(const LumoTimeStamp& t)
{
    return Pair(t.seconds, t.microseconds);
}

timeval makeTimeval(long s, long us)
{
    timeval tv;
    tv.tv_sec = s;
    tv.tv_usec = us;
    return tv;
}

TEST(LumoTimeStampConstruct, PairIsStoredUnchanged)
{
    EXPECT_EQ(fields(LumoTimeStamp()), Pair(0, 0));
    EXPECT_EQ(fields(LumoTimeStamp(3L)), Pair(3, 0));
    const Pair cases[] = {{0, 0}, {0, 1500000}, {-3, -2000000}, {5, -1}, {kMax, kMin}, {kMin, kMax}};
    for (const Pair& c : cases)
        EXPECT_EQ(fields(LumoTimeStamp(c.first, c.second)), c);
}

TEST(LumoTimeStampConstruct, CopyKeepsBothFields)
{
    LumoTimeStamp a(-7, 1234567);
    LumoTimeStamp b(a);
    LumoTimeStamp c;
    c = a;
    EXPECT_EQ(fields(b), Pair(-7, 1234567));
    EXPECT_EQ(fields(c), Pair(-7, 1234567));
}

// From a timeval: exactly one normalisation step.
TEST(LumoTimeStampConstruct, FromTimeval)
{
    struct Case {
        long sec, usec;
        Pair expected;
    };
    const Case cases[] = {
        {5, 0, {5, 0}},
        {5, 999999, {5, 999999}},
        {5, -1, {4, 999999}},
        {5, 1000000, {6, 0}},
        {5, 2500000, {6, 1500000}},  // still out of range: one step only
        {5, -2500000, {4, -1500000}},
        {0, -1, {-1, 999999}},
        {-5, 0, {-5, 0}},
        {-5, 1999999, {-4, 999999}},
        {kMax, 1000000, {kMin, 0}},   // wraps at the 32-bit limit
        {kMin, -1, {kMax, 999999}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.sec << ", " << c.usec);
        const timeval tv = makeTimeval(c.sec, c.usec);
        EXPECT_EQ(fields(LumoTimeStamp(tv)), c.expected);

        LumoTimeStamp existing(9, 9);
        LumoTimeStamp& result = (existing = tv);
        EXPECT_EQ(&result, &existing);
        EXPECT_EQ(fields(existing), c.expected);
    }
}

// Text: seconds before the first '.', microseconds (a count as written, not
// a fraction) between the first and second '.', then one step.
TEST(LumoTimeStampConvert, FromText)
{
    struct Case {
        const char* text;
        Pair expected;
    };
    const Case cases[] = {
        {"1.5", {1, 5}},
        {"12.345", {12, 345}},
        {"1.000005", {1, 5}},
        {"7", {7, 0}},
        {".25", {0, 25}},
        {"5.", {5, 0}},
        {".", {0, 0}},
        {"1.2.3", {1, 2}},
        {"abc", {0, 0}},
        {"1.x", {1, 0}},
        {"x.7", {0, 7}},
        {"0x10.5", {0, 5}},           // base 10 only
        {"0.-5", {-1, 999995}},
        {"0.1500000", {1, 500000}},
        {"0.2500000", {1, 1500000}},  // one step only
        {"0.-2500000", {-1, -1500000}},
        {"-3.5", {-3, 5}},            // sign does not carry over
        {"", {0, 0}},
        {"2147483647.999999", {kMax, 999999}},
        {"-2147483648.0", {kMin, 0}},
        {"2147483648.1", {0, 1}},     // seconds out of range give 0
        {"1.2147483648", {1, 0}},     // microseconds out of range give 0
        {"-2147483648.-1", {kMax, 999999}}, // wraps at the 32-bit limit
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const QString text = QString::fromLatin1(c.text);
        EXPECT_EQ(fields(LumoTimeStamp(text)), c.expected);

        LumoTimeStamp existing(9, 9);
        LumoTimeStamp& result = (existing = text);
        EXPECT_EQ(&result, &existing);
        EXPECT_EQ(fields(existing), c.expected);
    }
}

// Number: truncation toward zero for both parts, then one step; values out of
// the 32-bit range saturate and NaN gives (0, 0).
TEST(LumoTimeStampConvert, FromDouble)
{
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double value;
        Pair expected;
    };
    const Case cases[] = {
        {0.0, {0, 0}},
        {-0.0, {0, 0}},
        {7.0, {7, 0}},
        {-7.0, {-7, 0}},
        {1.5, {1, 500000}},
        {2.3, {2, 299999}},
        {3.999999, {3, 999998}},
        {1.000001, {1, 0}},
        {0.0000005, {0, 0}},
        {-1.5, {-2, 500000}},
        {-0.25, {-1, 750000}},
        {2147483647.5, {kMax, 500000}},
        {-2147483647.5, {kMin, 500000}},
        {-2147483648.0, {kMin, 0}},
        {2147483648.0, {kMax, 999999}},
        {-2147483648.5, {kMin, 0}},
        {1e12, {kMax, 999999}},
        {-1e12, {kMin, 0}},
        {inf, {kMax, 999999}},
        {-inf, {kMin, 0}},
        {std::nan(""), {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::setprecision(17) << c.value);
        EXPECT_EQ(fields(LumoTimeStamp(c.value)), c.expected);

        LumoTimeStamp existing(9, 9);
        LumoTimeStamp& result = (existing = c.value);
        EXPECT_EQ(&result, &existing);
        EXPECT_EQ(fields(existing), c.expected);
    }
}

// Sum and difference: operator+ and operator- take two steps, += and -= one.
TEST(LumoTimeStampArithmetic, SumAndDifference)
{
    struct Case {
        Pair a, b;
        Pair plus, minus, plusAssign, minusAssign;
    };
    const Case cases[] = {
        {{1, 600000}, {2, 700000}, {4, 300000}, {-2, 900000}, {4, 300000}, {-2, 900000}},
        {{1, 200000}, {0, 700000}, {1, 900000}, {0, 500000}, {1, 900000}, {0, 500000}},
        {{0, 0}, {1, 500000}, {1, 500000}, {-2, 500000}, {1, 500000}, {-2, 500000}},
        {{5, 999999}, {0, 1}, {6, 0}, {5, 999998}, {6, 0}, {5, 999998}},
        {{3, 0}, {3, 0}, {6, 0}, {0, 0}, {6, 0}, {0, 0}},
        // Out-of-range operands: the second step of + and - shows.
        {{0, 1500000}, {0, 1500000}, {2, 1000000}, {0, 0}, {1, 2000000}, {0, 0}},
        {{0, 0}, {0, 2500000}, {2, 500000}, {-2, -500000}, {1, 1500000}, {-1, -1500000}},
        {{0, -1500000}, {0, -1500000}, {-2, -1000000}, {0, 0}, {-1, -2000000}, {0, 0}},
        // Seconds wrap at the 32-bit limits.
        {{kMax, 999999}, {0, 1}, {kMin, 0}, {kMax, 999998}, {kMin, 0}, {kMax, 999998}},
        {{kMin, 0}, {0, 1}, {kMin, 1}, {kMax, 999999}, {kMin, 1}, {kMax, 999999}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "(" << c.a.first << ", " << c.a.second << ") and ("
                                        << c.b.first << ", " << c.b.second << ")");
        const LumoTimeStamp a(c.a.first, c.a.second);
        const LumoTimeStamp b(c.b.first, c.b.second);
        EXPECT_EQ(fields(a + b), c.plus);
        EXPECT_EQ(fields(a - b), c.minus);
        EXPECT_EQ(fields(a), c.a); // operands untouched
        EXPECT_EQ(fields(b), c.b);

        LumoTimeStamp sum = a;
        LumoTimeStamp& sumRef = (sum += b);
        EXPECT_EQ(&sumRef, &sum);
        EXPECT_EQ(fields(sum), c.plusAssign);

        LumoTimeStamp diff = a;
        LumoTimeStamp& diffRef = (diff -= b);
        EXPECT_EQ(&diffRef, &diff);
        EXPECT_EQ(fields(diff), c.minusAssign);
    }
}

TEST(LumoTimeStampArithmetic, SelfAssignmentForms)
{
    LumoTimeStamp t(1, 600000);
    t += t;
    EXPECT_EQ(fields(t), Pair(3, 200000));
    t -= t;
    EXPECT_EQ(fields(t), Pair(0, 0));
}

// ---------------------------------------------------------------------------
// Stream form: two signed 64-bit integers.

QByteArray bytes(std::initializer_list<unsigned char> list)
{
    QByteArray out;
    for (unsigned char b : list)
        out.append(char(b));
    return out;
}

TEST(LumoTimeStampStream, WriteBytes)
{
    struct Case {
        Pair stamp;
        QDataStream::ByteOrder order;
        QByteArray expected;
    };
    const Case cases[] = {
        {{-1, 5}, QDataStream::BigEndian,
         bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 5})},
        {{-1, 5}, QDataStream::LittleEndian,
         bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 5, 0, 0, 0, 0, 0, 0, 0})},
        {{kMin, 999999}, QDataStream::BigEndian,
         bytes({0xFF, 0xFF, 0xFF, 0xFF, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0x0F, 0x42, 0x3F})},
        {{kMax, -2}, QDataStream::BigEndian,
         bytes({0, 0, 0, 0, 0x7F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE})},
        {{1, 1500000}, QDataStream::BigEndian, // written as held, not normalised
         bytes({0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0x16, 0xE3, 0x60})},
        {{0, 0}, QDataStream::LittleEndian, QByteArray(16, '\0')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.stamp.first << ", " << c.stamp.second << " order "
                                        << int(c.order));
        QByteArray out;
        QDataStream stream(&out, QIODevice::WriteOnly);
        stream.setByteOrder(c.order);
        QDataStream& result = (stream << LumoTimeStamp(c.stamp.first, c.stamp.second));
        EXPECT_EQ(&result, &stream);
        EXPECT_EQ(out.toHex().toStdString(), c.expected.toHex().toStdString());
    }
}

TEST(LumoTimeStampStream, ReadBytes)
{
    struct Case {
        const char* title;
        QByteArray input;
        QDataStream::ByteOrder order;
        Pair expected;
        QDataStream::Status status;
    };
    const Case cases[] = {
        {"2^32 + 2 keeps the low 32 bits",
         bytes({0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 7}), QDataStream::BigEndian, {2, 7},
         QDataStream::Ok},
        {"high half ignored",
         bytes({0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 5, 0x12, 0x34, 0x56, 0x78, 0, 0, 0, 9}),
         QDataStream::BigEndian, {5, 9}, QDataStream::Ok},
        {"low half 0x80000000 is the most negative second",
         bytes({0, 0, 0, 0, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), QDataStream::BigEndian,
         {kMin, 0}, QDataStream::Ok},
        {"minus one",
         bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                0xFF, 0xFF}),
         QDataStream::BigEndian, {-1, -1}, QDataStream::Ok},
        {"microseconds kept without normalising",
         bytes({0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0x1E, 0x84, 0x80}), QDataStream::BigEndian,
         {1, 2000000}, QDataStream::Ok},
        {"little-endian stream",
         bytes({2, 0, 0, 0, 1, 0, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0}), QDataStream::LittleEndian, {2, 5},
         QDataStream::Ok},
        {"empty input gives zeros", QByteArray(), QDataStream::BigEndian, {0, 0},
         QDataStream::ReadPastEnd},
        {"seconds only", bytes({0, 0, 0, 0, 0, 0, 0, 3}), QDataStream::BigEndian, {3, 0},
         QDataStream::ReadPastEnd},
        {"microseconds cut short", bytes({0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0}),
         QDataStream::BigEndian, {3, 0}, QDataStream::ReadPastEnd},
        {"seconds cut short", bytes({0, 0, 0, 4}), QDataStream::BigEndian, {0, 0},
         QDataStream::ReadPastEnd},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        QDataStream stream(c.input);
        stream.setByteOrder(c.order);
        LumoTimeStamp t(11, 12);
        QDataStream& result = (stream >> t);
        EXPECT_EQ(&result, &stream);
        EXPECT_EQ(fields(t), c.expected);
        EXPECT_EQ(stream.status(), c.status);
    }
}

TEST(LumoTimeStampStream, ReadPastEndOfALongerStream)
{
    QByteArray data;
    {
        QDataStream out(&data, QIODevice::WriteOnly);
        out << LumoTimeStamp(1, 2);
    }
    QDataStream in(data);
    LumoTimeStamp first(9, 9);
    LumoTimeStamp second(9, 9);
    in >> first >> second;
    EXPECT_EQ(fields(first), Pair(1, 2));
    EXPECT_EQ(fields(second), Pair(0, 0));
    EXPECT_EQ(in.status(), QDataStream::ReadPastEnd);
}

TEST(LumoTimeStampStream, RoundTrip)
{
    const Pair cases[] = {{0, 0}, {-1, 5}, {kMin, kMax}, {kMax, kMin}, {1700000000, 123456}};
    for (QDataStream::ByteOrder order : {QDataStream::BigEndian, QDataStream::LittleEndian}) {
        QByteArray data;
        {
            QDataStream out(&data, QIODevice::WriteOnly);
            out.setByteOrder(order);
            for (const Pair& c : cases)
                out << LumoTimeStamp(c.first, c.second);
        }
        ASSERT_EQ(data.size(), int(16 * (sizeof(cases) / sizeof(cases[0]))));
        QDataStream in(data);
        in.setByteOrder(order);
        for (const Pair& c : cases) {
            LumoTimeStamp t;
            in >> t;
            EXPECT_EQ(fields(t), c);
        }
        EXPECT_EQ(in.status(), QDataStream::Ok);
        EXPECT_TRUE(in.atEnd());
    }
}

// ---------------------------------------------------------------------------
// The clock.

TEST(LumoTimeStampClock, GetCurrentIsNormalisedAndDoesNotGoBack)
{
    for (int i = 0; i < 1000; ++i) {
        timeval before;
        gettimeofday(&before, nullptr);
        const LumoTimeStamp first = LumoTimeStamp::getCurrent();
        const LumoTimeStamp second = LumoTimeStamp::getCurrent();
        timeval after;
        gettimeofday(&after, nullptr);

        ASSERT_GE(first.microseconds, 0);
        ASSERT_LE(first.microseconds, 999999);
        const LumoTimeStamp elapsed = second - first;
        ASSERT_GE(elapsed.seconds, 0);
        ASSERT_GE(elapsed.microseconds, 0);
        ASSERT_LE(elapsed.microseconds, 999999);
        ASSERT_GE((first - LumoTimeStamp(before)).seconds, 0);
        ASSERT_GE((LumoTimeStamp(after) - second).seconds, 0);
    }
}

} // namespace
