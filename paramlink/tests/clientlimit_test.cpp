// The server under many clients: a thousand idle ones lock nobody out, the
// last place is kept for this host's own programs, and a newcomer past the
// limit is told why (as is the server's log). Runs in its own network
// namespace: one case gives loopback a second, non-loopback address.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "childprocess.h"
#include "paramlink/paramlink.h"
#include "rawpeer.h"
#include "testtable.h"

using namespace storetest;
using paramlink::wire::Message;
using tovik::test::BuildProgram;
using tovik::test::ChildProcess;
using tovik::test::WaitUntil;

namespace {

// An address of loopback that is not a loopback address.
const char* const kOtherAddress = "192.0.2.1";

class ClientLimitTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetTestConfig(kServedTestConfig);
        // Both ends of every connection live in this process.
        rlimit limit;
        ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &limit), 0);
        const rlim_t need = 4096;
        if (limit.rlim_cur < need) {
            if (limit.rlim_max < need)
                GTEST_SKIP() << "the hard file-descriptor limit is below " << need;
            limit.rlim_cur = need;
            ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &limit), 0);
        }
    }
    void TearDown() override
    {
        for (Config* c : _open)
            ConfigFactoryImpl::GetInstance()->ReleaseConfig(c);
    }
    bool serve(int maxClients = 0)
    {
        _server.reset(new velora::stackline::config::access::SocketServer(0));
        if (maxClients)
            _server->SetMaxClients(maxClients);
        if (!_server->Initialize() || !_server->Start())
            return false;
        _port = _server->GetPort();
        return true;
    }
    Config* client()
    {
        Config* c = ConfigFactoryImpl::GetInstance()->CreateConfig(
            "socket://127.0.0.1:" + std::to_string(_port) + "/caching=false&configid=" +
                std::to_string(kServedTestConfig),
            "");
        if (c)
            _open.push_back(c);
        return c;
    }
    // A greeted bare client; null when the server did not welcome it.
    std::unique_ptr<RawPeer> idleClient(const char* address = "127.0.0.1", const char* source = nullptr)
    {
        std::unique_ptr<RawPeer> peer(new RawPeer(_port, 0, address, source));
        std::string hello;
        paramlink::wire::AppendHello(hello, kServedTestConfig);
        Message answer;
        if (!peer->Connected() || !peer->Send(hello) || !peer->Read(answer, 10000) ||
            answer.type != paramlink::wire::MsgType::Welcome || answer.status != paramlink::wire::kWelcome)
            return nullptr;
        return peer;
    }
    // What a newcomer is told before the server closes it.
    std::string refusalOf(RawPeer& peer)
    {
        Message answer;
        if (!peer.Read(answer, 10000) || answer.type != paramlink::wire::MsgType::Welcome ||
            answer.status != paramlink::wire::kServerFull)
            return "(no refusal)";
        std::string reason(answer.bytes, answer.length);
        return peer.ClosedByServer(5000) ? reason : reason + " (left open)";
    }

    std::unique_ptr<velora::stackline::config::access::SocketServer> _server;
    int _port = 0;
    std::vector<Config*> _open;
};

TEST_F(ClientLimitTest, ThousandIdleClientsLockNobodyOutAndNewcomersPastTheLimitAreToldWhy)
{
    ASSERT_TRUE(serve());
    ASSERT_EQ(_server->GetMaxClients(), 1024);
    std::vector<std::unique_ptr<RawPeer>> idle;
    for (int i = 0; i < 1023; ++i) {
        idle.push_back(idleClient());
        ASSERT_NE(idle.back(), nullptr) << "idle client " << i;
    }
    // The 1024th, as the daemon or knobctl would be.
    Config* normal = client();
    ASSERT_NE(normal, nullptr);
    EXPECT_TRUE(normal->SetIntegerValue(kIntId, 3));
    EXPECT_EQ(normal->GetIntegerValue(kIntId), 3);

    testing::internal::CaptureStderr();
    EXPECT_EQ(client(), nullptr);
    const std::string said = testing::internal::GetCapturedStderr();
    const std::string reason = "too many clients (1024 connected, at most 1024)";
    EXPECT_NE(said.find("refused the connection to config 5: " + reason), std::string::npos) << said;
    EXPECT_NE(said.find("paramlink: refusing 127.0.0.1:"), std::string::npos) << "the server's log: " << said;
    RawPeer extra(_port);
    ASSERT_TRUE(extra.Connected());
    EXPECT_EQ(refusalOf(extra), reason);

    // Clients that leave make room again.
    idle.resize(1000);
    EXPECT_TRUE(WaitUntil([&] { return idleClient() != nullptr; }, 10000));
    Config* later = client();
    ASSERT_NE(later, nullptr);
    EXPECT_EQ(later->GetIntegerValue(kIntId), 3);
}

