#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "childprocess.h"
#include "eventrecorder.h"
#include "paramlink/paramlink.h"
#include "testtable.h"
#include "tovikconfig/paramdescriptor.h"

using namespace storetest;
using tovik::test::WaitUntil;

namespace {

timeval now()
{
    timeval tv;
    gettimeofday(&tv, nullptr);
    return tv;
}

bool notAfter(const timeval& a, const timeval& b)
{
    return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_usec <= b.tv_usec);
}

class LocalConfigTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetTestConfig(_id);
        _config = open();
        ASSERT_NE(_config, nullptr);
    }
    void TearDown() override { ConfigFactoryImpl::GetInstance()->ReleaseConfig(_config); }

    Config* open() { return ConfigFactoryImpl::GetInstance()->CreateConfig("local://configid=" + std::to_string(_id), ""); }

    const int _id = kLocalTestConfig;
    Config* _config = nullptr;
    RecorderPool _recorders;
};

TEST_F(LocalConfigTest, NeverSetValuesReadAsFactoryDefaults)
{
    EXPECT_EQ(_config->GetIntegerValue(kIntId), kIntDefault);
    int enumValue = -1;
    EXPECT_TRUE(_config->GetIntegerValue(kEnumId, enumValue));
    EXPECT_EQ(enumValue, int(kEnumDefault));
    std::string text;
    EXPECT_TRUE(_config->GetStringValue(kStringId, text));
    EXPECT_EQ(text, kStringDefault);
    std::string bytes = "junk";
    EXPECT_TRUE(_config->GetDataValue(kDataId, bytes));
    EXPECT_EQ(bytes, "");
}

TEST_F(LocalConfigTest, ValuesRoundTripByKind)
{
    const std::string data("\0a\0\xff\0", 5);
    EXPECT_TRUE(_config->SetIntegerValue(kIntId, -123456));
    EXPECT_TRUE(_config->SetIntegerValue(kEnumId, 1000)) << "no range checks";
    EXPECT_TRUE(_config->SetStringValue(kStringId, std::string(300, 'q'))) << "within the length floor";
    EXPECT_TRUE(_config->SetDataValue(kDataId, data));

    Config* other = open();
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->GetIntegerValue(kIntId), -123456);
    EXPECT_EQ(other->GetIntegerValue(kEnumId), 1000);
    std::string text, bytes;
    EXPECT_TRUE(other->GetStringValue(kStringId, text));
    EXPECT_EQ(text, std::string(300, 'q'));
    EXPECT_TRUE(other->GetDataValue(kDataId, bytes));
    EXPECT_EQ(bytes, data);
    ConfigFactoryImpl::GetInstance()->ReleaseConfig(other);
}

TEST_F(LocalConfigTest, UnknownIdsAndWrongKindsAreRefused)
{
    EXPECT_FALSE(_config->SetIntegerValue(kUnknownId, 1));
    EXPECT_FALSE(_config->SetStringValue(kUnknownId, "x"));
    EXPECT_FALSE(_config->SetStringValue(kIntId, "1"));
    EXPECT_FALSE(_config->SetDataValue(kIntId, "1"));
    EXPECT_FALSE(_config->SetIntegerValue(kStringId, 1));
    EXPECT_FALSE(_config->SetDataValue(kStringId, "x"));
    EXPECT_FALSE(_config->SetStringValue(kDataId, "x"));
    int value = 99;
    EXPECT_FALSE(_config->GetIntegerValue(kUnknownId, value));
    EXPECT_FALSE(_config->GetIntegerValue(kStringId, value));
    EXPECT_EQ(value, 99) << "a refused read leaves the output alone";
    EXPECT_EQ(_config->GetIntegerValue(kUnknownId), 0);
    std::string text = "kept";
    EXPECT_FALSE(_config->GetStringValue(kIntId, text));
    EXPECT_EQ(text, "kept");
    // The refused sets changed nothing.
    EXPECT_EQ(_config->GetIntegerValue(kIntId), kIntDefault);
}

