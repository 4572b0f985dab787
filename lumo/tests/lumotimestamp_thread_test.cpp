// LumoTimeStamp as a Qt meta type: registration by name, QVariant transport
// and delivery through a queued connection to an object on another thread.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

#include <QCoreApplication>
#include <QMetaType>
#include <QMutex>
#include <QMutexLocker>
#include <QObject>
#include <QSemaphore>
#include <QThread>
#include <QVariant>

#include "lumo/lumotimestamp.h"

namespace {

typedef std::pair<std::int32_t, std::int32_t> Pair;

Pair fields(const LumoTimeStamp& t)
{
    return Pair(t.seconds, t.microseconds);
}

TEST(LumoTimeStampMetaType, NameResolves)
{
    const int id = Lumo::registerTimeStampMetaType();
    EXPECT_GE(id, int(QMetaType::User));
    EXPECT_EQ(Lumo::registerTimeStampMetaType(), id); // registering again is harmless
    EXPECT_EQ(QMetaType::type("LumoTimeStamp"), id);
    EXPECT_STREQ(QMetaType::typeName(id), "LumoTimeStamp");
    EXPECT_EQ(qMetaTypeId<LumoTimeStamp>(), id);
    EXPECT_TRUE(QMetaType::isRegistered(id));
}

TEST(LumoTimeStampMetaType, MetaTypeConstructsAndCopies)
{
    const int id = Lumo::registerTimeStampMetaType();
    void* fresh = QMetaType::create(id);
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fields(*static_cast<LumoTimeStamp*>(fresh)), Pair(0, 0));
    QMetaType::destroy(id, fresh);

    const LumoTimeStamp source(-2, 1500000);
    void* copy = QMetaType::create(id, &source);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(fields(*static_cast<LumoTimeStamp*>(copy)), Pair(-2, 1500000));
    QMetaType::destroy(id, copy);
}

TEST(LumoTimeStampMetaType, TravelsInsideQVariant)
{
    Lumo::registerTimeStampMetaType();
    const QVariant v = QVariant::fromValue(LumoTimeStamp(-2, 500000));
    EXPECT_EQ(v.userType(), QMetaType::type("LumoTimeStamp"));
    EXPECT_STREQ(v.typeName(), "LumoTimeStamp");
    ASSERT_TRUE(v.canConvert<LumoTimeStamp>());
    EXPECT_EQ(fields(v.value<LumoTimeStamp>()), Pair(-2, 500000));
    const QVariant copy = v; // shared copy
    EXPECT_EQ(fields(copy.value<LumoTimeStamp>()), Pair(-2, 500000));
}

} // namespace

// A sender on the test's thread and a receiver on a worker thread with its
// own event loop, connected like the daemon's parameter-change signal.
class StampSender : public QObject {
    Q_OBJECT
signals:
    void paramValueChanged(quint32 id, QVariant value, LumoTimeStamp stamp);
};

class StampReceiver : public QObject {
    Q_OBJECT
public:
    struct Arrival {
        quint32 id;
        QVariant value;
        LumoTimeStamp stamp;
        QThread* thread;
    };

    QSemaphore arrived;

    std::vector<Arrival> takeArrivals()
    {
        QMutexLocker lock(&_mutex);
        return std::move(_arrivals);
    }

public slots:
    void setParam(quint32 id, QVariant value, LumoTimeStamp stamp)
    {
        {
            QMutexLocker lock(&_mutex);
            _arrivals.push_back(Arrival{id, value, stamp, QThread::currentThread()});
        }
        arrived.release();
    }

private:
    QMutex _mutex;
    std::vector<Arrival> _arrivals;
};

namespace {

TEST(LumoTimeStampMetaType, QueuedAcrossThreads)
{
    Lumo::registerTimeStampMetaType();

    QThread worker;
    worker.start();
    ASSERT_TRUE(worker.isRunning());

    auto receiver = std::make_unique<StampReceiver>();
    receiver->moveToThread(&worker);
    StampSender sender;
    ASSERT_TRUE(QObject::connect(&sender, &StampSender::paramValueChanged, receiver.get(),
                                 &StampReceiver::setParam, Qt::QueuedConnection));

    const std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    const std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    const std::vector<std::pair<Pair, Pair>> stamps = {
        // value stamp inside the QVariant, event stamp as the argument
        {{1700000000, 123456}, {1700000001, 654321}},
        {{-2, 500000}, {0, 0}},
        {{0, 1500000}, {kMin, kMax}}, // held as given, not normalised
        {{kMax, -1}, {-1, 999999}},
    };
    quint32 id = 0x01120004;
    for (const auto& s : stamps) {
        emit sender.paramValueChanged(
            id++, QVariant::fromValue(LumoTimeStamp(s.first.first, s.first.second)),
            LumoTimeStamp(s.second.first, s.second.second));
    }

    const bool allArrived = receiver->arrived.tryAcquire(int(stamps.size()), 10000);
    worker.quit();
    const bool stopped = worker.wait(10000);
    ASSERT_TRUE(allArrived);
    ASSERT_TRUE(stopped);

    const std::vector<StampReceiver::Arrival> arrivals = receiver->takeArrivals();
    ASSERT_EQ(arrivals.size(), stamps.size());
    for (size_t i = 0; i < arrivals.size(); ++i) {
        SCOPED_TRACE(i);
        const StampReceiver::Arrival& a = arrivals[i];
        EXPECT_EQ(a.thread, &worker);
        EXPECT_EQ(a.id, quint32(0x01120004 + i));
        ASSERT_EQ(a.value.userType(), qMetaTypeId<LumoTimeStamp>());
        EXPECT_EQ(fields(a.value.value<LumoTimeStamp>()), stamps[i].first);
        EXPECT_EQ(fields(a.stamp), stamps[i].second);
    }
    receiver.reset(); // its thread has ended; deleting it here is safe
}

} // namespace

#include "lumotimestamp_thread_test.moc"
