// The pseudo-terminal: link, raw modes, hang-up, restart, the command log.
#include "framing.h"
#include "testpaths.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <mutex>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

using namespace convsimtest;
using tovik::test::PathExists;
using convsim::Personality;
using convsim::Simulator;

namespace {

std::string LinkTarget(const std::string& path)
{
    char buf[256];
    const ssize_t n = readlink(path.c_str(), buf, sizeof buf - 1);
    return n > 0 ? std::string(buf, size_t(n)) : std::string();
}


TEST(Pty, LinkAppearsAndGoesWithStop)
{
    TempDir dir;
    const std::string link = dir.Path() + "/ttyCONV1";
    Simulator sim(Personality::ForType(5));
    std::string error;
    ASSERT_TRUE(sim.Start(link, &error)) << error;
    EXPECT_TRUE(sim.IsPlugged());
    EXPECT_EQ(LinkTarget(link), sim.SlaveName());
    EXPECT_EQ(sim.LinkPath(), link);
    EXPECT_EQ(sim.SlaveName().rfind("/dev/pts/", 0), 0u);
    sim.Stop();
    EXPECT_FALSE(PathExists(link));
    EXPECT_FALSE(sim.IsPlugged());
}

TEST(Pty, StaleLinkIsReplacedOtherFilesAreNot)
{
    TempDir dir;
    const std::string link = dir.Path() + "/ttyCONV0";
    ASSERT_EQ(symlink("/dev/pts/does-not-exist", link.c_str()), 0);
    Simulator sim(Personality::ForType(5));
    std::string error;
    ASSERT_TRUE(sim.Start(link, &error)) << error;
    EXPECT_EQ(LinkTarget(link), sim.SlaveName());
    sim.Stop();

    const std::string file = dir.Path() + "/plain";
    std::ofstream(file) << "keep me";
    EXPECT_FALSE(sim.Start(file, &error));
    EXPECT_NE(error.find("not a symbolic link"), std::string::npos) << error;
    std::ifstream in(file);
    std::string text;
    std::getline(in, text);
    EXPECT_EQ(text, "keep me");
    EXPECT_FALSE(sim.IsPlugged());
}

TEST(Pty, StopLeavesALinkThatIsNoLongerOurs)
{
    TempDir dir;
    const std::string link = dir.Path() + "/ttyCONV0";
    Simulator sim(Personality::ForType(5));
    ASSERT_TRUE(sim.Start(link));
    // Someone else took the path over in the meantime.
    ASSERT_EQ(unlink(link.c_str()), 0);
    ASSERT_EQ(symlink("/dev/null", link.c_str()), 0);
    sim.Stop();
    EXPECT_EQ(LinkTarget(link), "/dev/null");
}

TEST(Pty, SlaveIsRawBeforeAnyoneConfiguresIt)
{
    TempDir dir;
    const std::string link = dir.Path() + "/ttyCONV0";
    Simulator sim(Personality::ForType(5));
    ASSERT_TRUE(sim.Start(link));
    PseudoTerminal client(link, false);
    ASSERT_TRUE(client.Ok());
    termios t{};
    ASSERT_EQ(tcgetattr(client.Fd(), &t), 0);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ECHONL | ISIG | IEXTEN), 0u);
    EXPECT_EQ(t.c_iflag & (ICRNL | INLCR | IGNCR | IXON | ISTRIP), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t(CS8));

    // Bytes that a cooked line would translate, echo or swallow pass
    // unchanged both ways: CR, LF, ^C, ^D, ^S, ^Q and 0x7F.
    const Bytes data = FromHex("0D 0A 03 04 13 11 7F 0A");
    EXPECT_EQ(Hex(Exchange(client, Concat(FromHex("9D 00 12 01 00 00 00 01 00 08"), data))), "DD 00 04 00");
    EXPECT_EQ(Hex(Exchange(client, FromHex("9E 00 0A 01 00 00 00 01 00 08"))),
              Hex(Concat(FromHex("DE 00 0D 00 08"), data)));
    EXPECT_EQ(Hex(client.ReceiveQuiet(50)), "");
}

TEST(Pty, SlaveMayBeClosedAndOpenedAgain)
{
    SimRig rig(Personality::ForType(5));
    EXPECT_EQ(Hex(Exchange(rig.Client(), FromHex("80 00 03"))), "C0 00 05 00 01");
    rig.Client().Close();
    // The converter stays plugged while nobody has the port open.
    usleep(100 * 1000);
    EXPECT_TRUE(rig.Sim().IsPlugged());
    ASSERT_TRUE(rig.Client().Open(rig.Link()));
    EXPECT_EQ(Hex(Exchange(rig.Client(), FromHex("83 00 03"))), "C3 00 05 00 05");
}

TEST(Pty, RestartKeepsTheConverterState)
{
    SimRig rig(Personality::ForType(14));
    EXPECT_EQ(Hex(Exchange(rig.Client(), FromHex("9C 00 0B 4E 45 57 53 45 52 49 41"))), "DC 00 04 00");
    rig.Sim().Stop();
    std::string error;
    ASSERT_TRUE(rig.Sim().Start(rig.Link(), &error)) << error;
    ASSERT_TRUE(rig.Client().Open(rig.Link()));
    EXPECT_EQ(LinkTarget(rig.Link()), rig.Sim().SlaveName());
    EXPECT_EQ(Hex(Exchange(rig.Client(), FromHex("9B 00 03"))), "DB 00 0C 00 4E 45 57 53 45 52 49 41");
}

