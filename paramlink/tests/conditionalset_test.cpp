// The conditional set of a config of this process (SetValueUnlessChangedSince):
// it writes nothing over another writer's change its caller has not heard
// of, decided under the store's lock; a socket config cannot make it.
#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "childprocess.h"
#include "configstore.h"
#include "lastchange.h"
#include "listenerqueue.h"
#include "paramlink/configlink.h"
#include "serverfixture.h"

using namespace storetest;
using tovik::test::WaitUntil;

void PrintTo(ConditionalSet result, std::ostream* out)
{
    *out << (result == ConditionalSet::Written ? "Written" : result == ConditionalSet::GaveWay ? "GaveWay" : "Failed");
}

namespace {

// Every change of the integer, with its origin, in the store's order.
class OriginLog : public ConfigEventListener {
public:
    struct Heard {
        int value;
        EventOrigin origin;
    };
    int IntegerChanged(eParam_t id, int value, timeval) override
    {
        EventOrigin origin;
        if (id != kIntId || !CurrentEventOrigin(origin))
            return 0;
        std::lock_guard<std::mutex> lock(_mutex);
        _heard.push_back({value, origin});
        return 0;
    }
    size_t Count()
    {
        std::lock_guard<std::mutex> lock(_mutex);
        return _heard.size();
    }
    std::vector<Heard> All()
    {
        std::lock_guard<std::mutex> lock(_mutex);
        return _heard;
    }
    // The origin of the last change heard; none when nothing was.
    EventOrigin Last()
    {
        std::lock_guard<std::mutex> lock(_mutex);
        return _heard.empty() ? EventOrigin() : _heard.back().origin;
    }

private:
    std::mutex _mutex;
    std::vector<Heard> _heard;
};

class ConditionalSetTest : public ServerFixture {
protected:
    ConditionalSet setUnless(Config* config, int value, const EventOrigin& lastHeard)
    {
        return SetValueUnlessChangedSince(config, kIntId, ValueKind::Integer, value, std::string(), lastHeard);
    }
    // Outlive the configs, which TearDown releases.
    std::deque<OriginLog> _logs;
};

// What happens to the integer before the conditional set of `mine`.
enum class Act {
    Listen,      // mine's listener is added
    OtherSets,   // another config of the process sets value
    RemoteSets,  // a socket client sets value
    MineSets,    // mine sets value with the plain setter
    Refill,      // the table is emptied and filled again
};

struct Step {
    Act act;
    int value;
};

struct Case {
    const char* name;
    std::vector<Step> steps;
    // The caller tells the last change its listener heard (else none).
    bool tellsHeard;
    ConditionalSet result;
};

const int kMine = 9;

const Case kCases[] = {
    {"never changed", {{Act::Listen, 0}}, false, ConditionalSet::Written},
    {"own last change", {{Act::Listen, 0}, {Act::OtherSets, 1}, {Act::MineSets, 2}}, false, ConditionalSet::Written},
    {"exactly the heard change", {{Act::Listen, 0}, {Act::OtherSets, 1}}, true, ConditionalSet::Written},
    {"an unheard change by another writer", {{Act::Listen, 0}, {Act::OtherSets, 1}}, false, ConditionalSet::GaveWay},
    {"an unheard change by a socket client", {{Act::Listen, 0}, {Act::RemoteSets, 1}}, false,
     ConditionalSet::GaveWay},
    {"a change after the heard one", {{Act::Listen, 0}, {Act::OtherSets, 1}, {Act::OtherSets, 2}}, false,
     ConditionalSet::GaveWay},
    {"another's change after the own one", {{Act::Listen, 0}, {Act::MineSets, 1}, {Act::OtherSets, 2}}, false,
     ConditionalSet::GaveWay},
    {"made before the listener came", {{Act::OtherSets, 1}, {Act::Listen, 0}}, false, ConditionalSet::Written},
    {"no listener: nothing is on its way", {{Act::OtherSets, 1}}, false, ConditionalSet::Written},
    // A set of the value held is no change: it brings no event, and the
    // change heard stays the last.
    {"the held value set again", {{Act::Listen, 0}, {Act::OtherSets, 1}, {Act::RemoteSets, 1}, {Act::OtherSets, 1}},
     true, ConditionalSet::Written},
    {"the default set again", {{Act::Listen, 0}, {Act::OtherSets, kIntDefault}}, false, ConditionalSet::Written},
    // Values and their last changes outlive a refill alike.
    {"refilled after the heard change", {{Act::Listen, 0}, {Act::OtherSets, 1}, {Act::Refill, 0}}, true,
     ConditionalSet::Written},
    {"refilled after an unheard change", {{Act::Listen, 0}, {Act::OtherSets, 1}, {Act::Refill, 0}}, false,
     ConditionalSet::GaveWay},
};

TEST_F(ConditionalSetTest, WritesUnlessAnotherWritersChangeIsUnheard)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        ResetTestConfig(_id);
        Config* mine = local();
        Config* other = local();
        Config* remote = client();
        ASSERT_TRUE(mine && other && remote);
        _logs.emplace_back();
        OriginLog& heard = _logs.back();
        bool listening = false;
        // Changes the listener is to hear before the set.
        size_t changes = 0;
        int held = kIntDefault;
        for (const Step& step : c.steps) {
            switch (step.act) {
            case Act::Listen:
                ASSERT_TRUE(mine->AddEventListener(&heard));
                listening = true;
                break;
            case Act::OtherSets:
            case Act::RemoteSets:
            case Act::MineSets: {
                Config* writer = step.act == Act::OtherSets ? other : step.act == Act::RemoteSets ? remote : mine;
                ASSERT_TRUE(writer->SetIntegerValue(kIntId, step.value));
                if (listening && step.value != held)
                    ++changes;
                held = step.value;
                break;
            }
            case Act::Refill:
                FillTestTable(DescriptorRegistry::GetDescriptorTable(_id));
                break;
            }
        }
        if (c.tellsHeard) {
            ASSERT_TRUE(WaitUntil([&] { return heard.Count() == changes; }, 5000));
        }
        const EventOrigin told = c.tellsHeard ? heard.Last() : EventOrigin();

