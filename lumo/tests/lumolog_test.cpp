// The log: line format on every destination, levels, the stream form, the
// free functions on the default log, ordering under many threads, switching
// destinations and shutdown with lines still queued.
#include <gtest/gtest.h>

#include <sys/syscall.h>
#include <syslog.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>

#include "forkedchild.h"
#include "logcapture.h"
#include "lumo/lumolog.h"

// The leak checker would run at a forked child's exit, where the parent's
// threads (and what they hold) are missing.
const pid_t gTestProcess = getpid();
extern "C" int __lsan_is_turned_off()
{
    return getpid() != gTestProcess;
}

namespace {

int threadId()
{
    return int(syscall(SYS_gettid));
}

QStringList fileLines(QString const& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringList();
    QStringList lines = QString::fromLocal8Bit(file.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// "MMM dd hh:mm:ss.zzz" with English month names, whatever the locale.
const QString kTime = QStringLiteral("(?:Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) "
                                     "\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d");

class LumoLogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        // Printed dates must not follow the machine's locale.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }

    QString path(char const* name) const { return dir.filePath(QLatin1String(name)); }

    LogCapture capture;
    QTemporaryDir dir;
};

TEST_F(LumoLogTest, EachLevelHasItsLetterColourAndPriority)
{
    struct Case {
        int level;
        char const* letter;
        char const* colour;
        int priority;
    };
    const Case cases[] = {
        {0, "C", "\x1b[7;31m", LOG_CRIT},  {1, "E", "\x1b[1;31m", LOG_ERR},   {2, "W", "\x1b[1;33m", LOG_WARNING},
        {3, "I", "\x1b[0;37m", LOG_INFO},  {4, "D", "\x1b[1;36m", LOG_DEBUG}, {5, "D", "\x1b[1;36m", LOG_DEBUG},
        {-1, "D", "\x1b[1;36m", LOG_DEBUG},
    };
    {
        LumoLog log;
        log.setLevel(5);
        log.setDisplay(true);
        for (Case const& c : cases)
            log.output(c.level, QStringLiteral("x"), 12, QStringLiteral("level %1\n").arg(c.level));
    }
    const auto console = LogCapture::console();
    const auto system = LogCapture::system();
    ASSERT_EQ(console.size(), std::size(cases));
    ASSERT_EQ(system.size(), std::size(cases));
    const QByteArray tid = QByteArray::number(threadId());
    for (size_t i = 0; i < std::size(cases); ++i) {
        Case const& c = cases[i];
        SCOPED_TRACE(c.level);
        const QByteArray prefix = QByteArray(c.letter) + " [" + tid + "] [x:12]:";
        const QByteArray msg = "level " + QByteArray::number(c.level) + "\n";
        EXPECT_EQ(system[i].priority, c.priority);
        EXPECT_EQ(system[i].prefix, prefix);
        EXPECT_EQ(system[i].msg, msg);
        // Time and prefix uncoloured, the message coloured, the reset after its line end.
        const QString expected = QStringLiteral("^%1 %2 %3$")
                                     .arg(kTime, QRegularExpression::escape(QString::fromLatin1(prefix)),
                                          QRegularExpression::escape(QString::fromLatin1(c.colour + msg + "\x1b[0m")));
        EXPECT_TRUE(QRegularExpression(expected).match(QString::fromLatin1(console[i])).hasMatch()) << console[i].constData();
    }
}

TEST_F(LumoLogTest, LineWithoutNumberHasNoLocationAndSlotsUseTheirLevels)
{
    {
        LumoLog log;
        log.setLevel(4);
        log.crit(QStringLiteral("c\n"));
        log.err(QStringLiteral("e\n"));
        log.warn(QStringLiteral("w\n"));
        log.info(QStringLiteral("i\n"));
        log.debug(QStringLiteral("d\n"));
        log.output(3, QStringLiteral("file"), 0, QStringLiteral("zero\n"));
    }
    const auto system = LogCapture::system();
    ASSERT_EQ(system.size(), 6u);
    const QByteArray tid = QByteArray::number(threadId());
    const char* letters[] = {"C", "E", "W", "I", "D", "I"};
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(system[i].prefix, QByteArray(letters[i]) + " [" + tid + "]:");
    EXPECT_EQ(system[5].msg, QByteArray("zero\n"));
}

TEST_F(LumoLogTest, ThresholdDropsMoreVerboseLines)
{
    {
        LumoLog log;
        log.debug(QStringLiteral("dropped\n"));
        log.info(QStringLiteral("kept\n"));
        log.setLevel(4);
        log.debug(QStringLiteral("now kept\n"));
        log.setLevel(-1);
        log.crit(QStringLiteral("dropped too\n"));
        log.output(-1, QString(), 0, QStringLiteral("minus one\n"));
    }
    const auto system = LogCapture::system();
    ASSERT_EQ(system.size(), 3u);
    EXPECT_EQ(system[0].msg, QByteArray("kept\n"));
    EXPECT_EQ(system[1].msg, QByteArray("now kept\n"));
    EXPECT_TRUE(system[1].prefix.startsWith("D ["));
    EXPECT_EQ(system[2].msg, QByteArray("minus one\n"));
    EXPECT_EQ(system[2].priority, LOG_DEBUG);
}

TEST_F(LumoLogTest, FileLinesCarryTimePrefixAndMessageWithoutColour)
{
    const QDateTime before = QDateTime::currentDateTime();
    {
        LumoLog log(path("a.log"));
        log.setDisplay(true);
        log.output(2, QStringLiteral("lumotest"), 77, QStringLiteral("ärger %1\n").arg(5));
    }
    const QStringList lines = fileLines(path("a.log"));
    ASSERT_EQ(lines.size(), 1);
    const QString expected = QStringLiteral("^(%1) W \\[%2\\] \\[lumotest:77\\]: ärger 5$").arg(kTime).arg(threadId());
    const QRegularExpressionMatch m = QRegularExpression(expected).match(lines[0]);
    ASSERT_TRUE(m.hasMatch()) << lines[0].toStdString();
    // The stamp is the local time the line was made.
    const QDateTime stamp = QLocale::c().toDateTime(m.captured(1), QStringLiteral("MMM dd hh:mm:ss.zzz"));
    ASSERT_TRUE(stamp.isValid());
    const int apart = qAbs(stamp.time().msecsTo(before.time()));
    EXPECT_TRUE(apart < 5000 || apart > 86400000 - 5000) << apart;
    EXPECT_TRUE(LogCapture::system().empty());
    EXPECT_EQ(LogCapture::console().size(), 1u);
}

TEST_F(LumoLogTest, EightThreadsKeepTheirOrderAndTheFormat)
{
    const int kThreads = 8;
    const int kLines = 1000;
    std::vector<int> tids(kThreads);
    {
        LumoLog log(path("threads.log"));
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t)
            threads.emplace_back([&log, &tids, t] {
                tids[t] = threadId();
                for (int i = 0; i < kLines; ++i)
                    log.output(3, QStringLiteral("worker%1").arg(t), i + 1,
                               QStringLiteral("line %1 of thread %2\n").arg(i).arg(t));
            });
        for (std::thread& th : threads)
            th.join();
    }
    const QStringList lines = fileLines(path("threads.log"));
    ASSERT_EQ(lines.size(), kThreads * kLines);
    const QRegularExpression pattern(QStringLiteral("^%1 I \\[(\\d+)\\] \\[worker(\\d):(\\d+)\\]: line (\\d+) of thread (\\d)$").arg(kTime));
    std::vector<int> next(kThreads, 0);
    for (QString const& line : lines) {
        const QRegularExpressionMatch m = pattern.match(line);
        ASSERT_TRUE(m.hasMatch()) << line.toStdString();
        const int t = m.captured(2).toInt();
        ASSERT_EQ(m.captured(5).toInt(), t);
        EXPECT_EQ(m.captured(1).toInt(), tids[t]);
        EXPECT_EQ(m.captured(3).toInt(), next[t] + 1);
        ASSERT_EQ(m.captured(4).toInt(), next[t]) << "thread " << t << " out of order";
        ++next[t];
    }
}

TEST_F(LumoLogTest, DestinationsSwitchInQueueOrder)
{
    {
        LumoLog log;
        log.setDisplay(true);
        log.info(QStringLiteral("A\n")); // console and system log
        log.setOutputFile(path("b.log"));
        log.info(QStringLiteral("B\n")); // console and file
        log.setOutputFile(path("missing/dir/c.log"));
        log.info(QStringLiteral("C\n")); // the failed open closed the file: console and system log
        log.setDisplay(false);
        log.info(QStringLiteral("D\n")); // system log only
    }
    std::vector<QByteArray> consoleMsgs;
    for (QByteArray const& text : LogCapture::console())
        consoleMsgs.push_back(text.mid(text.indexOf("\x1b[0;37m") + 7));
    EXPECT_EQ(consoleMsgs, (std::vector<QByteArray>{"A\n\x1b[0m", "B\n\x1b[0m", "C\n\x1b[0m"}));
    std::vector<QByteArray> systemMsgs;
    for (SystemEntry const& e : LogCapture::system())
        systemMsgs.push_back(e.msg);
    EXPECT_EQ(systemMsgs, (std::vector<QByteArray>{"A\n", "C\n", "D\n"}));
    const QStringList fileB = fileLines(path("b.log"));
    ASSERT_EQ(fileB.size(), 1);
    EXPECT_TRUE(fileB[0].endsWith(QLatin1String("]: B")));
    EXPECT_FALSE(QFile::exists(path("missing/dir/c.log")));
}

TEST_F(LumoLogTest, OutputFileAppendsAndExpandsOrigin)
{
    QFile existing(path("append.log"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("earlier\n");
    existing.close();
    {
        LumoLog log(path("append.log"));
        log.info(QStringLiteral("later\n"));
    }
    const QStringList lines = fileLines(path("append.log"));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], QStringLiteral("earlier"));
    EXPECT_TRUE(lines[1].endsWith(QLatin1String("]: later")));

    const QString relative = QStringLiteral("lumo-origin-%1.log").arg(getpid());
    const QString expanded = QCoreApplication::applicationDirPath() + QLatin1Char('/') + relative;
    {
        LumoLog log(QStringLiteral("$ORIGIN/") + relative);
        log.info(QStringLiteral("in the program's directory\n"));
    }
    const QStringList originLines = fileLines(expanded);
    QFile::remove(expanded);
    ASSERT_EQ(originLines.size(), 1);
    EXPECT_TRUE(originLines[0].endsWith(QLatin1String("]: in the program's directory")));
}

TEST_F(LumoLogTest, LinesQueuedAtDestructionAreWritten)
{
    const int kLines = 20000;
    {
        LumoLog log(path("late.log"));
        for (int i = 0; i < kLines; ++i)
            log.info(QStringLiteral("late %1\n").arg(i));
    }
    const QStringList lines = fileLines(path("late.log"));
    ASSERT_EQ(lines.size(), kLines);
    EXPECT_TRUE(lines.last().endsWith(QStringLiteral("]: late %1").arg(kLines - 1)));
}

TEST_F(LumoLogTest, WriterThreadIsNamedLumoLog)
{
    int writerTid = 0;
    LogCapture::consoleHook() = [&writerTid](QByteArray const&) { writerTid = threadId(); };
    {
        LumoLog log;
        log.setDisplay(true);
        log.info(QStringLiteral("hello\n"));
        ASSERT_TRUE(LogCapture::waitUntil([] { return !LogCapture::console().empty(); }));
        QFile comm(QStringLiteral("/proc/self/task/%1/comm").arg(writerTid));
        ASSERT_TRUE(comm.open(QIODevice::ReadOnly));
        EXPECT_EQ(comm.readAll(), QByteArray("LumoLog\n"));
    }
    LogCapture::consoleHook() = nullptr;
}

TEST_F(LumoLogTest, SlowWriterIsReportedAndWaitedFor)
{
    // The writer is stuck past the 2000 ms bound when the log is destroyed;
    // destruction reports it, then waits, and later lines are still written.
    std::atomic<bool> stalled{false};
    LogCapture::consoleHook() = [&stalled](QByteArray const& text) {
        if (text.contains("stall")) {
            stalled = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(2600));
        }
    };
    testing::internal::CaptureStderr();
    {
        LumoLog log(path("slow.log"));
        log.setDisplay(true);
        log.info(QStringLiteral("stall\n"));
        ASSERT_TRUE(LogCapture::waitUntil([&stalled] { return stalled.load(); }));
        log.info(QStringLiteral("after\n"));
    }
    const std::string err = testing::internal::GetCapturedStderr();
    LogCapture::consoleHook() = nullptr;
    EXPECT_EQ(err, "LumoLogPrivate thread wait failed!\n");
    const QStringList lines = fileLines(path("slow.log"));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[1].endsWith(QLatin1String("]: after")));
}

