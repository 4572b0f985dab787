#include <gtest/gtest.h>

#include <cstring>

#include "wireformat.h"

using namespace paramlink::wire;

namespace {

// Feeds bytes to a buffer in pieces of the given size and collects what
// comes out.
struct Feed {
    std::vector<std::string> bodies;
    bool error = false;
    std::string reason;
};

Feed feed(const std::string& bytes, size_t piece)
{
    Feed out;
    FrameBuffer buffer;
    size_t pos = 0;
    while (pos < bytes.size() && !out.error) {
        size_t n = std::min({piece, bytes.size() - pos, buffer.WriteSpace()});
        std::memcpy(buffer.WritePtr(), bytes.data() + pos, n);
        buffer.Commit(n);
        pos += n;
        for (;;) {
            const std::uint8_t* body = nullptr;
            size_t length = 0;
            auto status = buffer.Next(body, length, out.reason);
            if (status == FrameBuffer::Status::Error) {
                out.error = true;
                break;
            }
            if (status == FrameBuffer::Status::NeedMore)
                break;
            out.bodies.emplace_back(reinterpret_cast<const char*>(body), length);
        }
    }
    return out;
}

Message parse(const std::string& body)
{
    Message msg;
    const char* reason = nullptr;
    EXPECT_TRUE(ParseMessage(reinterpret_cast<const std::uint8_t*>(body.data()), body.size(), msg, reason))
        << (reason ? reason : "");
    return msg;
}

TEST(WireFormatTest, MessagesSurviveAnySplitOfTheStream)
{
    const std::string data("x\0y\0\0z", 6);
    const timeval when{1700000000, 999999};
    paramlink::Origin origin;
    origin.writer = 0xfedcba9876543210ull;
    origin.sequence = 0xfffffffe;
    std::string stream;
    AppendHello(stream, 3);
    AppendWelcome(stream, 0x1122334455667788ull);
    AppendRefusal(stream, kConfigNotServed, "no config 99 here");
    AppendList(stream, 16);
    AppendListing(stream, 17, {{0x01000100, ValueKind::Integer, "eParamID_A"}, {2, ValueKind::Data, ""}});
    AppendSet(stream, 7, 0x01020304, ValueKind::Integer, -5, nullptr, 0);
    AppendSet(stream, 8, 9, ValueKind::Data, 0, data.data(), data.size());
    AppendSet(stream, 9, 9, ValueKind::String, 0, "", 0);
    AppendGet(stream, 10, 11, ValueKind::String);
    AppendReply(stream, 12, kRefused);
    AppendReplyValue(stream, 13, ValueKind::String, 0, "hi", 2);
    AppendEvent(stream, 14, ValueKind::Data, when, origin, 0, data.data(), data.size());
    AppendEvent(stream, 15, ValueKind::Integer, when, paramlink::Origin(), 42, nullptr, 0);
    AppendRefusedReply(stream, 16, "too long");

    for (size_t piece : {size_t(1), size_t(2), size_t(3), size_t(7), size_t(64), stream.size()}) {
        Feed f = feed(stream, piece);
        ASSERT_FALSE(f.error) << f.reason;
        ASSERT_EQ(f.bodies.size(), 14u) << "piece " << piece;

        Message m = parse(f.bodies[0]);
        EXPECT_EQ(m.type, MsgType::Hello);
        EXPECT_EQ(m.magic, kMagic);
        EXPECT_EQ(m.configID, 3);
        m = parse(f.bodies[1]);
        EXPECT_EQ(m.type, MsgType::Welcome);
        EXPECT_EQ(m.status, 1);
        EXPECT_EQ(m.length, 0u) << "no reason when welcomed";
        EXPECT_EQ(m.origin.writer, 0x1122334455667788ull) << "the connection id";
        m = parse(f.bodies[2]);
        EXPECT_EQ(m.status, kConfigNotServed);
        EXPECT_EQ(std::string(m.bytes, m.length), "no config 99 here");
        m = parse(f.bodies[3]);
        EXPECT_EQ(m.type, MsgType::List);
        EXPECT_EQ(m.tag, 16u);
        m = parse(f.bodies[4]);
        EXPECT_EQ(m.type, MsgType::Listing);
        EXPECT_EQ(m.tag, 17u);
        EXPECT_EQ(m.status, kOk);
        std::vector<ListedParam> listed;
        ASSERT_TRUE(ParseListing(m.bytes, m.length, listed));
        ASSERT_EQ(listed.size(), 2u);
        EXPECT_EQ(listed[0].id, 0x01000100u);
        EXPECT_EQ(listed[0].kind, ValueKind::Integer);
        EXPECT_EQ(listed[0].idName, "eParamID_A");
        EXPECT_EQ(listed[1].kind, ValueKind::Data);
        EXPECT_EQ(listed[1].idName, "");
        f.bodies.erase(f.bodies.begin() + 2, f.bodies.begin() + 5);
        m = parse(f.bodies[2]);
        EXPECT_EQ(m.type, MsgType::Set);
        EXPECT_EQ(m.tag, 7u);
        EXPECT_EQ(m.paramID, 0x01020304u);
        EXPECT_EQ(m.intValue, -5);
        m = parse(f.bodies[3]);
        EXPECT_EQ(m.kind, ValueKind::Data);
        EXPECT_EQ(std::string(m.bytes, m.length), data);
        m = parse(f.bodies[4]);
        EXPECT_EQ(m.kind, ValueKind::String);
        EXPECT_EQ(m.length, 0u);
        m = parse(f.bodies[5]);
        EXPECT_EQ(m.type, MsgType::Get);
        EXPECT_EQ(m.kind, ValueKind::String);
        m = parse(f.bodies[6]);
        EXPECT_EQ(m.type, MsgType::Reply);
        EXPECT_EQ(m.status, kRefused);
        EXPECT_FALSE(m.hasValue);
        m = parse(f.bodies[7]);
        EXPECT_TRUE(m.hasValue);
        EXPECT_EQ(std::string(m.bytes, m.length), "hi");
        m = parse(f.bodies[8]);
        EXPECT_EQ(m.type, MsgType::Event);
        EXPECT_EQ(m.when.tv_sec, when.tv_sec);
        EXPECT_EQ(m.when.tv_usec, when.tv_usec);
        EXPECT_EQ(std::string(m.bytes, m.length), data);
        EXPECT_EQ(m.origin.writer, origin.writer);
        EXPECT_EQ(m.origin.sequence, origin.sequence);
        m = parse(f.bodies[9]);
        EXPECT_EQ(m.intValue, 42);
        EXPECT_EQ(m.origin.writer, 0u);
        m = parse(f.bodies[10]);
        EXPECT_EQ(m.type, MsgType::Reply);
        EXPECT_EQ(m.status, kRefused);
        EXPECT_FALSE(m.hasValue);
        EXPECT_EQ(std::string(m.bytes, m.length), "too long");
    }
}

TEST(WireFormatTest, BadFrameLengthsFailBeforeAnyRoomIsMade)
{
    const struct {
        const char* name;
        std::string header;
    } cases[] = {
        {"zero", std::string("\0\0\0\0", 4)},
        {"4 GiB", std::string("\xff\xff\xff\xff", 4)},
        {"just over the limit", [] {
             std::uint32_t n = std::uint32_t(kMaxBody + 1);
             return std::string{char(n >> 24), char(n >> 16), char(n >> 8), char(n)};
         }()},
    };
    for (const auto& c : cases) {
        Feed f = feed(c.header + "garbage", 4);
        EXPECT_TRUE(f.error) << c.name;
        EXPECT_TRUE(f.bodies.empty()) << c.name;
    }
    // A frame of exactly the largest size is taken.
    std::string big;
    std::string value(kMaxValueBytes, '\0');
    AppendSet(big, 1, 1, ValueKind::Data, 0, value.data(), value.size());
    Feed f = feed(big, 65536);
    ASSERT_FALSE(f.error) << f.reason;
    ASSERT_EQ(f.bodies.size(), 1u);
    EXPECT_EQ(parse(f.bodies[0]).length, kMaxValueBytes);
}

TEST(WireFormatTest, MalformedBodiesAreRefused)
{
    auto body = [](std::initializer_list<int> bytes) {
        std::string s;
        for (int b : bytes)
            s.push_back(char(b));
        return s;
    };
    const struct {
        const char* name;
        std::string body;
    } cases[] = {
        {"unknown type", body({0x7f})},
        {"type zero", body({0})},
        {"short hello", body({1, 0x54, 0x56})},
        {"long hello", body({1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})},
        {"welcome without status", body({2})},
        {"set without value", body({3, 0, 0, 0, 1, 0, 0, 0, 1})},
        {"set with bad kind", body({3, 0, 0, 0, 1, 0, 0, 0, 1, 9, 0, 0, 0, 0})},
        {"set integer of 3 bytes", body({3, 0, 0, 0, 1, 0, 0, 0, 1, 1, 0, 0, 0})},
        {"set integer of 5 bytes", body({3, 0, 0, 0, 1, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0})},
        {"get without kind", body({4, 0, 0, 0, 1, 0, 0, 0, 1})},
        {"get with bad kind", body({4, 0, 0, 0, 1, 0, 0, 0, 1, 0})},
        {"short reply", body({5, 0, 0, 0, 1})},
        {"value in an unknown-id answer", body({5, 0, 0, 0, 1, 2, 1, 0, 0, 0, 0})},
        {"short event", body({6, 0, 0, 0, 1, 1})},
        {"event without its writer", body({6, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7})},
        {"event with bad microseconds",
         body({6, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0x7f, 0, 0, 0}) + std::string(12, '\0') + body({0, 0, 0, 0})},
        {"event with bad kind", body({6, 0, 0, 0, 1, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}) + std::string(12, '\0')},
        {"welcome with an over-long reason", body({2, 0}) + std::string(kMaxReasonBytes + 1, 'r')},
        {"welcome without its connection id", body({2, 1})},
        {"welcome with a short connection id", body({2, 1, 0, 0, 0, 0, 0, 0, 0})},
        {"refusal with an over-long reason", body({5, 0, 0, 0, 1, 0}) + std::string(kMaxReasonBytes + 1, 'r')},
        {"short list", body({7, 0, 0, 1})},
        {"long list", body({7, 0, 0, 0, 1, 0})},
        {"short listing", body({8, 0, 0, 0, 1})},
        {"entries in a refused listing", body({8, 0, 0, 0, 1, 0, 0, 0, 0, 1, 1, 0, 0})},
    };
    for (const auto& c : cases) {
        Message msg;
        const char* reason = nullptr;
        EXPECT_FALSE(ParseMessage(reinterpret_cast<const std::uint8_t*>(c.body.data()), c.body.size(), msg, reason))
            << c.name;
        EXPECT_NE(reason, nullptr) << c.name;
    }
}

TEST(WireFormatTest, ListingEntriesAreCheckedAgainstTheirLengths)
{
    auto bytes = [](std::initializer_list<int> list) {
        std::string s;
        for (int b : list)
            s.push_back(char(b));
        return s;
    };
    const struct {
        const char* name;
        std::string entries;
        bool ok;
        size_t count;
    } cases[] = {
        {"none", "", true, 0},
        {"one, name of 2", bytes({0, 0, 0, 1, 1, 0, 2, 'a', 'b'}), true, 1},
        {"two, empty names", bytes({0, 0, 0, 1, 2, 0, 0, 0, 0, 0, 2, 3, 0, 0}), true, 2},
        {"entry cut short", bytes({0, 0, 0, 1, 1, 0}), false, 0},
        {"name longer than the rest", bytes({0, 0, 0, 1, 1, 0, 3, 'a', 'b'}), false, 0},
        {"name claiming 64 KiB", bytes({0, 0, 0, 1, 1, 0xff, 0xff, 'a'}), false, 0},
        {"bad kind", bytes({0, 0, 0, 1, 9, 0, 0}), false, 0},
        {"trailing byte", bytes({0, 0, 0, 1, 1, 0, 0, 0}), false, 0},
    };
    for (const auto& c : cases) {
        std::vector<ListedParam> out;
        EXPECT_EQ(ParseListing(c.entries.data(), c.entries.size(), out), c.ok) << c.name;
        if (c.ok) {
            EXPECT_EQ(out.size(), c.count) << c.name;
        }
    }
}

TEST(WireFormatTest, ListingTooLargeForOneFrameIsRefusedWhole)
{
    std::vector<ListedParam> entries(1, ListedParam{1, ValueKind::String, std::string(60000, 'n')});
    entries.resize(kMaxBody / 60000 + 2, entries[0]);
    std::string frame;
    AppendListing(frame, 5, entries);
    Message m = parse(frame.substr(kLengthBytes));
    EXPECT_EQ(m.type, MsgType::Listing);
    EXPECT_EQ(m.status, kRefused);
    EXPECT_EQ(m.length, 0u);
}

// A length merely announced reserves nothing: the buffer grows with the
// bytes that come, and a buffer limited to greetings refuses more at once.
TEST(WireFormatTest, AnnouncedLengthsReserveNothing)
{
    std::uint32_t n = 1u << 20;
    const std::string header{char(n >> 24), char(n >> 16), char(n >> 8), char(n)};
    FrameBuffer buffer(64);
    std::memcpy(buffer.WritePtr(), header.data(), header.size());
    buffer.Commit(header.size());
    const std::uint8_t* body = nullptr;
    size_t length = 0;
    std::string why;
    EXPECT_EQ(buffer.Next(body, length, why), FrameBuffer::Status::NeedMore);
    EXPECT_EQ(buffer.Capacity(), 64u) << "nothing reserved for the announced MiB";
    // Filling what there is doubles it, no more.
    const std::string some(buffer.WriteSpace(), 'x');
    std::memcpy(buffer.WritePtr(), some.data(), some.size());
    buffer.Commit(some.size());
    EXPECT_EQ(buffer.Next(body, length, why), FrameBuffer::Status::NeedMore);
    EXPECT_EQ(buffer.Capacity(), 128u);

    FrameBuffer greeting(64);
    greeting.SetMaxBody(kHelloBody);
    std::string frames;
    AppendHello(frames, 1);
    AppendGet(frames, 1, 2, ValueKind::Integer);
    frames += header;
    std::memcpy(greeting.WritePtr(), frames.data(), frames.size());
    greeting.Commit(frames.size());
    EXPECT_EQ(greeting.Next(body, length, why), FrameBuffer::Status::Frame) << "a greeting fits";
    EXPECT_EQ(greeting.Next(body, length, why), FrameBuffer::Status::Frame) << "so does a short request";
    EXPECT_EQ(greeting.Next(body, length, why), FrameBuffer::Status::Error);
    EXPECT_EQ(why, "frame length 1048576 outside 1..11");
}

// A buffer that starts small grows for a large frame and shrinks back, so
// idle peers cost little and large values still arrive.
TEST(WireFormatTest, SmallBufferGrowsForALargeFrameAndShrinksBack)
{
    FrameBuffer buffer(64);
    std::string stream;
    const std::string big(200000, 'b');
    AppendSet(stream, 1, 2, ValueKind::Data, 0, big.data(), big.size());
    AppendGet(stream, 3, 4, ValueKind::Integer);
    size_t pos = 0;
    std::vector<std::string> bodies;
    size_t largest = 0;
    while (pos < stream.size()) {
        const size_t n = std::min(buffer.WriteSpace(), stream.size() - pos);
        ASSERT_GT(n, 0u);
        largest = std::max(largest, buffer.Capacity());
        ASSERT_LE(buffer.Capacity(), std::max<size_t>(64, 2 * pos)) << "room follows the bytes received";
        std::memcpy(buffer.WritePtr(), stream.data() + pos, n);
        buffer.Commit(n);
        pos += n;
        const std::uint8_t* body = nullptr;
        size_t length = 0;
        std::string why;
        FrameBuffer::Status status;
        while ((status = buffer.Next(body, length, why)) == FrameBuffer::Status::Frame)
            bodies.emplace_back(reinterpret_cast<const char*>(body), length);
        ASSERT_NE(status, FrameBuffer::Status::Error) << why;
    }
    ASSERT_EQ(bodies.size(), 2u);
    EXPECT_EQ(parse(bodies[0]).length, big.size());
    EXPECT_EQ(parse(bodies[1]).type, MsgType::Get);
    EXPECT_GE(largest, big.size()) << "grew for the large frame";
    EXPECT_LE(buffer.WriteSpace(), 64u) << "back to its first size";
}

} // namespace
