// What the daemon and the command-line client rely on from a socket config,
// and a client whose server stops answering while it waits.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "eventrecorder.h"
#include "scriptedstore.h"
#include "serverfixture.h"

using namespace storetest;

namespace {

using ClientUseTest = ServerFixture;

// Reads of never-set and unknown parameters, and byte values with NULs,
// through caching and uncaching clients alike.
TEST_F(ClientUseTest, ReadsAsClientsUseThem)
{
    const std::string nulBytes("\0\x01\0\xfe\0", 5);
    Config* serving = local();
    ASSERT_NE(serving, nullptr);
    for (bool caching : {true, false}) {
        SCOPED_TRACE(caching ? "caching" : "uncaching");
        Config* c = client(caching);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(dynamic_cast<MappingConfig*>(c), nullptr);

        EXPECT_EQ(c->GetIntegerValue(kUnknownId), 0);
        int out = 42;
        EXPECT_FALSE(c->GetIntegerValue(kUnknownId, out));
        EXPECT_EQ(out, 42);
        std::string text = "kept";
        EXPECT_FALSE(c->GetStringValue(kUnknownId, text));
        EXPECT_EQ(text, "kept");
        EXPECT_TRUE(c->GetStringValue(kStringId, text));
        EXPECT_EQ(text, kStringDefault) << "never set: the factory default";

        ASSERT_TRUE(serving->SetDataValue(kDataId, nulBytes));
        std::string bytes;
        EXPECT_TRUE(c->GetDataValue(kDataId, bytes));
        EXPECT_EQ(bytes, nulBytes);
        ASSERT_TRUE(c->SetDataValue(kDataId, std::string(3, '\0')));
        EXPECT_TRUE(serving->GetDataValue(kDataId, bytes));
        EXPECT_EQ(bytes, std::string(3, '\0'));
        ASSERT_TRUE(c->SetStringValue(kStringId, std::string("a\0b", 3)));
        EXPECT_TRUE(c->GetStringValue(kStringId, text));
        EXPECT_EQ(text, std::string("a\0b", 3));
        ASSERT_TRUE(serving->SetStringValue(kStringId, kStringDefault));
        release(c);
    }
}

// Two configs on one URL are two connections: each hears every change,
// and releasing one leaves the other working.
TEST_F(ClientUseTest, SecondConfigOnTheSameUrl)
{
    Config* first = client();
    Config* second = client();
    ASSERT_TRUE(first && second);
    ASSERT_NE(first, second);
    EventRecorder& one = _recorders.New();
    EventRecorder& two = _recorders.New();
    ASSERT_TRUE(first->AddEventListener(&one));
    ASSERT_TRUE(second->AddEventListener(&two));
    ASSERT_TRUE(first->SetIntegerValue(kIntId, 1));
    ASSERT_TRUE(one.WaitFor(1));
    ASSERT_TRUE(two.WaitFor(1));

    release(first);
    ASSERT_TRUE(second->SetIntegerValue(kIntId, 2));
    ASSERT_TRUE(two.WaitFor(2));
    EXPECT_EQ(two.Events()[1].intValue, 2);
    EXPECT_EQ(one.Events().size(), 1u) << "nothing after release";
    EXPECT_EQ(second->GetIntegerValue(kIntId), 2);
}

TEST(ClientOfSilentServer, WaitsAreBoundedAndFailuresReported)
{
    const int id = 9;
    FillTestTable(DescriptorRegistry::GetDescriptorTable(id));
    for (ScriptedStore::Behaviour then : {ScriptedStore::Behaviour::Silent, ScriptedStore::Behaviour::CloseAtRequest}) {
        const bool silent = then == ScriptedStore::Behaviour::Silent;
        SCOPED_TRACE(silent ? "silent" : "closing");
        ScriptedStore server(then);
        ASSERT_NE(server.Port(), 0);
        // From before the connection: a closing server can be noticed at once.
        testing::internal::CaptureStderr();
        Config* c = ConfigFactoryImpl::GetInstance()->CreateConfig(
            "socket://127.0.0.1:" + std::to_string(server.Port()) + "/caching=true&configid=" + std::to_string(id), "");
        if (!c)
            testing::internal::GetCapturedStderr();
        ASSERT_NE(c, nullptr);
        const auto before = std::chrono::steady_clock::now();
        EXPECT_FALSE(c->SetIntegerValue(kIntId, 3));
        // Bounded: the reply wait, with room for a slow machine.
        EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(30));
        int value = 5;
        if (!silent) {
            EXPECT_FALSE(c->GetIntegerValue(kIntId, value)) << "nothing cached, no server";
            EXPECT_EQ(value, 5);
        }
        const std::string said = testing::internal::GetCapturedStderr();
        if (!silent) {
            EXPECT_NE(said.find("lost"), std::string::npos) << said;
        }
        ConfigFactoryImpl::GetInstance()->ReleaseConfig(c);
    }
}

} // namespace
