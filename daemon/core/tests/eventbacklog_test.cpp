#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "eventbacklog.h"

namespace {

typedef std::pair<quint32, int> Change;

// Takes every waiting change, in order.
std::vector<Change> TakeAll(EventBacklog& backlog)
{
    std::vector<Change> taken;
    EventBacklog::Event event;
    bool more = true;
    while (more && backlog.Take(event, more))
        taken.push_back({event.id, event.value.toInt()});
    return taken;
}

struct FoldCase {
    const char* name;
    std::vector<Change> added;
    std::vector<Change> taken;
};

// Each id's newest value, the ids in the order of their last change.
const FoldCase kFoldCases[] = {
    {"one change", {{1, 10}}, {{1, 10}}},
    {"burst of one id", {{1, 10}, {1, 11}, {1, 12}}, {{1, 12}}},
    {"distinct ids keep their order", {{3, 1}, {1, 2}, {2, 3}}, {{3, 1}, {1, 2}, {2, 3}}},
    {"an id changed again moves behind the others", {{1, 1}, {2, 2}, {1, 3}}, {{2, 2}, {1, 3}}},
    {"first id changed last goes last", {{1, 1}, {2, 1}, {3, 1}, {2, 2}, {1, 2}}, {{3, 1}, {2, 2}, {1, 2}}},
    {"the last of the list changed again stays last", {{1, 1}, {2, 1}, {2, 2}}, {{1, 1}, {2, 2}}},
    {"back to an earlier value is a change", {{1, 5}, {2, 1}, {1, 6}, {1, 5}}, {{2, 1}, {1, 5}}},
};

class EventBacklogFoldTest : public ::testing::TestWithParam<FoldCase> {};

TEST_P(EventBacklogFoldTest, NewestPerIdInTheOrderOfTheLastChange)
{
    EventBacklog backlog;
    for (const Change& c : GetParam().added)
        backlog.Add(c.first, c.second, LumoTimeStamp());
    EXPECT_EQ(backlog.Size(), int(GetParam().taken.size()));
    EXPECT_EQ(TakeAll(backlog), GetParam().taken);
    EXPECT_EQ(backlog.Size(), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, EventBacklogFoldTest, ::testing::ValuesIn(kFoldCases),
                         [](const ::testing::TestParamInfo<FoldCase>& info) {
                             std::string name = info.param.name;
                             for (char& ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return name;
                         });

TEST(EventBacklogTest, TheChangeKeepsItsTimeAndValueForm)
{
    EventBacklog backlog;
    backlog.Add(7, QString("a"), LumoTimeStamp(timeval{10, 5}));
    backlog.Add(7, QString("b"), LumoTimeStamp(timeval{11, 6}));
    EventBacklog::Event event;
    bool more = true;
    ASSERT_TRUE(backlog.Take(event, more));
    EXPECT_FALSE(more);
    EXPECT_EQ(event.id, 7u);
    EXPECT_EQ(event.value, QVariant(QString("b")));
    EXPECT_EQ(event.when.seconds, 11);
    EXPECT_EQ(event.when.microseconds, 6);
}

TEST(EventBacklogTest, HoldsWhatWaitsUntilTaken)
{
    EventBacklog backlog;
    EXPECT_FALSE(backlog.Holds(1));
    backlog.Add(1, 1, LumoTimeStamp());
    backlog.Add(2, 1, LumoTimeStamp());
    backlog.Add(1, 2, LumoTimeStamp());
    EXPECT_TRUE(backlog.Holds(1));
    EXPECT_TRUE(backlog.Holds(2));
    EXPECT_FALSE(backlog.Holds(3));
    EventBacklog::Event event;
    bool more = false;
    ASSERT_TRUE(backlog.Take(event, more));
    EXPECT_EQ(event.id, 2u);
    EXPECT_TRUE(more);
    EXPECT_FALSE(backlog.Holds(2)) << "handed on";
    EXPECT_TRUE(backlog.Holds(1));
    ASSERT_TRUE(backlog.Take(event, more));
    EXPECT_FALSE(more);
    EXPECT_FALSE(backlog.Holds(1));
    EXPECT_FALSE(backlog.Take(event, more));
    EXPECT_FALSE(more);
}

// One wake-up per batch: the taker is woken by the first change, takes
// until none is left, and the next change wakes it again.
TEST(EventBacklogTest, WakesTheTakerOncePerBatch)
{
    EventBacklog backlog;
    EventBacklog::Event event;
    bool more = false;
    EXPECT_FALSE(backlog.Take(event, more)) << "nothing waits";
    EXPECT_TRUE(backlog.Add(1, 1, LumoTimeStamp()));
    EXPECT_FALSE(backlog.Add(2, 1, LumoTimeStamp())) << "a wake-up is due already";
    EXPECT_FALSE(backlog.Add(1, 2, LumoTimeStamp()));
    ASSERT_TRUE(backlog.Take(event, more));
    EXPECT_TRUE(more);
    EXPECT_FALSE(backlog.Add(3, 1, LumoTimeStamp())) << "the taker goes on by itself";
    ASSERT_TRUE(backlog.Take(event, more));
    ASSERT_TRUE(backlog.Take(event, more));
    EXPECT_FALSE(more);
    EXPECT_TRUE(backlog.Add(4, 1, LumoTimeStamp())) << "the taker stopped: woken again";
    ASSERT_TRUE(backlog.Take(event, more));
    EXPECT_FALSE(more);
    // A taker woken when nothing is left re-arms the wake-up too.
    EXPECT_FALSE(backlog.Take(event, more));
    EXPECT_TRUE(backlog.Add(5, 1, LumoTimeStamp()));
}

TEST(EventBacklogTest, MemoryIsOneValuePerId)
{
    EventBacklog backlog;
    const QByteArray big(16 * 1024, 'x');
    for (int i = 0; i < 3000; ++i)
        backlog.Add(quint32(i % 3), big + QByteArray::number(i), LumoTimeStamp());
    EXPECT_EQ(backlog.Size(), 3);
    EventBacklog::Event event;
    bool more = false;
    ASSERT_TRUE(backlog.Take(event, more));
    EXPECT_EQ(event.id, 0u);
    EXPECT_EQ(event.value.toByteArray().mid(big.size()), QByteArray("2997"));
}

// A writer thread and a taker that only runs when woken: nothing is
// stranded (once every wake-up is handled nothing waits, and each id's
// last value was taken), and each id's values come in the order written.
TEST(EventBacklogTest, NoChangeIsStrandedBetweenThreads)
{
    EventBacklog backlog;
    std::atomic<int> wakes{0};
    std::atomic<bool> written{false};
    const int kIds = 4;
    const int kWrites = 20000;
    std::thread writer([&] {
        for (int i = 1; i <= kWrites; ++i)
            if (backlog.Add(quint32(i % kIds), i, LumoTimeStamp()))
                ++wakes;
        written = true;
    });
    std::map<quint32, int> last;
    bool ordered = true;
    int handled = 0;
    for (;;) {
        const bool done = written.load();
        if (handled == wakes.load()) {
            if (done)
                break;
            std::this_thread::yield();
            continue;
        }
        ++handled;
        EventBacklog::Event event;
        bool more = true;
        while (more && backlog.Take(event, more)) {
            ordered = ordered && event.value.toInt() > last[event.id];
            last[event.id] = event.value.toInt();
        }
    }
    writer.join();
    EXPECT_EQ(backlog.Size(), 0) << "a change waits and nobody was woken for it";
    EXPECT_TRUE(ordered);
    for (int id = 0; id < kIds; ++id)
        EXPECT_EQ(last[quint32(id)], kWrites - (kWrites - id) % kIds) << id;
}

} // namespace
