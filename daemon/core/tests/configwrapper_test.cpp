#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>

#include <atomic>
#include <cctype>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <tuple>
#include <vector>

#include "childprocess.h"
#include "configwrapper.h"
#include "paramlink/configfactory.h"
#include "paramlink/socketserver.h"
#include "qtwait.h"
#include "support/rawclient.h"
#include "testtables.h"
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
        // The descriptors are this process's own, also without the store.
        ConfigWrapper noServer(0);
        EXPECT_FALSE(noServer.Connect());
        EXPECT_FALSE(noServer.SetParamValue(quint32(tovikconfig::eParamID_DeviceCount), 2u));
        ASSERT_NE(noServer.GetParamDescriptor(QString("eParamID_DeviceCount")), nullptr);
        EXPECT_EQ(noServer.GetParamDescriptor(QString("eParamID_DeviceCount"))->GetParamID(),
                  tovikconfig::eParamID_DeviceCount);
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

// The box's store restarted: the daemon writes back the values it wrote,
// as it knows them now (also one written while the store was away), and
// nothing it only heard from other clients; what they wrote to the new
// store stays.
TEST(ConfigWrapperRestartTest, OnlyTheDaemonsOwnValuesAreWrittenBack)
{
    using namespace tovikconfig;
    DescriptorTable* table = DescriptorRegistry::GetDescriptorTable(0);
    table->clear();
    tovikconfig::TovikConfig::AddParamDescriptors(table, 1);
    const quint32 name = quint32(DeviceNameParamID(1));
    const quint32 status = quint32(DeviceCxnStatusParamID(2));
    const quint32 count = quint32(eParamID_DeviceCount);

    std::unique_ptr<velora::stackline::config::access::SocketServer> server(
        new velora::stackline::config::access::SocketServer(ConfigWrapper::kMainConfigPort));
    ASSERT_TRUE(server->Initialize());
    ASSERT_TRUE(server->Start());
    RawClient store(0);
    ConfigWrapper box(0);
    ASSERT_TRUE(box.Connect());
    EXPECT_TRUE(box.SetParamValue(name, QString("HESTRA")));
    EXPECT_TRUE(box.SetParamValue(count, 1u));
    EXPECT_TRUE(box.SetParamValue(status, 0u));
    // Other clients' values, heard by the daemon before the restart.
    ASSERT_TRUE(store->SetStringValue(eParamID_SystemName, "before-restart"));
    ASSERT_TRUE(store->SetStringValue(eParamID_SubnetMask, "255.0.0.0"));
    ASSERT_TRUE(store->SetIntegerValue(eParamID_IPConfig, 2));
    ASSERT_TRUE(WaitFor([&] { return store.Integer(count) == 1; }));
    Spin(100);

    server.reset();
    ASSERT_TRUE(WaitFor([&] { return !box.IsConnected(); }, 5000));
    EXPECT_FALSE(box.SetParamValue(count, 2u)) << "waits for the link";
    // The new store: what another client wrote first, and what this
    // process's store still held from before for the daemon's ids.
    ASSERT_TRUE(store->SetStringValue(eParamID_SystemName, "newer-written-first"));
    ASSERT_TRUE(store->SetStringValue(eParamID_SubnetMask, "255.255.255.0"));
    ASSERT_TRUE(store->SetStringValue(eParam_t(name), "OLD"));
    ASSERT_TRUE(store->SetIntegerValue(eParam_t(status), 13));
    ASSERT_TRUE(store->SetIntegerValue(eParamID_IPConfig, 0));
    server.reset(new velora::stackline::config::access::SocketServer(ConfigWrapper::kMainConfigPort));
    ASSERT_TRUE(server->Initialize());
    ASSERT_TRUE(server->Start());

    ASSERT_TRUE(WaitFor([&] { return box.IsConnected(); }, 3000 + 2 * ConfigWrapper::kMaxRetryMs));
    EXPECT_TRUE(WaitFor([&] {
        return store.Text(name) == "HESTRA" && store.Integer(count) == 2 && store.Integer(status) == 0;
    }));
    Spin(200);
    EXPECT_EQ(store.Text(eParamID_SystemName), "newer-written-first");
    EXPECT_EQ(store.Text(eParamID_SubnetMask), "255.255.255.0");
    EXPECT_EQ(store.Text(name), "HESTRA");
    EXPECT_EQ(store.Integer(count), 2);
    int value = -1;
    EXPECT_TRUE(box.GetParamValue(count, value));
    EXPECT_EQ(value, 2);
    // What was heard from the former store is not answered for the new one.
    EXPECT_TRUE(box.GetParamValue(quint32(eParamID_IPConfig), value));
    EXPECT_EQ(value, 0);
}

