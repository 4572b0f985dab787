// Framing and resync of the byte stream from the box, and the simulator
// surviving whatever arrives.
#include "framing.h"

#include <gtest/gtest.h>

#include "convsim/framesplitter.h"

#include <random>

using namespace convsimtest;
using convsim::FrameSplitter;
using convsim::Personality;

namespace {

constexpr int kGap = 200;

struct Feed {
    int64_t atMs;
    const char* bytes;
};

struct SplitCase {
    const char* name;
    std::vector<Feed> feeds;
    int64_t endMs; // frames are collected once more at this time
    std::vector<const char*> frames;
    uint64_t dropped;
};

TEST(FrameSplitter, Resync)
{
    const std::vector<SplitCase> cases = {
        {"one whole frame", {{0, "80 00 03"}}, 0, {"80 00 03"}, 0},
        {"frame in pieces within the gap", {{0, "9E 00"}, {50, "0A 01 00 00"}, {100, "00 00 00 20"}}, 100,
         {"9E 00 0A 01 00 00 00 00 00 20"}, 0},
        {"two frames in one read", {{0, "80 00 03 92 00 05 00 00"}}, 0, {"80 00 03", "92 00 05 00 00"}, 0},
        {"length below 3 sheds bytes at once", {{0, "00 00 00 00 00"}}, 0, {}, 3},
        {"the last two go stale", {{0, "00 00 00 00 00"}}, kGap, {}, 5},
        {"garbage then a frame: resync once stale", {{0, "00 00 00 00 02 80 00 03"}}, kGap, {"80 00 03"}, 5},
        {"garbage then a frame: waits before", {{0, "00 00 00 00 02 80 00 03"}}, kGap - 1, {}, 3},
        {"no frame across a stale gap", {{0, "80 00"}, {kGap + 10, "03 81 00 03"}}, kGap + 10, {}, 2},
        {"... the tail resyncs later", {{0, "80 00"}, {kGap + 10, "03 81 00 03"}}, 2 * kGap + 10,
         {"81 00 03"}, 3},
        {"partial frame waits", {{0, "8C 00 07 00"}}, kGap - 1, {}, 0},
        {"partial frame goes stale", {{0, "8C 00 07 00"}}, kGap, {}, 4},
        {"stale partial, then a new frame", {{0, "8C 00 07"}, {500, "80 00 03"}}, 500, {"80 00 03"}, 3},
        {"garbage before a frame in one read", {{0, "01 02 03 80 00 03"}}, kGap, {"80 00 03"}, 3},
        {"huge length waits then resyncs", {{0, "FF FF FF 81 00 03"}}, kGap, {"81 00 03"}, 3},
        {"two short bytes go stale", {{0, "80 00"}}, kGap, {}, 2},
        {"largest frame", {{0, nullptr}}, 0, {nullptr}, 0},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.name);
        FrameSplitter s(kGap);
        std::vector<std::string> got;
        Bytes frame;
        for (const Feed& f : c.feeds) {
            Bytes b;
            if (f.bytes) {
                b = FromHex(f.bytes);
            } else { // a 0x88 chunk of the largest length
                b.assign(0xFFFF, 0x11);
                b[0] = 0x88;
                b[1] = 0xFF;
                b[2] = 0xFF;
            }
            s.Feed(b.data(), b.size(), f.atMs);
            while (s.Next(frame, f.atMs))
                got.push_back(f.bytes ? Hex(frame) : std::to_string(frame.size()));
        }
        while (s.Next(frame, c.endMs))
            got.push_back(Hex(frame));
        std::vector<std::string> want;
        for (const char* w : c.frames)
            want.push_back(w ? Hex(FromHex(w)) : std::to_string(0xFFFF));
        EXPECT_EQ(got, want);
        EXPECT_EQ(s.DroppedBytes(), c.dropped);
    }
}

