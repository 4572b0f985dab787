// A listener that stops taking events: it loses its oldest ones (with a
// logged count), keeps the newest in order, and never holds up a writer or
// another config's listeners.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "childprocess.h"
#include "eventrecorder.h"
#include "listenerqueue.h"
#include "paramlink/paramlink.h"
#include "testtable.h"

using namespace storetest;
using paramlink::ListenerQueue;
using tovik::test::WaitUntil;

namespace {

class ListenerQueueTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetTestConfig(kLocalTestConfig);
        _writer = open();
        _watched = open();
        ASSERT_TRUE(_writer && _watched);
    }
    void TearDown() override
    {
        for (Config* c : _open)
            ConfigFactoryImpl::GetInstance()->ReleaseConfig(c);
    }
    Config* open()
    {
        Config* c = ConfigFactoryImpl::GetInstance()->CreateConfig(
            "local://configid=" + std::to_string(kLocalTestConfig), "");
        if (c)
            _open.push_back(c);
        return c;
    }
    // Runs the writes on a thread and reports whether they all finished in
    // time while the listener was stuck.
    bool writesFinish(const std::function<void()>& writes)
    {
        std::atomic<bool> done{false};
        std::thread writer([&] {
            writes();
            done = true;
        });
        const bool inTime = WaitUntil([&] { return done.load(); }, 120000);
        writer.join();
        return inTime;
    }

    RecorderPool _recorders;
    std::vector<Config*> _open;
    Config* _writer = nullptr;
    Config* _watched = nullptr;
};

TEST_F(ListenerQueueTest, StuckListenerLosesTheOldestEventsNeverTheWriterItsTime)
{
    EventRecorder& stuck = _recorders.New();
    EventRecorder& other = _recorders.New();
    LetGoAtEnd letGo(stuck);
    Config* otherConfig = open();
    ASSERT_NE(otherConfig, nullptr);
    ASSERT_TRUE(otherConfig->AddEventListener(&other));
    stuck.Hold();
    ASSERT_TRUE(_watched->AddEventListener(&stuck));
    ASSERT_TRUE(_writer->SetIntegerValue(kIntId, 1));
    ASSERT_TRUE(stuck.WaitFor(1)) << "inside its first callback";

    const int extra = 1000;
    const int total = int(ListenerQueue::kMaxEvents) + extra;
    testing::internal::CaptureStderr();
    EXPECT_TRUE(writesFinish([&] {
        for (int v = 2; v <= total + 1; ++v)
            _writer->SetIntegerValue(kIntId, v);
    })) << "a writer waited for the stuck listener";
    EXPECT_TRUE(other.WaitFor(size_t(total) + 1, 60000)) << "another config's listener was held up";
    stuck.Let();
    ASSERT_TRUE(stuck.WaitFor(size_t(ListenerQueue::kMaxEvents) + 1, 60000));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const std::string said = testing::internal::GetCapturedStderr();

    const auto events = stuck.Events();
    ASSERT_EQ(events.size(), ListenerQueue::kMaxEvents + 1);
    EXPECT_EQ(events[0].intValue, 1);
    // The newest ones, in order, up to the last change.
    for (size_t i = 1; i < events.size(); ++i)
        ASSERT_EQ(events[i].intValue, total + 1 - int(events.size() - 1 - i)) << i;
    EXPECT_NE(said.find("config 6 (local): a listener fell behind; " + std::to_string(extra) + " oldest events dropped"),
              std::string::npos)
        << said;
}

// The queue alone, with small bounds: by count and by bytes the oldest go
// first, the newest change always stays, and the count is logged once.
TEST(ListenerQueueBoundsTest, OldestGoFirstByCountAndByBytes)
{
    const struct {
        const char* name;
        size_t maxEvents;
        size_t maxBytes;
        std::vector<size_t> sizes; // value bytes of the changes after the first
        size_t kept;
    } cases[] = {
        {"by count", 3, 1u << 20, {0, 0, 0, 0, 0, 0, 0}, 3},
        {"by bytes", 100, 3 * (1000 + sizeof(paramlink::OwnedChange)), {999, 999, 999, 999, 999}, 3},
        {"a single change larger than the bound stays", 100, 10, {5000}, 1},
        {"nothing dropped", 10, 1u << 20, {1, 2, 3}, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto hub = std::make_shared<paramlink::ListenerHub>();
        EventRecorder recorder;
        ASSERT_TRUE(hub->Add(&recorder));
        recorder.Hold();
        auto queue = ListenerQueue::Start(hub, "config 9", c.maxEvents, c.maxBytes);
        // Whatever happens below, nothing is delivered once the case ends.
        std::shared_ptr<void> end(nullptr, [&](void*) {
            recorder.Let();
            hub->Close();
            queue->Stop();
        });
        paramlink::OwnedChange first;
        first.id = kIntId;
        first.intValue = 0;
        queue->Push(first);
        ASSERT_TRUE(recorder.WaitFor(1));
        testing::internal::CaptureStderr();
        for (size_t i = 0; i < c.sizes.size(); ++i) {
            paramlink::OwnedChange change;
            change.id = kDataId;
            change.kind = ValueKind::Data;
            change.bytes = std::string(1, char(i + 1)) + std::string(c.sizes[i], 'x');
            queue->Push(std::move(change));
        }
        recorder.Let();
        ASSERT_TRUE(recorder.WaitFor(1 + c.kept));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const std::string said = testing::internal::GetCapturedStderr();
        const auto events = recorder.Events();
        ASSERT_EQ(events.size(), 1 + c.kept);
        for (size_t k = 0; k < c.kept; ++k)
            EXPECT_EQ(events[1 + k].bytes[0], char(c.sizes.size() - c.kept + k + 1)) << k;
        const size_t dropped = c.sizes.size() - c.kept;
        if (dropped) {
            EXPECT_EQ(said, "paramlink: config 9: a listener fell behind; " + std::to_string(dropped) + " oldest event" +
                                (dropped == 1 ? "" : "s") + " dropped\n");
        } else {
            EXPECT_EQ(said, "");
        }
    }
}

} // namespace