TEST_F(ConfigWrapperTest, RefusedWriteIsNotTakenAsStored)
{
    // The store refuses this id: each write reaches it and fails again.
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_FALSE(_wrapper.SetParamValue(kUnknown, 5u)) << attempt;
        EXPECT_FALSE(_wrapper.SetParamValue(kUnknown, QString("a"))) << attempt;
        EXPECT_FALSE(_wrapper.SetParamValue(kUnknown, QByteArray("\x01\x02", 2))) << attempt;
    }
    int value = -1;
    EXPECT_TRUE(_wrapper.GetParamValue(kUnknown, value));
    EXPECT_EQ(value, 0) << "nothing cached";

    // A refused write of a known id leaves the value before it: a string
    // where the store holds an integer.
    EXPECT_TRUE(_wrapper.SetParamValue(kUnsigned, 8u));
    EXPECT_FALSE(_wrapper.SetParamValue(kUnsigned, QString("eight")));
    EXPECT_TRUE(_wrapper.GetParamValue(kUnsigned, value));
    EXPECT_EQ(value, 8);
    EXPECT_EQ(_raw.Integer(kUnsigned), 8);
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

// Holds the store's deliveries to the wrapper until opened, so that a test
// can write and let others write before any change comes back.
class GatedWrapper : public ConfigWrapper {
public:
    explicit GatedWrapper(int configId) : ConfigWrapper(configId) {}
    ~GatedWrapper() override { Open(); }

    void Open()
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _open = true;
        _opened.notify_all();
    }
    int Delivered() const { return _delivered.load(); }

    int IntegerChanged(eParam_t id, int value, timeval when) override
    {
        Wait();
        return Count(ConfigWrapper::IntegerChanged(id, value, when));
    }
    int StringChanged(eParam_t id, std::string& value, timeval when) override
    {
        Wait();
        return Count(ConfigWrapper::StringChanged(id, value, when));
    }
    int DataChanged(eParam_t id, std::string& bytes, timeval when) override
    {
        Wait();
        return Count(ConfigWrapper::DataChanged(id, bytes, when));
    }

private:
    void Wait()
    {
        std::unique_lock<std::mutex> lock(_mutex);
        _opened.wait(lock, [this] { return _open; });
    }
    int Count(int result)
    {
        ++_delivered;
        return result;
    }

    std::mutex _mutex;
    std::condition_variable _opened;
    bool _open = false;
    std::atomic<int> _delivered{0};
};

// Counts every change of a config, undelayed.
class ChangeCounter : public ConfigEventListener {
public:
    int IntegerChanged(eParam_t, int, timeval) override { return ++count, 0; }
    int StringChanged(eParam_t, std::string&, timeval) override { return ++count, 0; }
    int DataChanged(eParam_t, std::string&, timeval) override { return ++count, 0; }
    std::atomic<int> count{0};
};

// One step of a script: the daemon writes (own) or another client does.
struct Step {
    bool own;
    int value;
};

struct EchoCase {
    const char* name;
    std::vector<Step> steps;
    // Changes the store reports for the script.
    int changes;
    // What reaches the device wrapper, and what the cache and the store end with.
    std::vector<int> signalled;
    int cached;
};

Step Own(int value) { return {true, value}; }
Step Other(int value) { return {false, value}; }

// Every change by another client reaches the device wrapper, also one that
// a later own write overtook in the store (the wrapper then hears what the
// client asked for); no echo of an own write does. The cache ends with what
// the store holds.
const EchoCase kEchoCases[] = {
    {"own change comes back after a newer own write", {Own(1), Own(2)}, 2, {}, 2},
    {"another's change between own writes", {Own(1), Other(7), Own(2)}, 3, {7}, 2},
    {"another's change after the own writes", {Own(1), Own(2), Other(7)}, 3, {7}, 7},
    {"another's change before the first own write", {Other(7), Own(1)}, 2, {7}, 1},
    {"own write of the value the store holds", {Other(5), Own(5), Other(9)}, 2, {9}, 9},
    {"another made the own change first", {Own(3), Other(5), Own(5), Other(8)}, 3, {8}, 8},
    {"equal own write is not sent", {Own(5), Other(9), Own(5)}, 2, {9}, 9},
    {"own write back and forth", {Own(1), Own(2), Own(1), Own(2)}, 4, {}, 2},
};

