// The alarm controller signals first reports and real changes only, and
// always keeps the latest value.
#include <gtest/gtest.h>

#include <vector>

#include <QCoreApplication>
#include <QMetaType>
#include <QThread>

#include "lumo/lumoalarm.h"

namespace {

struct Report {
    int id;
    int state;
    char const* text;
    char const* detailText;
    int detailValue;
    bool emitted;
};

LumoAlarm make(Report const& r)
{
    LumoAlarm alarm(r.id, r.state, QString::fromLatin1(r.text));
    alarm.setDetailText(QString::fromLatin1(r.detailText));
    alarm.setDetailValue(r.detailValue);
    return alarm;
}

TEST(LumoAlarmController, EmissionTable)
{
    const Report reports[] = {
        {1900, 0, "", "", 0, true},          // first report, whatever its state
        {1900, 0, "", "", 0, false},         // same value again
        {1900, 1, "", "", 0, true},          // state changed
        {1900, 1, "", "other", 9, false},    // only the details changed
        {1900, 1, "text", "other", 9, true}, // text changed
        {1900, 0, "text", "other", 9, true}, // state back to an earlier value
        {1908, 0, "text", "", 0, true},      // another id stands apart
        {1908, 0, "text", "", 0, false},
        {0, 1, "invalid", "", 0, false},     // Invalid id: ignored
        {0, 2, "invalid", "", 0, false},
        {1900, 0, "text", "", 0, false},
    };
    LumoAlarmController controller;
    std::vector<LumoAlarm> emitted;
    QObject::connect(&controller, &LumoAlarmController::alarmTriggered,
                     [&emitted](LumoAlarm const& a) { emitted.push_back(a); });
    for (Report const& r : reports) {
        SCOPED_TRACE(testing::Message() << r.id << "/" << r.state << "/" << r.text << "/" << r.detailText);
        const size_t before = emitted.size();
        const LumoAlarm alarm = make(r);
        controller.setAlarm(alarm);
        ASSERT_EQ(emitted.size(), before + (r.emitted ? 1 : 0));
        if (r.emitted) {
            EXPECT_EQ(int(emitted.back().id()), r.id);
            EXPECT_EQ(emitted.back().state(), r.state);
            EXPECT_EQ(emitted.back().detailValue(), r.detailValue);
        }
    }
}

TEST(LumoAlarmController, SignalPrecedesTheStoredUpdate)
{
    // The stored value is the latest one even when nothing was signalled:
    // a change of only the details, then a change back of the state to the
    // first value, is compared against the detail-updated value.
    LumoAlarmController controller;
    int count = 0;
    QObject::connect(&controller, &LumoAlarmController::alarmTriggered, [&count](LumoAlarm const&) { ++count; });
    LumoAlarm alarm(1905, 3, QStringLiteral("input"));
    controller.setAlarm(alarm);
    alarm.setDetailValue(4);
    controller.setAlarm(alarm); // shares nothing with the stored copy now, equal by fields
    controller.setAlarm(alarm); // same data as stored
    EXPECT_EQ(count, 1);
}

TEST(LumoAlarm, ValueSemantics)
{
    const LumoAlarm empty;
    EXPECT_EQ(int(empty.id()), 0);
    EXPECT_EQ(empty.state(), 0);
    EXPECT_TRUE(empty.text().isNull());
    EXPECT_TRUE(empty.detailText().isNull());
    EXPECT_EQ(empty.detailValue(), 0);

    LumoAlarm a(1901, 1, QStringLiteral("x"));
    LumoAlarm b = a;
    b.setState(2); // copy on write
    EXPECT_EQ(a.state(), 1);
    EXPECT_EQ(b.state(), 2);
    EXPECT_FALSE(a.isSameAs(b));
    b.setState(1);
    b.setDetailText(QStringLiteral("ignored"));
    EXPECT_TRUE(a.isSameAs(b));
}

class Receiver : public QObject {
    Q_OBJECT
public slots:
    void take(LumoAlarm const& alarm) { alarms.push_back(alarm); }

public:
    std::vector<LumoAlarm> alarms;
};

TEST(LumoAlarmController, ReportsFromAnotherThreadArriveQueued)
{
    qRegisterMetaType<LumoAlarm>("LumoAlarm");
    LumoAlarmController controller;
    Receiver receiver;
    QObject::connect(&controller, &LumoAlarmController::alarmTriggered, &receiver, &Receiver::take);
    QThread* reporter = QThread::create([&controller] {
        QMetaObject::invokeMethod(&controller, "setAlarm", Qt::QueuedConnection,
                                  Q_ARG(LumoAlarm, LumoAlarm(1910, 1, QStringLiteral("genlock"))));
    });
    reporter->start();
    reporter->wait();
    delete reporter;
    QCoreApplication::processEvents();
    ASSERT_EQ(receiver.alarms.size(), 1u);
    EXPECT_EQ(receiver.alarms[0].text(), QStringLiteral("genlock"));
}

} // namespace

#include "lumoalarm_test.moc"
