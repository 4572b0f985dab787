#include "serial/linserialif.h"
#include "serial/simulatedports.h"

#include "messagelog.h"
#include "pseudoterminal.h"
#include "scopedenv.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using tovik::test::Bytes;
using tovik::test::MessageLog;
using tovik::test::PseudoTerminal;
using tovik::test::ScopedEnv;

// Points the port list of a port object at the given paths.
void UsePorts(LinSerialIF& port, const std::vector<std::string>& paths)
{
    std::string list;
    for (const std::string& path : paths)
        list += (list.empty() ? "" : ":") + path;
    ScopedEnv env(SimulatedPorts::kEnvName, list);
    port.EnumeratePorts();
}

// A cooked start state that differs from the converter line everywhere, with
// two stop bits and hardware handshake, which the line keeps.
struct termios DistinctStart(const PseudoTerminal& pty)
{
    struct termios t;
    pty.Attributes(t);
    t.c_cflag &= ~tcflag_t(CSIZE | PARODD | PARENB);
    t.c_cflag |= CS7 | CSTOPB | CRTSCTS;
    t.c_lflag |= ECHO | ECHOE | ICANON | ISIG;
    t.c_oflag |= OPOST;
    t.c_iflag |= IXON;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    cfsetspeed(&t, B9600);
    return t;
}

void ExpectSameAttributes(const struct termios& a, const struct termios& b)
{
    EXPECT_EQ(a.c_cflag, b.c_cflag);
    EXPECT_EQ(a.c_iflag, b.c_iflag);
    EXPECT_EQ(a.c_lflag, b.c_lflag);
    EXPECT_EQ(a.c_oflag, b.c_oflag);
    EXPECT_EQ(cfgetospeed(&a), cfgetospeed(&b));
    EXPECT_EQ(a.c_cc[VMIN], b.c_cc[VMIN]);
    EXPECT_EQ(a.c_cc[VTIME], b.c_cc[VTIME]);
}

// Whether this kernel's pseudo-terminals keep the parity-enable bit at all.
bool PtyKeepsParityEnable()
{
    PseudoTerminal probe;
    struct termios t;
    if (!probe.Ok() || !probe.Attributes(t))
        return false;
    t.c_cflag |= PARENB;
    probe.SetAttributes(t);
    probe.Attributes(t);
    return (t.c_cflag & PARENB) != 0;
}

class SerialPortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(_pty.Ok());
        _start = DistinctStart(_pty);
        ASSERT_TRUE(_pty.SetAttributes(_start));
        _pty.Attributes(_start);
        UsePorts(_port, {_pty.SlavePath()});
        ASSERT_EQ(_port.GetPortCount(), 1);
    }

    PseudoTerminal _pty;
    struct termios _start;
    LinSerialIF _port;
};

TEST_F(SerialPortTest, OpenAppliesTheConverterLine)
{
    MessageLog log;
    ASSERT_TRUE(_port.Open(0));
    EXPECT_TRUE(_port.IsOpen());

    struct termios t;
    ASSERT_TRUE(_pty.Attributes(t));
    EXPECT_EQ(cfgetospeed(&t), speed_t(B38400));
    EXPECT_EQ(cfgetispeed(&t), speed_t(B38400));
    EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_TRUE(t.c_cflag & PARODD);
    EXPECT_TRUE(t.c_cflag & CREAD);
    EXPECT_TRUE(t.c_cflag & CLOCAL);
    if (PtyKeepsParityEnable())
        EXPECT_TRUE(t.c_cflag & PARENB);
    else
        std::printf("note: this kernel's pseudo-terminals drop PARENB\n");
    EXPECT_TRUE(t.c_cflag & CSTOPB) << "stop bits must stay as the port had them";
    EXPECT_TRUE(t.c_cflag & CRTSCTS) << "hardware handshake must stay as the port had them";
    EXPECT_EQ(t.c_lflag & (ECHO | ECHOE | ICANON | ISIG), tcflag_t(0));
    EXPECT_EQ(t.c_oflag & OPOST, tcflag_t(0));
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), tcflag_t(0));
    EXPECT_EQ(t.c_cc[VMIN], 0);
    EXPECT_EQ(t.c_cc[VTIME], 5);

    // Modem lines cannot be read on a pseudo-terminal: logged, still open.
    EXPECT_TRUE(log.Has("Error getting handshake lines " + QString::fromStdString(_pty.SlavePath())));
}

