#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>

#include <atomic>
#include <thread>

#include "configwrapper.h"
#include "paramlink/configfactory.h"
#include "paramlink/socketserver.h"
#include "qtwait.h"
#include "support/rawclient.h"
#include "support/testdescriptors.h"
#include "tovikconfig/boxparamids.h"
#include "tovikconfig/paramdescriptor.h"
#include "tovikconfig/tovikconfig.h"

using namespace testparams;

namespace {

const int kConfigId = 3;

// Records ParamValueChanged on the thread it lives on.
class Receiver : public QObject {
public:
    struct Event {
        quint32 id;
        QVariant value;
        LumoTimeStamp ts;
        QThread* thread;
    };
    QList<Event> events;

    void Listen(ConfigWrapper* wrapper)
    {
        connect(wrapper, &ConfigWrapper::ParamValueChanged, this,
                [this](quint32 id, const QVariant& value, const LumoTimeStamp& ts) {
                    events.append({id, value, ts, QThread::currentThread()});
                });
    }
    bool Has(quint32 id, const QVariant& value) const
    {
        for (const Event& e : events)
            if (e.id == id && e.value == value)
                return true;
        return false;
    }
};

class ConfigWrapperTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Lumo::registerTimeStampMetaType();
        Fill(kConfigId);
        ASSERT_TRUE(_wrapper.Connect());
        ASSERT_TRUE(_raw.ok());
        _receiver.Listen(&_wrapper);
    }

    // The wrapper goes first, so that no event is on its way to a receiver
    // being destroyed.
    Receiver _receiver;
    ConfigWrapper _wrapper{kConfigId};
    RawClient _raw{kConfigId};
};

TEST(ConfigWrapperUrlTest, BoxAndConverterConfigs)
{
    EXPECT_EQ(ConfigWrapper::UrlFor(0), QString("socket://127.0.0.1:43110/caching=true&configid=0"));
    EXPECT_EQ(ConfigWrapper::UrlFor(3), QString("local://configid=3"));
    EXPECT_EQ(ConfigWrapper::UrlFor(1), QString("local://configid=1"));
}

TEST(ConfigWrapperUrlTest, BoxConfigGoesThroughTheBoxStorePort)
{
    DescriptorTable* table = DescriptorRegistry::GetDescriptorTable(0);
    table->clear();
    tovikconfig::TovikConfig::AddParamDescriptors(table, 1);

    {
        ConfigWrapper noServer(0);
        EXPECT_FALSE(noServer.Connect());
        EXPECT_FALSE(noServer.SetParamValue(quint32(tovikconfig::eParamID_DeviceCount), 2u));
        EXPECT_EQ(noServer.GetParamDescriptor(QString("eParamID_DeviceCount")), nullptr);
    }

    velora::stackline::config::access::SocketServer server(ConfigWrapper::kMainConfigPort);
    ASSERT_TRUE(server.Initialize());
    ASSERT_TRUE(server.Start());

    ConfigWrapper box(0);
    ASSERT_TRUE(box.Connect());
    ParamDescriptor* count = box.GetParamDescriptor(QString("eParamID_DeviceCount"));
    ASSERT_NE(count, nullptr);
    EXPECT_EQ(count->GetParamID(), tovikconfig::eParamID_DeviceCount);
    EXPECT_TRUE(box.SetParamValue(quint32(tovikconfig::eParamID_DeviceCount), 2u));

    RawClient local(0);
    int value = -1;
    ASSERT_TRUE(WaitFor([&] { return local->GetIntegerValue(tovikconfig::eParamID_DeviceCount, value) && value == 2; }));
}

