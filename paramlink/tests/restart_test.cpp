// A store restarted under a client: the client's config makes its link
// again by itself, answers nothing while away (not even from its cache),
// reads what the new store holds once back, tells its link listeners both
// moments and its event listeners the changes again. Runs in its own
// network namespace: the server comes back on the same fixed port.
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "childprocess.h"
#include "eventrecorder.h"
#include "paramlink/paramlink.h"
#include "testtable.h"

using namespace storetest;
using tovik::test::WaitUntil;

namespace {

const int kPort = 43111;

class LinkRecorder : public ConfigLinkListener {
public:
    void LinkLost(Config* config) override { record("lost", config); }
    void LinkRestored(Config* config) override { record("restored", config); }
    std::vector<std::string> Notes()
    {
        std::lock_guard<std::mutex> lock(_mutex);
        return _notes;
    }
    Config* Seen()
    {
        std::lock_guard<std::mutex> lock(_mutex);
        return _config;
    }
    std::thread::id Thread()
    {
        std::lock_guard<std::mutex> lock(_mutex);
        return _thread;
    }

private:
    void record(const char* note, Config* config)
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _notes.push_back(note);
        _config = config;
        _thread = std::this_thread::get_id();
    }
    std::mutex _mutex;
    std::vector<std::string> _notes;
    Config* _config = nullptr;
    std::thread::id _thread;
};

// Takes every connection on the fixed port and closes it at once, as a
// store that is not there yet would fail a client; counts them.
class ClosingListener {
public:
    ClosingListener()
    {
        _fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        int one = 1;
        setsockopt(_fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(kPort);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        _ok = bind(_fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 && listen(_fd, 16) == 0;
        if (_ok)
            _thread = std::thread([this] { run(); });
    }
    ~ClosingListener()
    {
        _stop = true;
        if (_thread.joinable())
            _thread.join();
        close(_fd);
    }
    bool Listening() const { return _ok; }
    int Accepted() const { return _accepted; }

private:
    void run()
    {
        while (!_stop) {
            pollfd p{_fd, POLLIN, 0};
            if (poll(&p, 1, 20) <= 0)
                continue;
            const int peer = accept(_fd, nullptr, nullptr);
            if (peer < 0)
                continue;
            ++_accepted;
            close(peer);
        }
    }
    int _fd = -1;
    bool _ok = false;
    std::atomic<bool> _stop{false};
    std::atomic<int> _accepted{0};
    std::thread _thread;
};

// A server on the fixed port, that a test stops and starts again.
class StoreRestartTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetTestConfig(kServedTestConfig);
        ASSERT_TRUE(serve());
    }
    bool serve()
    {
        _server.reset(new velora::stackline::config::access::SocketServer(kPort));
        return _server->Initialize() && _server->Start();
    }
    static std::string url(bool caching)
    {
        return "socket://127.0.0.1:" + std::to_string(kPort) + "/caching=" + (caching ? "true" : "false") +
               "&configid=" + std::to_string(kServedTestConfig);
    }

    std::unique_ptr<velora::stackline::config::access::SocketServer> _server;
};