// The value forms of the three setters.
enum class Kind { Integer, Text, Bytes };

std::string KindName(Kind kind)
{
    return kind == Kind::Integer ? "integer" : kind == Kind::Text ? "text" : "bytes";
}

QVariant ValueOf(Kind kind, int value)
{
    switch (kind) {
    case Kind::Text:
        return QString::number(value);
    case Kind::Bytes:
        return QByteArray::number(value);
    default:
        return uint(value);
    }
}

// A config of this process written by the daemon's wrapper and by another
// client, with the deliveries to the wrapper held until Deliver.
class GatedStoreTest : public ::testing::Test {
protected:
    static constexpr int kGatedConfigId = 2;

    void SetUp() override
    {
        Lumo::registerTimeStampMetaType();
        Fill(kGatedConfigId);
    }
    void TearDown() override { _raw->RemoveEventListener(&_counter); }

    // Every change from now on is counted.
    void Connect()
    {
        _raw->AddEventListener(&_counter);
        _receiver.Listen(&_wrapper);
        ASSERT_TRUE(_wrapper.Connect());
    }
    // Lets the wrapper have the changes made so far, once there are this many.
    void Deliver(int changes)
    {
        ASSERT_TRUE(WaitFor([&] { return _counter.count == changes; }));
        _wrapper.Open();
        ASSERT_TRUE(WaitFor([&] { return _wrapper.Delivered() == changes; }));
        Spin(20);
    }

    // The test id of a value form.
    static quint32 IdOf(Kind kind) { return kind == Kind::Text ? kText : kind == Kind::Bytes ? kBytes : kUnsigned; }
    // Another client sets the id of the form to the value in that form.
    bool OtherSets(Kind kind, int value)
    {
        const quint32 id = IdOf(kind);
        const QVariant v = ValueOf(kind, value);
        if (kind == Kind::Text)
            return _raw->SetStringValue(eParam_t(id), v.toString().toStdString());
        if (kind == Kind::Bytes)
            return _raw->SetDataValue(eParam_t(id), v.toByteArray().toStdString());
        return _raw->SetIntegerValue(eParam_t(id), value);
    }
    // The store's value of the id of the form, as the number it was made
    // from.
    std::string Stored(Kind kind)
    {
        const quint32 id = IdOf(kind);
        std::string stored;
        if (kind == Kind::Integer)
            stored = std::to_string(_raw.Integer(id));
        else if (kind == Kind::Text)
            stored = _raw.Text(id);
        else
            _raw->GetDataValue(eParam_t(id), stored);
        return stored;
    }

    RawClient _raw{kGatedConfigId};
    ChangeCounter _counter;
    Receiver _receiver;
    GatedWrapper _wrapper{kGatedConfigId};
};

// A burst the main thread does not keep up with: the changes wait folded,
// newest per id, and reach the listeners in the order of each id's last
// change.
TEST_F(GatedStoreTest, BurstBeyondTheMainThreadIsHeldBackNewestPerId)
{
    Connect();
    const int writes = 3 * 256;
    for (int i = 1; i <= writes; ++i) {
        ASSERT_TRUE(_raw->SetStringValue(eParam_t(kText), "t" + std::to_string(i)));
        ASSERT_TRUE(_raw->SetIntegerValue(eParam_t(kUnsigned), i));
    }
    // Every change reaches the wrapper while the main thread takes none.
    _wrapper.Open();
    ASSERT_TRUE(tovik::test::WaitUntil([&] { return _wrapper.Delivered() == 2 * writes; }, 10000));
    const QVariant lastText = QString("t%1").arg(writes);
    const QVariant lastNumber = uint(writes);
    ASSERT_TRUE(WaitFor([&] { return _receiver.Has(kText, lastText) && _receiver.Has(kUnsigned, lastNumber); }));
    Spin(50);

    ASSERT_EQ(_receiver.events.size(), 2) << "one change per id, its newest";
    EXPECT_EQ(_receiver.events[0].id, kText);
    EXPECT_EQ(_receiver.events[1].id, kUnsigned) << "in the order of their ids' last change";
    int cached = 0;
    EXPECT_TRUE(_wrapper.GetParamValue(kUnsigned, cached));
    EXPECT_EQ(cached, writes);

    // Drained: the next change goes the usual way.
    ASSERT_TRUE(_raw->SetIntegerValue(eParam_t(kUnsigned), 1));
    EXPECT_TRUE(WaitFor([&] { return _receiver.events.last().value == QVariant(uint(1)); }));
}

