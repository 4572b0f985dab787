#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "childprocess.h"
#include "eventrecorder.h"
#include "listenerqueue.h"
#include "rawpeer.h"
#include "serverfixture.h"

using namespace storetest;
using tovik::test::WaitUntil;

namespace {

using SocketConfigTest = ServerFixture;

TEST_F(SocketConfigTest, ClientChangesReachServingProcessAndOtherClients)
{
    Config* setter = client();
    Config* watcher = client();
    Config* serving = local();
    ASSERT_TRUE(setter && watcher && serving);
    EventRecorder& remote = _recorders.New();
    EventRecorder& inProcess = _recorders.New();
    EventRecorder& own = _recorders.New();
    ASSERT_TRUE(watcher->AddEventListener(&remote));
    ASSERT_TRUE(serving->AddEventListener(&inProcess));
    ASSERT_TRUE(setter->AddEventListener(&own));

    for (int i = 1; i <= 50; ++i)
        ASSERT_TRUE(setter->SetIntegerValue(kIntId, i));
    ASSERT_TRUE(setter->SetDataValue(kDataId, std::string("\0x\0", 3)));

    for (EventRecorder* r : {&remote, &inProcess, &own}) {
        ASSERT_TRUE(r->WaitFor(51));
        auto events = r->Events();
        for (int i = 0; i < 50; ++i)
            EXPECT_EQ(events[i].intValue, i + 1);
        EXPECT_EQ(events[50].bytes, std::string("\0x\0", 3));
        for (const auto& e : events) {
            EXPECT_NE(e.thread, std::this_thread::get_id());
            EXPECT_GT(e.when.tv_sec, 0);
        }
    }
    // All saw the same time stamp for the same change.
    EXPECT_EQ(remote.Events()[7].when.tv_usec, inProcess.Events()[7].when.tv_usec);
    EXPECT_EQ(serving->GetIntegerValue(kIntId), 50);
    EXPECT_EQ(watcher->GetIntegerValue(kIntId), 50);
}

TEST_F(SocketConfigTest, ServingProcessChangesReachClientsAndTheirCaches)
{
    Config* watcher = client();
    Config* serving = local();
    ASSERT_TRUE(watcher && serving);
    EventRecorder& remote = _recorders.New();
    ASSERT_TRUE(watcher->AddEventListener(&remote));
    EXPECT_EQ(watcher->GetIntegerValue(kIntId), kIntDefault) << "fetched once, then cached";
    ASSERT_TRUE(serving->SetIntegerValue(kIntId, 9));
    ASSERT_TRUE(serving->SetStringValue(kStringId, "new"));
    ASSERT_TRUE(remote.WaitFor(2));
    EXPECT_EQ(watcher->GetIntegerValue(kIntId), 9);
    std::string text;
    EXPECT_TRUE(watcher->GetStringValue(kStringId, text));
    EXPECT_EQ(text, "new");
}

TEST_F(SocketConfigTest, UncachedClientsReadTheServer)
{
    Config* fresh = client(false);
    Config* serving = local();
    ASSERT_TRUE(fresh && serving);
    EXPECT_EQ(fresh->GetIntegerValue(kIntId), kIntDefault);
    ASSERT_TRUE(serving->SetIntegerValue(kIntId, 4));
    EXPECT_EQ(fresh->GetIntegerValue(kIntId), 4);
    std::string bytes;
    EXPECT_TRUE(fresh->GetDataValue(kDataId, bytes));
    EXPECT_EQ(bytes, "");
}

TEST_F(SocketConfigTest, RefusedSetsReturnFalseAndChangeNothing)
{
    Config* c = client();
    ASSERT_NE(c, nullptr);
    EXPECT_FALSE(c->SetIntegerValue(kUnknownId, 1));
    EXPECT_FALSE(c->SetStringValue(kIntId, "1"));
    EXPECT_FALSE(c->SetIntegerValue(kDataId, 1));
    EXPECT_FALSE(c->SetDataValue(kIntId, "x"));
    EXPECT_FALSE(c->SetDataValue(kDataId, std::string((1u << 20) + 1, 'x'))) << "too large to send";
    EXPECT_TRUE(c->SetDataValue(kDataId, std::string(1u << 20, 'y'))) << "the largest value";
    EXPECT_EQ(c->GetIntegerValue(kIntId), kIntDefault);
}

TEST_F(SocketConfigTest, ServerDownGivesNull)
{
    const std::string where = url();
    _server.reset();
    testing::internal::CaptureStderr();
    Config* c = ConfigFactoryImpl::GetInstance()->CreateConfig(where, "");
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(c, nullptr);
    EXPECT_NE(said.find("cannot connect"), std::string::npos) << said;
}

// While its server is away a config answers nothing, not even a value its
// cache held: the server that comes back may hold another.
TEST_F(SocketConfigTest, ServerGoingAwayFailsSetsAndReads)
{
    Config* c = client();
    ASSERT_NE(c, nullptr);
    ASSERT_TRUE(c->SetIntegerValue(kIntId, 3));
    ASSERT_EQ(c->GetIntegerValue(kIntId), 3);
    testing::internal::CaptureStderr();
    _server.reset();
    EXPECT_TRUE(WaitUntil([&] { return !ConfigConnected(c); }, 3000));
    EXPECT_FALSE(c->SetIntegerValue(kIntId, 4));
    int value = 99;
    EXPECT_FALSE(c->GetIntegerValue(kIntId, value)) << "no stale answer from the cache";
    EXPECT_EQ(value, 99);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("lost"), std::string::npos) << said;
}

