// The tovik-convsim program: options, serving, verbose log, signals, exit.
#include "childprocess.h"
#include "framing.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <vector>

using namespace convsimtest;
using tovik::test::PathExists;
using tovik::test::ReadFile;

namespace {

std::string Program()
{
    return tovik::test::BuildProgram("tovik-convsim");
}


// Runs the program with its output in a file.
class Child {
public:
    Child(const std::vector<std::string>& args, const std::string& out)
    {
        std::vector<std::string> argv{Program()};
        argv.insert(argv.end(), args.begin(), args.end());
        _process.Start(argv, out);
    }
    // Exit status, or -1 when it did not end in time.
    int Wait(int timeoutMs) { return _process.Wait(timeoutMs); }
    void Signal(int sig) { _process.Signal(sig); }
    bool Running() { return _process.Running(); }

private:
    tovik::test::ChildProcess _process;
};

bool WaitFor(const std::string& path, int timeoutMs)
{
    return tovik::test::WaitUntil([&path] { return PathExists(path); }, timeoutMs);
}

TEST(Program, ServesUntilSignalled)
{
    for (int sig : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(sig);
        TempDir dir;
        const std::string link = dir.Path() + "/ttyCONV2";
        const std::string out = dir.Path() + "/out";
        Child child({"--link", link, "--type", "18", "--serial", "PENDRO01", "--protocol-version", "2", "-v"},
                    out);
        ASSERT_TRUE(WaitFor(link, 5000));
        PseudoTerminal client(link);
        ASSERT_TRUE(client.Ok());
        EXPECT_EQ(Hex(Exchange(client, FromHex("80 00 03"))), "C0 00 05 00 02");
        EXPECT_EQ(Hex(Exchange(client, FromHex("83 00 03"))), "C3 00 05 00 12");
        EXPECT_EQ(Hex(Exchange(client, FromHex("9B 00 03"))), "DB 00 0C 00 50 45 4E 44 52 4F 30 31");
        client.Close();
        child.Signal(sig);
        EXPECT_EQ(child.Wait(5000), 0);
        EXPECT_FALSE(PathExists(link));
        const std::string text = ReadFile(out);
        EXPECT_NE(text.find("type 18 serving /dev/pts/"), std::string::npos) << text;
        EXPECT_NE(text.find("#1 "), std::string::npos) << text;
        EXPECT_NE(text.find("0x80: 80 00 03 -> C0 00 05 00 02"), std::string::npos) << text;
        EXPECT_NE(text.find("0x9b: 9B 00 03 -> DB 00 0C 00"), std::string::npos) << text;
    }
}

TEST(Program, DumpShowsTheBytesAsTheyChange)
{
    TempDir dir;
    const std::string link = dir.Path() + "/ttyCONV4";
    const std::string out = dir.Path() + "/out";
    Child child({"--link", link, "--type", "8", "--dump"}, out);
    ASSERT_TRUE(WaitFor(link, 5000));
    PseudoTerminal client(link);
    ASSERT_TRUE(client.Ok());
    // A configuration parameter write, then a register write.
    EXPECT_EQ(Hex(Exchange(client, FromHex("8D 00 0A 00 00 00 01 00 01 5A"))), "CD 00 04 00");
    EXPECT_EQ(Hex(Exchange(client, FromHex("9D 00 0B 01 00 00 00 00 03 01 77"))), "DD 00 04 00");
    EXPECT_EQ(Hex(Exchange(client, FromHex("80 00 03"))), "C0 00 05 00 01");
    client.Close();
    child.Signal(SIGTERM);
    EXPECT_EQ(child.Wait(5000), 0);
    const std::string text = ReadFile(out);
    const size_t first = text.find("config 0/0: 00 00 00 14\n");
    const size_t changed = text.find("config 0/0: 00 5A 00 14\n");
    const size_t status = text.find("status 0-63: 08 01 00 77 00");
    EXPECT_NE(first, std::string::npos) << text;
    EXPECT_NE(changed, std::string::npos) << text;
    EXPECT_NE(status, std::string::npos) << text;
    EXPECT_LT(first, changed);
    EXPECT_LT(changed, status);
    // Nothing changed with the last command: no further line.
    EXPECT_EQ(text.find("\n", status), text.size() - 1) << text;
}

// Writes lines to a control pipe.
bool Tell(const std::string& pipe, const std::string& lines)
{
    const int fd = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, lines.data(), lines.size()) == ssize_t(lines.size());
    ::close(fd);
    return ok;
}