        EXPECT_EQ(setUnless(mine, kMine, told), c.result);
        EXPECT_EQ(LastWriteRefusal(mine), "") << "giving way is no refusal";
        std::uint32_t sequence = 0;
        EXPECT_TRUE(LastWriteSequence(mine, sequence));
        EXPECT_EQ(other->GetIntegerValue(kIntId), c.result == ConditionalSet::Written ? kMine : held);

        if (listening)
            mine->RemoveEventListener(&heard);
        release(remote);
        release(other);
        release(mine);
    }
}

// A listener that fell behind loses its oldest events: a change dropped so
// never reaches it and is not waited for, while the newest change, which
// it keeps, is.
TEST_F(ConditionalSetTest, ChangesDroppedFromAListenerBehindAreNotWaitedFor)
{
    Config* mine = local();
    Config* other = local();
    ASSERT_TRUE(mine && other);
    EventRecorder& stuck = _recorders.New();
    LetGoAtEnd letGo(stuck);
    stuck.Hold();
    ASSERT_TRUE(mine->AddEventListener(&stuck));
    ASSERT_TRUE(other->SetIntegerValue(kIntId, 1));
    ASSERT_TRUE(stuck.WaitFor(1));
    // Behind that one, the string's change and a full queue of others.
    ASSERT_TRUE(other->SetStringValue(kStringId, "dropped"));
    for (size_t i = 0; i < paramlink::ListenerQueue::kMaxEvents; ++i)
        ASSERT_TRUE(other->SetIntegerValue(kIntId, 2 + int(i % 2)));

    EXPECT_EQ(SetValueUnlessChangedSince(mine, kStringId, ValueKind::String, 0, "mine", EventOrigin()),
              ConditionalSet::Written);
    EXPECT_EQ(setUnless(mine, kMine, EventOrigin()), ConditionalSet::GaveWay);
    EXPECT_EQ(other->GetIntegerValue(kIntId), 3);
    stuck.Let();
    mine->RemoveEventListener(&stuck);
}