// A client that keeps its config through the store's restarts: it learns of
// the loss, and tries again without a log line per attempt.
TEST_F(SocketConfigTest, LinkStateAndQuietAttempts)
{
    Config* c = client();
    ASSERT_NE(c, nullptr);
    Config* mine = local();
    ASSERT_NE(mine, nullptr);
    EXPECT_TRUE(ConfigConnected(c));
    EXPECT_TRUE(ConfigConnected(mine));
    EXPECT_TRUE(ConfigConnected(nullptr)) << "not a config of this library: nothing to tell";

    const std::string where = url();
    testing::internal::CaptureStderr();
    _server.reset();
    EXPECT_TRUE(WaitUntil([&] { return !ConfigConnected(c); }, 3000));
    EXPECT_TRUE(ConfigConnected(mine));
    testing::internal::GetCapturedStderr();

    testing::internal::CaptureStderr();
    std::string error;
    EXPECT_EQ(TryCreateConfig(where, error), nullptr);
    EXPECT_NE(error.find("cannot connect to 127.0.0.1:"), std::string::npos) << error;
    EXPECT_EQ(TryCreateConfig("socket://nowhere", error), nullptr);
    EXPECT_NE(error.find("bad store URL \"socket://nowhere\""), std::string::npos) << error;
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    Config* again = TryCreateConfig("local://configid=" + std::to_string(_id), error);
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(ConfigConnected(again));
    ConfigFactoryImpl::GetInstance()->ReleaseConfig(again);
}

TEST_F(SocketConfigTest, BusyPortAndStartOrder)
{
    velora::stackline::config::access::SocketServer second(_port);
    testing::internal::CaptureStderr();
    EXPECT_EQ(second.Initialize(), 0);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(second.Start(), 0) << "cannot start what is not bound";
}

TEST_F(SocketConfigTest, ReleaseFromInsideItsOwnCallback)
{
    Config* setter = client();
    Config* doomed = ConfigFactoryImpl::GetInstance()->CreateConfig(url(), "");
    ASSERT_TRUE(setter && doomed);
    ReleasingListener listener(doomed, false);
    ASSERT_TRUE(doomed->AddEventListener(&listener));
    EventRecorder& witness = _recorders.New();
    ASSERT_TRUE(setter->AddEventListener(&witness));
    for (int i = 1; i <= 5; ++i)
        ASSERT_TRUE(setter->SetIntegerValue(kIntId, i));
    ASSERT_TRUE(witness.WaitFor(5));
    EXPECT_TRUE(WaitUntil([&] { return listener.Released(); }, 5000));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(listener.calls, 1);
}

class BlockingListener : public ConfigEventListener {
public:
    int IntegerChanged(eParam_t, int, timeval) override
    {
        inside = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        done = true;
        return 0;
    }
    std::atomic<bool> inside{false}, done{false};
};

TEST_F(SocketConfigTest, ReleaseWaitsForTheCallbackInProgress)
{
    Config* setter = client();
    Config* watched = ConfigFactoryImpl::GetInstance()->CreateConfig(url(), "");
    ASSERT_TRUE(setter && watched);
    auto* listener = new BlockingListener;
    ASSERT_TRUE(watched->AddEventListener(listener));
    ASSERT_TRUE(setter->SetIntegerValue(kIntId, 1));
    ASSERT_TRUE(setter->SetIntegerValue(kIntId, 2));
    while (!listener->inside)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ConfigFactoryImpl::GetInstance()->ReleaseConfig(watched);
    EXPECT_TRUE(listener->done);
    delete listener;
    ASSERT_TRUE(setter->SetIntegerValue(kIntId, 3));
}

