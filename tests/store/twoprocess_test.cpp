// A store served by another process (the test server, config 1 on port
// 43111), reached by clients in this one.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>

#include "childprocess.h"
#include "eventrecorder.h"
#include "paramlink/paramlink.h"
#include "testtable.h"
#include "tovikconfig/integerdescriptor.h"

using namespace storetest;
using tovik::test::BuildProgram;
using tovik::test::ChildProcess;
using tovik::test::WaitUntil;

namespace {

const char* const kUrl = "socket://127.0.0.1:43111/caching=true&configid=1";
const char* const kLocalhostUrl = "socket://localhost:43111?caching=true&configid=1";
// Known to this process's table only.
const eParam_t kClientOnlyId = eParam_t(0x01000200);

class TwoProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        DescriptorTable* table = DescriptorRegistry::GetDescriptorTable(1);
        FillTestTable(table);
        auto* extra = new IntegerDescriptor;
        extra->SetParamID(kClientOnlyId);
        extra->SetParamIDName("eParamID_ClientOnly");
        extra->SetFactoryDefault(55);
        table->AddDescriptor(extra);

        ASSERT_TRUE(_server.StartPiped({BuildProgram("store_test_server"), "43111"}));
        ASSERT_TRUE(_server.WaitForLine("ready", 10000));
    }
    void TearDown() override
    {
        for (Config* c : _open)
            ConfigFactoryImpl::GetInstance()->ReleaseConfig(c);
        _server.Stop(SIGTERM, 5000);
    }
    Config* open(const std::string& url = kUrl)
    {
        Config* c = ConfigFactoryImpl::GetInstance()->CreateConfig(url, "");
        if (c)
            _open.push_back(c);
        return c;
    }

    ChildProcess _server;
    std::vector<Config*> _open;
    RecorderPool _recorders;
};

TEST_F(TwoProcessTest, BothUrlFormsConnectAndReadFactoryDefaults)
{
    for (const char* url : {kUrl, kLocalhostUrl, "socket://localhost:43111?caching=false&configid=1"}) {
        Config* c = open(url);
        ASSERT_NE(c, nullptr) << url;
        EXPECT_EQ(c->GetIntegerValue(kIntId), kIntDefault) << url;
        EXPECT_EQ(c->GetIntegerValue(kEnumId), int(kEnumDefault)) << url;
        std::string text, bytes = "x";
        EXPECT_TRUE(c->GetStringValue(kStringId, text)) << url;
        EXPECT_EQ(text, kStringDefault) << url;
        EXPECT_TRUE(c->GetDataValue(kDataId, bytes)) << url;
        EXPECT_EQ(bytes, "") << url;
        EXPECT_EQ(c->GetIntegerValue(kClientOnlyId), 55) << "unknown to the server: this table's default";
    }
}

TEST_F(TwoProcessTest, ValuesRoundTripBetweenClients)
{
    Config* writer = open();
    Config* cachedReader = open(kLocalhostUrl);
    ASSERT_TRUE(writer && cachedReader);
    // Cache the defaults first, so the new values must come by event.
    EXPECT_EQ(cachedReader->GetIntegerValue(kIntId), kIntDefault);
    std::string primed;
    cachedReader->GetDataValue(kDataId, primed);

    const std::string data("\0\x01\0\xfe\0", 5);
    const std::string text("hello, store");
    EXPECT_TRUE(writer->SetIntegerValue(kIntId, -2147483647 - 1));
    EXPECT_TRUE(writer->SetStringValue(kStringId, text));
    EXPECT_TRUE(writer->SetDataValue(kDataId, data));
    EXPECT_TRUE(writer->SetStringValue(kStringId, "")) << "the empty string is a value";
    EXPECT_TRUE(writer->SetStringValue(kStringId, text));

    Config* freshReader = open("socket://127.0.0.1:43111/caching=false&configid=1");
    ASSERT_NE(freshReader, nullptr);
    for (Config* reader : {freshReader, cachedReader}) {
        for (int i = 0; i < 200 && reader->GetIntegerValue(kIntId) != -2147483647 - 1; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_EQ(reader->GetIntegerValue(kIntId), -2147483647 - 1);
        std::string gotText, gotData;
        EXPECT_TRUE(reader->GetStringValue(kStringId, gotText));
        EXPECT_TRUE(reader->GetDataValue(kDataId, gotData));
        EXPECT_EQ(gotText, text);
        EXPECT_EQ(gotData, data);
    }
}

TEST_F(TwoProcessTest, EventsReachOtherClientsInOrderOnALibraryThread)
{
    Config* writer = open();
    Config* watcher = open(kLocalhostUrl);
    ASSERT_TRUE(writer && watcher);
    EventRecorder& recorder = _recorders.New();
    ASSERT_TRUE(watcher->AddEventListener(&recorder));

    timeval before;
    gettimeofday(&before, nullptr);
    for (int i = 1; i <= 100; ++i)
        ASSERT_TRUE(writer->SetIntegerValue(kIntId, i));
    ASSERT_TRUE(writer->SetDataValue(kDataId, std::string("\0end", 4)));
    ASSERT_TRUE(recorder.WaitFor(101));
    timeval after;
    gettimeofday(&after, nullptr);

    auto events = recorder.Events();
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(events[i].id, kIntId);
        EXPECT_EQ(events[i].kind, ValueKind::Integer);
        EXPECT_EQ(events[i].intValue, i + 1);
    }
    EXPECT_EQ(events[100].kind, ValueKind::Data);
    EXPECT_EQ(events[100].bytes, std::string("\0end", 4));
    for (size_t i = 0; i < events.size(); ++i) {
        const auto& e = events[i];
        EXPECT_NE(e.thread, std::this_thread::get_id());
        EXPECT_TRUE(e.when.tv_sec >= before.tv_sec && e.when.tv_sec <= after.tv_sec);
        if (i > 0) {
            EXPECT_TRUE(events[i - 1].when.tv_sec < e.when.tv_sec ||
                        (events[i - 1].when.tv_sec == e.when.tv_sec && events[i - 1].when.tv_usec <= e.when.tv_usec));
        }
    }
}

