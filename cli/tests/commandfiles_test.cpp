// The start-up file in the home directory and the files of the source
// command.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "commandfiles.h"
#include "interpreterfixture.h"
#include "scopedenv.h"
#include "tempdir.h"

namespace knobtest {
namespace {

using tovik::test::ScopedEnv;
using tovik::test::TempDir;

class CommandFileTest : public InterpreterTest {
protected:
    void SetUp() override
    {
        InterpreterTest::SetUp();
        ASSERT_FALSE(_dir.Path().empty());
        _home.reset(new ScopedEnv("HOME", _dir.Path()));
    }

    void TearDown() override
    {
        _home.reset();
        InterpreterTest::TearDown();
    }

    std::string Write(const std::string& name, const std::string& text)
    {
        const std::string path = _dir.File(name);
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    TempDir _dir{"knobctl-home"};
    std::unique_ptr<ScopedEnv> _home;
};

TEST_F(CommandFileTest, StartupFileEchoesAndRunsEveryLine)
{
    Write(".configrc", "hex\n\nget Level\nset Level 10\n");
    EXPECT_EQ(RunStartupFile(0, nullptr, *_knobctl), 1);
    EXPECT_EQ(_out.Take(),
              "hex\n"
              "\n"
              "get Level\n"
              "eParamID_Level == 0x5 \n"
              "set Level 10\n"
              "eParamID_Level = 0x10\n");
    EXPECT_EQ(_err.Take(), "");
}

TEST_F(CommandFileTest, StartupFileStopsAtTheFirstFailingLine)
{
    const std::string path = Write(".configrc", "get Level\nset Level 2\nbogus\nset Level 3\n");
    EXPECT_EQ(RunStartupFile(0, nullptr, *_knobctl), 0);
    EXPECT_EQ(_out.Take(),
              "get Level\n"
              "eParamID_Level == 5 \n"
              "set Level 2\n"
              "eParamID_Level = 2\n"
              "bogus\n"
              "Unknown command bogus\n" +
                  path + ":3: error: failed command bogus\n");
    EXPECT_EQ(Run("get Level").out, "eParamID_Level == 2 \n");
}

TEST_F(CommandFileTest, StartupFileLinesRunUntrimmed)
{
    // A leading blank keeps get's pattern from matching.
    const std::string path = Write(".configrc", " get Level\n");
    EXPECT_EQ(RunStartupFile(0, nullptr, *_knobctl), 0);
    EXPECT_EQ(_out.Take(), " get Level\n" + path + ":1: error: failed command  get Level\n");
    EXPECT_EQ(_err.Take(), "get: missing argument\n");
}

TEST_F(CommandFileTest, StartupFileMissingOrWithoutHome)
{
    EXPECT_EQ(RunStartupFile(0, nullptr, *_knobctl), 0);
    ::unsetenv("HOME");
    EXPECT_EQ(RunStartupFile(0, nullptr, *_knobctl), 1);
    EXPECT_EQ(_out.Take(), "");
    EXPECT_EQ(_err.Take(), "");
}

TEST_F(CommandFileTest, ExitInTheStartupFileEndsTheRun)
{
    Write(".configrc", "exit\n");
    RunStartupFile(0, nullptr, *_knobctl);
    EXPECT_EQ(_exits, 1);
}

TEST_F(CommandFileTest, SourceRunsEveryLineWhateverItsResult)
{
    const std::string path =
        Write("cmds", "  set Level 7\t \n\n   \nbogus\nget Level\nexit\n\tset Label \"a b\"  ");
    const CommandResult r = Run("source " + path);
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.out,
              "eParamID_Level = 7\n"
              "Unknown command \n\n"
              "Unknown command \n\n"
              "Unknown command bogus\n\n"
              "eParamID_Level == 7 \n"
              "eParamID_Label = \"a b\"\n");
    EXPECT_EQ(_exits, 1);
}

TEST_F(CommandFileTest, SourceReadsLongLinesWhole)
{
    const std::string name(10000, 'q');
    const std::string path = Write("long", "get " + name + "\nget Level\n");
    const CommandResult r = Run("source " + path);
    EXPECT_EQ(r.out, "Invalid paramID eParamID_" + name + "\neParamID_Level == 5 \n");
}

TEST_F(CommandFileTest, SourceOfAMissingFileSaysSo)
{
    const CommandResult r = Run("source " + _dir.File("missing"));
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.out, "No such file or directory: " + _dir.File("missing") + "\n");
    const CommandResult none = Run("source");
    EXPECT_EQ(none.result, 0);
    EXPECT_EQ(none.err, "source: missing argument\n");
}

TEST_F(CommandFileTest, AFileThatSourcesItselfStops)
{
    const std::string path = _dir.File("loop");
    Write("loop", "source " + path + "\n");
    const CommandResult r = Run("source " + path);
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.err, "source: files nested too deeply: " + path + "\n");
}

} // namespace
} // namespace knobtest