// The server serves config ids 0 to GetMaxConfigID(): a client asking for
// one above is refused with the reason, and the server says why it closed
// the connection. (This process's own local:// stores are not limited so.)
TEST_F(SocketConfigTest, ConfigsAboveTheHighestIdAreRefused)
{
    const int highest = GetMaxConfigID();
    ASSERT_EQ(highest, 10);
    const struct {
        int id;
        bool served;
    } cases[] = {{0, true}, {highest, true}, {highest + 1, false}, {99, false}, {255, false}};
    for (const auto& c : cases) {
        const std::string id = std::to_string(c.id);
        SCOPED_TRACE("config " + id);
        testing::internal::CaptureStderr();
        Config* config = ConfigFactoryImpl::GetInstance()->CreateConfig(
            "socket://127.0.0.1:" + std::to_string(_port) + "/caching=true&configid=" + id, "");
        const std::string said = testing::internal::GetCapturedStderr();
        if (c.served) {
            EXPECT_NE(config, nullptr);
            ConfigFactoryImpl::GetInstance()->ReleaseConfig(config);
            continue;
        }
        EXPECT_EQ(config, nullptr);
        const std::string reason = "no config " + id + " here (configs 0 to 10)";
        EXPECT_NE(said.find("refused the connection to config " + id + ": " + reason), std::string::npos) << said;
        EXPECT_NE(said.find("closing connection from 127.0.0.1:"), std::string::npos) << "the server's line: " << said;
        EXPECT_NE(said.find("refused: " + reason), std::string::npos) << "the server's line: " << said;
    }
    // What the refused client is sent, byte for byte.
    RawPeer peer(_port);
    std::string hello;
    paramlink::wire::AppendHello(hello, 99);
    testing::internal::CaptureStderr();
    ASSERT_TRUE(peer.Send(hello));
    paramlink::wire::Message answer;
    ASSERT_TRUE(peer.Read(answer, 3000));
    EXPECT_EQ(answer.type, paramlink::wire::MsgType::Welcome);
    EXPECT_EQ(answer.status, paramlink::wire::kConfigNotServed);
    EXPECT_EQ(std::string(answer.bytes, answer.length), "no config 99 here (configs 0 to 10)");
    EXPECT_TRUE(peer.ClosedByServer(3000));
    testing::internal::GetCapturedStderr();
}

// A listener on a socket config that stops taking events loses the oldest
// of them (or the server, should the client fall behind too, sends it only
// the latest of each parameter); its connection is neither held up nor
// dropped.
TEST_F(SocketConfigTest, StuckListenerKeepsItsConnection)
{
    Config* writer = local();
    Config* watched = client();
    ASSERT_TRUE(writer && watched);
    EventRecorder& stuck = _recorders.New();
    LetGoAtEnd letGo(stuck);
    stuck.Hold();
    ASSERT_TRUE(watched->AddEventListener(&stuck));
    ASSERT_TRUE(writer->SetIntegerValue(kIntId, 1));
    ASSERT_TRUE(stuck.WaitFor(1));

    const int total = int(paramlink::ListenerQueue::kMaxEvents) + 500;
    testing::internal::CaptureStderr();
    for (int v = 2; v <= total + 1; ++v)
        ASSERT_TRUE(writer->SetIntegerValue(kIntId, v));
    // The cache follows the events even while the listener is stuck.
    EXPECT_TRUE(WaitUntil([&] { return watched->GetIntegerValue(kIntId) == total + 1; }, 30000));
    EXPECT_TRUE(watched->SetStringValue(kStringId, "still served"));
    stuck.Let();
    ASSERT_TRUE(WaitUntil([&] { return stuck.Events().back().kind == ValueKind::String; }, 60000));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.find("closing connection"), std::string::npos) << said;
    EXPECT_TRUE(said.find("a listener fell behind") != std::string::npos ||
                said.find("falls behind its events") != std::string::npos)
        << said;
    const auto events = stuck.Events();
    EXPECT_EQ(events[events.size() - 2].intValue, total + 1);
    EXPECT_LE(events.size(), paramlink::ListenerQueue::kMaxEvents + 1);
    for (size_t i = 1; i + 1 < events.size(); ++i)
        ASSERT_LT(events[i - 1].intValue, events[i].intValue) << i;
}

class FreedAfterRemoval : public ConfigEventListener {
public:
    // Long enough for removals to fall inside a call.
    int IntegerChanged(eParam_t, int, timeval) override
    {
        std::this_thread::sleep_for(std::chrono::microseconds(300));
        ++calls;
        return 0;
    }
    std::atomic<int> calls{0};
};

// Once RemoveEventListener returns the listener is never called again,
// however the removal falls among the deliveries: each is freed at once, so
// a late call would be a use after free.
TEST_F(SocketConfigTest, RemovedListenersAreNeverCalledAgain)
{
    Config* writer = local();
    ASSERT_NE(writer, nullptr);
    for (Config* watched : {local(), client()}) {
        ASSERT_NE(watched, nullptr);
        std::atomic<bool> stop{false};
        std::thread changes([&] {
            for (int v = 1000; !stop; ++v) {
                writer->SetIntegerValue(kIntId, v);
                std::this_thread::sleep_for(std::chrono::microseconds(50));
            }
        });
        for (int i = 0; i < 100; ++i) {
            auto* listener = new FreedAfterRemoval;
            ASSERT_TRUE(watched->AddEventListener(listener));
            WaitUntil([&] { return listener->calls > i % 3; }, 1000);
            EXPECT_TRUE(watched->RemoveEventListener(listener));
            delete listener;
        }
        stop = true;
        changes.join();
    }
}

} // namespace
