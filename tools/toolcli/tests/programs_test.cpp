// Every tool we install, as a program: --help on standard output with a
// first line saying what the tool is for, --version, misuse named on
// standard error with status 2, option values after '=' or as the next
// word, and failures that end non-zero.
#include "childprocess.h"
#include "tempdir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <vector>

namespace {

using tovik::test::BuildProgram;
using tovik::test::ChildProcess;
using tovik::test::ProgramResult;
using tovik::test::RunProgram;

const int kWaitMs = 20000;

const std::vector<std::string>& Tools()
{
    static const std::vector<std::string> tools = {"tovik-configstore", "tovik-storedump", "tovik-descdump",
                                                   "tovik-convsim"};
    return tools;
}

ProgramResult RunTool(const std::string& tool, std::vector<std::string> args)
{
    args.insert(args.begin(), BuildProgram(tool));
    return RunProgram(args, {}, kWaitMs);
}

std::string FirstLine(const std::string& text)
{
    return text.substr(0, text.find('\n'));
}

TEST(ToolCommandLines, HelpSaysWhatTheToolIsForThenHowToUseIt)
{
    for (const std::string& tool : Tools()) {
        for (const char* help : {"--help", "-h"}) {
            SCOPED_TRACE(tool + " " + help);
            const ProgramResult r = RunTool(tool, {help});
            EXPECT_EQ(r.status, 0);
            EXPECT_EQ(r.err, "");
            const std::string purpose = FirstLine(r.out);
            EXPECT_GT(purpose.size(), 20u) << r.out;
            EXPECT_EQ(purpose.find("sage"), std::string::npos) << "the first line is the purpose: " << purpose;
            EXPECT_EQ(purpose.back(), '.') << purpose;
            EXPECT_NE(r.out.find("\nUsage: " + tool + " "), std::string::npos) << r.out;
            EXPECT_NE(r.out.find("--version"), std::string::npos) << r.out;
        }
    }
}

TEST(ToolCommandLines, VersionNamesTheToolAndTheRelease)
{
    for (const std::string& tool : Tools()) {
        SCOPED_TRACE(tool);
        const ProgramResult r = RunTool(tool, {"--version"});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out.rfind(tool + " (Tovik) ", 0), 0u) << r.out;
        EXPECT_EQ(r.out.find('\n'), r.out.size() - 1) << "one line: " << r.out;
        EXPECT_EQ(r.err, "");
    }
}

TEST(ToolCommandLines, MisuseIsNamedOnStandardErrorWithStatus2)
{
    struct Case {
        std::string tool;
        std::vector<std::string> args;
        std::string said;
    };
    const std::vector<Case> cases = {
        {"tovik-configstore", {"--bogus"}, "unknown option '--bogus'"},
        {"tovik-configstore", {"--port"}, "option '--port' needs a value"},
        {"tovik-configstore", {"--port=70000"}, "bad port '70000' (0 to 65535)"},
        {"tovik-configstore", {"-p", "x"}, "bad port 'x' (0 to 65535)"},
        {"tovik-configstore", {"43110"}, "unexpected argument '43110'"},
        {"tovik-storedump", {"--model"}, "unknown option '--model'"},
        {"tovik-storedump", {"a", "b"}, "more than one URL"},
        {"tovik-descdump", {}, "a model number is needed"},
        {"tovik-descdump", {"1", "2"}, "one model number only"},
        {"tovik-descdump", {"six"}, "bad model number 'six'"},
        {"tovik-descdump", {"-1"}, "unknown option '-1'"},
        {"tovik-descdump", {"--serial-file=/x", "1"}, "unknown option '--serial-file'"},
        {"tovik-convsim", {"--type", "5"}, "--link PATH is required"},
        {"tovik-convsim", {"--link=/tmp/x", "--type=256"}, "--type needs a number 0..255"},
        {"tovik-convsim", {"--link=/tmp/x", "--fault=boom"}, "bad value for --fault: boom"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tool + " " + testing::PrintToString(c.args));
        const ProgramResult r = RunTool(c.tool, c.args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, c.tool + ": " + c.said + "\nTry '" + c.tool + " --help' for more information.\n");
    }
}

TEST(ToolCommandLines, DescdumpFailsForAModelWithoutATable)
{
    const ProgramResult unknown = RunTool("tovik-descdump", {"99"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_EQ(unknown.out, "model 99 result false count 0\n");
    EXPECT_EQ(unknown.err, "tovik-descdump: no complete descriptor table for model 99 (0 to 23 are known)\n");

    const ProgramResult box = RunTool("tovik-descdump", {"0x1"});
    EXPECT_EQ(box.status, 0) << box.err;
    EXPECT_EQ(FirstLine(box.out).rfind("model 1 result true count ", 0), 0u) << FirstLine(box.out);
    EXPECT_EQ(box.err, "");
}

// The store serves on the port given either way; port 0 lets the system
// pick a free one, so this needs no private network.
TEST(ToolCommandLines, ConfigstorePortTakesBothSpellings)
{
    for (const std::vector<std::string>& port : {std::vector<std::string>{"--port=0"},
                                                 std::vector<std::string>{"--port", "0"},
                                                 std::vector<std::string>{"-p0"}}) {
        SCOPED_TRACE(testing::PrintToString(port));
        std::vector<std::string> argv{BuildProgram("tovik-configstore")};
        argv.insert(argv.end(), port.begin(), port.end());
        ChildProcess store;
        ASSERT_TRUE(store.StartPiped(argv));
        std::string line;
        ASSERT_TRUE(store.WaitForLine("serving config 0 on port ", kWaitMs, &line));
        EXPECT_NE(line, "configstore: serving config 0 on port 0") << "the port the system picked";
        EXPECT_EQ(store.Stop(SIGTERM, kWaitMs), 0);
    }
}

TEST(ToolCommandLines, ConvsimLinkAfterEquals)
{
    tovik::test::TempDir dir("convsim-args");
    ChildProcess sim;
    ASSERT_TRUE(sim.StartPiped({BuildProgram("tovik-convsim"), "--link=" + dir.File("tty"), "--type=19"}));
    std::string line;
    ASSERT_TRUE(sim.WaitForLine("serving", kWaitMs, &line));
    EXPECT_NE(line.find("type 19 serving"), std::string::npos) << line;
    EXPECT_NE(line.find(dir.File("tty")), std::string::npos) << line;
    EXPECT_EQ(sim.Stop(SIGTERM, kWaitMs), 0);
}

} // namespace