// Writes of several ids fold to the ids' last values, ordered by the last
// change of each; what the listeners hear is what the writers left.
TEST_F(GatedStoreTest, FoldedChangesKeepTheOrderOfEachIdsLastChange)
{
    Connect();
    // text 1, number 1, bytes 1, text 2, number 2, text 3: the last changes
    // are bytes 1, number 2, text 3.
    ASSERT_TRUE(_raw->SetStringValue(eParam_t(kText), "1"));
    ASSERT_TRUE(_raw->SetIntegerValue(eParam_t(kUnsigned), 1));
    ASSERT_TRUE(_raw->SetDataValue(eParam_t(kBytes), "1"));
    ASSERT_TRUE(_raw->SetStringValue(eParam_t(kText), "2"));
    ASSERT_TRUE(_raw->SetIntegerValue(eParam_t(kUnsigned), 2));
    ASSERT_TRUE(_raw->SetStringValue(eParam_t(kText), "3"));
    _wrapper.Open();
    ASSERT_TRUE(tovik::test::WaitUntil([&] { return _wrapper.Delivered() == 6; }, 5000));
    ASSERT_TRUE(WaitFor([&] { return _receiver.events.size() >= 3; }));
    Spin(50);

    ASSERT_EQ(_receiver.events.size(), 3);
    EXPECT_EQ(_receiver.events[0].id, kBytes);
    EXPECT_EQ(_receiver.events[0].value, QVariant(QByteArray("1")));
    EXPECT_EQ(_receiver.events[1].id, kUnsigned);
    EXPECT_EQ(_receiver.events[1].value, QVariant(uint(2)));
    EXPECT_EQ(_receiver.events[2].id, kText);
    EXPECT_EQ(_receiver.events[2].value, QVariant(QString("3")));
}

// What the device wrapper publishes gives way to a newer change of another
// writer that the main thread has not handed on yet: the store keeps the
// acknowledged value, and the listeners hear it in turn. Once heard, the
// wrapper's publishing goes the usual way. Direct writes of the daemon
// (the box's slots) are its own and go out regardless.
TEST_F(GatedStoreTest, PublishedStateGivesWayToAWaitingNewerChange)
{
    ASSERT_TRUE(_raw->SetIntegerValue(eParam_t(kUnsigned), 1));
    ASSERT_TRUE(_raw->SetStringValue(eParam_t(kText), "old"));
    Connect();
    _wrapper.Open();
    // Another client's changes: taken by the store's thread, not yet by
    // the main thread.
    ASSERT_TRUE(_raw->SetIntegerValue(eParam_t(kUnsigned), 7));
    ASSERT_TRUE(_raw->SetStringValue(eParam_t(kText), "new"));
    ASSERT_TRUE(tovik::test::WaitUntil([&] { return _wrapper.Delivered() == 2; }, 5000));

    ConfigDeviceState_t state;
    state.insert(kUnsigned, QVariant(uint(3)));
    state.insert(kText, QVariant(QString("old")));
    state.insert(kBool, QVariant(true));
    _wrapper.SetConfigState(state);
    EXPECT_EQ(_raw.Integer(kUnsigned), 7) << "the newer value stays";
    EXPECT_EQ(_raw.Text(kText), "new");
    EXPECT_EQ(_raw.Integer(kBool), 1) << "an id with nothing waiting is written";
    int cached = 0;
    EXPECT_TRUE(_wrapper.GetParamValue(kUnsigned, cached));
    EXPECT_EQ(cached, 7);

    ASSERT_TRUE(WaitFor([&] { return _receiver.events.size() == 2; }));
    EXPECT_TRUE(_receiver.Has(kUnsigned, QVariant(uint(7))));
    EXPECT_TRUE(_receiver.Has(kText, QVariant(QString("new"))));
    // Handed on: a value published now (the converter clamped it) is the
    // newest and is written.
    state.clear();
    state.insert(kUnsigned, QVariant(uint(5)));
    _wrapper.SetConfigState(state);
    EXPECT_EQ(_raw.Integer(kUnsigned), 5);

    // The daemon's own writes do not give way. (Its two writes came back.)
    ASSERT_TRUE(tovik::test::WaitUntil([&] { return _wrapper.Delivered() == 4; }, 5000));
    ASSERT_TRUE(_raw->SetIntegerValue(eParam_t(kUnsigned), 8));
    ASSERT_TRUE(tovik::test::WaitUntil([&] { return _wrapper.Delivered() == 5; }, 5000));
    EXPECT_TRUE(_wrapper.SetParamValue(kUnsigned, 4u));
    EXPECT_EQ(_raw.Integer(kUnsigned), 4);
}

