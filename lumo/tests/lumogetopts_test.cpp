// The option parser over tables of command-line words.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <QStringList>

#include "lumo/lumogetopts.h"

namespace {

// One getopt call's outcome: the result, the option letter (0: not
// checked), the argument ("<null>" for a null one) and the error text.
struct Step {
    bool result;
    char option;
    char const* argument;
    char const* error;
};

struct Case {
    char const* name;
    char const* options;
    std::vector<char const*> words;
    std::vector<Step> steps;
    std::vector<char const*> nonOptions;
    bool errorAfter;
};

QString text(char const* s)
{
    return s && std::string(s) == "<null>" ? QString() : QString::fromLatin1(s);
}

const char* const kNull = "<null>";

const std::vector<Case> kCases = {
    {"mixed words", "ab:", {"x", "-a", "-bvalue", "-b", "y", "z"},
     {{true, 'a', kNull, ""}, {true, 'b', "value", ""}, {true, 'b', "y", ""}, {false, 'b', "y", ""}},
     {"x", "z"}, false},
    {"only the first letter of a group", "ab", {"-ab"}, {{true, 'a', kNull, ""}, {false, 'a', kNull, ""}}, {}, false},
    {"double dash is the letter '-'", "ab", {"--"}, {{false, '-', kNull, "--: invalid option"}}, {}, true},
    {"double dash allowed", "-a", {"--", "-a"}, {{true, '-', kNull, ""}, {true, 'a', kNull, ""}}, {}, false},
    {"lone dash", "a", {"-", "-a"}, {{false, 0, kNull, "Missing option"}, {true, 'a', kNull, "Missing option"}}, {},
     true},
    {"invalid letter", "ab", {"-q", "-b"}, {{false, 'q', kNull, "-q: invalid option"}, {true, 'b', kNull, "-q: invalid option"}},
     {}, true},
    {"missing argument", "f:", {"-f"}, {{false, 'f', kNull, "-f: missing argument"}}, {}, true},
    {"argument may start with a dash", "f:", {"-f", "-x"}, {{true, 'f', "-x", ""}, {false, 'f', "-x", ""}}, {}, false},
    {"empty word is a non-option", "a", {"", "-a", ""}, {{true, 'a', kNull, ""}, {false, 'a', kNull, ""}}, {"", ""},
     false},
    {"colon is compared like a letter", "a:", {"-:"}, {{true, ':', kNull, ""}}, {}, false},
    {"no words", "a", {}, {{false, 0, kNull, ""}}, {}, false},
    {"letter outside Latin-1 matches nothing", "a", {"-\xe2\x82\xac"}, {{false, 0, kNull, "-\xe2\x82\xac: invalid option"}},
     {}, true},
    {"argument after the previous option's argument is cleared", "ab:", {"-bv", "-a"},
     {{true, 'b', "v", ""}, {true, 'a', kNull, ""}}, {}, false},
};

TEST(LumoGetOpts, WordTables)
{
    for (Case const& c : kCases) {
        SCOPED_TRACE(c.name);
        QStringList words;
        for (char const* w : c.words)
            words << QString::fromUtf8(w);
        LumoGetOpts opts;
        opts.set(words);
        for (size_t i = 0; i < c.steps.size(); ++i) {
            Step const& s = c.steps[i];
            SCOPED_TRACE(i);
            EXPECT_EQ(opts.getopt(c.options), s.result);
            if (s.option) {
                EXPECT_EQ(opts._option, int(quint8(s.option)));
            }
            EXPECT_EQ(opts._argument, text(s.argument));
            EXPECT_EQ(opts._argument.isNull(), std::string(s.argument) == kNull);
            EXPECT_EQ(opts._errorString, QString::fromUtf8(s.error));
        }
        QStringList nonOptions;
        for (char const* w : c.nonOptions)
            nonOptions << QString::fromLatin1(w);
        EXPECT_EQ(opts._nonOptions, nonOptions);
        EXPECT_EQ(opts._error, c.errorAfter);
    }
}

TEST(LumoGetOpts, SetStartsAfresh)
{
    LumoGetOpts opts;
    EXPECT_FALSE(opts._error);
    EXPECT_EQ(opts._option, 0);
    EXPECT_TRUE(opts._errorString.isNull());
    opts.set(QStringList{QStringLiteral("-z"), QStringLiteral("w"), QStringLiteral("-f")});
    EXPECT_FALSE(opts.getopt("f:"));
    EXPECT_TRUE(opts._error);
    EXPECT_FALSE(opts.getopt("f:"));
    EXPECT_EQ(opts._errorString, QStringLiteral("-f: missing argument"));
    EXPECT_EQ(opts._nonOptions, QStringList{QStringLiteral("w")});

    opts.set(QStringList{QStringLiteral("-f"), QStringLiteral("name")});
    EXPECT_FALSE(opts._error);
    EXPECT_EQ(opts._option, 0);
    EXPECT_TRUE(opts._errorString.isNull());
    EXPECT_TRUE(opts._argument.isNull());
    EXPECT_TRUE(opts._nonOptions.isEmpty());
    // A null option string changes nothing and uses up no word.
    EXPECT_FALSE(opts.getopt(nullptr));
    EXPECT_EQ(opts._args.size(), 2);
    EXPECT_TRUE(opts.getopt("f:"));
    EXPECT_EQ(opts._argument, QStringLiteral("name"));
    EXPECT_TRUE(opts._args.isEmpty());
}

} // namespace