TEST_F(LumoLogTest, SleepingWriterIsWokenByTheNextLine)
{
    // After a quiet spell the writer sleeps; the next line must wake it
    // rather than wait out the writer's 250 ms time-out. A lost wake-up
    // shows in every round, a busy machine in one at most.
    LumoLog log;
    int prompt = 0;
    for (int round = 0; round < 5; ++round) {
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
        const auto start = std::chrono::steady_clock::now();
        log.info(QStringLiteral("round %1\n").arg(round));
        ASSERT_TRUE(LogCapture::waitSystem(size_t(round) + 1));
        if (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(150))
            ++prompt;
    }
    EXPECT_GE(prompt, 4);
}

TEST_F(LumoLogTest, ForkedChildExitsWithoutTheParentsWriter)
{
    // The child has the default log but not its writer thread; exit (with
    // static destruction) must neither hang nor abort.
    lumoLogOutput(3, QStringLiteral("unit"), 1, "before the fork\n");
    ASSERT_TRUE(LogCapture::waitSystem(1));
    ForkedChild child([](int, int) -> int {
        lumoLogOutput(3, QStringLiteral("unit"), 2, "in the child\n");
        exit(3);
    });
    EXPECT_EQ(child.finish(), 3);
    lumoLogOutput(3, QStringLiteral("unit"), 3, "after the fork\n");
    ASSERT_TRUE(LogCapture::waitSystem(2));
    EXPECT_EQ(LogCapture::system()[1].msg, QByteArray("after the fork\n"));
}

