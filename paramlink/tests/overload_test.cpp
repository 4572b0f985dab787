// Hostile and careless clients of a server: a greeting trickled a byte at a
// time, lengths announced and never sent, a table full of connections that
// never greet, clients that never read beside ones that do, and values
// longer than their parameters allow. Each is contained, and the clients
// that behave keep being served.
#include <gtest/gtest.h>

#include <poll.h>
#include <sys/socket.h>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "childprocess.h"
#include "eventrecorder.h"
#include "paramlink/configlink.h"
#include "rawpeer.h"
#include "serverfixture.h"
#include "serverprobe.h"
#include "wireformat.h"

using namespace storetest;
using namespace paramlink::wire;
using tovik::test::WaitUntil;
using velora::stackline::config::access::ServerProbe;

namespace {

std::string helloFrame(int configID)
{
    std::string s;
    AppendHello(s, configID);
    return s;
}

std::string lengthHeader(std::uint32_t n) { return std::string{char(n >> 24), char(n >> 16), char(n >> 8), char(n)}; }

class OverloadTest : public ServerFixture {
protected:
    // A greeted bare client; null when the server did not welcome it.
    std::unique_ptr<RawPeer> greeted(int receiveBuffer = 0)
    {
        std::unique_ptr<RawPeer> peer(new RawPeer(_port, receiveBuffer));
        Message answer;
        if (!peer->Connected() || !peer->Send(helloFrame(_id)) || !peer->Read(answer, 5000) ||
            answer.type != MsgType::Welcome || answer.status != kWelcome)
            return nullptr;
        return peer;
    }
    // Still open: the server has not closed its end (whatever unread
    // bytes come before that).
    static bool open(RawPeer& peer)
    {
        pollfd p{peer.Fd(), POLLRDHUP, 0};
        return poll(&p, 1, 0) == 0;
    }
};

// The greeting is due a fixed time after the connection, however the
// bytes trickle in.
TEST_F(OverloadTest, TrickledGreetingIsClosedAtItsDeadline)
{
    _server->SetStallTimeoutMs(400);
    RawPeer trickler(_port);
    ASSERT_TRUE(trickler.Connected());
    const std::string hello = helloFrame(_id);
    testing::internal::CaptureStderr();
    const auto start = std::chrono::steady_clock::now();
    size_t sent = 0;
    while (sent < hello.size() - 1 && open(trickler)) {
        ASSERT_TRUE(trickler.Send(hello.substr(sent, 1)));
        ++sent;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_TRUE(trickler.ClosedByServer(3000));
    const auto took = std::chrono::steady_clock::now() - start;
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_LT(sent, hello.size() - 1) << "closed before the greeting was whole";
    EXPECT_LT(took, std::chrono::seconds(3));
    EXPECT_NE(said.find("no greeting"), std::string::npos) << said;
}

// A length announced before the greeting is refused at once; one announced
// after it costs the server only the bytes that came.
TEST_F(OverloadTest, AnnouncedMegabyteFramesReserveNothing)
{
    const std::string megabyte = lengthHeader(1u << 20);
    testing::internal::CaptureStderr();
    std::vector<std::unique_ptr<RawPeer>> early;
    for (int i = 0; i < 50; ++i) {
        early.emplace_back(new RawPeer(_port));
        ASSERT_TRUE(early.back()->Send(megabyte + "abc"));
    }
    for (auto& peer : early)
        EXPECT_TRUE(peer->ClosedByServer(3000));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("frame length 1048576 outside 1..11 before the greeting"), std::string::npos) << said;

    std::vector<std::unique_ptr<RawPeer>> late;
    for (int i = 0; i < 50; ++i) {
        late.push_back(greeted());
        ASSERT_NE(late.back(), nullptr);
        ASSERT_TRUE(late.back()->Send(megabyte + std::string(100, 'x')));
    }
    // Each holds a few hundred bytes, not the MiB it announced.
    Config* c = client();
    ASSERT_NE(c, nullptr);
    ASSERT_TRUE(c->SetIntegerValue(kIntId, 5));
    EXPECT_LT(ServerProbe::HeldBytes(*_server), size_t(2u << 20));
    for (auto& peer : late)
        EXPECT_TRUE(open(*peer)) << "a slow sender in the middle of a frame waits its time";
}

// A full table gives up a connection that never greeted, so a client of
// this host still gets in.
TEST_F(OverloadTest, FullTableOfSilentConnectionsMakesRoomForALocalClient)
{
    _server->SetMaxClients(8);
    std::vector<std::unique_ptr<RawPeer>> silent;
    for (int i = 0; i < 8; ++i) {
        silent.emplace_back(new RawPeer(_port));
        ASSERT_TRUE(silent.back()->Connected());
        // One byte of a greeting that never ends, as a trickler would.
        ASSERT_TRUE(silent.back()->Send(std::string(1, '\0')));
    }
    testing::internal::CaptureStderr();
    Config* c = client();
    const std::string said = testing::internal::GetCapturedStderr();
    ASSERT_NE(c, nullptr) << said;
    EXPECT_TRUE(c->SetIntegerValue(kIntId, 6));
    EXPECT_TRUE(silent.front()->ClosedByServer(3000)) << "the oldest silent one made way";
    EXPECT_NE(said.find("no greeting yet, and its place is wanted"), std::string::npos) << said;

    // A table full of greeted clients refuses the newcomer instead.
    std::vector<std::unique_ptr<RawPeer>> idle;
    for (int i = 0; i < 8; ++i) {
        auto peer = greeted();
        if (peer)
            idle.push_back(std::move(peer));
    }
    EXPECT_EQ(idle.size(), 7u) << "the eighth place is the library client's";
    testing::internal::CaptureStderr();
    EXPECT_EQ(ConfigFactoryImpl::GetInstance()->CreateConfig(url(), ""), nullptr);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("too many clients (8 connected, at most 8)"),
              std::string::npos);
}