TEST(FrameSplitter, StaleTimeAndCapacity)
{
    FrameSplitter s(kGap);
    EXPECT_EQ(s.MsUntilStale(0), -1);
    const Bytes part = FromHex("8C 00 07");
    s.Feed(part.data(), part.size(), 1000);
    EXPECT_EQ(s.MsUntilStale(1050), kGap - 50);
    EXPECT_EQ(s.MsUntilStale(5000), 0);

    // More than the buffer holds in one go: the excess is dropped, the rest
    // is cut into largest frames and the tail goes stale.
    FrameSplitter flood(kGap);
    const Bytes ff(3 * 65536, 0xFF);
    Bytes frame;
    flood.Feed(ff.data(), ff.size(), 0);
    EXPECT_EQ(flood.Pending(), FrameSplitter::kCapacity);
    EXPECT_EQ(flood.DroppedBytes(), ff.size() - FrameSplitter::kCapacity);
    int frames = 0;
    while (flood.Next(frame, 0)) {
        EXPECT_EQ(frame.size(), 0xFFFFu);
        ++frames;
    }
    EXPECT_EQ(frames, 2);
    EXPECT_EQ(flood.Pending(), FrameSplitter::kCapacity - 2 * 0xFFFF);
    EXPECT_FALSE(flood.Next(frame, kGap));
    EXPECT_EQ(flood.Pending(), 0u);
}

// Over the pty: whatever came before, a good command is answered.
TEST(Robustness, AnswersAfterJunk)
{
    struct JunkCase {
        const char* name;
        Bytes junk;
    };
    std::mt19937 rng(20240611);
    Bytes random(20000);
    for (auto& b : random)
        b = uint8_t(rng());
    Bytes huge(0xFFFF, 0x22); // a chunk with no transfer open, longest frame
    huge[0] = 0x88;
    huge[1] = huge[2] = 0xFF;
    huge[3] = 0xFF;
    huge[4] = 0xFA;
    const std::vector<JunkCase> cases = {
        {"half a header", FromHex("9E 00")},
        {"half a frame", FromHex("9E 00 0A 01 00")},
        {"oversized length", FromHex("12 FF FF 00 01")},
        {"length below 3", FromHex("80 00 00 80 00 01")},
        {"random bytes", random},
        {"largest frame", huge},
    };
    for (const JunkCase& c : cases) {
        SCOPED_TRACE(c.name);
        SimRig rig(Personality::ForType(19));
        ASSERT_TRUE(rig.Client().Send(c.junk));
        // Let the junk go stale, drop whatever it was answered with.
        rig.Client().ReceiveQuiet(400, 5000);
        rig.Client().Flush();
        EXPECT_EQ(Hex(Exchange(rig.Client(), FromHex("80 00 03"))), "C0 00 05 00 01");
        EXPECT_TRUE(rig.Sim().IsPlugged());
    }
}

TEST(Robustness, LargestFrameIsAnsweredWhole)
{
    SimRig rig(Personality::ForType(5));
    // An immediate write of 255 bytes then its read back: 265-byte packet.
    Bytes data(255);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = uint8_t(i);
    EXPECT_EQ(Hex(Exchange(rig.Client(), Concat(FromHex("9D 01 09 00 00 00 00 10 00 FF"), data))), "DD 00 04 00");
    EXPECT_EQ(Hex(Exchange(rig.Client(), FromHex("9E 00 0A 00 00 00 00 10 00 FF"))),
              Hex(Concat(FromHex("DE 01 04 00 FF"), data)));
    // A 65535-byte chunk into an open upload.
    EXPECT_EQ(Hex(Exchange(rig.Client(), FromHex("93 00 0D 00 00 00 00 00 00 00 00 FF FA"))), "D3 00 06 00 00 10");
    Bytes chunk(0xFFFA, 0x5C);
    EXPECT_EQ(Hex(Exchange(rig.Client(), Concat(FromHex("88 FF FF FF FA"), chunk), 5000)), "C8 00 04 00");
    EXPECT_EQ(Hex(Exchange(rig.Client(), FromHex("8A 00 03"))), "CA 00 04 00");
    EXPECT_EQ(Hex(rig.Sim().ReadRegisters(0, 0, 0xFFF9, 2)), "5C 00");
}

} // namespace
