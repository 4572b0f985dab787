// Each fault puts exactly the promised bytes on the wire.
#include "framing.h"

#include <gtest/gtest.h>

#include "convsim/fault.h"

#include <cerrno>
#include <chrono>
#include <sys/stat.h>
#include <unistd.h>

using namespace convsimtest;
using convsim::Fault;
using convsim::Personality;

namespace {

using Clock = std::chrono::steady_clock;

int64_t MsSince(Clock::time_point t)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

Fault Make(Fault::Kind kind, int code)
{
    Fault f;
    f.kind = kind;
    f.code = code;
    return f;
}

struct WireCase {
    const char* name;
    std::function<Fault()> fault;
    const char* request;
    const char* wire; // every byte that arrives for this one request
};

TEST(Faults, BytesOnTheWire)
{
    const std::vector<WireCase> cases = {
        {"three busy answers",
         [] {
             Fault f = Make(Fault::Kind::Busy, 0x80);
             f.count = 3;
             f.gapMs = 10;
             return f;
         },
         "80 00 03", "C0 00 04 02 C0 00 04 02 C0 00 04 02 C0 00 05 00 01"},
        {"busy answers carrying filler",
         [] {
             Fault f = Make(Fault::Kind::Busy, 0x95);
             f.count = 2;
             f.busyPayload = 2;
             f.gapMs = 10;
             return f;
         },
         "95 00 03", "D5 00 06 02 EE EE D5 00 06 02 EE EE D5 00 06 00 01 02"},
        {"no busy answer on another code",
         [] {
             Fault f = Make(Fault::Kind::Busy, 0x81);
             f.count = 3;
             return f;
         },
         "80 00 03", "C0 00 05 00 01"},
        {"unknown-command answer", [] { return Make(Fault::Kind::UnknownCommand, 0x83); }, "83 00 03",
         "FF 00 04 00"},
        {"wrong code, default", [] { return Make(Fault::Kind::WrongCode, 0x80); }, "80 00 03",
         "C1 00 05 00 01"},
        {"wrong code, chosen",
         [] {
             Fault f = Make(Fault::Kind::WrongCode, 0x9B);
             f.value = 0xC3;
             return f;
         },
         "9B 00 03", "C3 00 0C 00 53 49 4D 30 35 30 30 31"},
        {"error status, default", [] { return Make(Fault::Kind::ErrorStatus, 0x97); }, "97 00 03",
         "D7 00 04 01"},
        {"error status, chosen",
         [] {
             Fault f = Make(Fault::Kind::ErrorStatus, 0x9E);
             f.value = 0x07;
             return f;
         },
         "9E 00 0A 01 00 00 00 00 00 20", "DE 00 04 07"},
        {"garbage in place of the answer",
         [] {
             Fault f = Make(Fault::Kind::Garbage, 0x80);
             f.bytes = FromHex("DE AD BE EF");
             return f;
         },
         "80 00 03", "DE AD BE EF"},
        {"garbage, default pattern", [] { return Make(Fault::Kind::Garbage, 0x80); }, "80 00 03",
         "5A A5 00 FF 13 37"},
        {"garbage before the answer",
         [] {
             Fault f = Make(Fault::Kind::Garbage, 0x80);
             f.bytes = FromHex("00 11");
             f.thenAnswer = true;
             return f;
         },
         "80 00 03", "00 11 C0 00 05 00 01"},
        {"one busy answer",
         [] {
             Fault f = Make(Fault::Kind::Busy, 0x80);
             f.gapMs = 10;
             return f;
         },
         "80 00 03", "C0 00 04 02 C0 00 05 00 01"},
        {"split answers reassemble whole",
         [] {
             Fault f = Make(Fault::Kind::Split, 0x81);
             f.splitAt = {2, 5};
             f.gapMs = 20;
             return f;
         },
         "81 00 03", "C1 00 09 00 01 00 01 00 01"},
        {"split at every byte",
         [] {
             Fault f = Make(Fault::Kind::Split, 0x80);
             f.gapMs = 5;
             return f;
         },
         "80 00 03", "C0 00 05 00 01"},
        {"short delay", [] {
             Fault f = Make(Fault::Kind::Delay, 0x80);
             f.delayMs = 50;
             return f;
         },
         "80 00 03", "C0 00 05 00 01"},
    };
    for (const WireCase& c : cases) {
        SCOPED_TRACE(c.name);
        SimRig rig(Personality::ForType(5));
        rig.Sim().AddFault(c.fault());
        ASSERT_TRUE(rig.Client().Send(FromHex(c.request)));
        const Bytes want = FromHex(c.wire);
        EXPECT_EQ(Hex(rig.Client().Receive(want.size(), 3000)), Hex(want));
        EXPECT_EQ(Hex(rig.Client().ReceiveQuiet(150)), "");
        // Faults with no count limit fire again; the next other command is clean.
        EXPECT_EQ(Hex(Exchange(rig.Client(), FromHex("A0 00 03"))), "E0 00 04 00");
    }
}

TEST(Faults, SplitPiecesArriveApart)
{
    SimRig rig(Personality::ForType(5));
    Fault f = Make(Fault::Kind::Split, 0x80);
    f.splitAt = {2};
    f.gapMs = 600;
    rig.Sim().AddFault(f);
    ASSERT_TRUE(rig.Client().Send(FromHex("80 00 03")));
    // The first read sees only the first piece: a reader wanting the header
    // in one read comes up short.
    EXPECT_EQ(Hex(rig.Client().Receive(4, 400)), "C0 00");
    EXPECT_EQ(Hex(rig.Client().Receive(3, 2000)), "05 00 01");
}

TEST(Faults, DelayPassesTheReadLimit)
{
    SimRig rig(Personality::ForType(5));
    Fault f = Make(Fault::Kind::Delay, 0x9B);
    f.delayMs = 700;
    rig.Sim().AddFault(f);
    const auto t0 = Clock::now();
    ASSERT_TRUE(rig.Client().Send(FromHex("9B 00 03")));
    uint8_t b[16];
    EXPECT_EQ(rig.Client().ReadOnce(b, sizeof b, 500, nullptr), -2) << "answer within 0.5 s";
    const Bytes a = ReadAnswer(rig.Client(), 3000);
    EXPECT_GE(MsSince(t0), 700);
    EXPECT_EQ(Hex(a), "DB 00 0C 00 53 49 4D 30 35 30 30 31");
}

TEST(Faults, SilenceNeverAnswers)
{
    SimRig rig(Personality::ForType(5));
    Fault f = Make(Fault::Kind::Silence, 0x81);
    f.times = 1;
    rig.Sim().AddFault(f);
    ASSERT_TRUE(rig.Client().Send(FromHex("81 00 03")));
    EXPECT_EQ(Hex(rig.Client().ReceiveQuiet(800, 800)), "");
    EXPECT_TRUE(rig.Sim().WaitForCommands(1, 1000));
    EXPECT_EQ(Hex(Exchange(rig.Client(), FromHex("81 00 03"))), "C1 00 09 00 01 00 01 00 01");
    EXPECT_EQ(rig.Sim().FaultFired(0), 1u);
}

TEST(Faults, Targeting)
{
    struct TargetCase {
        const char* name;
        int code;
        unsigned nth;
        unsigned times;
        std::vector<bool> hit; // per request of the sequence below
    };
    // Requests: 80, 81, 80, 80, 81, 80
    const std::vector<std::pair<const char*, const char*>> seq = {
        {"80 00 03", "C0 00 05 00 01"}, {"81 00 03", "C1 00 09 00 01 00 01 00 01"},
        {"80 00 03", "C0 00 05 00 01"}, {"80 00 03", "C0 00 05 00 01"},
        {"81 00 03", "C1 00 09 00 01 00 01 00 01"}, {"80 00 03", "C0 00 05 00 01"},
    };
    const std::vector<TargetCase> cases = {
        {"every 0x80", 0x80, 0, 0, {true, false, true, true, false, true}},
        {"second 0x80", 0x80, 2, 0, {false, false, true, false, false, false}},
        {"third command of any code", -1, 3, 0, {false, false, true, false, false, false}},
        {"fifth command of any code", -1, 5, 0, {false, false, false, false, true, false}},
        {"first two 0x80", 0x80, 0, 2, {true, false, true, false, false, false}},
        {"every command once", -1, 0, 1, {true, false, false, false, false, false}},
        {"a code never sent", 0x9B, 0, 0, {false, false, false, false, false, false}},
    };
    for (const TargetCase& c : cases) {
        SCOPED_TRACE(c.name);
        SimRig rig(Personality::ForType(5));
        Fault f = Make(Fault::Kind::ErrorStatus, c.code);
        f.nth = c.nth;
        f.times = c.times;
        f.value = 0x09;
        rig.Sim().AddFault(f);
        unsigned hits = 0;
        for (size_t i = 0; i < seq.size(); ++i) {
            Bytes want = FromHex(seq[i].second);
            if (c.hit[i]) {
                want = {want[0], 0x00, 0x04, 0x09};
                ++hits;
            }
            EXPECT_EQ(Hex(Exchange(rig.Client(), FromHex(seq[i].first))), Hex(want)) << "request " << i + 1;
        }
        EXPECT_EQ(rig.Sim().FaultFired(0), hits);
    }
}

TEST(Faults, UnplugHangsUpTheSlave)
{
    SimRig rig(Personality::ForType(5));
    Fault f = Make(Fault::Kind::Unplug, -1);
    f.nth = 2;
    rig.Sim().AddFault(f);
    EXPECT_EQ(Hex(Exchange(rig.Client(), FromHex("80 00 03"))), "C0 00 05 00 01");
    ASSERT_TRUE(rig.Client().Send(FromHex("81 00 03")));
    EXPECT_TRUE(rig.Sim().WaitUnplugged(2000));
    EXPECT_FALSE(rig.Sim().IsPlugged());
    uint8_t b[16];
    int err = 0;
    const int r = rig.Client().ReadOnce(b, sizeof b, 2000, &err);
    EXPECT_TRUE(r == 0 || (r == -1 && err == EIO)) << "read gave " << r << " errno " << err;
    struct stat st;
    EXPECT_NE(lstat(rig.Link().c_str(), &st), 0) << "link still there";
    EXPECT_EQ(rig.Sim().CommandCount(), 2u);
}

// A converter that answers a command with an error has not carried it out;
// faults that only disturb the answer leave the command done.
TEST(Faults, RefusedCommandsChangeNothing)
{
    struct Command {
        const char* name;
        Bytes frame;
        std::function<std::string(const convsim::Simulator&)> observe;
    };
    const std::vector<Command> commands = {
        {"serial write", Cmd(0x9C, Text("NEWSER01", 8)),
         [](const convsim::Simulator& s) { return s.State().serialId; }},
        {"module type write", Cmd(0x9F, {0x09}),
         [](const convsim::Simulator& s) { return std::to_string(s.State().moduleType); }},
        {"configuration parameter write", Cmd(0x8D, FromHex("00 00 00 02 00 02 AA BB")),
         [](const convsim::Simulator& s) { return Hex(s.ConfigMemory(0, 0)); }},
        {"register write", Cmd(0x9D, FromHex("01 00 00 00 01 00 02 12 34")),
         [](const convsim::Simulator& s) { return Hex(s.ReadRegisters(1, 0, 0x100, 2)); }},
        {"module description write", Cmd(0x82, {0x00}),
         [](const convsim::Simulator& s) { return std::to_string(s.State().fpgas.size()); }},
    };
    const struct {
        const char* name;
        std::function<Fault(int code)> fault;
        bool refused;
    } faults[] = {
        {"unknown-command answer", [](int code) { return Make(Fault::Kind::UnknownCommand, code); }, true},
        {"error status", [](int code) { return Make(Fault::Kind::ErrorStatus, code); }, true},
        {"error status 0x11",
         [](int code) {
             Fault f = Make(Fault::Kind::ErrorStatus, code);
             f.value = 0x11;
             return f;
         },
         true},
        {"status 0 without payload",
         [](int code) {
             Fault f = Make(Fault::Kind::ErrorStatus, code);
             f.value = 0;
             return f;
         },
         false},
        {"busy first", [](int code) {
             Fault f = Make(Fault::Kind::Busy, code);
             f.gapMs = 10;
             return f;
         },
         false},
        {"wrong response code", [](int code) { return Make(Fault::Kind::WrongCode, code); }, false},
    };
    for (const Command& c : commands) {
        for (const auto& f : faults) {
            SCOPED_TRACE(std::string(c.name) + ", " + f.name);
            SimRig rig(Personality::ForType(5));
            const std::string before = c.observe(rig.Sim());
            rig.Sim().AddFault(f.fault(c.frame[0]));
            ASSERT_TRUE(rig.Client().Send(c.frame));
            EXPECT_FALSE(rig.Client().Receive(1, 5000).empty()) << "an answer";
            ASSERT_TRUE(rig.Sim().WaitForCommands(1, 2000));
            EXPECT_EQ(rig.Sim().FaultFired(0), 1u);
            if (f.refused)
                EXPECT_EQ(c.observe(rig.Sim()), before);
            else
                EXPECT_NE(c.observe(rig.Sim()), before);
        }
    }
}

// A refused chunk is not taken into the upload: sent again, it completes it.
TEST(Faults, RefusedChunkIsNotCounted)
{
    SimRig rig(Personality::ForType(5));
    const Bytes data = FromHex("01 02 03 04");
    EXPECT_EQ(Hex(Exchange(rig.Client(), Cmd(0x8B, FromHex("00 00 00 04")))), "CB 00 06 00 00 10");
    Fault f = Make(Fault::Kind::ErrorStatus, 0x88);
    f.times = 1;
    rig.Sim().AddFault(f);
    const Bytes chunk = Cmd(0x88, Concat(FromHex("00 04"), data));
    EXPECT_EQ(Hex(Exchange(rig.Client(), chunk)), "C8 00 04 01");
    EXPECT_EQ(Hex(Exchange(rig.Client(), chunk)), "C8 00 04 00");
    EXPECT_EQ(Hex(Exchange(rig.Client(), FromHex("8A 00 03"))), "CA 00 04 00");
    const Bytes memory = rig.Sim().ConfigMemory(0, 0);
    ASSERT_GE(memory.size(), 4u);
    EXPECT_EQ(Hex(Bytes(memory.begin(), memory.begin() + 4)), Hex(data));
}

TEST(Faults, StopIsNotHeldUpByADelay)
{
    SimRig rig(Personality::ForType(5));
    Fault f = Make(Fault::Kind::Delay, 0x80);
    f.delayMs = 60000;
    rig.Sim().AddFault(f);
    ASSERT_TRUE(rig.Client().Send(FromHex("80 00 03")));
    ASSERT_TRUE(rig.Sim().WaitForCommands(1, 2000));
    const auto t0 = Clock::now();
    rig.Sim().Stop();
    EXPECT_LT(MsSince(t0), 5000);
    EXPECT_FALSE(rig.Sim().IsPlugged());
}

TEST(Faults, WireTimeDelaysTheAnswer)
{
    EXPECT_EQ(convsim::WireTimeUs(0), 0u);
    EXPECT_EQ(convsim::WireTimeUs(38400), 11000000u); // 11 bits a byte at 38400 baud

    SimRig rig(Personality::ForType(5));
    rig.Sim().SetWireTime(true);
    // 10 bytes out and 4 + 1 + 200 back take 62 ms on the line; ask for
    // 200 bytes of registers.
    const auto t0 = Clock::now();
    const Bytes a = Exchange(rig.Client(), FromHex("9E 00 0A 01 00 00 00 00 00 C8"), 3000);
    EXPECT_GE(MsSince(t0), 58);
    EXPECT_EQ(a.size(), 205u);
}

TEST(Faults, ParseFaultTexts)
{
    struct ParseCase {
        const char* text;
        bool ok;
        std::function<void(const Fault&)> check;
    };
    const std::vector<ParseCase> cases = {
        {"busy,code=0x8c,count=3", true,
         [](const Fault& f) {
             EXPECT_EQ(f.kind, Fault::Kind::Busy);
             EXPECT_EQ(f.code, 0x8C);
             EXPECT_EQ(f.count, 3u);
             EXPECT_EQ(f.nth, 0u);
         }},
        {"split,nth=4,at=2:5,gap=150", true,
         [](const Fault& f) {
             EXPECT_EQ(f.kind, Fault::Kind::Split);
             EXPECT_EQ(f.code, -1);
             EXPECT_EQ(f.nth, 4u);
             EXPECT_EQ(f.splitAt, (std::vector<size_t>{2, 5}));
             EXPECT_EQ(f.gapMs, 150u);
         }},
        {"garbage,code=128,bytes=DEADbeef,answer=1", true,
         [](const Fault& f) {
             EXPECT_EQ(f.code, 0x80);
             EXPECT_EQ(Hex(f.bytes), "DE AD BE EF");
             EXPECT_TRUE(f.thenAnswer);
         }},
        {"error,value=7,times=2", true,
         [](const Fault& f) {
             EXPECT_EQ(f.kind, Fault::Kind::ErrorStatus);
             EXPECT_EQ(f.value, 7);
             EXPECT_EQ(f.times, 2u);
         }},
        {"delay,ms=700", true, [](const Fault& f) { EXPECT_EQ(f.delayMs, 700u); }},
        {"unplug,nth=10", true, [](const Fault& f) { EXPECT_EQ(f.kind, Fault::Kind::Unplug); }},
        {"silence", true, [](const Fault& f) { EXPECT_EQ(f.kind, Fault::Kind::Silence); }},
        {"unknown", true, [](const Fault& f) { EXPECT_EQ(f.kind, Fault::Kind::UnknownCommand); }},
        {"wrongcode,value=0xc3", true, [](const Fault& f) { EXPECT_EQ(f.value, 0xC3); }},
        {"", false, nullptr},
        {"explode", false, nullptr},
        {"busy,count", false, nullptr},
        {"busy,code=0x100", false, nullptr},
        {"busy,code=-1", false, nullptr},
        {"busy,colour=red", false, nullptr},
        {"garbage,bytes=ABC", false, nullptr},
        {"garbage,bytes=XY", false, nullptr},
        {"split,at=2:x", false, nullptr},
        {"busy,count=12abc", false, nullptr},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.text);
        Fault f;
        std::string error;
        EXPECT_EQ(convsim::ParseFault(c.text, f, &error), c.ok) << error;
        if (c.ok && c.check)
            c.check(f);
        if (!c.ok) {
            EXPECT_FALSE(error.empty());
        }
    }
}

} // namespace
