// Which list completes a word, and the candidates of each list.
#include <gtest/gtest.h>

#include <cstdlib>

#include "completion.h"
#include "interpreterfixture.h"

namespace knobtest {
namespace {

using Names = std::vector<std::string>;

// Every candidate a generator gives for the text.
Names Candidates(char* (*generator)(const char*, int), const char* text)
{
    Names names;
    for (int state = 0;; ++state) {
        char* name = generator(text, state);
        if (!name)
            break;
        names.push_back(name);
        std::free(name);
    }
    return names;
}

TEST(CompletionTest, ChooseTheList)
{
    const struct {
        const char* line;  // the cursor at the end
        int start;
        CompletionList list;
    } cases[] = {
        {"", 0, CompletionList::Commands},
        {"de", 0, CompletionList::Commands},
        {"get ", 4, CompletionList::ParamNames},
        {"get Dev", 4, CompletionList::ParamNames},
        {"watch Dev", 6, CompletionList::ParamNames},
        {"timing Lev", 7, CompletionList::ParamNames},
        {"get Level ", 10, CompletionList::None},
        {"set Mode ", 9, CompletionList::EnumValues},
        {"set Mode 1", 9, CompletionList::EnumValues},
        {"set Mode 1 ", 11, CompletionList::EnumValues},
        {"set Mode 1 x", 11, CompletionList::None},
        {"timing Mode ", 12, CompletionList::EnumValues},
        {"dump Mode ", 10, CompletionList::None},
        {"source fi", 7, CompletionList::None},
        {"bogus x", 6, CompletionList::None},
        {"   ", 3, CompletionList::None},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const std::string line = c.line;
        EXPECT_EQ(int(ChooseCompletion(line, c.start, int(line.size()))), int(c.list));
    }
}

TEST(CompletionTest, SecondWordAsIdName)
{
    EXPECT_EQ(SecondWordAsIdName("set Mode 1"), "eParamID_Mode");
    EXPECT_EQ(SecondWordAsIdName("set  eParamID_Mode "), "eParamID_Mode");
    EXPECT_EQ(SecondWordAsIdName("set"), "");
    EXPECT_EQ(SecondWordAsIdName(""), "");
}

TEST(CompletionTest, CommandNames)
{
    EXPECT_EQ(Candidates(CommandNameGenerator, "d"), (Names{"describe", "dump", "decimal"}));
    EXPECT_EQ(Candidates(CommandNameGenerator, "s"), (Names{"set", "source"}));
    EXPECT_EQ(Candidates(CommandNameGenerator, "e"), Names{});
    EXPECT_EQ(Candidates(CommandNameGenerator, "").size(), 16u);
    EXPECT_NE(FindCommand("iswatched"), nullptr);
    EXPECT_EQ(FindCommand("exit"), nullptr);
    EXPECT_EQ(FindCommand("watc"), nullptr);
}

TEST_F(InterpreterTest, ParamNamesLackThePrefix)
{
    EXPECT_EQ(ParamNameList, (Names{"Level", "Mode", "Label", "Blob", "Gain", "Odd"}));
    EXPECT_EQ(Candidates(ParamNameGenerator, "L"), (Names{"Level", "Label"}));
    EXPECT_EQ(Candidates(ParamNameGenerator, "eParamID_"), Names{});
}

TEST_F(InterpreterTest, EnumValuesInAscendingOrder)
{
    EXPECT_EQ(EnumCompletionEntries(ActiveConfig, "set Mode "), (Names{"1 (Auto)", "2 (Manual)", "5 (Off)"}));
    EXPECT_EQ(EnumCompletionEntries(ActiveConfig, "timing eParamID_Mode 2"),
              (Names{"1 (Auto)", "2 (Manual)", "5 (Off)"}));
    EXPECT_EQ(EnumCompletionEntries(ActiveConfig, "set Level "), Names{});
    EXPECT_EQ(EnumCompletionEntries(ActiveConfig, "set Nope "), Names{});
    EXPECT_EQ(EnumCompletionEntries(nullptr, "set Mode "), Names{});
}

} // namespace
} // namespace knobtest
