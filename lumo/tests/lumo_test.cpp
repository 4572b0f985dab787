// Process utilities: build signature, pool front, thread name and priority,
// physical memory words, the memory total and the out-of-memory adjustment.
// The privileged paths run through their seams on ordinary files, and the
// real paths are exercised too, with their error texts where refused.
#include <gtest/gtest.h>

#include <errno.h>
#include <sched.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <syslog.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <thread>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "forkedchild.h"
#include "logcapture.h"
#include "lumo/lumo.h"
#include "lumo/lumomemorypool.h"
#include "lumo_p.h"

namespace {

bool writeFile(QString const& path, QByteArray const& content)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(content) == content.size();
}

QByteArray readFile(QString const& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(LumoProcess, BuildSignature)
{
    const QRegularExpression form(QStringLiteral(
        "^gcc-\\d+\\.\\d+\\.\\d+ \\S+ svn \\S+ \\S+ (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) "
        "[ 1-3]\\d \\d{4} \\d\\d:\\d\\d:\\d\\d$"));
    EXPECT_TRUE(form.match(Lumo::buildSignature()).hasMatch()) << Lumo::buildSignature().toStdString();
#ifdef NDEBUG
    EXPECT_FALSE(Lumo::isBuiltInDebug());
#else
    EXPECT_TRUE(Lumo::isBuiltInDebug());
#endif
}

int allocations(LumoMemoryPool const& pool)
{
    LumoMemoryPool::UsageData usage;
    pool.getUsageData(usage);
    return usage.allocations;
}

TEST(LumoProcess, PoolFrontWithoutAndWithPool)
{
    ASSERT_EQ(Lumo::pool(), nullptr);
    void* block = Lumo::poolAllocate(10000);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(reinterpret_cast<quintptr>(block) % 4096, 0u);
    memset(block, 0xA5, 10000);
    Lumo::poolFree(block);
    Lumo::poolFree(nullptr);
    Lumo::poolReserve(1 << 20);

    LumoMemoryPool pool(512, 0);
    Lumo::setPool(&pool);
    EXPECT_EQ(Lumo::pool(), &pool);
    void* pooled = Lumo::poolAllocate(5000);
    ASSERT_NE(pooled, nullptr);
    EXPECT_EQ(reinterpret_cast<quintptr>(pooled) % 4096, 0u);
    EXPECT_EQ(allocations(pool), 1);
    EXPECT_EQ(Lumo::poolAllocate(0), nullptr);
    EXPECT_EQ(allocations(pool), 1);
    Lumo::poolReserve(8192);
    EXPECT_EQ(allocations(pool), 1);
    Lumo::poolFree(pooled);
    Lumo::poolFree(nullptr);
    EXPECT_EQ(allocations(pool), 0);
    Lumo::setPool(nullptr);
}

TEST(LumoProcess, ThreadNameIsCutByTheKernel)
{
    std::string comm;
    std::thread([&comm] {
        Lumo::setCurrentThreadName(QStringLiteral("LumoStreamWorkerThread"));
        comm = readFile(QStringLiteral("/proc/self/task/%1/comm").arg(syscall(SYS_gettid))).toStdString();
    }).join();
    EXPECT_EQ(comm, "LumoStreamWorke\n");
}

struct SchedCall {
    int policy = -1;
    int priority = -1;
};
SchedCall gLastSched;
int gSchedResult = 0;

int fakeSetSchedParam(pthread_t thread, int policy, sched_param const* param)
{
    EXPECT_TRUE(pthread_equal(thread, pthread_self()));
    gLastSched.policy = policy;
    gLastSched.priority = param->sched_priority;
    return gSchedResult;
}

TEST(LumoProcess, ThreadPriorityTable)
{
    LogCapture capture;
    struct Case {
        bool realtime;
        int priority;
        int result;
        int policy;
        int applied;
        char const* line;
        int logPriority;
    };
    const int top = sched_get_priority_max(SCHED_FIFO);
    const int bottom = sched_get_priority_min(SCHED_FIFO);
    const std::string topText = std::to_string(top);
    const std::string setTop = "Set thread realtime priority to " + topText + "\n";
    const std::string setBottom = "Set thread realtime priority to " + std::to_string(bottom) + "\n";
    const Case cases[] = {
        {false, 50, 0, SCHED_OTHER, 0, "Set thread normal priority to 0\n", LOG_INFO},
        {false, -3, 0, SCHED_OTHER, 0, "Set thread normal priority to 0\n", LOG_INFO},
        {true, -1, 0, SCHED_FIFO, top, setTop.c_str(), LOG_INFO},
        {true, 500, 0, SCHED_FIFO, top, setTop.c_str(), LOG_INFO},
        {true, 0, 0, SCHED_FIFO, bottom, setBottom.c_str(), LOG_INFO},
        {true, 42, 0, SCHED_FIFO, 42, "Set thread realtime priority to 42\n", LOG_INFO},
        {true, 10, EPERM, SCHED_FIFO, 10, "Failed to set thread realtime priority to 10: Operation not permitted\n",
         LOG_ERR},
        {false, 1, EINVAL, SCHED_OTHER, 0, "Failed to set thread normal priority to 0: Invalid argument\n", LOG_ERR},
    };
    Lumo::setSchedParamSetter(fakeSetSchedParam);
    for (size_t i = 0; i < std::size(cases); ++i) {
        Case const& c = cases[i];
        SCOPED_TRACE(i);
        gSchedResult = c.result;
        Lumo::setCurrentThreadPriority(c.realtime, c.priority);
        EXPECT_EQ(gLastSched.policy, c.policy);
        EXPECT_EQ(gLastSched.priority, c.applied);
        ASSERT_TRUE(LogCapture::waitSystem(i + 1));
        const SystemEntry e = LogCapture::system()[i];
        EXPECT_EQ(e.msg.toStdString(), c.line);
        EXPECT_EQ(e.priority, c.logPriority);
        EXPECT_TRUE(e.prefix.contains("] [lumo:"));
    }
    Lumo::setSchedParamSetter(nullptr);
}

TEST(LumoProcess, RealThreadPriority)
{
    // The real call either succeeds or is refused; the log says which.
    LogCapture capture;
    int policy = -1;
    int result = -1;
    std::thread([&] {
        Lumo::setCurrentThreadPriority(true, -1);
        sched_param param;
        result = pthread_getschedparam(pthread_self(), &policy, &param);
    }).join();
    ASSERT_EQ(result, 0);
    ASSERT_TRUE(LogCapture::waitSystem(1));
    const std::string line = LogCapture::system()[0].msg.toStdString();
    const std::string top = std::to_string(sched_get_priority_max(SCHED_FIFO));
    if (policy == SCHED_FIFO)
        EXPECT_EQ(line, "Set thread realtime priority to " + top + "\n");
    else
        EXPECT_EQ(line, "Failed to set thread realtime priority to " + top + ": Operation not permitted\n");

    LogCapture::clear();
    std::thread([] { Lumo::setCurrentThreadPriority(false, 50); }).join();
    ASSERT_TRUE(LogCapture::waitSystem(1));
    EXPECT_EQ(LogCapture::system()[0].msg, QByteArray("Set thread normal priority to 0\n"));
}

class LumoSeamTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    void TearDown() override
    {
        Lumo::setMemoryDevicePath("/dev/mem");
        Lumo::setProcRoot(QStringLiteral("/proc"));
    }
    QString path(QString const& name) const { return dir.filePath(name); }

    LogCapture capture;
    QTemporaryDir dir;
};