TEST_F(LumoLogTest, StreamHandsOverItsTextWithOneLineEnd)
{
    {
        LumoLog log;
        LumoLogStream(&log, QStringLiteral("lumostream"), 9, 2) << "abc";
        LumoLogStream(&log, QStringLiteral("lumostream"), 10, 1) << "n=" << 42 << ' ' << QStringLiteral("ok");
        LumoLogStream(nullptr, QStringLiteral("lumostream"), 11, 1) << "nowhere";
        LumoLogStream(&log, QStringLiteral("lumostream"), 12, 4) << "filtered";
    }
    const auto system = LogCapture::system();
    ASSERT_EQ(system.size(), 2u);
    EXPECT_EQ(system[0].msg, QByteArray("abc\n"));
    EXPECT_EQ(system[0].priority, LOG_WARNING);
    EXPECT_TRUE(system[0].prefix.endsWith("] [lumostream:9]:"));
    EXPECT_EQ(system[1].msg, QByteArray("n=42 ok\n"));
}

TEST_F(LumoLogTest, DefaultLogFreeFunctions)
{
    ASSERT_NE(LumoLog::defaultLog(), nullptr);
    EXPECT_EQ(LumoLog::defaultLog(), LumoLog::defaultLog());
    EXPECT_EQ(lumoLogGetLevel(), 3);
    lumoLogOutput(4, QStringLiteral("unit"), 1, "dropped %d\n", 1);
    lumoLogOutput(3, QStringLiteral("unit"), 2, "%s has %d\n", "it", 7);
    lumoLogOutput(3, QStringLiteral("unit"), 3, "%s\n", std::string(600, 'x').c_str());
    lumoLogSetLevel(4);
    EXPECT_EQ(lumoLogGetLevel(), 4);
    lumoLogOutput(4, QStringLiteral("unit"), 4, "debug now\n");
    lumoLogSetLevel(3);
    ASSERT_TRUE(LogCapture::waitSystem(3));
    auto system = LogCapture::system();
    ASSERT_EQ(system.size(), 3u);
    EXPECT_EQ(system[0].msg, QByteArray("it has 7\n"));
    EXPECT_TRUE(system[0].prefix.endsWith("] [unit:2]:"));
    EXPECT_EQ(system[1].msg, QByteArray(511, 'x')); // cut at 511, the line end lost with it
    EXPECT_EQ(system[2].msg, QByteArray("debug now\n"));
    EXPECT_TRUE(system[2].prefix.startsWith("D ["));

    lumoLogOpenFile(path("default.log"));
    lumoLogOpenDisplay();
    lumoLogOutput(2, QStringLiteral("unit"), 5, "to the file\n");
    ASSERT_TRUE(LogCapture::waitUntil([] { return !LogCapture::console().empty(); }));
    EXPECT_EQ(LogCapture::system().size(), 3u);
    ASSERT_TRUE(LogCapture::waitUntil([this] { return fileLines(path("default.log")).size() == 1; }));
    EXPECT_TRUE(fileLines(path("default.log"))[0].endsWith(QLatin1String("[unit:5]: to the file")));
    // Back to the system log for the rest of the process.
    lumoLogOpenFile(path("missing/x.log"));
    LumoLog::defaultLog()->setDisplay(false);
}

} // namespace