TEST_F(ConfigWrapperTest, EqualWriteIsNotSentAgain)
{
    // The store refuses this id, so only a write that reaches it fails.
    EXPECT_FALSE(_wrapper.SetParamValue(kUnknown, 5u));
    EXPECT_TRUE(_wrapper.SetParamValue(kUnknown, 5u));
    EXPECT_FALSE(_wrapper.SetParamValue(kUnknown, 6u));

    EXPECT_FALSE(_wrapper.SetParamValue(kUnknown, QString("a")));
    EXPECT_TRUE(_wrapper.SetParamValue(kUnknown, QString("a")));
    EXPECT_FALSE(_wrapper.SetParamValue(kUnknown, QByteArray("\x01\x02", 2)));
    EXPECT_TRUE(_wrapper.SetParamValue(kUnknown, QByteArray("\x01\x02", 2)));
}

TEST_F(ConfigWrapperTest, OwnWritesDoNotComeBackButOthersDo)
{
    EXPECT_TRUE(_wrapper.SetParamValue(kUnsigned, 5u));
    EXPECT_TRUE(_wrapper.SetParamValue(kText, QString("mine")));
    EXPECT_TRUE(_wrapper.SetParamValue(kBytes, QByteArray("\x00\x7f", 2)));
    // Events keep their order: once the last one is in, the echoes would be too.
    ASSERT_TRUE(_raw->SetIntegerValue(eParam_t(kUnsigned), 6));
    ASSERT_TRUE(_raw->SetStringValue(eParam_t(kText), "theirs"));
    ASSERT_TRUE(_raw->SetDataValue(eParam_t(kBytes), std::string("\x01\x00\x02", 3)));
    ASSERT_TRUE(WaitFor([&] { return _receiver.events.size() >= 3; }));
    Spin(50);

    ASSERT_EQ(_receiver.events.size(), 3);
    EXPECT_TRUE(_receiver.Has(kUnsigned, QVariant(uint(6))));
    EXPECT_TRUE(_receiver.Has(kText, QVariant(QString("theirs"))));
    EXPECT_TRUE(_receiver.Has(kBytes, QVariant(QByteArray("\x01\x00\x02", 3))));
    EXPECT_EQ(_receiver.events[0].value.type(), QVariant::UInt);
}

TEST_F(ConfigWrapperTest, EventsArriveQueuedOnTheMainThread)
{
    // The direct slot runs on the store's thread after the queued one was
    // posted, so wait for both.
    std::atomic<QThread*> emitter{nullptr};
    QObject::connect(&_wrapper, &ConfigWrapper::ParamValueChanged, &_wrapper,
            [&emitter](quint32, const QVariant&, const LumoTimeStamp&) { emitter = QThread::currentThread(); },
            Qt::DirectConnection);
    ASSERT_TRUE(_raw->SetIntegerValue(eParam_t(kSigned), 41));
    ASSERT_TRUE(WaitFor([&] { return !_receiver.events.isEmpty() && emitter.load() != nullptr; }));

    EXPECT_NE(emitter.load(), QThread::currentThread());
    EXPECT_EQ(_receiver.events[0].thread, QThread::currentThread());
    EXPECT_EQ(_receiver.events[0].value, QVariant(uint(41)));
    EXPECT_GT(_receiver.events[0].ts.seconds, 0);
    EXPECT_GE(_receiver.events[0].ts.microseconds, 0);
    EXPECT_LE(_receiver.events[0].ts.microseconds, 999999);
}

TEST_F(ConfigWrapperTest, StateIsWrittenByValueType)
{
    ASSERT_TRUE(_raw->SetIntegerValue(eParam_t(kSigned), 11));
    ConfigDeviceState_t state;
    state.insert(kUnsigned, QVariant(uint(7)));
    state.insert(kBool, QVariant(true));
    state.insert(kText, QVariant(QString("abc")));
    state.insert(kBytes, QVariant(QByteArray("\x00\x01\xff", 3)));
    state.insert(kSigned, QVariant(int(-5)));
    _wrapper.SetConfigState(state);

    int value = 0;
    EXPECT_TRUE(_raw->GetIntegerValue(eParam_t(kUnsigned), value));
    EXPECT_EQ(value, 7);
    EXPECT_TRUE(_raw->GetIntegerValue(eParam_t(kBool), value));
    EXPECT_EQ(value, 1);
    EXPECT_TRUE(_raw->GetIntegerValue(eParam_t(kSigned), value));
    EXPECT_EQ(value, 11);
    std::string text;
    EXPECT_TRUE(_raw->GetStringValue(eParam_t(kText), text));
    EXPECT_EQ(text, "abc");
    EXPECT_TRUE(_raw->GetDataValue(eParam_t(kBytes), text));
    EXPECT_EQ(text, std::string("\x00\x01\xff", 3));

    // The state's own values never come back as changes.
    Spin(50);
    for (const Receiver::Event& e : _receiver.events)
        EXPECT_EQ(e.id, kSigned) << std::hex << e.id;
}