// The conditional set of each value kind, refused as the setters are; a
// config of another process's store or of no store makes none.
TEST_F(ConditionalSetTest, KindsRefusalsAndConfigsThatCannot)
{
    Config* mine = local();
    Config* remote = client();
    ASSERT_TRUE(mine && remote);
    const std::string data("\0d\0", 3);
    const struct {
        const char* name;
        Config* config;
        eParam_t id;
        ValueKind kind;
        std::string bytes;
        ConditionalSet result;
        // The start of LastWriteRefusal.
        std::string refusal;
    } cases[] = {
        {"a string", mine, kStringId, ValueKind::String, "text", ConditionalSet::Written, ""},
        {"data", mine, kDataId, ValueKind::Data, data, ConditionalSet::Written, ""},
        {"an unknown id", mine, kUnknownId, ValueKind::Integer, "", ConditionalSet::Failed,
         paramlink::UnknownIdRefusal(kUnknownId, _id)},
        {"the wrong kind", mine, kIntId, ValueKind::String, "1", ConditionalSet::Failed,
         paramlink::WrongKindRefusal(kIntId, _id, ValueKind::Integer)},
        {"too long", mine, kStringId, ValueKind::String, std::string(8193, 's'), ConditionalSet::Failed,
         "a value of 8193 bytes"},
        {"a socket config", remote, kStringId, ValueKind::String, "remote", ConditionalSet::Failed,
         kConditionalSetUnsupported},
    };
    testing::internal::CaptureStderr();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SetValueUnlessChangedSince(c.config, c.id, c.kind, 0, c.bytes, EventOrigin()), c.result);
        const std::string refusal = LastWriteRefusal(c.config);
        EXPECT_EQ(refusal.substr(0, c.refusal.size()), c.refusal);
        EXPECT_EQ(refusal.empty(), c.refusal.empty()) << refusal;
    }
    testing::internal::GetCapturedStderr();
    std::string text, bytes;
    EXPECT_TRUE(mine->GetStringValue(kStringId, text));
    EXPECT_EQ(text, "text") << "nothing was sent from the socket config";
    EXPECT_TRUE(mine->GetDataValue(kDataId, bytes));
    EXPECT_EQ(bytes, data);
    std::uint32_t sequence = 0;
    EXPECT_FALSE(LastWriteSequence(remote, sequence)) << "the socket config gave the set no number";
    EXPECT_EQ(SetValueUnlessChangedSince(nullptr, kIntId, ValueKind::Integer, 1, "", EventOrigin()),
              ConditionalSet::Failed);
}