// This process's network namespace has no interface but loopback
// (/proc/net/dev lists the namespace's own; /sys may show the host's).
bool onlyLoopbackHere()
{
    std::FILE* f = std::fopen("/proc/net/dev", "r");
    if (!f)
        return false;
    char line[512];
    int interfaces = 0;
    bool loopback = false;
    while (std::fgets(line, sizeof line, f)) {
        const char* colon = std::strchr(line, ':');
        if (!colon)
            continue; // the two heading lines
        const char* name = line;
        while (*name == ' ')
            ++name;
        ++interfaces;
        loopback = loopback || std::string(name, colon) == "lo";
    }
    std::fclose(f);
    return interfaces == 1 && loopback;
}

TEST_F(ClientLimitTest, LastPlaceIsKeptForThisHost)
{
    // Only in a private namespace, never on the host's own loopback.
    if (!onlyLoopbackHere() ||
        std::system((std::string("ip addr replace ") + kOtherAddress + "/32 dev lo 2>/dev/null").c_str()) != 0)
        GTEST_SKIP() << "needs a private network namespace with loopback only (tests/netns-run.sh)";
    ASSERT_TRUE(serve(4));
    std::vector<std::unique_ptr<RawPeer>> remote;
    for (int i = 0; i < 3; ++i) {
        remote.push_back(idleClient(kOtherAddress, kOtherAddress));
        ASSERT_NE(remote.back(), nullptr) << "remote client " << i;
    }
    testing::internal::CaptureStderr();
    RawPeer fourthRemote(_port, 0, kOtherAddress, kOtherAddress);
    ASSERT_TRUE(fourthRemote.Connected());
    EXPECT_EQ(refusalOf(fourthRemote), "too many clients (3 connected, at most 4, the last place kept for this host)");

    Config* local = client();
    ASSERT_NE(local, nullptr) << "a client on this host still gets the last place";
    EXPECT_TRUE(local->SetIntegerValue(kIntId, 4));
    RawPeer fifth(_port);
    ASSERT_TRUE(fifth.Connected());
    EXPECT_EQ(refusalOf(fifth), "too many clients (4 connected, at most 4)");
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find(std::string("paramlink: refusing ") + kOtherAddress), std::string::npos) << said;
}

// The server raises its soft file-descriptor limit for its clients; below a
// hard limit that leaves too little room it holds fewer and says so.
TEST(ClientLimitProgramTest, FileDescriptorLimitIsRaisedOrTheLimitLowered)
{
    const struct {
        const char* ulimit;
        int clients;
        const char* log;
    } cases[] = {
        {"ulimit -S -n 300", 1024, nullptr},
        {"ulimit -n 512", 256, "the file-descriptor limit (512) leaves room for 256 clients of the 1024 wanted"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ulimit);
        ChildProcess server;
        ASSERT_TRUE(server.Start({"/bin/sh", "-c", std::string(c.ulimit) + " && exec \"$0\" 0",
                                  BuildProgram("store_test_server")},
                                 testing::TempDir() + "/limit.log"));
        ASSERT_TRUE(WaitUntil([&] { return server.Output().find("ready") != std::string::npos; }, 10000))
            << server.Output();
        EXPECT_NE(server.Output().find("clients " + std::to_string(c.clients) + "\n"), std::string::npos)
            << server.Output();
        if (c.log) {
            EXPECT_NE(server.Output().find(c.log), std::string::npos) << server.Output();
        }
        EXPECT_EQ(server.Stop(SIGTERM, 5000), 0);
    }
}

} // namespace