TEST_F(LumoSeamTest, MemoryWordsThroughARegularFile)
{
    QByteArray image(3 * 4096, '\0');
    for (int i = 0; i < image.size(); ++i)
        image[i] = char(i * 7 + (i >> 12));
    ASSERT_TRUE(writeFile(path(QStringLiteral("mem")), image));
    Lumo::setMemoryDevicePath(QFile::encodeName(path(QStringLiteral("mem"))));

    auto wordAt = [&image](int offset) {
        quint32 w;
        memcpy(&w, image.constData() + offset, 4);
        return w;
    };
    struct Case {
        unsigned address;
        int offset;
    };
    const Case cases[] = {{0x0, 0x0}, {0x1006, 0x1004}, {0x1007, 0x1004}, {0x1ffd, 0x1ffc}, {0x2000, 0x2000}};
    for (Case const& c : cases) {
        unsigned value = 0;
        ASSERT_TRUE(Lumo::readMem32(c.address, &value)) << c.address;
        EXPECT_EQ(value, wordAt(c.offset)) << c.address;
    }
    ASSERT_TRUE(Lumo::writeMem32(0x2006, 0xCAFEBABE));
    const QByteArray after = readFile(path(QStringLiteral("mem")));
    quint32 written;
    memcpy(&written, after.constData() + 0x2004, 4);
    EXPECT_EQ(written, 0xCAFEBABEu);
    EXPECT_EQ(after.left(0x2004), image.left(0x2004));
    EXPECT_EQ(after.mid(0x2008), image.mid(0x2008));
}

TEST_F(LumoSeamTest, MemoryDeviceFailures)
{
    struct Case {
        char const* name;
        char const* message;
    };
    ASSERT_EQ(mkfifo(QFile::encodeName(path(QStringLiteral("fifo"))).constData(), 0600), 0);
    const Case cases[] = {
        {"absent", "Failed to open /dev/mem\n"},
        {"fifo", "mmap failed\n"}, // opens, cannot be mapped
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.name);
        Lumo::setMemoryDevicePath(QFile::encodeName(path(QLatin1String(c.name))));
        unsigned value = 77;
        testing::internal::CaptureStderr();
        EXPECT_FALSE(Lumo::readMem32(0x1000, &value));
        EXPECT_FALSE(Lumo::writeMem32(0x1000, 1));
        EXPECT_EQ(testing::internal::GetCapturedStderr(), std::string(c.message) + c.message);
        EXPECT_EQ(value, 77u); // untouched on failure
    }
}