TEST_F(StoreRestartTest, ClientReconnectsRefreshesAndHearsAgain)
{
    ConfigFactoryImpl* factory = ConfigFactoryImpl::GetInstance();
    Config* watched = factory->CreateConfig(url(true), "");
    Config* serving = factory->CreateConfig("local://configid=" + std::to_string(kServedTestConfig), "");
    ASSERT_TRUE(watched && serving);
    EventRecorder events;
    LinkRecorder link;
    ASSERT_TRUE(watched->AddEventListener(&events));
    ASSERT_TRUE(AddLinkListener(watched, &link));
    EXPECT_FALSE(AddLinkListener(watched, &link)) << "once";
    EXPECT_EQ(watched->GetIntegerValue(kIntId), kIntDefault) << "now cached";
    const std::uint64_t firstWriter = ConfigWriterID(watched);
    EXPECT_NE(firstWriter, 0u);

    testing::internal::CaptureStderr();
    _server.reset();
    ASSERT_TRUE(WaitUntil([&] { return !ConfigConnected(watched); }, 5000));
    ASSERT_TRUE(WaitUntil([&] { return link.Notes().size() == 1; }, 5000));
    int value = -1;
    EXPECT_FALSE(watched->GetIntegerValue(kIntId, value)) << "no stale value while away";
    EXPECT_FALSE(watched->SetIntegerValue(kIntId, 3));
    EXPECT_EQ(ConfigWriterID(watched), 0u);
    // The store changes meanwhile; no event can tell the client.
    ASSERT_TRUE(serving->SetIntegerValue(kIntId, 9));

    ASSERT_TRUE(serve());
    // The first attempts come within 0.25 + 0.5 + 1 s or so.
    ASSERT_TRUE(WaitUntil([&] { return ConfigConnected(watched); }, 10000));
    ASSERT_TRUE(WaitUntil([&] { return link.Notes().size() == 2; }, 5000));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(link.Notes(), (std::vector<std::string>{"lost", "restored"}));
    EXPECT_EQ(link.Seen(), watched);
    EXPECT_NE(link.Thread(), std::this_thread::get_id());
    EXPECT_NE(said.find("lost: closed by the server"), std::string::npos) << said;
    EXPECT_NE(said.find("made again"), std::string::npos) << said;
    EXPECT_EQ(watched->GetIntegerValue(kIntId), 9) << "the cache starts afresh";
    EXPECT_NE(ConfigWriterID(watched), firstWriter) << "a new connection";

    // Listeners hear changes again, the own ones marked so.
    const size_t before = events.Events().size();
    ASSERT_TRUE(serving->SetIntegerValue(kIntId, 10));
    ASSERT_TRUE(watched->SetIntegerValue(kIntId, 4));
    ASSERT_TRUE(events.WaitFor(before + 2));
    const auto heard = events.Events();
    EXPECT_EQ(heard[before].intValue, 10);
    EXPECT_EQ(heard[before + 1].intValue, 4);
    EXPECT_EQ(watched->GetIntegerValue(kIntId), 4);

    ASSERT_TRUE(RemoveLinkListener(watched, &link));
    factory->ReleaseConfig(watched);
    factory->ReleaseConfig(serving);
}

// A client whose store stays away tries again with growing pauses (0.25,
// 0.5, 1, 2 s ...), never at a steady rate: over 4 s that is four
// attempts, where a client without the back-off makes sixteen.
TEST_F(StoreRestartTest, AttemptsAgainstAnAbsentStoreBackOff)
{
    Config* c = ConfigFactoryImpl::GetInstance()->CreateConfig(url(false), "");
    ASSERT_NE(c, nullptr);
    testing::internal::CaptureStderr();
    _server.reset();
    ClosingListener absent;
    ASSERT_TRUE(absent.Listening());
    ASSERT_TRUE(WaitUntil([&] { return !ConfigConnected(c); }, 5000));
    std::this_thread::sleep_for(std::chrono::milliseconds(4000));
    const int attempts = absent.Accepted();
    EXPECT_FALSE(ConfigConnected(c));
    ConfigFactoryImpl::GetInstance()->ReleaseConfig(c);
    testing::internal::GetCapturedStderr();
    EXPECT_GE(attempts, 2) << "it keeps trying";
    EXPECT_LE(attempts, 6) << "attempts in 4 s";
}

// A config released while its store is away stops trying.
TEST_F(StoreRestartTest, ReleasedWhileAwayStopsTrying)
{
    Config* c = ConfigFactoryImpl::GetInstance()->CreateConfig(url(false), "");
    ASSERT_NE(c, nullptr);
    testing::internal::CaptureStderr();
    _server.reset();
    ASSERT_TRUE(WaitUntil([&] { return !ConfigConnected(c); }, 5000));
    ConfigFactoryImpl::GetInstance()->ReleaseConfig(c);
    ASSERT_TRUE(serve());
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.find("made again"), std::string::npos) << said;
}

} // namespace