TEST_F(LocalConfigTest, DescriptorsAndIdListComeFromTheTable)
{
    ASSERT_NE(_config->GetParamDescriptor(kIntId), nullptr);
    EXPECT_EQ(_config->GetParamDescriptor(std::string("eParamID_TestData"))->GetParamID(), kDataId);
    EXPECT_EQ(_config->GetParamDescriptor(kUnknownId), nullptr);
    std::list<eParam_t> ids = _config->GetParamIDList();
    EXPECT_EQ(ids, (std::list<eParam_t>{kIntId, kStringId, kDataId, kEnumId}));
    DescriptorRegistry::GetDescriptorTable(_id)->clear();
    EXPECT_TRUE(_config->GetParamIDList().empty()) << "the list follows a refill";
}

TEST_F(LocalConfigTest, ChangesReachEveryListenerOnALibraryThreadInOrder)
{
    EventRecorder& mine = _recorders.New();
    EventRecorder& theirs = _recorders.New();
    Config* other = open();
    ASSERT_NE(other, nullptr);
    ASSERT_TRUE(_config->AddEventListener(&mine));
    ASSERT_TRUE(other->AddEventListener(&theirs));

    const timeval before = now();
    for (int i = 1; i <= 20; ++i)
        ASSERT_TRUE(other->SetIntegerValue(kIntId, i));
    ASSERT_TRUE(_config->SetIntegerValue(kIntId, 20)) << "same value: no event";
    ASSERT_TRUE(_config->SetStringValue(kStringId, std::string("s\0t", 3)));
    ASSERT_TRUE(_config->SetDataValue(kDataId, std::string("\0\0", 2)));
    const timeval after = now();

    for (EventRecorder* r : {&mine, &theirs}) {
        ASSERT_TRUE(r->WaitFor(22));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        auto events = r->Events();
        ASSERT_EQ(events.size(), 22u);
        for (int i = 0; i < 20; ++i) {
            EXPECT_EQ(events[i].id, kIntId);
            EXPECT_EQ(events[i].intValue, i + 1);
        }
        EXPECT_EQ(events[20].kind, ValueKind::String);
        EXPECT_EQ(events[20].bytes, std::string("s\0t", 3));
        EXPECT_EQ(events[21].kind, ValueKind::Data);
        EXPECT_EQ(events[21].bytes, std::string("\0\0", 2));
        for (const auto& e : events) {
            EXPECT_NE(e.thread, std::this_thread::get_id());
            EXPECT_TRUE(notAfter(before, e.when) && notAfter(e.when, after));
        }
        for (size_t i = 1; i < events.size(); ++i)
            EXPECT_TRUE(notAfter(events[i - 1].when, events[i].when));
    }
    ConfigFactoryImpl::GetInstance()->ReleaseConfig(other);
}

// A listener that stays in its callback until told to leave.
class SlowListener : public ConfigEventListener {
public:
    int IntegerChanged(eParam_t, int, timeval) override
    {
        entered = true;
        while (!leave)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        left = true;
        return 0;
    }
    std::atomic<bool> entered{false}, leave{false}, left{false};
};

