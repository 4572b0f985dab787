// The start-up file in the home directory and the files of the source
// command.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "commandfiles.h"
#include "interpreterfixture.h"

namespace knobtest {
namespace {

class CommandFileTest : public InterpreterTest {
protected:
    void SetUp() override
    {
        InterpreterTest::SetUp();
        char dir[] = "/tmp/knobctl-home-XXXXXX";
        ASSERT_NE(::mkdtemp(dir), nullptr);
        _dir = dir;
        const char* home = std::getenv("HOME");
        _hadHome = home != nullptr;
        if (home)
            _home = home;
        ::setenv("HOME", _dir.c_str(), 1);
    }

    void TearDown() override
    {
        if (_hadHome)
            ::setenv("HOME", _home.c_str(), 1);
        else
            ::unsetenv("HOME");
        std::system(("rm -rf '" + _dir + "'").c_str());
        InterpreterTest::TearDown();
    }

    std::string Write(const std::string& name, const std::string& text)
    {
        const std::string path = _dir + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    std::string _dir;
    std::string _home;
    bool _hadHome = false;
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
    const CommandResult r = Run("source " + _dir + "/missing");
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.out, "No such file or directory: " + _dir + "/missing\n");
    const CommandResult none = Run("source");
    EXPECT_EQ(none.result, 0);
    EXPECT_EQ(none.err, "source: missing argument\n");
}

TEST_F(CommandFileTest, AFileThatSourcesItselfStops)
{
    const std::string path = _dir + "/loop";
    Write("loop", "source " + path + "\n");
    const CommandResult r = Run("source " + path);
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.err, "source: files nested too deeply: " + path + "\n");
}

} // namespace
} // namespace knobtest
