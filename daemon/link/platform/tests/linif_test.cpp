#include "platform/linif.h"
#include "platform/portpathwatcher.h"
#include "platform/runmode.h"

#include "catalog/cassembliesxml.h"
#include "catalog/cmoduletypexml.h"
#include "serial/cserialif.h"
#include "serial/simulatedports.h"

#include "pseudoterminal.h"
#include "qtwait.h"
#include "scopedenv.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

using tovik::test::PseudoTerminal;
using tovik::test::ScopedEnv;

struct SignalCounts {
    int added = 0;
    int removed = 0;
    int newConnection = 0;
    int moduleType = 0;
};

void Count(CAppIF& platform, SignalCounts& counts)
{
    QObject::connect(&platform, &CAppIF::DeviceAddedSignal, [&counts] { ++counts.added; });
    QObject::connect(&platform, &CAppIF::DeviceRemovedSignal, [&counts] { ++counts.removed; });
    QObject::connect(&platform, &CAppIF::NewConnectionSignal, [&counts] { ++counts.newConnection; });
    QObject::connect(&platform, &CAppIF::ChangeModuleTypeSignal, [&counts] { ++counts.moduleType; });
}

TEST(LinIFTest, ResourceDirectoryIsTheProgramDirectory)
{
    LinIF platform;
    EXPECT_EQ(platform.GetResourceDir(), QDir(QCoreApplication::applicationDirPath()).path());
    EXPECT_FALSE(platform.GetResourceDir().endsWith('/'));
}

TEST(LinIFTest, FixedTexts)
{
    LinIF platform;
    EXPECT_EQ(platform.GetBuildText(), QString("v2.10.0 Portvane Build"));
    EXPECT_EQ(platform.GetStyleText(), QString("font: 9pt \"Arial\";"));
    EXPECT_TRUE(platform.GetTitleText().isEmpty());
    EXPECT_TRUE(platform.GetStatusText().isEmpty());
}

TEST(LinIFTest, FactoriesGiveFreshObjectsOwnedByTheCaller)
{
    ScopedEnv env(SimulatedPorts::kEnvName, nullptr);
    LinIF platform;
    std::unique_ptr<CSerialIF> a(platform.CreateSerialIF());
    std::unique_ptr<CSerialIF> b(platform.CreateSerialIF());
    ASSERT_TRUE(a && b);
    EXPECT_NE(a.get(), b.get());
    for (CSerialIF* port : {a.get(), b.get()}) {
        EXPECT_FALSE(port->IsOpen());
        EXPECT_EQ(port->GetPortCount(), 0);
        EXPECT_FALSE(port->IsVirtual());
    }
    std::unique_ptr<CAssembliesXML> assemblies(platform.CreateAssembliesXML());
    std::unique_ptr<CModuleTypeXML> moduleType(platform.CreateModuleTypeXML());
    EXPECT_TRUE(assemblies);
    EXPECT_TRUE(moduleType);
}

TEST(LinIFTest, RunModeQueries)
{
    LinIF platform;
    const struct {
        int mode;
        bool above1;
        bool above2;
    } cases[] = {{0, false, false}, {1, false, false}, {2, true, false}, {3, true, true}, {-4, false, false}};
    for (const auto& c : cases) {
        sUserRunMode = c.mode;
        EXPECT_EQ(platform.IsRunModeAbove1(), c.above1) << c.mode;
        EXPECT_EQ(platform.IsRunModeAbove2(), c.above2) << c.mode;
    }
    sUserRunMode = 0;
}

TEST(LinIFTest, NotificationsBecomeSignals)
{
    LinIF platform;
    SignalCounts counts;
    Count(platform, counts);
    platform.NotifyNewConnection();
    platform.NotifyModuleTypeChange();
    platform.NotifyModuleTypeChange();
    platform.CloseLink();
    EXPECT_EQ(counts.newConnection, 1);
    EXPECT_EQ(counts.moduleType, 2);
    EXPECT_EQ(counts.added + counts.removed, 0);
}

TEST(LinIFTest, WithoutListedPortsTheTimerRunsQuietly)
{
    ScopedEnv env(SimulatedPorts::kEnvName, nullptr);
    LinIF platform;
    SignalCounts counts;
    Count(platform, counts);
    Spin(4 * LinIF::kPollIntervalMs);
    EXPECT_EQ(counts.added, 0);
    EXPECT_EQ(counts.removed, 0);
}

