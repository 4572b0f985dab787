// Program arguments to action, config id and operands.
#include <gtest/gtest.h>

#include "commandline.h"

namespace {

using Action = CommandLine::Action;

TEST(CommandLineTest, ArgumentTable)
{
    const struct {
        std::vector<std::string> args;  // after the program name
        Action action;
        int configID;
        std::string name;
        std::string value;
    } cases[] = {
        {{}, Action::Interactive, 0, "", ""},
        {{"-h"}, Action::Usage, 0, "", ""},
        {{"-?"}, Action::Usage, 0, "", ""},
        {{"--help"}, Action::Usage, 0, "", ""},
        {{"-h", "x"}, Action::Interactive, 0, "", ""},
        {{"--config", "0"}, Action::Interactive, 0, "", ""},
        {{"--config", "3"}, Action::Interactive, 3, "", ""},
        {{"--config", "4"}, Action::Interactive, 4, "", ""},
        {{"--config", "5"}, Action::BadConfigID, 0, "", ""},
        {{"--config", "-1"}, Action::BadConfigID, 0, "", ""},
        {{"--config", "4294967297"}, Action::BadConfigID, 0, "", ""},
        {{"--config", "99999999999999999999999"}, Action::BadConfigID, 0, "", ""},
        {{"--config", "abc"}, Action::Interactive, 0, "", ""},
        {{"--config", "2x"}, Action::Interactive, 2, "", ""},
        {{"--config"}, Action::Interactive, 0, "", ""},
        {{"--config", "2", "-get"}, Action::Interactive, 0, "", ""},
        {{"--mapped"}, Action::Mapped, 0, "", ""},
        {{"--mapped", "x"}, Action::Interactive, 0, "", ""},
        {{"-get", "eParamID_X"}, Action::Get, 0, "eParamID_X", ""},
        {{"-get"}, Action::WrongArgCount, 0, "", ""},
        {{"-get", "a", "b"}, Action::WrongArgCount, 0, "", ""},
        {{"-set", "eParamID_X", "0x10"}, Action::Set, 0, "eParamID_X", "0x10"},
        {{"-set", "eParamID_X"}, Action::WrongArgCount, 0, "", ""},
        {{"--settings"}, Action::WrongArgCount, 0, "", ""},
        {{"-dump"}, Action::Dump, 0, "*", ""},
        {{"-dump", "eParamID_X"}, Action::Dump, 0, "eParamID_X", ""},
        {{"-dump", "a", "b"}, Action::Dump, 0, "*", ""},
        {{"-describe"}, Action::Describe, 0, "*", ""},
        {{"-describe", "eParamID_X"}, Action::Describe, 0, "eParamID_X", ""},
        {{"anything"}, Action::Interactive, 0, "", ""},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"knobctl"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        std::string trace;
        for (const std::string& a : args)
            trace += a + " ";
        SCOPED_TRACE(trace);
        const CommandLine parsed = ParseCommandLine(args);
        EXPECT_EQ(int(parsed.action), int(c.action));
        EXPECT_EQ(parsed.configID, c.configID);
        EXPECT_EQ(parsed.name, c.name);
        EXPECT_EQ(parsed.value, c.value);
    }
}

TEST(CommandLineTest, ArgvFormMatchesTheVectorForm)
{
    char program[] = "knobctl";
    char option[] = "-set";
    char name[] = "eParamID_X";
    char value[] = "7";
    char* argv[] = {program, option, name, value, nullptr};
    const CommandLine parsed = ParseCommandLine(4, argv);
    EXPECT_EQ(parsed.action, Action::Set);
    EXPECT_EQ(parsed.name, "eParamID_X");
    EXPECT_EQ(parsed.value, "7");
}

} // namespace