TEST(Program, ControlPipeChangesTheRunningConverter)
{
    TempDir dir;
    const std::string link = dir.Path() + "/ttyCONV5";
    const std::string pipe = dir.Path() + "/control";
    const std::string out = dir.Path() + "/out";
    Child child({"--link", link, "--type", "19", "--control", pipe}, out);
    ASSERT_TRUE(WaitFor(link, 5000));
    PseudoTerminal client(link);
    ASSERT_TRUE(client.Ok());
    // Register 43 (input present) and 59 of the status image.
    EXPECT_EQ(Hex(Exchange(client, FromHex("9E 00 0A 01 00 00 00 00 2B 01"))), "DE 00 06 00 01 80");
    ASSERT_TRUE(Tell(pipe, "reg 43 0x00\nnonsense 1\nreg 0x3B 0xA0 7\nreg 40 256\n"));
    // The lines take effect one by one while the converter serves: wait
    // for the last good one, then the first has too.
    ASSERT_TRUE(tovik::test::WaitUntil(
        [&] { return Hex(Exchange(client, FromHex("9E 00 0A 01 00 00 00 00 3B 02"))) == "DE 00 07 00 02 A0 07"; }, 3000));
    EXPECT_EQ(Hex(Exchange(client, FromHex("9E 00 0A 01 00 00 00 00 2B 01"))), "DE 00 06 00 01 00");
    // The converter stops answering.
    ASSERT_TRUE(Tell(pipe, "fault silence\n"));
    ASSERT_TRUE(tovik::test::WaitUntil([&] { return Exchange(client, FromHex("80 00 03"), 300).empty(); }, 3000));
    ASSERT_TRUE(Tell(pipe, "clearfaults\n"));
    ASSERT_TRUE(tovik::test::WaitUntil([&] { return !Exchange(client, FromHex("80 00 03"), 300).empty(); }, 3000));
    client.Close();
    child.Signal(SIGTERM);
    EXPECT_EQ(child.Wait(5000), 0);
    EXPECT_FALSE(PathExists(pipe));
    const std::string text = ReadFile(out);
    EXPECT_NE(text.find("control: unknown command: nonsense"), std::string::npos) << text;
    EXPECT_NE(text.find("control: reg: not a byte: 256"), std::string::npos) << text;
}

TEST(Program, ReplugGivesAFreshTerminalAtTheSameLink)
{
    TempDir dir;
    const std::string link = dir.Path() + "/ttyCONV6";
    const std::string pipe = dir.Path() + "/control";
    const std::string out = dir.Path() + "/out";
    Child child({"--link", link, "--type", "5", "--control", pipe}, out);
    ASSERT_TRUE(WaitFor(link, 5000));
    PseudoTerminal first(link);
    ASSERT_TRUE(first.Ok());
    EXPECT_EQ(Hex(Exchange(first, FromHex("80 00 03"))), "C0 00 05 00 01");

    ASSERT_TRUE(Tell(pipe, "replug 2x\nreplug 10001\nreplug 300\n"));
    // Unplugged for the pause: the link goes, then comes back.
    ASSERT_TRUE(tovik::test::WaitUntil([&] { return !PathExists(link); }, 3000));
    ASSERT_TRUE(WaitFor(link, 5000));
    EXPECT_TRUE(Exchange(first, FromHex("80 00 03"), 300).empty()) << "the old line is dead";
    PseudoTerminal second(link);
    ASSERT_TRUE(second.Ok());
    EXPECT_EQ(Hex(Exchange(second, FromHex("80 00 03"))), "C0 00 05 00 01");
    EXPECT_TRUE(child.Running());

    child.Signal(SIGTERM);
    EXPECT_EQ(child.Wait(5000), 0);
    const std::string text = ReadFile(out);
    EXPECT_NE(text.find("control: replug: not a pause in ms up to 10000: 2x"), std::string::npos) << text;
    EXPECT_NE(text.find("control: replug: not a pause in ms up to 10000: 10001"), std::string::npos) << text;
}

TEST(Program, ExitsWhenUnplugged)
{
    TempDir dir;
    const std::string link = dir.Path() + "/ttyCONV3";
    Child child({"--link", link, "--fault", "unplug,code=0x81"}, dir.Path() + "/out");
    ASSERT_TRUE(WaitFor(link, 5000));
    PseudoTerminal client(link);
    ASSERT_TRUE(client.Ok());
    EXPECT_EQ(Hex(Exchange(client, FromHex("80 00 03"))), "C0 00 05 00 01");
    ASSERT_TRUE(client.Send(FromHex("81 00 03")));
    EXPECT_EQ(child.Wait(5000), 3);
    EXPECT_FALSE(PathExists(link));
    EXPECT_NE(ReadFile(dir.Path() + "/out").find("unplugged"), std::string::npos);
}

TEST(Program, RefusesBadOptions)
{
    TempDir dir;
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--type", "5"}, std::vector<std::string>{"--link", dir.Path() + "/x", "--fault", "boom"}}) {
        Child child(args, dir.Path() + "/out");
        EXPECT_EQ(child.Wait(5000), 2);
    }
    EXPECT_FALSE(PathExists(dir.Path() + "/x"));
}

} // namespace