// Two writers as fast as they go: one with plain sets, one with
// conditional sets telling the last change it heard. Whenever the second
// wrote, the change it wrote over (the one before it in the store's order)
// was its own or the one it told; never another it had not heard of.
TEST_F(ConditionalSetTest, TheStoreDecidesUnderItsLockAgainstAHammeringWriter)
{
    const int kRounds = 3000;
    Config* mine = local();
    Config* other = local();
    Config* witness = local();
    ASSERT_TRUE(mine && other && witness);
    _logs.resize(2);
    OriginLog& heard = _logs[0];
    OriginLog& order = _logs[1];
    ASSERT_TRUE(mine->AddEventListener(&heard));
    ASSERT_TRUE(witness->AddEventListener(&order));
    const std::uint64_t mineID = ConfigWriterID(mine);

    std::atomic<bool> go{false};
    std::thread hammer([&] {
        while (!go)
            std::this_thread::yield();
        for (int i = 1; i <= kRounds; ++i)
            other->SetIntegerValue(kIntId, i);
    });
    // Per sequence number of a write that was made, the change it told.
    std::map<std::uint32_t, EventOrigin> written;
    int gaveWay = 0;
    go = true;
    for (int i = 1; i <= kRounds; ++i) {
        const EventOrigin told = heard.Last();
        // Negative: never a value the other writer sets, so every write is
        // a change.
        const ConditionalSet result = setUnless(mine, -i, told);
        ASSERT_NE(result, ConditionalSet::Failed);
        std::uint32_t sequence = 0;
        ASSERT_TRUE(LastWriteSequence(mine, sequence));
        if (result == ConditionalSet::Written)
            written[sequence] = told;
        else
            ++gaveWay;
    }
    hammer.join();
    const size_t total = kRounds + written.size();
    ASSERT_TRUE(WaitUntil([&] { return order.Count() == total; }, 20000)) << order.Count() << " of " << total;

    const std::vector<OriginLog::Heard> changes = order.All();
    size_t mineChanges = 0;
    int overUnheard = 0;
    std::string first;
    for (size_t k = 0; k < changes.size(); ++k) {
        const EventOrigin& o = changes[k].origin;
        if (o.writer != mineID)
            continue;
        ++mineChanges;
        auto it = written.find(o.sequence);
        ASSERT_NE(it, written.end()) << "a write that gave way is in the store";
        if (k == 0)
            continue;
        const EventOrigin& before = changes[k - 1].origin;
        const bool own = before.writer == mineID;
        const bool told = before.writer == it->second.writer && before.sequence == it->second.sequence;
        if (!own && !told && overUnheard++ == 0)
            first = std::to_string(changes[k].value) + " over " + std::to_string(changes[k - 1].value);
    }
    EXPECT_EQ(overUnheard, 0) << "writes over a change their writer had not heard of, first " << first;
    EXPECT_EQ(mineChanges, written.size());
    RecordProperty("gave_way", gaveWay);
    mine->RemoveEventListener(&heard);
    witness->RemoveEventListener(&order);
}

// The decision itself.
TEST(MayWriteOverTest, EachReasonAndItsEdges)
{
    using paramlink::HeardSoFar;
    using paramlink::LastChange;
    auto change = [](std::uint64_t writer, std::uint32_t sequence, std::uint64_t number) {
        LastChange last;
        last.origin.writer = writer;
        last.origin.sequence = sequence;
        last.number = number;
        return last;
    };
    auto heard = [](std::uint64_t writer, std::uint32_t sequence, bool listening, std::uint64_t since) {
        HeardSoFar h;
        h.writer = 5;
        h.lastHeard.writer = writer;
        h.lastHeard.sequence = sequence;
        h.listening = listening;
        h.listeningSince = since;
        return h;
    };
    const struct {
        const char* name;
        LastChange last;
        HeardSoFar heard;
        bool may;
    } cases[] = {
        {"never changed", change(0, 0, 0), heard(0, 0, true, 0), true},
        {"own", change(5, 3, 10), heard(0, 0, true, 2), true},
        {"the one heard", change(8, 3, 10), heard(8, 3, true, 2), true},
        {"same writer, another write", change(8, 4, 10), heard(8, 3, true, 2), false},
        {"same number, another writer", change(9, 3, 10), heard(8, 3, true, 2), false},
        {"an unknown writer is not the one heard", change(0, 0, 10), heard(0, 0, true, 2), false},
        {"made when listening began", change(8, 4, 2), heard(0, 0, true, 2), true},
        {"made after", change(8, 4, 3), heard(0, 0, true, 2), false},
        {"not listening", change(8, 4, 3), heard(0, 0, false, 0), true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(paramlink::MayWriteOver(c.last, c.heard), c.may) << c.name;
}

} // namespace
