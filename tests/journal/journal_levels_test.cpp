// The programs' lines in the journal: with JOURNAL_STREAM naming their
// output file each line carries its level; with it naming another stream,
// or unset, the file holds what it always did.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <csignal>
#include <sstream>
#include <string>
#include <vector>

#include "childprocess.h"
#include "tempdir.h"

using tovik::test::BuildProgram;
using tovik::test::ChildProcess;
using tovik::test::TempDir;
using tovik::test::WaitUntil;

namespace {

// A log file made before the program starts, and the JOURNAL_STREAM value
// that names it (the program's start empties it in place).
std::string MakeStream(const std::string& path)
{
    ChildProcess touch;
    if (!touch.Start({"/bin/true"}, path) || touch.Wait(10000) != 0)
        return std::string();
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
        return std::string();
    return std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

bool Holds(const ChildProcess& program, const std::string& text)
{
    return program.Output().find(text) != std::string::npos;
}

class JournalLevelsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(_dir.Path().empty()); }

    TempDir _dir;
};

TEST_F(JournalLevelsTest, StoreLinesCarryTheirLevel)
{
    const std::string log = _dir.File("store.log");
    const std::string named = MakeStream(log);
    ASSERT_FALSE(named.empty());
    ChildProcess store;
    ASSERT_TRUE(store.Start({BuildProgram("tovik-configstore")}, log, {{"JOURNAL_STREAM", named}}));
    ASSERT_TRUE(WaitUntil([&] { return Holds(store, "serving config 0"); }, 10000)) << store.Output();

    // A second store on the same port: the store library's line and the
    // program's own.
    const std::string secondLog = _dir.File("second.log");
    const std::string secondNamed = MakeStream(secondLog);
    ChildProcess second;
    ASSERT_TRUE(second.Start({BuildProgram("tovik-configstore")}, secondLog, {{"JOURNAL_STREAM", secondNamed}}));
    EXPECT_EQ(second.Wait(20000), 1);
    EXPECT_EQ(second.Output(), "<4>paramlink: port 43110 is in use\n<3>configstore: cannot serve on port 43110\n");

    EXPECT_EQ(store.Stop(SIGTERM, 5000), 0);
    EXPECT_EQ(store.Output(), "<6>configstore: serving config 0 on port 43110\n<6>configstore: stopping on signal 15\n");
}

TEST_F(JournalLevelsTest, StoreLinesElsewhereAreUnchanged)
{
    const std::string log = _dir.File("store.log");
    const std::string named = MakeStream(log);
    ASSERT_FALSE(named.empty());
    // Another stream named (a program run from the service with its output
    // redirected), then none.
    for (const std::string& other : {std::string("1:1"), named + "1", std::string()}) {
        ChildProcess store;
        const ChildProcess::Environment env = {{"JOURNAL_STREAM", other}};
        ASSERT_TRUE(store.Start({BuildProgram("tovik-configstore")}, log, other.empty() ? ChildProcess::Environment{} : env));
        ASSERT_TRUE(WaitUntil([&] { return Holds(store, "serving config 0"); }, 10000)) << store.Output();
        EXPECT_EQ(store.Stop(SIGTERM, 5000), 0);
        EXPECT_EQ(store.Output(), "configstore: serving config 0 on port 43110\nconfigstore: stopping on signal 15\n")
            << other;
    }
}

// Portvane without a store and without converters: its Qt messages (a
// warning as root, debug lines) and the store library's lines.
TEST_F(JournalLevelsTest, PortvaneLinesCarryTheirLevel)
{
    const std::string log = _dir.File("portvane.log");
    const std::string named = MakeStream(log);
    ASSERT_FALSE(named.empty());
    const std::string wanted = "<7>Error connecting to main config";
    std::string journalOutput;
    {
        ChildProcess portvane;
        ASSERT_TRUE(portvane.Start({BuildProgram("Portvane")}, log,
                                   {{"JOURNAL_STREAM", named}, {"PORTVANE_SERIAL_PORTS", _dir.File("tty0")}}));
        EXPECT_TRUE(WaitUntil([&] { return Holds(portvane, wanted); }, 20000)) << portvane.Output();
        portvane.Stop(SIGTERM, 10000);
        journalOutput = portvane.Output();
    }
    const std::vector<std::string> lines = Lines(journalOutput);
    ASSERT_FALSE(lines.empty());
    for (const std::string& line : lines) {
        const bool leveled = line.size() >= 3 && line[0] == '<' && line[2] == '>' &&
                             std::string("3467").find(line[1]) != std::string::npos;
        EXPECT_TRUE(leveled) << line;
    }
    EXPECT_NE(journalOutput.find("<7>Server started\n"), std::string::npos) << journalOutput;
    if (::getuid() == 0) {
        EXPECT_EQ(lines.front(), "<4>This application will not run properly as root.");
    }
    EXPECT_NE(journalOutput.find("<4>paramlink: "), std::string::npos) << journalOutput;

    // Unset: the same lines without a level.
    ChildProcess portvane;
    ASSERT_TRUE(portvane.Start({BuildProgram("Portvane")}, log, {{"PORTVANE_SERIAL_PORTS", _dir.File("tty0")}}));
    EXPECT_TRUE(WaitUntil([&] { return Holds(portvane, "Error connecting to main config"); }, 20000))
        << portvane.Output();
    portvane.Stop(SIGTERM, 10000);
    const std::vector<std::string> plain = Lines(portvane.Output());
    ASSERT_FALSE(plain.empty());
    for (const std::string& line : plain)
        EXPECT_NE(line.rfind('<', 0), 0u) << line;
    EXPECT_EQ("<" + std::string(1, lines.front()[1]) + ">" + plain.front(), lines.front());
}

} // namespace