TEST(Pty, UnplugThenPlugInAgain)
{
    SimRig rig(Personality::ForType(5));
    convsim::Fault f;
    f.kind = convsim::Fault::Kind::Unplug;
    f.code = 0x80;
    f.times = 1;
    rig.Sim().AddFault(f);
    ASSERT_TRUE(rig.Client().Send(FromHex("80 00 03")));
    ASSERT_TRUE(rig.Sim().WaitUnplugged(2000));
    ASSERT_TRUE(rig.Sim().Start(rig.Link()));
    ASSERT_TRUE(rig.Client().Open(rig.Link()));
    EXPECT_EQ(Hex(Exchange(rig.Client(), FromHex("80 00 03"))), "C0 00 05 00 01");
}

TEST(Log, RecordsEveryCommandWithItsAnswer)
{
    SimRig rig(Personality::ForType(5));
    std::vector<uint64_t> seen;
    std::mutex m;
    rig.Sim().SetObserver([&](const convsim::LogEntry& e) {
        std::lock_guard<std::mutex> lock(m);
        seen.push_back(e.index);
    });
    Exchange(rig.Client(), FromHex("80 00 03"));
    Exchange(rig.Client(), FromHex("9E 00 0A 01 00 00 00 00 01 02"));
    Exchange(rig.Client(), FromHex("7E 00 04 55"));
    ASSERT_TRUE(rig.Sim().WaitForCommands(3, 2000));
    const auto log = rig.Sim().Log();
    ASSERT_EQ(log.size(), 3u);
    const std::vector<std::pair<const char*, const char*>> want = {
        {"80 00 03", "C0 00 05 00 01"},
        {"9E 00 0A 01 00 00 00 00 01 02", "DE 00 07 00 02 01 00"},
        {"7E 00 04 55", "FF 00 04 00"},
    };
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(log[i].index, i + 1);
        EXPECT_EQ(log[i].code, FromHex(want[i].first)[0]);
        EXPECT_EQ(Hex(log[i].bytes), want[i].first);
        EXPECT_EQ(Hex(log[i].answer), want[i].second);
    }
    EXPECT_LE(log[0].atMs, log[2].atMs);
    {
        std::lock_guard<std::mutex> lock(m);
        EXPECT_EQ(seen, (std::vector<uint64_t>{1, 2, 3}));
    }
    rig.Sim().ClearLog();
    EXPECT_TRUE(rig.Sim().Log().empty());
    EXPECT_EQ(rig.Sim().CommandCount(), 3u);
    Exchange(rig.Client(), FromHex("83 00 03"));
    ASSERT_TRUE(rig.Sim().WaitForCommands(4, 2000));
    ASSERT_EQ(rig.Sim().Log().size(), 1u);
    EXPECT_EQ(rig.Sim().Log()[0].index, 4u);
}

TEST(Log, KeepsTheNewestEntries)
{
    SimRig rig(Personality::ForType(5));
    const size_t total = Simulator::kMaxLogEntries + 10;
    // Sent in batches, answers read between them, so neither side of the
    // terminal fills up while the other waits.
    const size_t batch = 64;
    for (size_t sent = 0; sent < total; sent += batch) {
        const size_t n = std::min(batch, total - sent);
        Bytes burst;
        for (size_t i = 0; i < n; ++i)
            burst = Concat(burst, FromHex("A0 00 03"));
        ASSERT_TRUE(rig.Client().Send(burst));
        ASSERT_EQ(rig.Client().Receive(n * 4, 10000).size(), n * 4) << sent;
    }
    ASSERT_TRUE(rig.Sim().WaitForCommands(total, 5000));
    const auto log = rig.Sim().Log();
    ASSERT_EQ(log.size(), Simulator::kMaxLogEntries);
    EXPECT_EQ(log.front().index, 11u);
    EXPECT_EQ(log.back().index, total);
}

TEST(Log, KeepsWithinItsByteBudget)
{
    SimRig rig(Personality::ForType(5));
    Bytes chunk(0xFFFF, 0x33); // largest frame: a chunk with no transfer open
    chunk[0] = 0x88;
    chunk[1] = chunk[2] = 0xFF;
    chunk[3] = 0xFF;
    chunk[4] = 0xFA;
    const size_t total = Simulator::kMaxLogBytes / chunk.size() + 20;
    for (size_t i = 0; i < total; ++i) {
        ASSERT_TRUE(rig.Client().Send(chunk));
        ASSERT_EQ(Hex(ReadAnswer(rig.Client(), 5000)), "C8 00 04 0F") << i;
    }
    const auto log = rig.Sim().Log();
    size_t bytes = 0;
    for (const auto& e : log)
        bytes += e.bytes.size() + e.answer.size();
    EXPECT_LE(bytes, Simulator::kMaxLogBytes);
    EXPECT_LT(log.size(), total);
    EXPECT_EQ(log.back().index, total);
    EXPECT_EQ(Hex(log.back().bytes), Hex(chunk));
}

} // namespace