TEST_F(LumoSeamTest, RealMemoryDevice)
{
    // Reading the first word of physical memory; in a sandbox the device is
    // refused, and the message says where it failed.
    unsigned value = 0;
    testing::internal::CaptureStderr();
    const bool ok = Lumo::readMem32(0, &value);
    const std::string err = testing::internal::GetCapturedStderr();
    if (ok)
        EXPECT_EQ(err, "");
    else
        EXPECT_TRUE(err == "Failed to open /dev/mem\n" || err == "mmap failed\n") << err;
}

TEST_F(LumoSeamTest, MemoryTotalTable)
{
    struct Case {
        char const* content;
        quint64 total;
    };
    const Case cases[] = {
        {"MemTotal:       16314412 kB\nMemFree: 1 kB\n", 16314412ull * 1024},
        {"MemFree:  5 kB\nMemTotal:\t 3 MB\n", 3ull * 1048576},
        {"MemTotal: 2 gB\n", 2ull * 1073741824},
        {"MemTotal: 12345\n", 12345},
        {"MemTotal: 12345 pages\n", 12345},
        {"MemTotal: lots kB\n", 0},
        {"MemTotalX: 5 kB\nSwapTotal: 9 kB\n", 0},
        {"  MemTotal:   7   kB  \n", 7 * 1024},
        {"", 0},
    };
    Lumo::setProcRoot(dir.path());
    for (Case const& c : cases) {
        SCOPED_TRACE(c.content);
        ASSERT_TRUE(writeFile(path(QStringLiteral("meminfo")), c.content));
        EXPECT_EQ(Lumo::totalSystemMemorySize(), c.total);
    }
    EXPECT_TRUE(LogCapture::system().empty());

    QFile::remove(path(QStringLiteral("meminfo")));
    EXPECT_EQ(Lumo::totalSystemMemorySize(), 0u);
    ASSERT_TRUE(LogCapture::waitSystem(1));
    EXPECT_EQ(LogCapture::system()[0].msg, "Failed to open '" + QFile::encodeName(path(QStringLiteral("meminfo"))) + "'\n");
    EXPECT_TRUE(LogCapture::system()[0].prefix.startsWith("E ["));

    Lumo::setProcRoot(QStringLiteral("/proc"));
    const quint64 real = Lumo::totalSystemMemorySize();
    EXPECT_GT(real, 0u);
    EXPECT_EQ(real % 1024, 0u);
}

TEST_F(LumoSeamTest, OutOfMemoryAdjustmentTable)
{
    const QString pidDir = path(QString::number(getpid()));
    ASSERT_TRUE(QDir().mkpath(pidDir));
    const QString score = pidDir + QStringLiteral("/oom_score_adj");
    const QString old = pidDir + QStringLiteral("/oom_adj");
    Lumo::setProcRoot(dir.path());

    struct Case {
        int adjustment;
        char const* scoreText;
        char const* oldText;
    };
    const Case cases[] = {{-17, "-1000", "-17"}, {15, "882", "15"}, {-5, "-294", "-5"}, {0, "0", "0"}, {1, "58", "1"}};
    for (Case const& c : cases) {
        SCOPED_TRACE(c.adjustment);
        ASSERT_TRUE(writeFile(score, ""));
        ASSERT_TRUE(writeFile(old, ""));
        EXPECT_TRUE(Lumo::setOOMAdjust(c.adjustment));
        EXPECT_EQ(readFile(score), QByteArray(c.scoreText));
        EXPECT_EQ(readFile(old), QByteArray());
        QFile::remove(score);
        EXPECT_TRUE(Lumo::setOOMAdjust(c.adjustment));
        EXPECT_EQ(readFile(old), QByteArray(c.oldText));
    }
    // Neither file: nothing to open, nothing created.
    QFile::remove(old);
    EXPECT_FALSE(Lumo::setOOMAdjust(3));
    EXPECT_FALSE(QFile::exists(old));
    // The file opens but refuses the value.
    ASSERT_EQ(symlink("/dev/full", QFile::encodeName(score).constData()), 0);
    EXPECT_FALSE(Lumo::setOOMAdjust(3));
}

TEST_F(LumoSeamTest, RealOutOfMemoryAdjustment)
{
    // In a child, since raising the score cannot be undone without privilege.
    ForkedChild child([](int up, int) {
        const bool raised = Lumo::setOOMAdjust(15);
        const QByteArray afterRaise = readFile(QStringLiteral("/proc/self/oom_score_adj")).trimmed();
        const bool lowered = Lumo::setOOMAdjust(-17);
        const QByteArray afterLower = readFile(QStringLiteral("/proc/self/oom_score_adj")).trimmed();
        ForkedChild::tell(up, std::string(raised ? "1 " : "0 ") + afterRaise.constData() + (lowered ? " 1 " : " 0 ") +
                                  afterLower.constData());
        return 0;
    });
    const std::string report = child.receive();
    ASSERT_EQ(child.finish(), 0);
    // Lowering needs privilege: the result says whether the kernel took it.
    EXPECT_TRUE(report == "1 882 1 -1000" || report == "1 882 0 882") << report;
}

} // namespace
