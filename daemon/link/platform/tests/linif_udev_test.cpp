#include "platform/linif.h"

#include "serial/converterusb.h"
#include "serial/linserialif.h"
#include "serial/simulatedports.h"

#include "fakeudev.h"
#include "messagelog.h"
#include "qtwait.h"
#include "scopedenv.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <string>
#include <unistd.h>
#include <vector>

namespace {

using tovik::test::MessageLog;
using tovik::test::ScopedEnv;

const char* const kOther = "1234";

class LinIFUdevTest : public ::testing::Test {
protected:
    void SetUp() override { FakeUdev::Reset(); }
    void TearDown() override { FakeUdev::Reset(); }

    // Records the hot-plug signals in order: A for added, R for removed.
    void Record(LinIF& platform)
    {
        QObject::connect(&platform, &CAppIF::DeviceAddedSignal, [this] { _signals += 'A'; });
        QObject::connect(&platform, &CAppIF::DeviceRemovedSignal, [this] { _signals += 'R'; });
    }

    std::string _signals;
};

struct Event {
    const char* action;
    const char* vendor;
};

struct EventCase {
    const char* name;
    std::vector<Event> events;
    std::string signalsExpected;
    std::vector<const char*> warnings;
};

class LinIFEventTest : public LinIFUdevTest, public ::testing::WithParamInterface<EventCase> {};

TEST_P(LinIFEventTest, OnePollHandlesEveryPendingEvent)
{
    const EventCase& c = GetParam();
    FakeUdev::Script();
    LinIF platform;
    Record(platform);
    for (const Event& e : c.events)
        FakeUdev::QueueEvent(e.action, e.vendor);

    MessageLog log;
    platform.checkForDeviceAddRemove();

    EXPECT_EQ(_signals, c.signalsExpected);
    EXPECT_EQ(FakeUdev::Receives(), int(c.events.size()));
    EXPECT_EQ(FakeUdev::Released(), int(c.events.size())) << "every device is released";
    EXPECT_EQ(FakeUdev::Outstanding(), 0);
    // Quoted with the line end inside, as it is.
    QStringList expected;
    for (const char* warning : c.warnings)
        expected << QString("\"%1\n\"").arg(warning);
    EXPECT_EQ(log.Lines(QtWarningMsg), expected);

    // Nothing is left for the next poll.
    platform.checkForDeviceAddRemove();
    EXPECT_EQ(_signals, c.signalsExpected);
}

const EventCase kEventCases[] = {
    {"NothingPending", {}, "", {}},
    {"AddForeignRemove", {{"add", kConverterVendorID}, {"add", kOther}, {"remove", kConverterVendorID}}, "AR", {}},
    {"ForeignOnly", {{"add", kOther}, {"remove", kOther}}, "", {}},
    {"NoVendorProperty", {{"add", nullptr}, {"remove", nullptr}}, "", {}},
    {"OtherActions", {{"change", kConverterVendorID}, {"bind", kConverterVendorID}}, "",
     {"Unknown str_action change happened", "Unknown str_action bind happened"}},
    {"OneConverterSeveralEvents", {{"add", kConverterVendorID}, {"bind", kConverterVendorID},
      {"add", kConverterVendorID}}, "AA", {"Unknown str_action bind happened"}},
    {"VendorComparedAsText", {{"add", "FE71"}, {"add", "fe710"}, {"add", "fe7"}}, "", {}},
};

INSTANTIATE_TEST_SUITE_P(Events, LinIFEventTest, ::testing::ValuesIn(kEventCases),
                         [](const ::testing::TestParamInfo<EventCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(LinIFUdevTest, FailedReceiveLeavesTheRestForTheNextPoll)
{
    FakeUdev::Script();
    LinIF platform;
    Record(platform);
    FakeUdev::QueueLostEvent();
    FakeUdev::QueueEvent("add", kConverterVendorID);

    MessageLog log;
    platform.checkForDeviceAddRemove();
    EXPECT_EQ(_signals, "");
    EXPECT_EQ(FakeUdev::Receives(), 1);
    EXPECT_EQ(log.Lines(QtWarningMsg), QStringList{"\"No Device from receive_device(). An error occured.\n\""});

    platform.checkForDeviceAddRemove();
    EXPECT_EQ(_signals, "A");
}

TEST_F(LinIFUdevTest, PollsDrivenByTheTimer)
{
    FakeUdev::Script();
    LinIF platform;
    Record(platform);
    FakeUdev::QueueEvent("add", kConverterVendorID);
    EXPECT_TRUE(WaitFor([&] { return _signals == "A"; }));
    FakeUdev::QueueEvent("remove", kConverterVendorID);
    EXPECT_TRUE(WaitFor([&] { return _signals == "AR"; }));
}

// With listed ports, a monitor that cannot be set up leaves the daemon
// running without udev hot-plug; listed ports and enumeration still work.
TEST_F(LinIFUdevTest, MonitorSetUpFailureRunsWithoutHotPlug)
{
    const struct {
        const char* name;
        FakeUdev::Failure failure;
        const char* message;
    } cases[] = {
        {"Context", FakeUdev::Failure::Context, "Hot-plug detection is off"},
        {"Netlink", FakeUdev::Failure::Netlink, "Can't set up the udev monitor"},
        {"Filter", FakeUdev::Failure::Filter, "Can't set up the udev monitor"},
        {"Enable", FakeUdev::Failure::Enable, "Can't set up the udev monitor"},
        {"Descriptor", FakeUdev::Failure::Descriptor, "Can't set up the udev monitor"},
    };
    for (const auto& c : cases) {
        FakeUdev::Reset();
        FakeUdev::Script();
        FakeUdev::Fail(c.failure);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString port = dir.filePath("sim0");
        ScopedEnv env(SimulatedPorts::kEnvName, port.toStdString());

        MessageLog log;
        LinIF platform;
        _signals.clear();
        Record(platform);
        FakeUdev::QueueEvent("add", kConverterVendorID);
        Spin(3 * LinIF::kPollIntervalMs);
        EXPECT_EQ(log.Count(c.message), 1) << c.name;
        EXPECT_EQ(FakeUdev::Receives(), 0) << c.name;
        EXPECT_EQ(_signals, "") << c.name;

        {
            QFile f(port);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        }
        EXPECT_TRUE(WaitFor([&] { return _signals == "A"; })) << c.name;

        LinSerialIF serial;
        serial.EnumeratePorts();
        EXPECT_EQ(serial.GetPortCount(), 1) << c.name;
        EXPECT_EQ(log.Count(c.message), 1) << c.name << ": logged once";
    }
}

// Without udev and without listed ports nothing can ever be found: the
// process ends with status 1, for a supervisor to start it again.
TEST_F(LinIFUdevTest, WithoutUdevOrListedPortsTheProcessEnds)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ScopedEnv env(SimulatedPorts::kEnvName, nullptr);
    EXPECT_EXIT(
        {
            FakeUdev::Fail(FakeUdev::Failure::Context);
            // The message goes to standard output; the check reads errors.
            ::dup2(STDERR_FILENO, STDOUT_FILENO);
            LinIF platform;
        },
        ::testing::ExitedWithCode(1), "^Can't create udev\n$");
    EXPECT_EXIT(
        {
            FakeUdev::Fail(FakeUdev::Failure::Context);
            LinSerialIF serial;
            serial.EnumeratePorts();
        },
        ::testing::ExitedWithCode(1), "Can't create udev\n");
}

}