TEST_F(ConfigWrapperTest, IntegerReadFallsBackToTheStore)
{
    ASSERT_TRUE(_raw->SetIntegerValue(eParam_t(kSigned), 77));
    ConfigWrapper late(kConfigId);
    ASSERT_TRUE(late.Connect());
    int value = 0;
    EXPECT_TRUE(late.GetParamValue(kSigned, value));
    EXPECT_EQ(value, 77);
    EXPECT_TRUE(late.SetParamValue(kSigned, 78u));
    EXPECT_TRUE(late.GetParamValue(kSigned, value));
    EXPECT_EQ(value, 78);
}

TEST(ConfigWrapperUnconnectedTest, WritesNothingAndReadsZero)
{
    ConfigWrapper wrapper(4);
    EXPECT_FALSE(wrapper.SetParamValue(kUnsigned, 1u));
    EXPECT_FALSE(wrapper.SetParamValue(kText, QString("x")));
    EXPECT_FALSE(wrapper.SetParamValue(kBytes, QByteArray("x")));
    ConfigDeviceState_t state;
    state.insert(kUnsigned, QVariant(uint(1)));
    wrapper.SetConfigState(state);
    int value = -1;
    EXPECT_TRUE(wrapper.GetParamValue(kUnsigned, value));
    EXPECT_EQ(value, 0);
    EXPECT_EQ(wrapper.GetParamDescriptor(eParam_t(kUnsigned)), nullptr);
}

// The cache is shared by the store's thread and the main thread.
TEST_F(ConfigWrapperTest, CacheSurvivesWritesFromBothSides)
{
    std::atomic<bool> stop{false};
    std::thread writer([this, &stop] {
        RawClient raw(kConfigId);
        for (int i = 0; i < 3000 && !stop; ++i)
            raw->SetIntegerValue(eParam_t(kUnsigned + (i % 2)), i);
    });
    for (int i = 0; i < 3000; ++i) {
        _wrapper.SetParamValue(kSigned, quint32(i));
        _wrapper.SetParamValue(kText, QString::number(i));
        if (i % 100 == 0)
            QCoreApplication::processEvents();
    }
    stop = true;
    writer.join();
    // Echoes of earlier writes may still be on their way; the last one wins.
    int value = 0;
    EXPECT_TRUE(WaitFor([&] { return _wrapper.GetParamValue(kSigned, value) && value == 2999; })) << value;
    EXPECT_EQ(_raw.Integer(kSigned), 2999);
}

TEST_F(ConfigWrapperTest, ReleasedWhileTheStoreKeepsReporting)
{
    std::atomic<bool> stop{false};
    std::thread writer([&stop] {
        RawClient raw(kConfigId);
        for (int i = 0; !stop && i < 100000; ++i)
            raw->SetIntegerValue(eParam_t(kUnsigned), i);
    });
    for (int round = 0; round < 20; ++round) {
        ConfigWrapper* w = new ConfigWrapper(kConfigId);
        Receiver r;
        r.Listen(w);
        ASSERT_TRUE(w->Connect());
        QThread::msleep(2);
        delete w;
        QCoreApplication::processEvents();
    }
    stop = true;
    writer.join();
}

} // namespace
