// The text helpers and the argument scanner: tokenizer, splitter, whole-file
// reader, scanf-like words and width-independent numbers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <unistd.h>

#include "argumentscanner.h"
#include "tempdir.h"
#include "texthelpers.h"

namespace {

using Words = std::vector<std::string>;

TEST(TextHelpersTest, TokenizeCommandLine)
{
    const struct {
        const char* line;
        Words words;
    } cases[] = {
        {"", {}},
        {"   ", {}},
        {"set a 1", {"set", "a", "1"}},
        {"  set\ta  1 \n", {"set", "a", "1"}},
        {"set a \"two words\"", {"set", "a", "two words"}},
        {"set a \"two   words\" tail", {"set", "a", "two   words", "tail"}},
        {"set a \"one\"", {"set", "a", "one"}},
        {"set a \"", {"set", "a", ""}},
        {"set a \"\"", {"set", "a", ""}},
        {"set a \"open to the end", {"set", "a", "open to the end"}},
        {"\"a\"b c", {"a\"b c"}},
        {"x \"a b\"c d", {"x", "a b", "c", "d"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(TokenizeCommandLine(c.line), c.words);
    }
}

TEST(TextHelpersTest, SplitString)
{
    EXPECT_EQ(SplitString("a\n\nb\n", '\n'), (Words{"a", "", "b"}));
    EXPECT_EQ(SplitString("", '\n'), Words{});
    EXPECT_EQ(SplitString("\n", '\n'), Words{""});
    EXPECT_EQ(SplitString("one", '\n'), Words{"one"});
    EXPECT_EQ(SplitString("a,b", ','), (Words{"a", "b"}));
}

TEST(TextHelpersTest, ReadFile)
{
    const tovik::test::TempDir dir("knobctl-read");
    ASSERT_FALSE(dir.Path().empty());
    const std::string& base = dir.Path();
    std::string text = "left";
    testing::internal::CaptureStderr();
    EXPECT_FALSE(read_file((base + "/missing").c_str(), text));
    EXPECT_EQ(text, "left");
    std::ofstream(base + "/empty");
    EXPECT_TRUE(read_file((base + "/empty").c_str(), text));
    EXPECT_EQ(text, "");
    const std::string big(3 << 20, 'z');
    std::ofstream(base + "/big", std::ios::binary) << big << std::string("\0end", 4);
    EXPECT_TRUE(read_file((base + "/big").c_str(), text));
    EXPECT_EQ(text, big + std::string("\0end", 4));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    // A directory opens but cannot be read.
    testing::internal::CaptureStderr();
    EXPECT_FALSE(read_file(base.c_str(), text));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "::read_file - read failed to read enough data\n");
}

TEST(TextHelpersTest, Trim)
{
    EXPECT_EQ(TrimLeadingBlanks(" \t a b \t"), "a b \t");
    EXPECT_EQ(TrimTrailingBlanks(" a b \t "), " a b");
    EXPECT_EQ(TrimTrailingBlanks("a\n"), "a\n");
    EXPECT_EQ(TrimLeadingBlanks(" \t"), "");
    EXPECT_EQ(TrimTrailingBlanks(" \t"), "");
}

TEST(ArgumentScannerTest, KeywordWords)
{
    const struct {
        const char* line;
        const char* keyword;
        bool found;
        const char* word;
    } cases[] = {
        {"get Level", "get", true, "Level"},
        {"get   Level more", "get", true, "Level"},
        {"get\tLevel\n", "get", true, "Level"},
        {"getLevel", "get", true, "Level"},
        {"get ", "get", false, ""},
        {"get", "get", false, ""},
        {" get Level", "get", false, ""},
        {"xget Level", "get", false, ""},
        {"dump *", "dump", true, "*"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        std::string word;
        EXPECT_EQ(ScanArgumentWord(c.line, c.keyword, word), c.found);
        EXPECT_EQ(word, c.word);
    }
    const std::string name(100000, 'w');
    std::string word;
    EXPECT_TRUE(ScanArgumentWord("get " + name, "get", word));
    EXPECT_EQ(word, name);
}

TEST(ArgumentScannerTest, IntegersInBothFormats)
{
    const struct {
        const char* text;
        const char* format;
        bool read;
        std::int32_t value;
    } cases[] = {
        {"42", kDecimalFormat, true, 42},
        {"  -42", kDecimalFormat, true, -42},
        {"+7", kDecimalFormat, true, 7},
        {"12abc", kDecimalFormat, true, 12},
        {"2147483647", kDecimalFormat, true, 2147483647},
        {"2147483648", kDecimalFormat, true, INT32_MIN},
        {"4294967295", kDecimalFormat, true, -1},
        {"4294967296", kDecimalFormat, false, 0},
        {"-2147483648", kDecimalFormat, true, INT32_MIN},
        {"-2147483649", kDecimalFormat, false, 0},
        {"99999999999999999999999", kDecimalFormat, false, 0},
        {"abc", kDecimalFormat, false, 0},
        {"", kDecimalFormat, false, 0},
        {"-", kDecimalFormat, false, 0},
        {"0x10", kDecimalFormat, true, 0},
        {"ff", kHexInputFormat, true, 255},
        {"FF", kHexInputFormat, true, 255},
        {"0x10", kHexInputFormat, true, 16},
        {"0Xa", kHexInputFormat, true, 10},
        {"0xg", kHexInputFormat, true, 0},
        {"FFFFFFFF", kHexInputFormat, true, -1},
        {"100000000", kHexInputFormat, false, 0},
        {"-1", kHexInputFormat, true, -1},
        {"zz", kHexInputFormat, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " " + c.format);
        const std::string text = c.text;
        ArgumentScanner scanner(text);
        std::int32_t value = 0;
        EXPECT_EQ(scanner.Integer(c.format, value), c.read);
        EXPECT_EQ(value, c.value);
    }
}

TEST(ArgumentScannerTest, CNotationNumbers)
{
    const struct {
        const char* text;
        bool read;
        std::int64_t value;
        size_t end;
    } cases[] = {
        {"10", true, 10, 2},
        {"0x1F", true, 31, 4},
        {"010", true, 8, 3},
        {"09", true, 0, 1},
        {" -0x10z", true, -16, 6},
        {"9223372036854775807", true, INT64_MAX, 19},
        {"9223372036854775808", false, 0, 19},
        {"-9223372036854775808", true, INT64_MIN, 20},
        {"x", false, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::int64_t value = 0;
        size_t end = 99;
        EXPECT_EQ(ReadNumber(c.text, 0, value, &end), c.read);
        EXPECT_EQ(value, c.value);
        EXPECT_EQ(end, c.end);
    }
}

TEST(ArgumentScannerTest, TimingPattern)
{
    const std::string line = "timing eParamID_X -5 rest";
    ArgumentScanner scanner(line);
    std::string name;
    std::int32_t start = 0;
    EXPECT_TRUE(scanner.Literal("timing"));
    EXPECT_TRUE(scanner.Word(name));
    EXPECT_TRUE(scanner.Integer(kDecimalFormat, start));
    EXPECT_EQ(name, "eParamID_X");
    EXPECT_EQ(start, -5);
}

} // namespace
