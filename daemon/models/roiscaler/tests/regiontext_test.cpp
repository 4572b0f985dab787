// The region-of-interest text: the exact text written from a wrapper's
// state, and both readers on good, odd and malformed texts.
#include <gtest/gtest.h>

#include <string>

#include "roiscaler/values/regiontext.h"

using namespace roiscaler;

namespace {

const char kGolden[] =
    "{\"mode\":\"0\",\"x\":\"440\",\"y\":\"360\",\"w\":\"720\",\"h\":\"480\",\"screenw\":\"1920\",\"screenh\":\"1200\"}";
const char kZeros[] =
    "{\"mode\":\"0\",\"x\":\"0\",\"y\":\"0\",\"w\":\"0\",\"h\":\"0\",\"screenw\":\"0\",\"screenh\":\"0\"}";

// The seven outputs of the seven-member reader, preset to a recognisable value.
struct Outputs {
    UByte mode = 0xEE;
    UWord x = 0xEEEE, y = 0xEEEE, w = 0xEEEE, h = 0xEEEE, screenw = 0xEEEE, screenh = 0xEEEE;

    bool Parse(const QString& text) { return ParseScreenProxy(text, mode, x, y, w, h, screenw, screenh); }
    ScreenProxyValues Values() const { return {mode, x, y, w, h, screenw, screenh}; }
    bool Untouched() const { return Values() == Outputs().Values(); }
};

QString Text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

TEST(RoiText, WritesTheSevenMembersInOrder)
{
    EXPECT_EQ(ScreenProxyText({0, 440, 360, 720, 480, 1920, 1200}), QLatin1String(kGolden));
    EXPECT_EQ(ScreenProxyText({0, 0, 0, 0, 0, 0, 0}), QLatin1String(kZeros));
    EXPECT_EQ(ScreenProxyText({4, 4294967295u, 10, 100, 1000, 65536, 1}),
              QLatin1String("{\"mode\":\"4\",\"x\":\"4294967295\",\"y\":\"10\",\"w\":\"100\",\"h\":\"1000\","
                            "\"screenw\":\"65536\",\"screenh\":\"1\"}"));
}

TEST(RoiText, WritesARegionFromTheWrapperState)
{
    const quint32 pendro = 0x00111000;
    QHash<quint32, QVariant> state;
    // An empty state writes zeros, for the output region and any other roitype.
    for (int roitype : {1, 2, -1})
        EXPECT_EQ(ScreenProxyText(state, pendro, roitype), QLatin1String(kZeros)) << roitype;
    EXPECT_EQ(ScreenProxyText(state, pendro, 0), QLatin1String(kZeros));
    EXPECT_TRUE(state.isEmpty()); // looking up inserts nothing

    // Input members at 0x04 to 0x0A, output members at 0x0C to 0x12.
    const quint32 input[] = {0, 440, 360, 720, 480, 1920, 1200};
    const quint32 output[] = {4, 240, 0, 1440, 1080, 1920, 1080};
    for (quint32 i = 0; i < 7; ++i) {
        state.insert(pendro | (0x04 + i), input[i]);
        state.insert(pendro | (0x0C + i), output[i]);
    }
    state.insert(pendro | 0x0B, 99u); // the index between them is no member
    EXPECT_EQ(ScreenProxyText(state, pendro, 0), QLatin1String(kGolden));
    const QString out = QStringLiteral(
        "{\"mode\":\"4\",\"x\":\"240\",\"y\":\"0\",\"w\":\"1440\",\"h\":\"1080\",\"screenw\":\"1920\",\"screenh\":\"1080\"}");
    EXPECT_EQ(ScreenProxyText(state, pendro, 1), out);
    EXPECT_EQ(ScreenProxyText(state, pendro, 2), out);
    // Another model's base finds nothing of these.
    EXPECT_EQ(ScreenProxyText(state, 0x010D0000, 0), QLatin1String(kZeros));

    // Values go through QVariant::toUInt: booleans, digit strings, and 0 for
    // what does not convert.
    state.insert(pendro | 0x04, true);
    state.insert(pendro | 0x05, QStringLiteral("512"));
    state.insert(pendro | 0x06, QStringLiteral("left"));
    state.insert(pendro | 0x07, QVariant());
    EXPECT_EQ(ScreenProxyText(state, pendro, 0),
              QLatin1String("{\"mode\":\"1\",\"x\":\"512\",\"y\":\"0\",\"w\":\"0\",\"h\":\"480\","
                            "\"screenw\":\"1920\",\"screenh\":\"1200\"}"));
}

TEST(RoiText, ReadsBackWhatItWrites)
{
    const ScreenProxyValues cases[] = {
        {0, 440, 360, 720, 480, 1920, 1200},
        {255, 65535, 65535, 65535, 65535, 65535, 65535},
        {0, 0, 0, 0, 0, 0, 0},
        {3, 1, 2, 3, 4, 5, 6},
    };
    for (const ScreenProxyValues& values : cases) {
        const QString text = ScreenProxyText(values);
        Outputs out;
        ASSERT_TRUE(out.Parse(text)) << text.toStdString();
        EXPECT_EQ(out.Values(), values);
        static const char* const keys[] = {"mode", "x", "y", "w", "h", "screenw", "screenh"};
        for (int i = 0; i < 7; ++i) {
            int value = -7;
            EXPECT_TRUE(ParseScreenProxy(text, QLatin1String(keys[i]), value));
            EXPECT_EQ(value, int(values[i])) << keys[i];
        }
    }
}

TEST(RoiText, SevenMemberReaderKeepsTheLowBits)
{
    Outputs out;
    ASSERT_TRUE(out.Parse(Text(
        "{\"mode\":\"300\",\"x\":\"70000\",\"y\":\"65536\",\"w\":\"4294967295\",\"h\":\"1\",\"screenw\":\"0\",\"screenh\":\"65535\"}")));
    EXPECT_EQ(out.Values(), (ScreenProxyValues{44, 4464, 0, 65535, 1, 0, 65535}));
}

TEST(RoiText, MembersMayBeStringsOrWholeNumbers)
{
    struct Case { const char* member; bool ok; int value; };
    const Case cases[] = {
        {"\"440\"", true, 440},
        {"440", true, 440},
        {"440.0", true, 440},
        {"4.4e2", true, 440},
        {"0", true, 0},
        {"\"0\"", true, 0},
        {"70000", true, 70000},
        {"\"4294967295\"", true, -1},     // stored bit for bit
        {"4294967295", true, -1},
        {"4294967295.0", true, -1},
        {"\"4294967296\"", true, 0},      // does not fit 32 bits
        {"4294967296", true, 0},
        {"18446744073709551615", true, 0},
        {"1e30", true, 0},
        {"\"-5\"", true, 0},
        {"-5", true, 0},
        {"-0.0", true, 0},
        {"\"4.5\"", true, 0},
        {"4.5", true, 0},
        {"\"440px\"", true, 0},
        {"\"\"", true, 0},
        {"\"0x10\"", true, 0},
        {"true", true, 0},
        {"false", true, 0},
        {"null", false, 0},
        {"[440]", false, 0},
        {"{\"v\":440}", false, 0},
        {"[]", false, 0},
    };
    for (const Case& c : cases) {
        const QString text = QStringLiteral("{\"x\":%1,\"mode\":\"1\"}").arg(QLatin1String(c.member));
        int value = 12345;
        EXPECT_EQ(ParseScreenProxy(text, QStringLiteral("x"), value), c.ok) << c.member;
        EXPECT_EQ(value, c.ok ? c.value : 12345) << c.member;

        // The same member inside a whole region.
        const QString region = QStringLiteral(
            "{\"mode\":\"2\",\"x\":%1,\"y\":\"3\",\"w\":\"4\",\"h\":\"5\",\"screenw\":\"6\",\"screenh\":\"7\"}")
                                   .arg(QLatin1String(c.member));
        Outputs out;
        EXPECT_EQ(out.Parse(region), c.ok) << c.member;
        if (c.ok)
            EXPECT_EQ(out.Values(), (ScreenProxyValues{2, UWord(c.value), 3, 4, 5, 6, 7})) << c.member;
        else
            EXPECT_TRUE(out.Untouched()) << c.member;
    }
}

TEST(RoiText, AnyOrderAndExtraMembersAreAccepted)
{
    Outputs out;
    ASSERT_TRUE(out.Parse(Text("  { \"screenh\" : \"1200\", \"extra\": [1, {\"deep\": null}], \"h\":480,\n"
                               "\"w\":\"720\", \"y\":360, \"x\":\"440\", \"screenw\":1920, \"mode\":\"0\" }  ")));
    EXPECT_EQ(out.Values(), (ScreenProxyValues{0, 440, 360, 720, 480, 1920, 1200}));
    // A repeated member: the last one counts.
    int value = 0;
    ASSERT_TRUE(ParseScreenProxy(Text("{\"x\":\"1\",\"x\":\"2\"}"), QStringLiteral("x"), value));
    EXPECT_EQ(value, 2);
    // Comments are allowed, as JsonCpp's reader allows them by default.
    ASSERT_TRUE(ParseScreenProxy(Text("// region\n{\"x\": /* left */ \"9\"}"), QStringLiteral("x"), value));
    EXPECT_EQ(value, 9);
}

TEST(RoiText, AMissingMemberFailsOnlyTheReaderThatNeedsIt)
{
    const QString noScreenH = Text(
        "{\"mode\":\"0\",\"x\":\"440\",\"y\":\"360\",\"w\":\"720\",\"h\":\"480\",\"screenw\":\"1920\"}");
    Outputs out;
    EXPECT_FALSE(out.Parse(noScreenH));
    EXPECT_TRUE(out.Untouched());
    int value = 0;
    EXPECT_TRUE(ParseScreenProxy(noScreenH, QStringLiteral("x"), value));
    EXPECT_EQ(value, 440);
    value = 77;
    EXPECT_FALSE(ParseScreenProxy(noScreenH, QStringLiteral("screenh"), value));
    EXPECT_FALSE(ParseScreenProxy(noScreenH, QStringLiteral("X"), value));
    EXPECT_FALSE(ParseScreenProxy(noScreenH, QString(), value));
    EXPECT_EQ(value, 77);

    // A member set to null counts as missing.
    const QString nullH = Text(
        "{\"mode\":\"0\",\"x\":\"440\",\"y\":\"360\",\"w\":\"720\",\"h\":null,\"screenw\":\"1920\",\"screenh\":\"1200\"}");
    EXPECT_FALSE(out.Parse(nullH));
    EXPECT_TRUE(out.Untouched());
    EXPECT_FALSE(ParseScreenProxy(nullH, QStringLiteral("h"), value));
    EXPECT_EQ(value, 77);
}

TEST(RoiText, MalformedTextsReadAsNothing)
{
    const std::string deep = std::string(5000, '[') + std::string(5000, ']');
    const std::string deepObject = "{\"x\":" + std::string(3000, '[') + std::string(3000, ']') + "}";
    const QString cases[] = {
        QString(),
        Text(" "),
        Text("{"),
        Text("}"),
        Text("not json"),
        Text("{\"mode\":\"0\",\"x\":\"440\""),             // cut short
        Text("{\"mode\":\"0\",\"x\":\"440\",}"),            // trailing comma
        Text("{'x':'440'}"),
        Text("{x:440}"),
        Text("{\"x\":\"44"),
        Text("{\"x\":1e400}"),                              // out of double range
        Text("{\"x\":0x10}"),
        Text("{\"x\":\"440\"\"y\":\"1\"}"),
        // Valid JSON whose root is no object.
        Text("[{\"x\":\"440\"}]"),
        Text("440"),
        Text("\"{\\\"x\\\":\\\"440\\\"}\""),
        Text("null"),
        Text("true"),
        Text("[]"),
        // Nesting beyond the reader's stack limit.
        QString::fromLatin1(deep.c_str()),
        QString::fromLatin1(deepObject.c_str()),
    };
    for (const QString& text : cases) {
        Outputs out;
        EXPECT_FALSE(out.Parse(text)) << text.left(40).toStdString();
        EXPECT_TRUE(out.Untouched());
        int value = 31;
        EXPECT_FALSE(ParseScreenProxy(text, QStringLiteral("x"), value)) << text.left(40).toStdString();
        EXPECT_EQ(value, 31);
    }
}

TEST(RoiText, CharactersBeyondAsciiAreHarmless)
{
    int value = 0;
    // Outside Latin-1 a character reads as "?", inside a string or a key.
    EXPECT_TRUE(ParseScreenProxy(Text("{\"name\":\"\xe2\x86\x92\",\"x\":\"12\"}"), QStringLiteral("x"), value));
    EXPECT_EQ(value, 12);
    EXPECT_TRUE(ParseScreenProxy(Text("{\"\xc3\xa9\":\"5\"}"), Text("\xc3\xa9"), value));
    EXPECT_EQ(value, 5);
    EXPECT_TRUE(ParseScreenProxy(Text("{\"x\":\"\xe2\x82\x89\"}"), QStringLiteral("x"), value));
    EXPECT_EQ(value, 0); // a subscript nine is no digit
    // A NUL inside the text or the key.
    value = 3;
    EXPECT_FALSE(ParseScreenProxy(QString::fromLatin1("{\"x\":\"1\"}\0", 10).prepend(QChar(0)),
                                  QStringLiteral("x"), value));
    EXPECT_TRUE(ParseScreenProxy(QString::fromLatin1("{\"x\\u0000y\":\"8\"}"),
                                 QString::fromLatin1("x\0y", 3), value));
    EXPECT_EQ(value, 8);
}

} // namespace
