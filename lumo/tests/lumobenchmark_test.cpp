// The benchmark thread: the exact line of a measurement, report order
// across threads, start refused or failed, and what destruction drops.
#include <gtest/gtest.h>

#include <syslog.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include "logcapture.h"
#include "lumo/lumobenchmark.h"
#include "lumobenchmark_p.h"
#include "qtprint.h"

namespace {

// The time the test clock gives, in microseconds; each reading adds step.
std::atomic<qint64> gNow{12500000};
std::atomic<qint64> gStep{0};

LumoTimeStamp testClock()
{
    const qint64 now = gNow.fetch_add(gStep.load());
    return LumoTimeStamp(long(now / 1000000), long(now % 1000000));
}

class LumoBenchmarkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        gNow = 12500000;
        gStep = 0;
        lumoBenchmarkSetClock(testClock);
    }
    void TearDown() override { lumoBenchmarkSetClock(nullptr); }

    QString path(char const* name) const { return dir.filePath(QString::fromLatin1(name)); }
    static QByteArray read(QString const& file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Waits (up to 5 s) until the file holds this many lines.
    static bool waitLines(QString const& file, int count)
    {
        return LogCapture::waitUntil([&] { return read(file).count('\n') >= count; });
    }

    QTemporaryDir dir;
};

struct LineCase {
    QString name;
    double value;
    QByteArray line;
};

TEST_F(LumoBenchmarkTest, WritesOneExactLinePerMeasurement)
{
    const QString longName(300, QLatin1Char('n'));
    const LineCase cases[] = {
        {QStringLiteral("decode"), 3.25, "decode 12.500000 3.250000\n"},
        {QStringLiteral("drift"), -0.5, "drift 12.500000 -0.500000\n"},
        {QStringLiteral("two words"), 1e6, "two words 12.500000 1000000.000000\n"},
        {QStringLiteral("tiny"), 0.0000004, "tiny 12.500000 0.000000\n"},
        // 255 characters of the line survive; the line end is cut off.
        {longName, 1, longName.toLatin1().left(255)},
    };
    LumoBenchmark bench;
    bench.start(path("bench.txt"));
    QByteArray expected;
    for (LineCase const& c : cases) {
        bench.report(c.name, c.value);
        expected += c.line;
    }
    ASSERT_TRUE(LogCapture::waitUntil([&] { return read(path("bench.txt")) == expected; }))
        << read(path("bench.txt")).constData();
}

TEST_F(LumoBenchmarkTest, TimeIsTakenAtTheReport)
{
    gNow = 1;
    gStep = 999999; // 0.000001, then 1.000000, then 1.999999
    LumoBenchmark bench;
    bench.start(path("bench.txt"));
    bench.report(QStringLiteral("a"), 0);
    bench.report(QStringLiteral("b"), 0);
    bench.report(QStringLiteral("c"), 0);
    ASSERT_TRUE(waitLines(path("bench.txt"), 3));
    EXPECT_EQ(read(path("bench.txt")), QByteArray("a 0.000001 0.000000\nb 1.000000 0.000000\nc 1.999999 0.000000\n"));
}

// Three reports handed from one thread to another and back appear in the
// order they were queued.
TEST_F(LumoBenchmarkTest, ReportsFromTwoThreadsKeepQueueOrder)
{
    LumoBenchmark bench;
    bench.start(path("bench.txt"));
    std::mutex mutex;
    std::condition_variable turn;
    int step = 0;
    auto takeTurn = [&](int mine, char const* name) {
        std::unique_lock<std::mutex> lock(mutex);
        turn.wait(lock, [&] { return step == mine; });
        bench.report(QString::fromLatin1(name), mine);
        ++step;
        turn.notify_all();
    };
    std::thread other([&] { takeTurn(1, "second"); });
    takeTurn(0, "first");
    takeTurn(2, "third");
    other.join();
    ASSERT_TRUE(waitLines(path("bench.txt"), 3));
    EXPECT_EQ(read(path("bench.txt")),
              QByteArray("first 12.500000 0.000000\nsecond 12.500000 1.000000\nthird 12.500000 2.000000\n"));
}

