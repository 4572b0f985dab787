// Sets and reads that get no value back: a set refused by the store is
// told apart from one whose outcome is unknown (sent, and no answer came)
// and from one never sent; a read that finds no value says why on
// standard error, however its caller takes the result.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "childprocess.h"
#include "paramlink/configlink.h"
#include "readresult.h"
#include "scriptedstore.h"
#include "serverfixture.h"

using namespace storetest;
using tovik::test::WaitUntil;

namespace {

class UnansweredTest : public ServerFixture {
protected:
    // A client of a store that behaves so; null when it could not connect.
    Config* clientOf(ScriptedStore::Behaviour behaviour, bool caching = true)
    {
        _scripted.emplace_back(new ScriptedStore(behaviour));
        const int port = _scripted.back()->Port();
        if (!port)
            return nullptr;
        Config* c = ConfigFactoryImpl::GetInstance()->CreateConfig(
            "socket://127.0.0.1:" + std::to_string(port) + "/caching=" + (caching ? "true" : "false") +
                "&configid=" + std::to_string(_id),
            "");
        if (c)
            _open.push_back(c);
        return c;
    }
    // A client whose store has gone, that knows it.
    Config* awayClient()
    {
        Config* c = clientOf(ScriptedStore::Behaviour::CloseAfterGreeting);
        if (c && !WaitUntil([c] { return !ConfigConnected(c); }, 5000))
            return nullptr;
        return c;
    }
    void TearDown() override
    {
        ServerFixture::TearDown();
        _scripted.clear();
    }

    std::vector<std::unique_ptr<ScriptedStore>> _scripted;
};

TEST_F(UnansweredTest, TheCallerTellsARefusalFromAnUnknownOutcome)
{
    const std::string tooLong(8193, 's');
    const struct {
        const char* name;
        std::function<Config*()> config;
        std::string value;
        bool accepted;
        // Empty, the store's reason (its start), or kWriteOutcomeUnknown.
        std::string refusal;
    } cases[] = {
        {"accepted", [this] { return client(); }, "fine", true, ""},
        {"refused by the store", [this] { return client(); }, tooLong,
         false, "a value of 8193 bytes for parameter 0x01000101 of config 5 is too long"},
        {"link dropped after the set", [this] { return clientOf(ScriptedStore::Behaviour::CloseAtRequest); },
         "lost", false, kWriteOutcomeUnknown},
        {"no answer within the reply timeout", [this] { return clientOf(ScriptedStore::Behaviour::Silent); },
         "unanswered", false, kWriteOutcomeUnknown},
        {"never sent: the link was away", [this] { return awayClient(); }, "unsent", false, ""},
    };
    testing::internal::CaptureStderr();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Config* config = c.config();
        ASSERT_NE(config, nullptr);
        EXPECT_EQ(config->SetStringValue(kStringId, c.value), c.accepted);
        const std::string refusal = LastWriteRefusal(config);
        EXPECT_EQ(refusal.substr(0, c.refusal.size()), c.refusal);
        EXPECT_EQ(refusal.empty(), c.refusal.empty()) << refusal;
    }
    testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string(kWriteOutcomeUnknown).find("may or may not"), std::string::npos);
}

// Every failed read is said on standard error, a few lines a second at
// most, whichever getter was called: the one-argument getter answers 0,
// the others false, as before.
TEST_F(UnansweredTest, AFailedReadSaysWhy)
{
    const struct {
        const char* name;
        std::function<Config*()> config;
        eParam_t id;
        bool integer;
        std::string line;
    } cases[] = {
        {"link away, integer", [this] { return awayClient(); }, kIntId, true,
         "paramlink: config 5 is not connected; eParamID_TestInteger unknown\n"},
        {"link away, string", [this] { return awayClient(); }, kStringId, false,
         "paramlink: config 5 is not connected; eParamID_TestString unknown\n"},
        {"no answer", [this] { return clientOf(ScriptedStore::Behaviour::Silent, false); }, kIntId, true,
         "paramlink: config 5 did not answer; eParamID_TestInteger unknown\n"},
        {"link dropped after the request", [this] { return clientOf(ScriptedStore::Behaviour::CloseAtRequest); },
         kStringId, false, "paramlink: config 5 did not answer; eParamID_TestString unknown\n"},
        {"not in the table, socket", [this] { return client(); }, kUnknownId, true,
         "paramlink: config 5 has no such parameter; parameter 0x0100FFFF unknown\n"},
        {"not in the table, local", [this] { return local(); }, kUnknownId, false,
         "paramlink: config 5 has no such parameter; parameter 0x0100FFFF unknown\n"},
        {"another kind", [this] { return local(); }, kStringId, true,
         "paramlink: config 5 holds another kind of value there; eParamID_TestString unknown\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Config* config = c.config();
        ASSERT_NE(config, nullptr);
        // Lines of earlier reads in this second could hold this one back.
        std::this_thread::sleep_for(std::chrono::milliseconds(1100));
        testing::internal::CaptureStderr();
        if (c.integer) {
            int value = 17;
            EXPECT_FALSE(config->GetIntegerValue(c.id, value));
            EXPECT_EQ(value, 17) << "left as it was";
        } else {
            std::string text = "as it was";
            EXPECT_FALSE(config->GetStringValue(c.id, text));
            EXPECT_EQ(text, "as it was");
        }
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find(c.line), std::string::npos) << said;
    }

    Config* away = awayClient();
    ASSERT_NE(away, nullptr);
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    testing::internal::CaptureStderr();
    EXPECT_EQ(away->GetIntegerValue(kIntId), 0);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("config 5 is not connected; eParamID_TestInteger unknown"), std::string::npos) << said;
}

TEST_F(UnansweredTest, FailedReadsAreCountedNotEachSaid)
{
    Config* mine = local();
    ASSERT_NE(mine, nullptr);
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    testing::internal::CaptureStderr();
    for (int i = 0; i < 1000; ++i)
        EXPECT_EQ(mine->GetIntegerValue(kUnknownId), 0);
    // The next second's first line counts those left out.
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    EXPECT_EQ(mine->GetIntegerValue(kUnknownId), 0);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_LE(tovik::test::CountOf(said, "\n"), 10) << said;
    EXPECT_GE(tovik::test::CountOf(said, "has no such parameter"), 2) << said;
    EXPECT_NE(said.find("more reads failed since the last line)"), std::string::npos) << said;
}

TEST(UnreadLineTest, NamesTheConfigTheReasonAndTheParameter)
{
    using paramlink::ReadResult;
    using paramlink::UnreadLine;
    const struct {
        ReadResult result;
        const char* line;
    } cases[] = {
        {ReadResult::Ok, ""},
        {ReadResult::NotConnected, "config 0 is not connected; eParamID_DeviceCount unknown"},
        {ReadResult::NoAnswer, "config 0 did not answer; eParamID_DeviceCount unknown"},
        {ReadResult::NoSuchParameter, "config 0 has no such parameter; eParamID_DeviceCount unknown"},
        {ReadResult::OtherKind, "config 0 holds another kind of value there; eParamID_DeviceCount unknown"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UnreadLine(0, "eParamID_DeviceCount", c.result), c.line);
    EXPECT_EQ(UnreadLine(3, "parameter 0x0100FFFF", ReadResult::NotConnected),
              "config 3 is not connected; parameter 0x0100FFFF unknown");
}

} // namespace