// Listed ports coming and going, as a simulated converter does: a link to a
// pseudo-terminal slave appears, then the terminal goes away.
//
// The listed link reaches the slave through a second link in the test's own
// directory, and that one is removed before the terminal closes: a link
// straight to /dev/pts/N would come back to life as soon as any other
// process on the machine opens a pseudo-terminal and is given the same
// number, and raise signals this test never caused.
TEST(LinIFTest, ListedPortsRaiseHotPlugSignals)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString sim0 = dir.filePath("sim0");
    const QString node0 = dir.filePath("node0");
    const QString sim1 = dir.filePath("sim1");
    const QString unlisted = dir.filePath("other");
    {
        QFile f(sim1);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    ScopedEnv env(SimulatedPorts::kEnvName, (sim0 + ":" + sim1).toStdString());
    LinIF platform;
    SignalCounts counts;
    Count(platform, counts);

    // Present at start: the start-up scan finds it, no signal.
    Spin(3 * LinIF::kPollIntervalMs);
    EXPECT_EQ(counts.added, 0);
    EXPECT_EQ(counts.removed, 0);

    auto pty = std::make_unique<PseudoTerminal>();
    ASSERT_TRUE(pty->Ok());
    ASSERT_TRUE(QFile::link(QString::fromStdString(pty->SlavePath()), node0));
    ASSERT_TRUE(QFile::link(node0, sim0));
    EXPECT_TRUE(WaitFor([&] { return counts.added == 1; }));
    EXPECT_EQ(counts.removed, 0);

    {
        QFile f(unlisted);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    // The terminal goes away and the listed link dangles for good.
    ASSERT_TRUE(QFile::remove(node0));
    pty.reset();
    EXPECT_TRUE(WaitFor([&] { return counts.removed == 1; }));

    ASSERT_TRUE(QFile::remove(sim1));
    EXPECT_TRUE(WaitFor([&] { return counts.removed == 2; }));
    {
        QFile f(sim1);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    EXPECT_TRUE(WaitFor([&] { return counts.added == 2; }));

    Spin(3 * LinIF::kPollIntervalMs);
    EXPECT_EQ(counts.added, 2) << "an unlisted path or a steady state raises nothing";
    EXPECT_EQ(counts.removed, 2);
}


// Between two polls a port can go and come back (the daemon polls only from
// its event loop, which a scan blocks): the watcher still reports both,
// however the port was made anew.
TEST(PortPathWatcherTest, PathMadeAnewBetweenPollsIsGoneAndBack)
{
    auto make = [](const QString& path) {
        QFile f(path);
        return f.open(QIODevice::WriteOnly);
    };
    const struct {
        const char* name;
        std::function<bool(const QString& port, const QString& target, const QString& dir)> replace;
    } cases[] = {
        {"removed and linked again",
         [](const QString& port, const QString& target, const QString&) {
             return QFile::remove(port) && QFile::link(target, port);
         }},
        {"replaced by one rename",
         [](const QString& port, const QString& target, const QString& dir) {
             const QString fresh = dir + "/fresh";
             return QFile::link(target, fresh) &&
                    ::rename(fresh.toLocal8Bit().constData(), port.toLocal8Bit().constData()) == 0;
         }},
        {"target replaced behind the link",
         [make](const QString&, const QString& target, const QString& dir) {
             const QString fresh = dir + "/newtarget";
             return make(fresh) &&
                    ::rename(fresh.toLocal8Bit().constData(), target.toLocal8Bit().constData()) == 0;
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString port = dir.filePath("port");
        const QString target = dir.filePath("target");
        ASSERT_TRUE(make(target));
        ASSERT_TRUE(QFile::link(target, port));
        PortPathWatcher watcher({port});

        PortPathWatcher::Changes changes = watcher.Poll();
        EXPECT_EQ(changes.appeared + changes.disappeared, 0) << "a steady port";

        ASSERT_TRUE(c.replace(port, target, dir.path()));
        changes = watcher.Poll();
        EXPECT_EQ(changes.disappeared, 1);
        EXPECT_EQ(changes.appeared, 1);

        changes = watcher.Poll();
        EXPECT_EQ(changes.appeared + changes.disappeared, 0);
        ASSERT_TRUE(QFile::remove(port));
        changes = watcher.Poll();
        EXPECT_EQ(changes.disappeared, 1);
        EXPECT_EQ(changes.appeared, 0);
    }
}

}