TEST_F(LocalConfigTest, ReleaseWaitsForACallbackInProgressAndStopsDelivery)
{
    Config* watched = open();
    auto* listener = new SlowListener;
    ASSERT_TRUE(watched->AddEventListener(listener));
    ASSERT_TRUE(_config->SetIntegerValue(kIntId, 1));
    while (!listener->entered)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_TRUE(_config->SetIntegerValue(kIntId, 2));
    std::thread releaser([&] { ConfigFactoryImpl::GetInstance()->ReleaseConfig(watched); });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    listener->leave = true;
    releaser.join();
    EXPECT_TRUE(listener->left) << "release returned while the callback ran";
    delete listener; // a later delivery would now be a use after free
    ASSERT_TRUE(_config->SetIntegerValue(kIntId, 3));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

// Unregistering and releasing from inside a callback must not deadlock,
// and nothing reaches the listener afterwards.
TEST_F(LocalConfigTest, ReleaseFromInsideACallback)
{
    Config* doomed = open();
    ASSERT_NE(doomed, nullptr);
    ReleasingListener listener(doomed, true);
    ASSERT_TRUE(doomed->AddEventListener(&listener));
    EventRecorder& witness = _recorders.New();
    ASSERT_TRUE(_config->AddEventListener(&witness));
    ASSERT_TRUE(_config->SetIntegerValue(kIntId, 1));
    ASSERT_TRUE(_config->SetIntegerValue(kIntId, 2));
    ASSERT_TRUE(witness.WaitFor(2));
    EXPECT_TRUE(WaitUntil([&] { return listener.Released(); }, 5000));
    ASSERT_TRUE(_config->SetIntegerValue(kIntId, 3));
    ASSERT_TRUE(witness.WaitFor(3));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(listener.calls, 1);
    EXPECT_TRUE(_config->RemoveEventListener(&witness));
    EXPECT_FALSE(_config->RemoveEventListener(&witness));
}

TEST_F(LocalConfigTest, HeldParamsAreTheTableWithItsValues)
{
    ASSERT_TRUE(_config->SetIntegerValue(kIntId, -9));
    ASSERT_TRUE(_config->SetDataValue(kDataId, std::string("\0z", 2)));
    std::vector<HeldParam> held;
    ASSERT_TRUE(ListHeldParams(_config, held));
    ASSERT_EQ(held.size(), 4u);
    const struct {
        eParam_t id;
        const char* name;
        ValueKind kind;
        int intValue;
        std::string bytes;
    } expected[] = {
        {kIntId, "eParamID_TestInteger", ValueKind::Integer, -9, ""},
        {kStringId, "eParamID_TestString", ValueKind::String, 0, kStringDefault},
        {kDataId, "eParamID_TestData", ValueKind::Data, 0, std::string("\0z", 2)},
        {kEnumId, "eParamID_TestEnum", ValueKind::Integer, int(kEnumDefault), ""},
    };
    for (size_t i = 0; i < held.size(); ++i) {
        EXPECT_EQ(held[i].id, expected[i].id) << i;
        EXPECT_EQ(held[i].idName, expected[i].name) << i;
        EXPECT_EQ(held[i].kind, expected[i].kind) << i;
        EXPECT_EQ(held[i].intValue, expected[i].intValue) << i;
        EXPECT_EQ(held[i].bytes, expected[i].bytes) << i;
    }
    DescriptorRegistry::GetDescriptorTable(_id)->clear();
    EXPECT_TRUE(ListHeldParams(_config, held));
    EXPECT_TRUE(held.empty());

    class Foreign : public MappingConfig {
    public:
        ParamDescriptor* GetParamDescriptor(eParam_t) override { return nullptr; }
        ParamDescriptor* GetParamDescriptor(std::string) override { return nullptr; }
        std::list<eParam_t>& GetParamIDList() override { return ids; }
        bool SetIntegerValue(eParam_t, int) override { return false; }
        int GetIntegerValue(eParam_t) override { return 0; }
        bool GetIntegerValue(eParam_t, int&) override { return false; }
        bool SetStringValue(eParam_t, std::string) override { return false; }
        bool GetStringValue(eParam_t, std::string&) override { return false; }
        bool GetDataValue(eParam_t, std::string&) override { return false; }
        bool SetDataValue(eParam_t, std::string) override { return false; }
        bool AddEventListener(ConfigEventListener*) override { return false; }
        bool RemoveEventListener(ConfigEventListener*) override { return false; }
        eConfigID_t GetConfigID() const override { return 0; }
        std::list<eParam_t> ids;
    } foreign;
    held.resize(2);
    EXPECT_FALSE(ListHeldParams(&foreign, held)) << "not a config of this library";
    EXPECT_TRUE(held.empty());
    EXPECT_FALSE(ListHeldParams(nullptr, held));
}

TEST(ListenerDefaultsTest, DefaultCallbacksReturnZero)
{
    ConfigEventListener plain;
    std::string s;
    EXPECT_EQ(plain.IntegerChanged(eParam_t(1), 1, timeval{0, 0}), 0);
    EXPECT_EQ(plain.StringChanged(eParam_t(1), s, timeval{0, 0}), 0);
    EXPECT_EQ(plain.DataChanged(eParam_t(1), s, timeval{0, 0}), 0);
    EXPECT_EQ(GetMaxConfigID(), 10);
}

TEST(CTimeValTest, MeasuresFromStartToStop)
{
    CTimeVal timer;
    timer.start();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    timer.stop();
    const long elapsed = timer.get_elapsed_ms();
    EXPECT_GE(elapsed, 30);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(timer.get_elapsed_ms(), elapsed) << "stopped timers do not move";
}

} // namespace
