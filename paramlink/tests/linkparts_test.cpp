// The parts of a socket config's link, without a socket: the cache of the
// values it has seen, the matching of replies to waiting requests and the
// pauses between reconnect attempts.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "reconnectpause.h"
#include "replywaiters.h"
#include "testtables.h"
#include "valuecache.h"
#include "wireformat.h"

using paramlink::ReconnectPause;
using paramlink::Reply;
using paramlink::ReplyWaiters;
using paramlink::StoredValue;
using paramlink::ValueCache;
using paramlink::ValueFields;
using paramlink::Waiter;
namespace wire = paramlink::wire;

namespace {

ValueFields integer(int value)
{
    ValueFields v;
    v.kind = ValueKind::Integer;
    v.intValue = value;
    return v;
}

ValueFields text(const char* s)
{
    ValueFields v;
    v.kind = ValueKind::String;
    v.bytes = s;
    v.length = std::strlen(s);
    return v;
}

StoredValue stored(const ValueFields& v)
{
    StoredValue s;
    s.Assign(v.kind, v.intValue, v.bytes, v.length);
    return s;
}

class ValueCacheTest : public ::testing::Test {
protected:
    ValueCacheTest() : _table(3) { storetest::FillTestTable(&_table); }
    DescriptorTable _table;
};

// Events fill the cache only for ids of this process's table, so a peer
// cannot grow it; a reply's value is held for the id it was asked under.
// A read finds a value of the kind asked for only.
TEST_F(ValueCacheTest, HoldsEventsOfItsTableAndRequestedValues)
{
    ValueCache cache(true, &_table);
    StoredValue out;
    EXPECT_FALSE(cache.Get(storetest::kIntId, ValueKind::Integer, out));

    cache.PutEvent(storetest::kIntId, integer(5));
    cache.PutEvent(storetest::kStringId, text("on"));
    cache.PutEvent(storetest::kUnknownId, integer(9));
    ASSERT_TRUE(cache.Get(storetest::kIntId, ValueKind::Integer, out));
    EXPECT_EQ(out.intValue, 5);
    ASSERT_TRUE(cache.Get(storetest::kStringId, ValueKind::String, out));
    EXPECT_EQ(out.bytes, "on");
    EXPECT_FALSE(cache.Get(storetest::kStringId, ValueKind::Integer, out));
    EXPECT_FALSE(cache.Get(storetest::kUnknownId, ValueKind::Integer, out));

    // A reply's value is taken whatever the table holds: it was asked for.
    cache.Put(storetest::kUnknownId, stored(integer(4)));
    ASSERT_TRUE(cache.Get(storetest::kUnknownId, ValueKind::Integer, out));
    EXPECT_EQ(out.intValue, 4);

    // A later event replaces what a reply brought.
    cache.PutEvent(storetest::kIntId, integer(6));
    ASSERT_TRUE(cache.Get(storetest::kIntId, ValueKind::Integer, out));
    EXPECT_EQ(out.intValue, 6);

    cache.Clear();
    EXPECT_FALSE(cache.Get(storetest::kIntId, ValueKind::Integer, out));
    EXPECT_FALSE(cache.Get(storetest::kUnknownId, ValueKind::Integer, out));
}

// An id added to the table later is cached from then on.
TEST_F(ValueCacheTest, FollowsTheTableAsItChanges)
{
    ValueCache cache(true, &_table);
    const eParam_t added = eParam_t(0x01000150);
    cache.PutEvent(added, integer(1));
    StoredValue out;
    EXPECT_FALSE(cache.Get(added, ValueKind::Integer, out));
    _table.AddDescriptor(tovik::test::MakeDescriptor<IntegerDescriptor>(added, "eParamID_TestAdded"));
    cache.PutEvent(added, integer(2));
    ASSERT_TRUE(cache.Get(added, ValueKind::Integer, out));
    EXPECT_EQ(out.intValue, 2);
}

TEST_F(ValueCacheTest, OffHoldsNothing)
{
    ValueCache cache(false, &_table);
    cache.PutEvent(storetest::kIntId, integer(5));
    cache.Put(storetest::kStringId, stored(text("on")));
    StoredValue out;
    EXPECT_FALSE(cache.On());
    EXPECT_FALSE(cache.Get(storetest::kIntId, ValueKind::Integer, out));
    EXPECT_FALSE(cache.Get(storetest::kStringId, ValueKind::String, out));
}

wire::Message reply(std::uint32_t tag, std::uint8_t status)
{
    wire::Message msg;
    msg.type = wire::MsgType::Reply;
    msg.tag = tag;
    msg.status = status;
    return msg;
}

class ReplyWaitersTest : public ::testing::Test {
protected:
    ReplyWaitersTest() : _table(3), _cache(true, &_table) { storetest::FillTestTable(&_table); }
    DescriptorTable _table;
    ValueCache _cache;
    ReplyWaiters _waiters;
    std::vector<wire::ListedParam> _none;
};

// A reply goes to the waiting request of its tag only, once; what it
// carries lands in that request's reply.
TEST_F(ReplyWaitersTest, AReplyGoesToTheRequestOfItsTag)
{
    Reply first, second;
    Waiter one(1, nullptr, &first), two(2, nullptr, &second);
    _waiters.Add(&one);
    _waiters.Add(&two);

    wire::Message answer = reply(2, wire::kOk);
    const ValueFields value = text("abc");
    static_cast<ValueFields&>(answer) = value;
    answer.hasValue = true;
    _waiters.Answer(answer, _none, _cache);
    EXPECT_FALSE(one.done);
    ASSERT_TRUE(two.done);
    EXPECT_TRUE(two.answered);
    EXPECT_EQ(second.status, wire::kOk);
    ASSERT_TRUE(second.hasValue);
    EXPECT_EQ(second.value.bytes, "abc");

    // A second answer of the tag finds nobody waiting, nor does an unknown
    // tag: both are dropped.
    _waiters.Answer(reply(2, wire::kRefused), _none, _cache);
    _waiters.Answer(reply(3, wire::kOk), _none, _cache);
    EXPECT_EQ(second.status, wire::kOk);
    EXPECT_FALSE(one.done);

    // A refusal carries its reason; a listing its entries.
    wire::Message refused = reply(1, wire::kRefused);
    refused.bytes = "no";
    refused.length = 2;
    std::vector<wire::ListedParam> listing(1);
    listing[0].idName = "eParamID_TestInteger";
    _waiters.Answer(refused, listing, _cache);
    ASSERT_TRUE(one.answered);
    EXPECT_EQ(first.reason, "no");
    ASSERT_EQ(first.listing.size(), 1u);
    EXPECT_EQ(first.listing[0].idName, "eParamID_TestInteger");
}

// The value is cached under the id the request names, and only when it
// asks for that.
TEST_F(ReplyWaitersTest, CachesTheValueWhenAsked)
{
    const std::uint32_t param = storetest::kIntId;
    Reply cached, plain;
    Waiter asks(1, &param, &cached), doesNot(2, nullptr, &plain);
    _waiters.Add(&asks);
    _waiters.Add(&doesNot);
    wire::Message answer = reply(2, wire::kOk);
    static_cast<ValueFields&>(answer) = integer(3);
    answer.hasValue = true;
    _waiters.Answer(answer, _none, _cache);
    StoredValue out;
    EXPECT_FALSE(_cache.Get(param, ValueKind::Integer, out));
    answer.tag = 1;
    answer.intValue = 8;
    _waiters.Answer(answer, _none, _cache);
    ASSERT_TRUE(_cache.Get(param, ValueKind::Integer, out));
    EXPECT_EQ(out.intValue, 8);
}

// The next reader is the first request still waiting; a dropped socket
// leaves every request done and unanswered.
TEST_F(ReplyWaitersTest, WakesTheNextWaiterAndFailsAll)
{
    EXPECT_FALSE(_waiters.WakeNext());
    Reply a, b;
    Waiter first(1, nullptr, &a), second(2, nullptr, &b);
    _waiters.Add(&first);
    _waiters.Add(&second);
    EXPECT_TRUE(_waiters.WakeNext());
    _waiters.Answer(reply(1, wire::kOk), _none, _cache);
    _waiters.Answer(reply(2, wire::kOk), _none, _cache);
    EXPECT_FALSE(_waiters.WakeNext());
    _waiters.Remove(&first);
    _waiters.Remove(&second);

    Waiter third(3, nullptr, &a);
    _waiters.Add(&third);
    _waiters.FailAll();
    EXPECT_TRUE(third.done);
    EXPECT_FALSE(third.answered);
    EXPECT_FALSE(_waiters.WakeNext());
}

// After a loss the first attempt comes a quarter second later; each failed
// one doubles the pause up to four seconds; a loss or a success starts
// again from the first.
TEST(ReconnectPauseTest, DoublesUpToTheLastAndStartsAgain)
{
    ReconnectPause pause;
    std::vector<int> pauses;
    for (int i = 0; i < 6; ++i)
        pauses.push_back(pause.Failed());
    EXPECT_EQ(pauses, (std::vector<int>{500, 1000, 2000, 4000, 4000, 4000}));
    pause.Reset();
    EXPECT_EQ(pause.Failed(), 2 * ReconnectPause::kFirstMs);
    EXPECT_EQ(ReconnectPause::kFirstMs, 250);
}

} // namespace