// The change the backlog cannot know of: another client's set is in the
// store and its event has not reached the wrapper (held at the gate). What
// the device wrapper publishes then is older, and the store keeps the
// client's value; values with no such change are written (a change made
// before the wrapper listened, the daemon's own write). Once the change
// comes in, the wrapper hands it on and ends with what the store holds.
class UnheardChangeTest : public GatedStoreTest, public ::testing::WithParamInterface<Kind> {};

TEST_P(UnheardChangeTest, PublishedStateGivesWayToAChangeNotHeardYet)
{
    const Kind kind = GetParam();
    const quint32 id = IdOf(kind);

    ASSERT_TRUE(_raw->SetIntegerValue(eParam_t(kSigned), 40));
    Connect();
    ASSERT_TRUE(OtherSets(kind, 7));
    EXPECT_TRUE(_wrapper.SetParamValue(kBool, 1u));
    // A readback taken before the client's set reached the converter.
    ConfigDeviceState_t state;
    state.insert(id, ValueOf(kind, 3));
    state.insert(kSigned, QVariant(uint(41)));
    state.insert(kBool, QVariant(uint(2)));
    _wrapper.SetConfigState(state);
    EXPECT_EQ(Stored(kind), "7") << "the client's acknowledged value stays";
    EXPECT_EQ(_raw.Integer(kSigned), 41) << "a change made before the wrapper listened is no news to wait for";
    EXPECT_EQ(_raw.Integer(kBool), 2) << "the daemon's own write is written over";

    // Its event comes in: the client's value is handed on, once.
    Deliver(4);
    ASSERT_EQ(_receiver.events.size(), 1);
    EXPECT_EQ(_receiver.events[0].id, id);
    EXPECT_EQ(_receiver.events[0].value, ValueOf(kind, 7));
    int cached = 0;
    EXPECT_TRUE(_wrapper.GetParamValue(id, cached));
    EXPECT_EQ(cached, 7) << "the cache holds what the store holds";
    // The converter took it and says so: nothing to write.
    state.clear();
    state.insert(id, ValueOf(kind, 7));
    _wrapper.SetConfigState(state);
    Spin(20);
    EXPECT_EQ(_counter.count, 4) << "no change more";
    // Heard: what the converter publishes now is the newest and is written.
    state.insert(id, ValueOf(kind, 5));
    _wrapper.SetConfigState(state);
    EXPECT_EQ(Stored(kind), "5");
    ASSERT_TRUE(WaitFor([&] { return _wrapper.Delivered() == 5; }));
    Spin(20);
    EXPECT_EQ(_receiver.events.size(), 1) << "its echo is the daemon's own";
}

INSTANTIATE_TEST_SUITE_P(Kinds, UnheardChangeTest, ::testing::Values(Kind::Integer, Kind::Text, Kind::Bytes),
                         [](const ::testing::TestParamInfo<Kind>& info) { return KindName(info.param); });

class ConfigWrapperEchoTest : public GatedStoreTest,
                              public ::testing::WithParamInterface<std::tuple<EchoCase, Kind>> {};

