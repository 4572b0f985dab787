#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "childprocess.h"
#include "eventrecorder.h"
#include "rawpeer.h"
#include "serverfixture.h"
#include "serverprobe.h"
#include "wireformat.h"

using namespace storetest;
using namespace paramlink::wire;
using tovik::test::WaitUntil;
using velora::stackline::config::access::ServerProbe;

namespace {

class HostilePeerTest : public ServerFixture {
protected:
    void SetUp() override
    {
        ServerFixture::SetUp();
        _server->SetStallTimeoutMs(300);
        _good = client();
        ASSERT_NE(_good, nullptr);
    }
    // A well-behaved client still gets its sets through.
    void expectGoodClientServed(int value)
    {
        EXPECT_TRUE(_good->SetIntegerValue(kIntId, value));
        Config* fresh = client(false);
        ASSERT_NE(fresh, nullptr);
        EXPECT_EQ(fresh->GetIntegerValue(kIntId), value);
        release(fresh);
    }
    std::string hello() const
    {
        std::string s;
        AppendHello(s, _id);
        return s;
    }

    Config* _good = nullptr;
};

TEST_F(HostilePeerTest, MalformedStreamsCloseOnlyThatConnection)
{
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"garbage", std::string("GET / HTTP/1.0\r\n\r\n")},
        {"frame claiming 4 GiB", std::string("\xff\xff\xff\xff", 4)},
        {"zero-length frame", std::string("\0\0\0\0", 4)},
        {"request before greeting", [] { std::string s; AppendGet(s, 1, 1, ValueKind::Integer); return s; }()},
        {"wrong magic", std::string("\0\0\0\x0b\x01XXXX\0\x01\0\0\0\0", 15)},
        {"second greeting", [this] { return hello() + hello(); }()},
        {"unknown message after greeting", [this] { return hello() + std::string("\0\0\0\x01\x63", 5); }()},
        {"server-side message from a client", [this] { std::string s = hello(); AppendWelcome(s, 1); return s; }()},
        {"frame longer than a greeting before it", [] { std::string s; AppendSet(s, 1, 1, ValueKind::String, 0, "xx", 2); return s; }()},
        {"listing from a client", [this] { std::string s = hello(); AppendListing(s, 1, {}); return s; }()},
        {"integer of wrong size", [this] { return hello() + std::string("\0\0\0\x0b\x03\0\0\0\x01\0\0\0\x01\x01\x07", 15); }()},
        {"config id out of range", [] { std::string s; AppendHello(s, 100000); return s; }()},
    };
    int value = 0;
    for (const auto& c : cases) {
        RawPeer peer(_port);
        ASSERT_TRUE(peer.Connected()) << c.name;
        testing::internal::CaptureStderr();
        ASSERT_TRUE(peer.Send(c.bytes)) << c.name;
        EXPECT_TRUE(peer.ClosedByServer(3000)) << c.name;
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find("closing connection"), std::string::npos) << c.name << ": " << said;
        expectGoodClientServed(++value);
    }
}

TEST_F(HostilePeerTest, PeersThatStallAreDropped)
{
    RawPeer silent(_port);
    RawPeer midFrame(_port);
    ASSERT_TRUE(silent.Connected() && midFrame.Connected());
    std::string set;
    AppendSet(set, 1, kIntId, ValueKind::Integer, 5, nullptr, 0);
    testing::internal::CaptureStderr();
    ASSERT_TRUE(midFrame.Send(hello() + set.substr(0, 6)));
    // Others are served while those two hang.
    expectGoodClientServed(11);
    EXPECT_TRUE(silent.ClosedByServer(3000));
    EXPECT_TRUE(midFrame.ClosedByServer(3000));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("no greeting"), std::string::npos) << said;
    EXPECT_NE(said.find("middle of a frame"), std::string::npos) << said;
    EXPECT_EQ(_good->GetIntegerValue(kIntId), 11) << "the half frame was never applied";
}

TEST_F(HostilePeerTest, PeerLeavingMidFrameIsForgotten)
{
    std::string set;
    AppendSet(set, 1, kIntId, ValueKind::Integer, 5, nullptr, 0);
    for (int i = 0; i < 8; ++i) {
        RawPeer peer(_port);
        ASSERT_TRUE(peer.Send(hello() + set.substr(0, size_t(i) + 1)));
    }
    expectGoodClientServed(21);
}

// A client that stops reading holds up nobody and holds little: once its
// queue is long it is kept only the latest value of each parameter, and
// when it reads again that latest value reaches it.
TEST_F(HostilePeerTest, ClientThatNeverReadsIsConflatedNotWaitedFor)
{
    RawPeer lazy(_port, 8 * 1024);
    ASSERT_TRUE(lazy.Send(hello()));
    testing::internal::CaptureStderr();
    const std::string block(512 * 1024, 'z');
    for (int i = 0; i < 60; ++i) {
        std::string value = block;
        value[0] = char(i);
        ASSERT_TRUE(_good->SetDataValue(kDataId, value)) << i;
    }
    expectGoodClientServed(31);
    EXPECT_TRUE(WaitUntil([&] { return ServerProbe::HeldBytes(*_server) < (6u << 20); }, 3000))
        << ServerProbe::HeldBytes(*_server) << " bytes held for 60 changes of 512 KiB";
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("falls behind its events"), std::string::npos) << said;

    paramlink::wire::Message msg;
    int last = -1;
    int events = 0;
    while (lazy.Read(msg, 3000)) {
        if (msg.type == MsgType::Event && msg.paramID == kDataId) {
            last = (unsigned char)msg.bytes[0];
            ++events;
        }
        if (last == 59)
            break;
    }
    EXPECT_EQ(last, 59) << "the latest value came";
    EXPECT_LT(events, 60) << "older ones were replaced";
}

TEST_F(HostilePeerTest, SixtyFourClientsAtOnce)
{
    const int kClients = 64;
    const int kSets = 20;
    // Busy, not hostile: on a loaded machine a thread may greet late.
    _server->SetStallTimeoutMs(10000);
    Config* watcher = client();
    ASSERT_NE(watcher, nullptr);
    EventRecorder& events = _recorders.New();
    ASSERT_TRUE(watcher->AddEventListener(&events));

    std::atomic<int> failures{0};
    std::atomic<int> connected{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kClients; ++t)
        threads.emplace_back([&, t] {
            Config* c = ConfigFactoryImpl::GetInstance()->CreateConfig(url(), "");
            if (!c) {
                ++failures;
                return;
            }
            ++connected;
            for (int i = 0; i < kSets; ++i) {
                // Distinct values per client and per set, so every set is a change.
                if (!c->SetIntegerValue(kIntId, 1000 + t * kSets + i))
                    ++failures;
                std::string s;
                if (!c->GetStringValue(kStringId, s))
                    ++failures;
            }
            ConfigFactoryImpl::GetInstance()->ReleaseConfig(c);
        });
    for (auto& th : threads)
        th.join();
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(connected, kClients);
    ASSERT_TRUE(events.WaitFor(size_t(kClients * kSets), 10000));
    // The watcher saw each client's own sets in the order it made them.
    std::vector<int> last(kClients, -1);
    for (const auto& e : events.Events()) {
        const int client = (e.intValue - 1000) / kSets;
        const int seq = (e.intValue - 1000) % kSets;
        ASSERT_GE(client, 0);
        ASSERT_LT(client, kClients);
        EXPECT_GT(seq, last[client]);
        last[client] = seq;
    }
    expectGoodClientServed(41);
}

} // namespace