// Clients that never read cost their own queues only: a watcher that
// reads and the writer keep their connections and every change, and past
// the server's budget the deaf ones are closed, biggest first.
TEST_F(OverloadTest, DeafWatchersBesideAReadingOne)
{
    ServerProbe::SetHeldBudget(*_server, 16u << 20);
    std::vector<std::unique_ptr<RawPeer>> deaf;
    for (int i = 0; i < 40; ++i) {
        deaf.push_back(greeted(4096));
        ASSERT_NE(deaf.back(), nullptr);
    }
    Config* writer = client();
    Config* reader = client();
    ASSERT_TRUE(writer && reader);
    EventRecorder& heard = _recorders.New();
    ASSERT_TRUE(reader->AddEventListener(&heard));

    testing::internal::CaptureStderr();
    const int kSets = 200;
    std::string value(64 * 1024, 'v');
    for (int i = 0; i < kSets; ++i) {
        value[0] = char(i);
        value[1] = char(i >> 8);
        ASSERT_TRUE(writer->SetDataValue(kDataId, value)) << i;
    }
    EXPECT_TRUE(WaitUntil([&] { return heard.LastFirstByte() == ((kSets - 1) & 0xff); }, 10000));
    EXPECT_TRUE(ConfigConnected(writer));
    EXPECT_TRUE(ConfigConnected(reader));
    EXPECT_TRUE(writer->SetIntegerValue(kIntId, 8));
    EXPECT_EQ(reader->GetIntegerValue(kIntId), 8);
    EXPECT_TRUE(WaitUntil([&] { return ServerProbe::HeldBytes(*_server) < (16u << 20); }, 5000))
        << ServerProbe::HeldBytes(*_server);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("does not take its events"), std::string::npos) << said;
    int closed = 0;
    for (auto& peer : deaf)
        closed += open(*peer) ? 0 : 1;
    EXPECT_GT(closed, 0);
    EXPECT_LT(closed, 40) << "only as many as the budget needs";
}

// A string or data value longer than its parameter allows is refused in
// the store itself, from a client and in the serving process alike, with
// the reason; a value at the limit is kept.
TEST_F(OverloadTest, OverLongValuesAreRefusedWithTheReason)
{
    Config* remote = client();
    Config* mine = local();
    ASSERT_TRUE(remote && mine);
    const std::string reason = "a value of 8193 bytes for parameter 0x01000101 of config 5 is too long (at most 8192)";
    testing::internal::CaptureStderr();
    for (Config* c : {remote, mine}) {
        SCOPED_TRACE(c == remote ? "socket" : "local");
        EXPECT_FALSE(c->SetStringValue(kStringId, std::string(8193, 's')));
        EXPECT_EQ(LastWriteRefusal(c), reason);
        EXPECT_FALSE(c->SetStringValue(kStringId, std::string(1u << 20, 's')));
        EXPECT_TRUE(c->SetStringValue(kStringId, std::string(8192, c == remote ? 'r' : 'm')));
        EXPECT_EQ(LastWriteRefusal(c), "");
        EXPECT_TRUE(c->SetDataValue(kDataId, std::string(kDataMaxLength, 'd'))) << "its descriptor allows a MiB";
        EXPECT_FALSE(c->SetIntegerValue(storetest::kUnknownId, 1));
        EXPECT_EQ(LastWriteRefusal(c), "config 5 has no parameter 0x0100FFFF");
    }
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("paramlink: refused " + reason), std::string::npos) << said;
    // The serving process's last set reaches the client's cache.
    std::string text;
    EXPECT_TRUE(WaitUntil([&] { return remote->GetStringValue(kStringId, text) && text == std::string(8192, 'm'); },
                          5000));
}

// A client of another version, older or newer, is told so before it is
// closed; it is never let in to have its frames misread.
TEST_F(OverloadTest, OtherProtocolVersionIsRefusedWithTheReason)
{
    static_assert(kVersion == 2, "the reasons below name the version");
    for (const unsigned version : {1u, 0u, 3u, 0x0102u, 0xFFFFu}) {
        SCOPED_TRACE(version);
        RawPeer other(_port);
        std::string hello = helloFrame(_id);
        hello[kLengthBytes + 1 + 4] = char(version >> 8);
        hello[kLengthBytes + 1 + 4 + 1] = char(version & 0xFF);
        testing::internal::CaptureStderr();
        ASSERT_TRUE(other.Send(hello));
        Message answer;
        ASSERT_TRUE(other.Read(answer, 3000));
        EXPECT_EQ(answer.type, MsgType::Welcome);
        EXPECT_EQ(answer.status, kWrongVersion);
        EXPECT_EQ(std::string(answer.bytes, answer.length),
                  "the server speaks version 2 of the store protocol, not " + std::to_string(version));
        EXPECT_TRUE(other.ClosedByServer(3000));
        testing::internal::GetCapturedStderr();
    }
    // The version it speaks is let in.
    EXPECT_NE(greeted(), nullptr);
}

} // namespace