// A daemon killed with the port open leaves the converter line on it; the
// next one opens the port all the same, and so does a second open after it.
TEST_F(SerialPortTest, PortLeftWithTheConverterLineOpensAgain)
{
    ASSERT_TRUE(_port.Open(0));
    struct termios left;
    ASSERT_TRUE(_pty.Attributes(left));
    _port.Close();
    ASSERT_TRUE(_pty.SetAttributes(left));

    for (int round = 0; round < 2; ++round) {
        MessageLog log;
        LinSerialIF next;
        UsePorts(next, {_pty.SlavePath()});
        ASSERT_TRUE(next.Open(0)) << round;
        EXPECT_FALSE(log.Has("Error setting tty attributes")) << round;
        EXPECT_FALSE(log.Has("trying again")) << round;
        struct termios t;
        ASSERT_TRUE(_pty.Attributes(t));
        EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t(CS8));
        EXPECT_TRUE(t.c_cflag & PARODD);
        EXPECT_EQ(cfgetospeed(&t), speed_t(B38400));
        // Left as a killed daemon leaves it: not restored.
        next.Close();
        ASSERT_TRUE(_pty.SetAttributes(t));
    }
}

TEST_F(SerialPortTest, CloseRestoresTheAttributesOpenFound)
{
    ASSERT_TRUE(_port.Open(0));
    _port.Close();
    EXPECT_FALSE(_port.IsOpen());
    struct termios t;
    ASSERT_TRUE(_pty.Attributes(t));
    ExpectSameAttributes(t, _start);
    _port.Close();  // closed already: nothing happens
    EXPECT_FALSE(_port.IsOpen());
}

TEST_F(SerialPortTest, DestructionClosesRestoresAndFreesThePort)
{
    {
        LinSerialIF other;
        UsePorts(other, {_pty.SlavePath()});
        ASSERT_TRUE(other.Open(0));
    }
    struct termios t;
    ASSERT_TRUE(_pty.Attributes(t));
    ExpectSameAttributes(t, _start);
    EXPECT_TRUE(_port.Open(0));
}

TEST(SerialPortIndexTest, OpenOutsideTheListFailsWithTheMessage)
{
    PseudoTerminal pty;
    ASSERT_TRUE(pty.Ok());
    struct Case {
        std::vector<std::string> ports;
        int index;
        const char* message;
    };
    const Case cases[] = {
        {{pty.SlavePath()}, 1, "Opened serial port 1 only 1 ports available"},
        {{pty.SlavePath()}, 7, "Opened serial port 7 only 1 ports available"},
        {{}, 0, "Opened serial port 0 only 0 ports available"},
        {{pty.SlavePath()}, -1, "Opened serial port -1 only 1 ports available"},
    };
    for (const Case& c : cases) {
        LinSerialIF port;
        UsePorts(port, c.ports);
        MessageLog log;
        EXPECT_FALSE(port.Open(c.index)) << c.message;
        EXPECT_FALSE(port.IsOpen()) << c.message;
        EXPECT_TRUE(log.Has(c.message)) << c.message;
    }
}

TEST_F(SerialPortTest, ClosedPortNeitherReadsNorWrites)
{
    unsigned char buffer[4] = {1, 2, 3, 4};
    EXPECT_EQ(_port.Read(buffer, sizeof buffer), 0);
    EXPECT_FALSE(_port.Write(buffer, sizeof buffer));
    EXPECT_TRUE(_pty.Receive(1, 100).empty());
}

TEST_F(SerialPortTest, ReadOfNothingTimesOutWithZero)
{
    ASSERT_TRUE(_port.Open(0));
    unsigned char buffer[8];
    const auto begin = Clock::now();
    EXPECT_EQ(_port.Read(buffer, sizeof buffer), 0);
    EXPECT_GE(Clock::now() - begin, std::chrono::milliseconds(400));
}

struct ChunkCase {
    const char* name;
    std::vector<std::string> chunks;
    int gapMs;
    std::uint32_t requested;
    std::string expected;
};

class SerialReadChunksTest : public SerialPortTest,
                             public ::testing::WithParamInterface<ChunkCase> {};

TEST_P(SerialReadChunksTest, ReadsUntilTheCountOrSilence)
{
    const ChunkCase& c = GetParam();
    ASSERT_TRUE(_port.Open(0));
    std::thread sender([&] { _pty.SendChunks(c.chunks, std::chrono::milliseconds(c.gapMs)); });
    std::vector<unsigned char> buffer(c.requested + 16, 0xee);
    const int n = _port.Read(buffer.data(), c.requested);
    sender.join();
    ASSERT_EQ(n, int(c.expected.size()));
    EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + n), c.expected);
    EXPECT_EQ(buffer[c.requested], 0xee) << "wrote past the requested count";
}