TEST_F(TwoProcessTest, RefusedSetsReturnZero)
{
    Config* c = open();
    ASSERT_NE(c, nullptr);
    EXPECT_FALSE(c->SetIntegerValue(kClientOnlyId, 1)) << "the server holds no descriptor";
    EXPECT_FALSE(c->SetIntegerValue(kUnknownId, 1)) << "neither side holds one";
    EXPECT_FALSE(c->SetStringValue(kIntId, "7"));
    EXPECT_FALSE(c->SetIntegerValue(kStringId, 7));
    EXPECT_FALSE(c->SetStringValue(kDataId, "7"));
    EXPECT_EQ(c->GetIntegerValue(kClientOnlyId), 55);
}

TEST_F(TwoProcessTest, ServerDownGivesNullAndLostServerFailsSets)
{
    Config* c = open();
    ASSERT_NE(c, nullptr);
    ASSERT_TRUE(c->SetIntegerValue(kIntId, 2));
    testing::internal::CaptureStderr();
    EXPECT_EQ(_server.Stop(SIGTERM, 5000), 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(c->SetIntegerValue(kIntId, 3));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(ConfigFactoryImpl::GetInstance()->CreateConfig(kUrl, ""), nullptr);
    EXPECT_EQ(ConfigFactoryImpl::GetInstance()->CreateConfig(kLocalhostUrl, ""), nullptr);
    testing::internal::GetCapturedStderr();
}

// The store's process restarted under a client: the client's config finds
// the new one by itself, reads what it holds (not what the old one held)
// and its listener hears changes again.
TEST_F(TwoProcessTest, RestartedStoreIsFoundAgain)
{
    Config* c = open();
    ASSERT_NE(c, nullptr);
    EventRecorder& heard = _recorders.New();
    ASSERT_TRUE(c->AddEventListener(&heard));
    ASSERT_TRUE(c->SetIntegerValue(kIntId, 2));
    ASSERT_EQ(c->GetIntegerValue(kIntId), 2);

    testing::internal::CaptureStderr();
    ASSERT_EQ(_server.Stop(SIGTERM, 5000), 0);
    ASSERT_TRUE(WaitUntil([&] { return !ConfigConnected(c); }, 5000));
    int value = -1;
    EXPECT_FALSE(c->GetIntegerValue(kIntId, value)) << "the old store's value is not answered";
    ChildProcess again;
    ASSERT_TRUE(again.StartPiped({BuildProgram("store_test_server"), "43111"}));
    ASSERT_TRUE(again.WaitForLine("ready", 10000));
    EXPECT_TRUE(WaitUntil([&] { return ConfigConnected(c); }, 10000));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(c->GetIntegerValue(kIntId), kIntDefault) << "what the new store holds";

    Config* other = open(kLocalhostUrl);
    ASSERT_NE(other, nullptr);
    const size_t before = heard.Events().size();
    ASSERT_TRUE(other->SetIntegerValue(kIntId, 5));
    ASSERT_TRUE(heard.WaitFor(before + 1));
    EXPECT_EQ(heard.Events().back().intValue, 5);
    EXPECT_EQ(again.Stop(SIGTERM, 5000), 0);
}

} // namespace
