#include <gtest/gtest.h>

#include "probeschedule.h"

namespace {

TEST(ProbeScheduleTest, PauseDoublesUpToTheLongest)
{
    const struct {
        int failures;
        qint64 pause;
    } cases[] = {{1, 2000}, {2, 4000}, {3, 8000}, {4, 16000}, {5, 30000}, {6, 30000}, {64, 30000}, {1000, 30000}};
    for (const auto& c : cases)
        EXPECT_EQ(ProbeSchedule::PauseAfter(c.failures), c.pause) << c.failures;
}

// One port through a sequence of events; what is due when.
struct Step {
    const char* event; // "fail", "settle", "forget" or "" (only look)
    qint64 at;
    bool dueAfter;
    qint64 nextDueIn;
};

struct StoryCase {
    const char* name;
    std::vector<Step> steps;
};

TEST(ProbeScheduleTest, OnePortThroughFailuresSettlingAndHotPlug)
{
    const StoryCase cases[] = {
        {"never seen is due, and nothing waits", {{"", 0, true, -1}}},
        {"a failure waits 2 s",
         {{"fail", 100, false, 2000}, {"", 2099, false, 1}, {"", 2100, true, 0}, {"", 9000, true, 0}}},
        {"failures in a row wait longer",
         {{"fail", 0, false, 2000},
          {"fail", 2000, false, 4000},
          {"fail", 6000, false, 8000},
          {"fail", 14000, false, 16000},
          {"fail", 30000, false, 30000},
          {"fail", 60000, false, 30000}}},
        {"identified: left alone, and the count starts over",
         {{"fail", 0, false, 2000}, {"fail", 2000, false, 4000}, {"settle", 6000, false, -1},
          {"", 1000000, false, -1}, {"fail", 1000000, false, 2000}}},
        {"hot-plug makes every port due", {{"fail", 0, false, 2000}, {"forget", 10, true, -1}}},
        {"a settled port is due after hot-plug", {{"settle", 0, false, -1}, {"forget", 0, true, -1}}},
    };
    const QString port = QStringLiteral("/dev/ttyUSB0");
    for (const StoryCase& c : cases) {
        SCOPED_TRACE(c.name);
        ProbeSchedule schedule;
        for (const Step& step : c.steps) {
            const std::string event = step.event;
            if (event == "fail")
                schedule.Failed(port, step.at);
            else if (event == "settle")
                schedule.Settled(port);
            else if (event == "forget")
                schedule.KeepOnly({});
            EXPECT_EQ(schedule.IsDue(port, step.at), step.dueAfter) << event << " at " << step.at;
            EXPECT_EQ(schedule.NextDueIn(step.at), step.nextDueIn) << event << " at " << step.at;
        }
    }
}

TEST(ProbeScheduleTest, PortsAreApartAndTheEarliestFailureCounts)
{
    ProbeSchedule schedule;
    const QString a = QStringLiteral("a"), b = QStringLiteral("b"), c = QStringLiteral("c");
    EXPECT_EQ(schedule.Failed(a, 0), 2000);
    EXPECT_EQ(schedule.Failed(a, 2000), 4000);
    EXPECT_EQ(schedule.Failed(b, 3000), 2000);
    schedule.Settled(c);
    EXPECT_EQ(schedule.Failures(a), 2);
    EXPECT_EQ(schedule.Failures(b), 1);
    EXPECT_EQ(schedule.Failures(c), 0);
    EXPECT_EQ(schedule.NextDueIn(3000), 2000) << "b is due at 5000, a at 6000";
    EXPECT_EQ(schedule.Settled(a), 2) << "settling tells the failures before";
    EXPECT_EQ(schedule.Settled(a), 0);
    EXPECT_EQ(schedule.NextDueIn(3000), 2000);

    // Hot-plug forgets all but the ports still held: a held port's loss,
    // counted before the event, still brings a probe.
    schedule.Failed(c, 3000);
    schedule.KeepOnly({c});
    EXPECT_EQ(schedule.Failures(c), 1);
    EXPECT_EQ(schedule.Failures(b), 0);
    EXPECT_EQ(schedule.NextDueIn(3000), 2000);
    schedule.Settled(a);
    schedule.Failed(b, 3000);

    // Ports that went away are forgotten; the memory stays bounded.
    schedule.KeepOnly({a});
    EXPECT_EQ(schedule.Size(), 1);
    EXPECT_TRUE(schedule.IsDue(b, 3000));
    EXPECT_EQ(schedule.NextDueIn(3000), -1);
}

}
