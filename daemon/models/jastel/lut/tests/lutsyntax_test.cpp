// The hand-written data-row scanner against its regular expression, and the
// number rules of the rows.
#include <climits>
#include <random>

#include <QRegExp>
#include <QString>

#include <gtest/gtest.h>

#include "lutkeywords.h"
#include "lutsyntax.h"

using namespace lutsyntax;

namespace {

bool PatternMatches(const std::string& line)
{
    static QRegExp pattern(QString::fromLatin1(kDataRowPattern));
    return pattern.exactMatch(QString::fromLatin1(line.data(), int(line.size())));
}

TEST(LutSyntax, DataRowScannerAgreesWithPatternOnCases)
{
    const struct
    {
        std::string line;
        bool match;
    } cases[] = {
        {"0 0 0", true},
        {"  1.5\t-2e3 +7  ", true},
        {"1.0E+2 0.25e-1 3", true},
        {"\xA0" "1 2 3\x85", true}, // NBSP and NEL are blanks in Latin-1
        {"1\x0b" "2\x0c" "3", true},
        {"1 2", false},
        {"1 2 3 4", false},
        {"1. 2 3", false},
        {".5 2 3", false},
        {"1 2 3e", false},
        {"1 2 3e+", false},
        {"1-2 3 4", false},
        {"1,5 2 3", false},
        {"a 2 3", false},
        {"", false},
        {"1 2 3x", false},
        {"--1 2 3", false},
        {"0x1 2 3", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MatchDataRow(c.line), c.match) << c.line;
        EXPECT_EQ(PatternMatches(c.line), c.match) << c.line;
    }
}

TEST(LutSyntax, DataRowScannerAgreesWithPatternOnRandomLines)
{
    const char alphabet[] = "0123456789 \t.-+eE1x\xA0";
    std::mt19937 random(20);
    for (int i = 0; i < 20000; ++i) {
        std::string line;
        const int length = int(random() % 14);
        for (int k = 0; k < length; ++k)
            line += alphabet[random() % (sizeof alphabet - 1)];
        ASSERT_EQ(MatchDataRow(line), PatternMatches(line)) << '"' << line << '"';
    }
}

TEST(LutSyntax, DataRowTokens)
{
    std::array<std::string_view, 3> tokens;
    ASSERT_TRUE(MatchDataRow(" -1\t+2.5e1   3 ", &tokens));
    EXPECT_EQ(tokens[0], "-1");
    EXPECT_EQ(tokens[1], "+2.5e1");
    EXPECT_EQ(tokens[2], "3");
}

TEST(LutSyntax, IntegerTokens)
{
    EXPECT_TRUE(IsIntegerToken("12"));
    EXPECT_TRUE(IsIntegerToken("-0"));
    EXPECT_TRUE(IsIntegerToken("+7"));
    EXPECT_FALSE(IsIntegerToken("1.0"));
    EXPECT_FALSE(IsIntegerToken("1e3"));
    EXPECT_FALSE(IsIntegerToken("-"));
    EXPECT_EQ(ParseInteger("+4095"), 4095);
    EXPECT_EQ(ParseInteger("-12"), -12);
    EXPECT_EQ(ParseInteger("99999999999999999999"), INT_MAX);
    EXPECT_EQ(ParseInteger("-99999999999999999999"), INT_MIN);
}

TEST(LutSyntax, NumbersAndRounding)
{
    EXPECT_DOUBLE_EQ(ParseNumber("+0.5"), 0.5);
    EXPECT_DOUBLE_EQ(ParseNumber("-2.5e-1"), -0.25);
    EXPECT_EQ(ParseNumber("1e999"), HUGE_VAL);
    EXPECT_EQ(ParseNumber("1e-999"), 0.0);
    EXPECT_EQ(RoundHalfUp(2047.5), 2048);
    EXPECT_EQ(RoundHalfUp(2047.49), 2047);
    EXPECT_EQ(RoundHalfUp(-0.5), 0);
    EXPECT_EQ(RoundHalfUp(-0.6), -1);
    EXPECT_EQ(RoundHalfUp(1e30), INT_MAX);
    EXPECT_EQ(RoundHalfUp(-1e30), INT_MIN);
    EXPECT_EQ(RoundHalfUp(std::nan("")), INT_MIN);
}

TEST(LutSyntax, SplitDropsEmptyParts)
{
    const auto parts = Split("\t Mesh  4\xA0" "12 ");
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(parts[0], "Mesh");
    EXPECT_EQ(parts[2], "12");
    EXPECT_TRUE(Split("   ").empty());
}

TEST(LutKeywords, WholeLineCaseInsensitiveMatches)
{
    using namespace lutkeywords;
    const struct
    {
        const char* line;
        int first, end, expected;
    } cases[] = {
        {"TITLE \"a \"quoted\" name\"", 0, 4, kTitle},
        {"title \"x\"  ", 0, 4, kTitle},
        {"TITLE x", 0, 4, -1},
        {"Domain_Min 0 0.5 -1e2", 0, 4, kDomainMin},
        {"DOMAIN_MAX 1 1", 0, 4, -1},
        {"lut_3d_size 17", 0, 4, kLutSize},
        {"LUT_1D_SIZE 1024", 0, 4, kLutSize},
        {"LUT_3D_SIZE 17 ", 0, 4, -1}, // no trailing blank in this pattern
        {"LUT_3D_SIZE 17", 0, 3, -1},  // out of the 1D .cube range
        {"0 64 128 192", 4, 6, kGridLine},
        {"  0 64 128 192", 4, 6, kGridLine},
        {"0 64 128", 4, 6, -1},
        {"0 64 128 192 ", 4, 6, -1},
        {"mesh 4 12", 4, 6, kMesh},
        {"Mesh 4", 4, 6, -1},
        {"MAX VALUE 4095", 6, 10, kMaxValue},
        {"Vertices 17", 6, 10, kVertices},
        {"lut3d: 17", 6, 10, kLut3DSize},
        {"<LUT3D name='my lut' N='17' BitDepth='12'>", 6, 10, kLut3DTag},
        {"<lut3d name='x' n='17' bitdepth='12'>", 6, 10, kLut3DTag},
        {"Mesh 4 12", 0, 4, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Match(c.line, c.first, c.end), c.expected) << c.line;
}

} // namespace