TEST_P(ConfigWrapperEchoTest, ScriptAgainstTheStore)
{
    const EchoCase& c = std::get<0>(GetParam());
    const Kind kind = std::get<1>(GetParam());
    const quint32 id = IdOf(kind);
    auto own = [&](int value) {
        const QVariant v = ValueOf(kind, value);
        if (kind == Kind::Text)
            return _wrapper.SetParamValue(id, v.toString());
        if (kind == Kind::Bytes)
            return _wrapper.SetParamValue(id, v.toByteArray());
        return _wrapper.SetParamValue(id, quint32(value));
    };

    ASSERT_TRUE(OtherSets(kind, 100));
    Connect();
    for (const Step& step : c.steps)
        ASSERT_TRUE(step.own ? own(step.value) : OtherSets(kind, step.value));
    Deliver(c.changes);

    std::vector<int> signalled;
    for (const Receiver::Event& e : _receiver.events) {
        EXPECT_EQ(e.id, id);
        EXPECT_EQ(e.value.type(), ValueOf(kind, 0).type());
        signalled.push_back(e.value.toInt());
    }
    EXPECT_EQ(signalled, c.signalled);
    int cached = -1;
    EXPECT_TRUE(_wrapper.GetParamValue(id, cached));
    EXPECT_EQ(cached, c.cached);
    EXPECT_EQ(_counter.count, c.changes) << "no change more";
    EXPECT_EQ(Stored(kind), std::to_string(c.cached));
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, ConfigWrapperEchoTest,
    ::testing::Combine(::testing::ValuesIn(kEchoCases), ::testing::Values(Kind::Integer, Kind::Text, Kind::Bytes)),
    [](const ::testing::TestParamInfo<std::tuple<EchoCase, Kind>>& info) {
        std::string name = std::get<0>(info.param).name;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return name + "_" + KindName(std::get<1>(info.param));
    });

// The first read of an id asks the store; a change that follows with the
// same value is no news.
TEST_F(GatedStoreTest, FirstReadAsksTheStore)
{
    ASSERT_TRUE(_raw->SetIntegerValue(eParam_t(kSigned), 40));
    Connect();
    ASSERT_TRUE(_raw->SetIntegerValue(eParam_t(kSigned), 41));
    int value = 0;
    EXPECT_TRUE(_wrapper.GetParamValue(kSigned, value));
    EXPECT_EQ(value, 41);
    ASSERT_TRUE(_raw->SetIntegerValue(eParam_t(kSigned), 42));
    Deliver(2);
    ASSERT_EQ(_receiver.events.size(), 1);
    EXPECT_EQ(_receiver.events[0].value, QVariant(uint(42)));
    EXPECT_TRUE(_wrapper.GetParamValue(kSigned, value));
    EXPECT_EQ(value, 42);
}

// The store's thread only leaves the change for the main thread, which
// emits it: a listener's slot runs there, connected directly or not.
TEST_F(ConfigWrapperTest, EventsArriveQueuedOnTheMainThread)
{
    std::atomic<QThread*> emitter{nullptr};
    QObject::connect(&_wrapper, &ConfigWrapper::ParamValueChanged, &_wrapper,
            [&emitter](quint32, const QVariant&, const LumoTimeStamp&) { emitter = QThread::currentThread(); },
            Qt::DirectConnection);
    ASSERT_TRUE(_raw->SetIntegerValue(eParam_t(kSigned), 41));
    ASSERT_TRUE(WaitFor([&] { return !_receiver.events.isEmpty() && emitter.load() != nullptr; }));

    EXPECT_EQ(emitter.load(), QThread::currentThread());
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

TEST(ConfigWrapperUnconnectedTest, WritesWaitUntilConnected)
{
    const int configId = 4;
    Fill(configId);
    RawClient raw(configId);
    ASSERT_TRUE(raw->SetIntegerValue(eParam_t(kSigned), 9));

    ConfigWrapper wrapper(configId);
    EXPECT_FALSE(wrapper.SetParamValue(kUnsigned, 1u));
    EXPECT_FALSE(wrapper.SetParamValue(kText, QString("x")));
    EXPECT_FALSE(wrapper.SetParamValue(kBytes, QByteArray("x")));
    ConfigDeviceState_t state;
    state.insert(kBool, QVariant(true));
    wrapper.SetConfigState(state);
    int value = -1;
    EXPECT_TRUE(wrapper.GetParamValue(kUnsigned, value));
    EXPECT_EQ(value, 1) << "the waiting value";
    EXPECT_TRUE(wrapper.GetParamValue(kSigned, value));
    EXPECT_EQ(value, 0) << "never cached, and no store to ask";
    EXPECT_EQ(raw.Integer(kUnsigned), 0) << "nothing written yet";

    ASSERT_TRUE(wrapper.Connect());
    EXPECT_EQ(raw.Integer(kUnsigned), 1);
    EXPECT_EQ(raw.Integer(kBool), 1);
    EXPECT_EQ(raw.Text(kText), "x");
    std::string bytes;
    EXPECT_TRUE(raw->GetDataValue(eParam_t(kBytes), bytes));
    EXPECT_EQ(bytes, "x");
    EXPECT_TRUE(wrapper.GetParamValue(kSigned, value));
    EXPECT_EQ(value, 9);
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