const ChunkCase kChunkCases[] = {
    {"OneChunk", {"\x01\x02\x03\x04"}, 0, 4, "\x01\x02\x03\x04"},
    {"ThreeChunksWithGaps", {"AB", "CDE", "F"}, 150, 6, "ABCDEF"},
    {"ByteByByte", {"h", "e", "l", "l", "o"}, 60, 5, "hello"},
    {"MoreThanAsked", {"0123", "456789"}, 50, 6, "012345"},
    {"ShortAnswerThenSilence", {"xy"}, 20, 6, "xy"},
    {"GapLongerThanTheTimeOut", {"ab", "cd"}, 900, 4, "ab"},
};

INSTANTIATE_TEST_SUITE_P(Chunks, SerialReadChunksTest, ::testing::ValuesIn(kChunkCases),
                         [](const ::testing::TestParamInfo<ChunkCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(SerialPortTest, WriteSendsEverythingAcrossPartialWrites)
{
    ASSERT_TRUE(_port.Open(0));
    struct Case {
        const char* name;
        std::size_t size;
    };
    // The large one exceeds what the pseudo-terminal buffers at once.
    const Case cases[] = {{"Empty", 0}, {"Frame", 12}, {"Large", 512 * 1024}};
    for (const Case& c : cases) {
        std::string data(c.size, '\0');
        for (std::size_t i = 0; i < c.size; ++i)
            data[i] = char((i * 131 + 7) & 0xff);
        Bytes received;
        std::thread reader([&] { received = _pty.Receive(c.size, 20000); });
        EXPECT_TRUE(_port.Write(reinterpret_cast<const unsigned char*>(data.data()),
                                std::int32_t(c.size))) << c.name;
        reader.join();
        EXPECT_EQ(received.size(), c.size) << c.name;
        EXPECT_TRUE(received == Bytes(data.begin(), data.end())) << c.name;
    }
}

TEST_F(SerialPortTest, StalledWriteFailsAndReportsTheCount)
{
    ASSERT_TRUE(_port.Open(0));
    MessageLog log;
    const std::int32_t size = 4 * 1024 * 1024;  // nobody reads the other end
    std::vector<unsigned char> data(std::size_t(size), 0x55);
    EXPECT_FALSE(_port.Write(data.data(), size));
    const QStringList lines = log.Lines();
    bool found = false;
    for (const QString& line : lines) {
        const QString prefix = "Could not send all data to serial device ";
        if (!line.startsWith(prefix))
            continue;
        const QStringList counts = line.mid(prefix.size()).split(' ');
        ASSERT_EQ(counts.size(), 2) << line.toStdString();
        EXPECT_GT(counts[0].toInt(), 0) << "the part that went out";
        EXPECT_LT(counts[0].toInt(), size);
        EXPECT_EQ(counts[1].toInt(), size);
        found = true;
    }
    EXPECT_TRUE(found);
    EXPECT_TRUE(_port.IsOpen());
}

TEST_F(SerialPortTest, WriteAfterTheOtherEndVanishedFails)
{
    ASSERT_TRUE(_port.Open(0));
    _pty.Close();
    const unsigned char frame[3] = {1, 2, 3};
    MessageLog log;
    EXPECT_FALSE(_port.Write(frame, sizeof frame));
    EXPECT_TRUE(log.Has("Could not send all data to serial device -1 3"));
    unsigned char buffer[4];
    EXPECT_LE(_port.Read(buffer, sizeof buffer), 0);
}

TEST_F(SerialPortTest, FlushDiscardsUnreadInput)
{
    ASSERT_TRUE(_port.Open(0));
    ASSERT_TRUE(_pty.Send("stale"));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    _port.Flush();
    ASSERT_TRUE(_pty.Send("new"));
    unsigned char buffer[8];
    const int n = _port.Read(buffer, 3);
    ASSERT_EQ(n, 3);
    EXPECT_EQ(std::string(buffer, buffer + n), "new");
}

TEST_F(SerialPortTest, PortInUseIsRefusedEvenForRoot)
{
    ASSERT_TRUE(_port.Open(0));
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string alias = dir.filePath("alias").toStdString();
    ASSERT_TRUE(QFile::link(QString::fromStdString(_pty.SlavePath()), QString::fromStdString(alias)));

    struct Case {
        const char* name;
        std::string path;
    };
    const Case cases[] = {{"SamePath", _pty.SlavePath()}, {"ThroughALink", alias}};
    for (const Case& c : cases) {
        LinSerialIF second;
        UsePorts(second, {c.path});
        MessageLog log;
        EXPECT_FALSE(second.Open(0)) << c.name;
        EXPECT_FALSE(second.IsOpen()) << c.name;
        EXPECT_TRUE(log.Lines().isEmpty()) << c.name << ": refused without a word, as every scan meets it";
    }

    // The holder is undisturbed.
    ASSERT_TRUE(_pty.Send("ok"));
    unsigned char buffer[2];
    EXPECT_EQ(_port.Read(buffer, 2), 2);

    // Once closed, the port can be taken.
    _port.Close();
    LinSerialIF third;
    UsePorts(third, {alias});
    EXPECT_TRUE(third.Open(0));
}

TEST_F(SerialPortTest, FailedOpenRestoresNothingAndFreesThePath)
{
    // An earlier open leaves saved attributes behind in the object.
    ASSERT_TRUE(_port.Open(0));
    _port.Close();

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString notATerminal = dir.filePath("plain");
    {
        QFile f(notATerminal);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    UsePorts(_port, {notATerminal.toStdString()});
    for (int attempt = 0; attempt < 2; ++attempt) {
        MessageLog log;
        EXPECT_FALSE(_port.Open(0));
        EXPECT_FALSE(_port.IsOpen());
        EXPECT_TRUE(log.Has("Error setting TIOCEXCL on " + notATerminal)) << attempt;
        EXPECT_FALSE(log.Has("Error resetting tty attributes")) << attempt;
        EXPECT_FALSE(log.Has("Error waiting for drain")) << attempt;
        EXPECT_FALSE(log.Has("already in use")) << attempt;
    }

    // A node that cannot be opened read-write fails without a message.
    UsePorts(_port, {dir.path().toStdString()});
    ASSERT_EQ(_port.GetPortCount(), 1);
    MessageLog log;
    EXPECT_FALSE(_port.Open(0));
    EXPECT_EQ(log.Lines().size(), 0);
}

TEST_F(SerialPortTest, SecondOpenClosesTheFirstPort)
{
    PseudoTerminal other;
    ASSERT_TRUE(other.Ok());
    UsePorts(_port, {_pty.SlavePath(), other.SlavePath()});
    ASSERT_TRUE(_port.Open(0));
    ASSERT_TRUE(_port.Open(1));
    EXPECT_TRUE(_port.IsOpen());

    struct termios t;
    ASSERT_TRUE(_pty.Attributes(t));
    ExpectSameAttributes(t, _start);

    LinSerialIF taker;
    UsePorts(taker, {_pty.SlavePath()});
    EXPECT_TRUE(taker.Open(0)) << "the first port must be free again";

    // Reopening the same index works too.
    EXPECT_TRUE(_port.Open(1));
}

TEST(SerialEnumerationTest, ListedPathsThatExistInListOrder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString a = dir.filePath("a"), b = dir.filePath("b");
    for (const QString& path : {a, b}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    const QString dangling = dir.filePath("dangling");
    ASSERT_TRUE(QFile::link(dir.filePath("nowhere"), dangling));
    const QString missing = dir.filePath("missing");

    struct Case {
        const char* name;
        QString env;
        QStringList expected;
    };
    const Case cases[] = {
        {"MissingDropped", a + ":" + missing + ":" + b, {a, b}},
        {"OrderKept", b + ":" + a, {b, a}},
        {"EmptyEntriesSkipped", "::" + a + "::", {a}},
        {"DanglingLinkDropped", dangling + ":" + a, {a}},
        {"NoneExist", missing, {}},
    };
    for (const Case& c : cases) {
        ScopedEnv env(SimulatedPorts::kEnvName, c.env.toStdString());
        LinSerialIF port;
        port.EnumeratePorts();
        ASSERT_EQ(port.GetPortCount(), c.expected.size()) << c.name;
        for (int i = 0; i < c.expected.size(); ++i) {
            MessageLog log;
            // Each listed path is the one opened: a plain file fails at
            // exclusive mode with its own path in the message.
            EXPECT_FALSE(port.Open(i));
            EXPECT_TRUE(log.Has("Error setting TIOCEXCL on " + c.expected[i])) << c.name << " " << i;
        }
    }
}

TEST(SerialEnumerationTest, WithoutTheVariableUdevFindsNoConverterHere)
{
    const struct {
        const char* name;
        const char* value;
    } cases[] = {{"Unset", nullptr}, {"Empty", ""}};
    for (const auto& c : cases) {
        ScopedEnv env(SimulatedPorts::kEnvName, c.value);
        LinSerialIF port;
        port.EnumeratePorts();
        EXPECT_EQ(port.GetPortCount(), 0) << c.name;
        EXPECT_FALSE(port.Open(0)) << c.name;
    }
}

TEST(SerialEnumerationTest, EnumerationReplacesTheList)
{
    PseudoTerminal pty;
    ASSERT_TRUE(pty.Ok());
    LinSerialIF port;
    UsePorts(port, {pty.SlavePath(), pty.SlavePath()});
    EXPECT_EQ(port.GetPortCount(), 2);
    ASSERT_TRUE(port.Open(0));
    UsePorts(port, {});
    EXPECT_EQ(port.GetPortCount(), 0);
    EXPECT_TRUE(port.IsOpen()) << "the open port is not touched by enumeration";
}

}
