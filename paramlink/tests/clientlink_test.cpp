// One socket config used from several threads at once (whoever waits for
// a reply reads the connection, and hands others theirs), the origin every
// event carries, and the process's shared event thread.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "childprocess.h"
#include "eventdispatcher.h"
#include "eventrecorder.h"
#include "paramlink/configlink.h"
#include "scriptedstore.h"
#include "serverfixture.h"

using namespace storetest;
using tovik::test::WaitUntil;

namespace {

const int kThreads = 8;
const int kRounds = 150;

int valueOf(int thread, int round) { return thread * 10000 + round; }

// Set on the callers' threads (thread ids may be reused once they end).
thread_local bool tCaller = false;

std::string dataOf(int thread, int round) { return "t" + std::to_string(thread) + ":" + std::to_string(round); }

// Checks, per writing thread, that its values arrive in the order it set
// them, with their origin, on a library thread.
class OrderedOrigins : public ConfigEventListener {
public:

    int IntegerChanged(eParam_t id, int value, timeval) override
    {
        EventOrigin origin;
        std::lock_guard<std::mutex> lock(_mutex);
        if (id != kIntId || !CurrentEventOrigin(origin)) {
            ++_bad;
            return 0;
        }
        if (tCaller)
            ++_onCaller;
        int& last = _last[value / 10000];
        if (value % 10000 <= last)
            ++_outOfOrder;
        last = value % 10000;
        _origins.push_back(origin);
        ++_count;
        return 0;
    }
    int Count()
    {
        std::lock_guard<std::mutex> lock(_mutex);
        return _count;
    }
    std::vector<EventOrigin> Origins()
    {
        std::lock_guard<std::mutex> lock(_mutex);
        return _origins;
    }
    int Bad() const { return _bad; }
    int OnCaller() const { return _onCaller; }
    int OutOfOrder() const { return _outOfOrder; }

private:
    std::mutex _mutex;
    std::map<int, int> _last;
    std::vector<EventOrigin> _origins;
    int _count = 0;
    int _bad = 0;
    int _onCaller = 0;
    int _outOfOrder = 0;
};

using ClientLinkTest = ServerFixture;

TEST_F(ClientLinkTest, CallersOnSeveralThreadsShareOneConnection)
{
    // Uncached, so every read is a request too.
    Config* shared = client(false);
    Config* watcher = client();
    ASSERT_TRUE(shared && watcher);
    OrderedOrigins own;
    OrderedOrigins others;
    ASSERT_TRUE(shared->AddEventListener(&own));
    ASSERT_TRUE(watcher->AddEventListener(&others));
    std::vector<std::thread> threads;
    std::atomic<int> failures{0};
    for (int t = 1; t <= kThreads; ++t)
        threads.emplace_back([&, t] {
            tCaller = true;
            for (int r = 1; r <= kRounds; ++r) {
                if (!shared->SetIntegerValue(kIntId, valueOf(t, r)))
                    ++failures;
                std::uint32_t sequence = 0;
                if (!LastWriteSequence(shared, sequence) || sequence == 0)
                    ++failures;
                if (r % 3 == 0 && !shared->SetDataValue(kDataId, dataOf(t, r)))
                    ++failures;
                int now = 0;
                std::string bytes;
                // Each answer is the one asked for, whoever read it.
                if (!shared->GetIntegerValue(kIntId, now) || now % 10000 < 1 || now / 10000 < 1 ||
                    now / 10000 > kThreads)
                    ++failures;
                if (!shared->GetDataValue(kDataId, bytes) || (!bytes.empty() && bytes[0] != 't'))
                    ++failures;
            }
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(failures, 0);
    const int total = kThreads * kRounds;
    EXPECT_TRUE(WaitUntil([&] { return own.Count() == total && others.Count() == total; }, 10000))
        << own.Count() << " and " << others.Count() << " of " << total;
    const std::uint64_t writer = ConfigWriterID(shared);
    EXPECT_NE(writer, 0u);
    for (OrderedOrigins* l : {&own, &others}) {
        EXPECT_EQ(l->Bad(), 0);
        EXPECT_EQ(l->OnCaller(), 0) << "listeners run on a library thread";
        EXPECT_EQ(l->OutOfOrder(), 0);
        for (const EventOrigin& o : l->Origins()) {
            EXPECT_EQ(o.writer, writer);
            EXPECT_EQ(o.own, l == &own);
        }
    }
    shared->RemoveEventListener(&own);
    watcher->RemoveEventListener(&others);
}

// Without a listener no event thread reads the connection, only its
// callers: one whose reply is in hands the reading turn to the next. Here
// the second caller's reply comes 300 ms after the first's; asleep with
// the turn free, it would wait for the reply timeout (3 s) and fail.
TEST_F(ClientLinkTest, TheReadingTurnPassesToTheNextCaller)
{
    ScriptedStore store(ScriptedStore::Behaviour::Paired);
    ASSERT_NE(store.Port(), 0);
    Config* shared = ConfigFactoryImpl::GetInstance()->CreateConfig(
        "socket://127.0.0.1:" + std::to_string(store.Port()) + "/caching=false&configid=" + std::to_string(_id), "");
    ASSERT_NE(shared, nullptr);
    _open.push_back(shared);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        std::atomic<int> answered{0};
        std::thread first([&] { answered += shared->SetIntegerValue(kIntId, 1) ? 1 : 0; });
        // The first reads (holds the turn) before the second asks.
        ASSERT_TRUE(WaitUntil([&] { return store.Requests() == 2 * round + 1; }, 5000));
        std::thread second([&] {
            int value = 0;
            answered += shared->GetIntegerValue(kIntId, value) && value == 1 ? 1 : 0;
        });
        first.join();
        second.join();
        EXPECT_EQ(answered, 2) << "a call hit the reply timeout";
    }
}

// The origin names the writer and its sequence number, for socket and
// local configs alike; a config's own writes come back marked as its own.
TEST_F(ClientLinkTest, EventsTellTheirWriter)
{
    Config* remote = client();
    Config* mine = local();
    Config* other = local();
    ASSERT_TRUE(remote && mine && other);
    struct Heard : ConfigEventListener {
        int IntegerChanged(eParam_t, int value, timeval) override
        {
            EventOrigin origin;
            const bool inside = CurrentEventOrigin(origin);
            std::lock_guard<std::mutex> lock(mutex);
            if (inside)
                seen[value] = origin;
            return 0;
        }
        bool Has(int value)
        {
            std::lock_guard<std::mutex> lock(mutex);
            return seen.count(value) > 0;
        }
        EventOrigin Of(int value)
        {
            std::lock_guard<std::mutex> lock(mutex);
            return seen[value];
        }
        std::mutex mutex;
        std::map<int, EventOrigin> seen;
    };
    Heard atRemote, atMine;
    ASSERT_TRUE(remote->AddEventListener(&atRemote));
    ASSERT_TRUE(mine->AddEventListener(&atMine));
    EventOrigin outside;
    EXPECT_FALSE(CurrentEventOrigin(outside)) << "only inside a callback";

    const struct {
        Config* writer;
        int value;
    } writes[] = {{remote, 1}, {mine, 2}, {other, 3}, {remote, 4}};
    std::map<int, std::uint32_t> sequences;
    for (const auto& w : writes) {
        ASSERT_TRUE(w.writer->SetIntegerValue(kIntId, w.value));
        ASSERT_TRUE(LastWriteSequence(w.writer, sequences[w.value]));
        std::uint32_t unused;
        EXPECT_FALSE(LastWriteSequence(w.writer == remote ? mine : remote, unused)) << "not this thread's last set";
    }
    ASSERT_TRUE(WaitUntil([&] { return atRemote.Has(4) && atMine.Has(4); }, 5000));
    for (const auto& w : writes) {
        SCOPED_TRACE(w.value);
        for (Heard* at : {&atRemote, &atMine}) {
            const EventOrigin o = at->Of(w.value);
            EXPECT_EQ(o.writer, ConfigWriterID(w.writer));
            EXPECT_EQ(o.sequence, sequences[w.value]);
            EXPECT_EQ(o.own, (at == &atRemote && w.writer == remote) || (at == &atMine && w.writer == mine));
        }
    }
    EXPECT_NE(ConfigWriterID(mine), ConfigWriterID(other));
    EXPECT_EQ(ConfigWriterID(nullptr), 0u);
    remote->RemoveEventListener(&atRemote);
    mine->RemoveEventListener(&atMine);
}

// Many configs share one event thread; a listener that holds its thread
// gets the others another one, and order per config is kept throughout.
TEST_F(ClientLinkTest, ConfigsShareTheEventThread)
{
    Config* writer = local();
    ASSERT_NE(writer, nullptr);
    std::vector<EventRecorder*> recorders;
    for (int i = 0; i < 20; ++i) {
        Config* c = i % 2 ? client() : local();
        ASSERT_NE(c, nullptr);
        recorders.push_back(&_recorders.New());
        ASSERT_TRUE(c->AddEventListener(recorders.back()));
    }
    for (int v = 1; v <= 50; ++v)
        ASSERT_TRUE(writer->SetIntegerValue(kIntId, v));
    std::set<std::thread::id> threads;
    for (EventRecorder* r : recorders) {
        ASSERT_TRUE(r->WaitFor(50));
        const auto events = r->Events();
        for (size_t i = 0; i < events.size(); ++i) {
            EXPECT_EQ(events[i].intValue, int(i) + 1);
            threads.insert(events[i].thread);
        }
    }
    EXPECT_LE(threads.size(), size_t(paramlink::EventDispatcher::Instance().Threads()));
    // One thread, and another only while one is held up (as on a loaded
    // machine): never one per config.
    EXPECT_LT(threads.size(), recorders.size() / 2);
}

} // namespace
