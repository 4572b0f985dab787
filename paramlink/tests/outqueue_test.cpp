// A client's output queue on byte images: events queue as they come until
// the limit, then only the latest of each parameter is kept, and replies
// keep their place after the events before them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "outqueue.h"
#include "wireformat.h"

using paramlink::ConflateEvents;
using paramlink::OutQueue;
namespace wire = paramlink::wire;

namespace {

std::string ev(std::uint32_t id, int value)
{
    std::string frame;
    paramlink::Origin origin;
    origin.writer = 7;
    origin.sequence = std::uint32_t(value);
    wire::AppendEvent(frame, id, ValueKind::Integer, timeval{1, 2}, origin, value, nullptr, 0);
    return frame;
}

std::string reply(std::uint32_t tag)
{
    std::string frame;
    wire::AppendReply(frame, tag, wire::kOk);
    return frame;
}

std::string waiting(const OutQueue& q) { return std::string(q.Data(), q.Size()); }

const size_t kFrame = ev(1, 1).size();

TEST(OutQueueTest, EventsQueueInOrderUntilTheLimitThenTheLatestPerParameterIsKept)
{
    OutQueue q;
    const size_t limit = 2 * kFrame;
    q.AppendEvents((ev(1, 1) + ev(2, 1)).data(), 2 * kFrame, limit);
    EXPECT_EQ(waiting(q), ev(1, 1) + ev(2, 1));
    EXPECT_FALSE(q.Conflating());

    const std::string burst = ev(1, 2) + ev(3, 1) + ev(1, 3) + ev(3, 2) + ev(1, 4);
    q.AppendEvents(burst.data(), burst.size(), limit);
    EXPECT_TRUE(q.Conflating());
    EXPECT_EQ(waiting(q), ev(1, 1) + ev(2, 1)) << "nothing past the limit is queued";
    EXPECT_EQ(q.Replaced(), 3u);
    EXPECT_GE(q.Held(), 4 * kFrame) << "the conflated events count as held";

    // An answer comes after every event before it, the latest of each
    // parameter in the order each first changed.
    q.AppendReply(reply(9));
    EXPECT_FALSE(q.Conflating());
    EXPECT_EQ(waiting(q), ev(1, 1) + ev(2, 1) + ev(1, 4) + ev(3, 2) + reply(9));
}

TEST(OutQueueTest, ConflatedEventsFollowOnceTheClientCatchesUp)
{
    const struct {
        const char* name;
        size_t consumed;
        bool released;
    } cases[] = {
        {"still above half the limit", kFrame, false},
        {"at half the limit", 2 * kFrame, true},
        {"all sent", 4 * kFrame, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OutQueue q;
        const size_t limit = 4 * kFrame;
        const std::string full = ev(1, 1) + ev(2, 1) + ev(3, 1) + ev(4, 1);
        q.AppendEvents(full.data(), full.size(), limit);
        const std::string more = ev(5, 1) + ev(5, 2);
        q.AppendEvents(more.data(), more.size(), limit);
        ASSERT_TRUE(q.Conflating());
        q.Consumed(c.consumed, limit);
        EXPECT_EQ(q.Conflating(), !c.released);
        EXPECT_EQ(waiting(q), full.substr(c.consumed) + (c.released ? ev(5, 2) : std::string()));
    }
}

TEST(OutQueueTest, AFrameLargerThanTheLimitGoesWhenNothingWaits)
{
    OutQueue q;
    q.AppendEvents(ev(1, 1).data(), kFrame, kFrame / 2);
    EXPECT_EQ(waiting(q), ev(1, 1));
    q.AppendEvents(ev(1, 2).data(), kFrame, kFrame / 2);
    EXPECT_TRUE(q.Conflating());
    q.Consumed(kFrame, kFrame / 2);
    EXPECT_EQ(waiting(q), ev(1, 2));
    q.Consumed(kFrame, kFrame / 2);
    EXPECT_EQ(q.Size(), 0u);
    EXPECT_LE(q.Held(), 2 * kFrame) << "an empty queue holds little";
}

TEST(OutQueueTest, ConflatingABlobKeepsTheLastOfEachParameter)
{
    const struct {
        const char* name;
        std::string in;
        std::string out;
    } cases[] = {
        {"empty", "", ""},
        {"one", ev(1, 1), ev(1, 1)},
        {"all distinct", ev(1, 1) + ev(2, 1), ev(1, 1) + ev(2, 1)},
        {"repeats", ev(1, 1) + ev(2, 1) + ev(1, 2) + ev(2, 2) + ev(3, 1) + ev(1, 3),
         ev(2, 2) + ev(3, 1) + ev(1, 3)},
    };
    for (const auto& c : cases) {
        std::string blob = c.in;
        ConflateEvents(blob);
        EXPECT_EQ(blob, c.out) << c.name;
    }
}

} // namespace