// Many reports from two threads at once: none lost, none torn, each
// thread's in its own order.
TEST_F(LumoBenchmarkTest, ConcurrentReportsAreAllWrittenInOrderPerThread)
{
    const int kEach = 500;
    LumoBenchmark bench;
    bench.start(path("bench.txt"));
    auto reporter = [&bench](char prefix) {
        for (int i = 0; i < kEach; ++i)
            bench.report(QLatin1Char(prefix) + QString::number(i), i);
    };
    std::thread a(reporter, 'a');
    std::thread b(reporter, 'b');
    a.join();
    b.join();
    ASSERT_TRUE(waitLines(path("bench.txt"), 2 * kEach));
    const QList<QByteArray> lines = read(path("bench.txt")).split('\n');
    ASSERT_EQ(lines.size(), 2 * kEach + 1);
    int next[2] = {0, 0};
    for (int i = 0; i < 2 * kEach; ++i) {
        const QList<QByteArray> fields = lines[i].split(' ');
        ASSERT_EQ(fields.size(), 3) << lines[i].constData();
        const int which = fields[0].startsWith('a') ? 0 : 1;
        EXPECT_EQ(fields[0].mid(1).toInt(), next[which]) << lines[i].constData();
        EXPECT_EQ(fields[2], QByteArray::number(next[which]) + ".000000");
        ++next[which];
    }
    EXPECT_EQ(next[0], kEach);
    EXPECT_EQ(next[1], kEach);
}

TEST_F(LumoBenchmarkTest, SecondStartIsRefusedAndTheFirstFileKept)
{
    CleanLogCapture capture;
    LumoBenchmark bench;
    bench.start(path("first.txt"));
    bench.start(path("second.txt"));
    bench.report(QStringLiteral("decode"), 1);
    ASSERT_TRUE(waitLines(path("first.txt"), 1));
    EXPECT_FALSE(QFile::exists(path("second.txt")));
    ASSERT_TRUE(LogCapture::settle());
    const std::vector<SystemEntry> lines = LogCapture::systemFrom("lumobenchmark");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].msg, QByteArray("Already running!\n"));
    EXPECT_EQ(lines[0].priority, LOG_ERR);
}

TEST_F(LumoBenchmarkTest, FailedStartKeepsReportsUntilAStartSucceeds)
{
    CleanLogCapture capture;
    const QString missing = path("no/such/dir/bench.txt");
    LumoBenchmark bench;
    bench.start(missing);
    bench.report(QStringLiteral("early"), 1);
    ASSERT_TRUE(LogCapture::settle());
    const std::vector<SystemEntry> lines = LogCapture::systemFrom("lumobenchmark");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].msg, ("Failed to open benchmark file: " + missing + "\n").toLocal8Bit());
    EXPECT_EQ(lines[0].priority, LOG_ERR);
    EXPECT_FALSE(QFile::exists(missing));

    // Tried again, it starts, and the waiting report is written first.
    bench.start(path("bench.txt"));
    bench.report(QStringLiteral("late"), 2);
    ASSERT_TRUE(waitLines(path("bench.txt"), 2));
    EXPECT_EQ(read(path("bench.txt")), QByteArray("early 12.500000 1.000000\nlate 12.500000 2.000000\n"));
}

// Destroyed at once after ten reports: what the thread reached is written
// whole and in order, the rest is dropped (and freed).
TEST_F(LumoBenchmarkTest, DestructionDropsWhatTheThreadDidNotReach)
{
    QByteArray all;
    {
        LumoBenchmark bench;
        bench.start(path("bench.txt"));
        for (int i = 0; i < 10; ++i) {
            bench.report(QStringLiteral("m%1").arg(i), i);
            all += "m" + QByteArray::number(i) + " 12.500000 " + QByteArray::number(i) + ".000000\n";
        }
    }
    const QByteArray written = read(path("bench.txt"));
    EXPECT_TRUE(all.startsWith(written)) << written.constData();
    EXPECT_TRUE(written.isEmpty() || written.endsWith('\n'));

    // Never started: the reports wait until destruction.
    LumoBenchmark idle;
    idle.report(QStringLiteral("never"), 1);
}

} // namespace
