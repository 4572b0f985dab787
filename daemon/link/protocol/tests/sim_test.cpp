// The protocol against simulated converters over real pseudo-terminals:
// identification values, chunked configuration transfers and the status
// each misbehaviour of the converter turns into.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "convsim/fault.h"
#include "linkrig.h"

namespace {

using convsim::Fault;
using convsim::Personality;
using tovik::test::SimLink;
using Clock = std::chrono::steady_clock;

// Generous bound for one command under sanitizers; a hang goes far past it.
const int kCommandBoundMs = 3000;

int64_t MsSince(Clock::time_point t)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

std::vector<int> Codes(const convsim::Simulator& sim)
{
    std::vector<int> codes;
    for (const convsim::LogEntry& e : sim.Log())
        codes.push_back(e.code);
    return codes;
}

std::vector<convsim::Bytes> Frames(const convsim::Simulator& sim, int code)
{
    std::vector<convsim::Bytes> frames;
    for (const convsim::LogEntry& e : sim.Log())
        if (e.code == code)
            frames.push_back(e.bytes);
    return frames;
}

// Major and minor of a version read.
using Version = std::pair<int, int>;

struct Identity {
    const char* name;
    std::function<Personality()> personality;
    UByte protocolVersion;
    // Module information: safe-boot and application versions, then the
    // status byte (bit 7 the info flag, bits 6..0 the module state).
    std::vector<UByte> moduleInfo;
    ULWord type;
    Version release;
    QString boardAssembly;
    QString serial;
    QString name8;
    QString name16;
    Version fpga;
};

TEST(ProtocolOnSimulator, IdentificationReadsGiveThePersonality)
{
    const std::vector<Identity> cases = {
        {"HESTRA defaults", [] { return Personality::ForType(5); }, 1, {1, 0, 1, 0, 0x01}, 5,
         {1, 2}, "", "SIM05001", "HESTRA", "HESTRA", {1, 0}},
        {"QUASTEL defaults", [] { return Personality::ForType(19); }, 1, {1, 0, 1, 0, 0x01}, 19,
         {1, 2}, "", "SIM19001", "QUASTEL", "QUASTEL", {1, 0}},
        {"a model that is no scaler", [] { return Personality::ForType(1); }, 1, {1, 0, 1, 0, 0x01},
         1, {1, 2}, "", "SIM01001", "ARVEL", "ARVEL", {1, 0}},
        {"every value overridden",
         [] {
             Personality p = Personality::ForType(14);
             p.protocolVersion = 2;
             p.safeBootVersion = {2, 3};
             p.appVersion = {0, 38};
             p.moduleState = 0;
             p.infoFlag = true;
             p.moduleType = 40;
             p.releaseVersion = {3, 4};
             p.boardAssemblyId = "BA1234567";
             p.serialId = "XYZ98765";
             p.moduleName = "MARDEX-EXTENDED-1";
             p.fpgaVersion = {2, 7};
             return p;
         },
         2, {2, 3, 0, 38, 0x80}, 40, {3, 4}, "BA1234567", "XYZ98765", "MARDEX-E",
         "MARDEX-EXTENDED-", {2, 7}},
        {"unprogrammed type byte",
         [] {
             Personality p = Personality::ForType(5);
             p.moduleType = 0xFF;
             return p;
         },
         1, {1, 0, 1, 0, 0x01}, 0, {1, 2}, "", "SIM05001", "HESTRA", "HESTRA", {1, 0}},
    };
    for (const Identity& c : cases) {
        SCOPED_TRACE(c.name);
        SimLink link(c.personality());
        ASSERT_TRUE(link.Ready());
        CCommProtocol& p = link._protocol;

        UByte version = 0;
        EXPECT_EQ(kOK, p.ReadProtocolVersion(version));
        EXPECT_EQ(c.protocolVersion, version);

        UByte info[CCommProtocol::kModuleInfoSize] = {};
        EXPECT_EQ(kOK, p.ReadModuleInfo(info));
        EXPECT_EQ(c.moduleInfo, std::vector<UByte>(info, info + sizeof info));

        ULWord type = 999;
        EXPECT_EQ(kOK, p.ReadModuleTypeID(type));
        EXPECT_EQ(c.type, type);

        UByte major = 0, minor = 0;
        EXPECT_EQ(kOK, p.ReadReleaseVersion(major, minor));
        EXPECT_EQ(c.release, Version(major, minor));

        QString text = "previous";
        EXPECT_EQ(kOK, p.ReadBoardAssemblyID(text));
        EXPECT_EQ(c.boardAssembly, text);
        EXPECT_EQ(kOK, p.ReadSerialID(text));
        EXPECT_EQ(c.serial, text);
        EXPECT_EQ(kOK, p.ReadModuleName(text));
        EXPECT_EQ(c.name8, text);
        EXPECT_EQ(kOK, p.ReadLongModuleName(text));
        EXPECT_EQ(c.name16, text);

        // FPGA 0 sits on "SPI Control", device 0; its revision at address 1.
        EXPECT_EQ(kOK, p.ReadFPGAFirmwareVersion(1, 0, 1, major, minor));
        EXPECT_EQ(c.fpga, Version(major, minor));

        EXPECT_EQ(9u, link._sim.CommandCount());
    }
}

TEST(ProtocolOnSimulator, ConfigurationBlockRoundTripsInChunks)
{
    const struct {
        const char* name;
        uint16_t chunk;
        std::vector<int> chunkSizes; // data bytes per chunk, both ways
    } cases[] = {
        {"16-byte chunks", 16, {16, 16, 9}},
        {"one chunk for the whole block", 41, {41}},
        {"a last chunk of one byte", 40, {40, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Personality personality = Personality::ForType(5);
        personality.chunkSize = c.chunk;
        SimLink link(personality);
        ASSERT_TRUE(link.Ready());
        convsim::Simulator& sim = link._sim;
        CCommProtocol& p = link._protocol;

        const convsim::Bytes before = sim.ConfigMemory(0, 0);
        ASSERT_EQ(41u, before.size());
        std::vector<UByte> read(41, 0);
        EXPECT_EQ(kOK, p.ReadConfigData(0, 0, read.data(), 41));
        EXPECT_EQ(before, read);

        std::vector<UByte> image(41);
        for (size_t i = 0; i < image.size(); ++i)
            image[i] = UByte(0xA5 ^ (i * 7));
        ASSERT_NE(before, image);
        sim.ClearLog();
        EXPECT_EQ(kOK, p.WriteConfigData(0, 0, image.data(), 41));
        EXPECT_EQ(image, sim.ConfigMemory(0, 0));
        std::vector<int> codes = {0x8B};
        codes.insert(codes.end(), c.chunkSizes.size(), 0x88);
        codes.push_back(0x8A);
        EXPECT_EQ(codes, Codes(sim));
        const std::vector<convsim::Bytes> chunks = Frames(sim, 0x88);
        ASSERT_EQ(c.chunkSizes.size(), chunks.size());
        std::vector<UByte> sent;
        for (size_t i = 0; i < chunks.size(); ++i) {
            ASSERT_EQ(size_t(c.chunkSizes[i] + 5), chunks[i].size());
            EXPECT_EQ(c.chunkSizes[i], chunks[i][3] << 8 | chunks[i][4]);
            sent.insert(sent.end(), chunks[i].begin() + 5, chunks[i].end());
        }
        EXPECT_EQ(image, sent);

        sim.ClearLog();
        std::vector<UByte> back(41, 0);
        EXPECT_EQ(kOK, p.ReadConfigData(0, 0, back.data(), 41));
        EXPECT_EQ(image, back);
        codes = {0x8C};
        codes.insert(codes.end(), c.chunkSizes.size(), 0x89);
        codes.push_back(0x8A);
        EXPECT_EQ(codes, Codes(sim));
        const std::vector<convsim::Bytes> requests = Frames(sim, 0x89);
        ASSERT_EQ(c.chunkSizes.size(), requests.size());
        for (size_t i = 0; i < requests.size(); ++i) {
            ASSERT_EQ(5u, requests[i].size());
            EXPECT_EQ(c.chunkSizes[i], requests[i][3] << 8 | requests[i][4]);
        }
    }
}

Fault MakeFault(Fault::Kind kind, int code)
{
    Fault f;
    f.kind = kind;
    f.code = code;
    return f;
}

// The command each fault is aimed at, with what a good answer gives.
struct Probe {
    int code;
    std::function<int(CCommProtocol&)> call;
    std::function<void(CCommProtocol&)> checkValues; // after kOK
};

Probe ReleaseProbe()
{
    auto major = std::make_shared<UByte>(0);
    auto minor = std::make_shared<UByte>(0);
    return {0x95, [=](CCommProtocol& p) { return p.ReadReleaseVersion(*major, *minor); },
            [=](CCommProtocol&) { EXPECT_EQ(Version(1, 2), Version(*major, *minor)); }};
}

Probe SerialProbe()
{
    auto serial = std::make_shared<QString>();
    return {0x9B, [=](CCommProtocol& p) { return p.ReadSerialID(*serial); },
            [=](CCommProtocol&) { EXPECT_EQ("SIM05001", *serial); }};
}

Probe ModuleInfoProbe()
{
    auto info = std::make_shared<std::array<UByte, CCommProtocol::kModuleInfoSize>>();
    return {0x81,
            [=](CCommProtocol& p) {
                UByte payload[CCommProtocol::kModuleInfoSize] = {};
                const int status = p.ReadModuleInfo(payload);
                std::copy(payload, payload + sizeof payload, info->begin());
                return status;
            },
            [=](CCommProtocol&) { EXPECT_EQ(1, info->at(4)); }};
}

Probe ProtocolVersionProbe()
{
    auto version = std::make_shared<UByte>(0);
    return {0x80, [=](CCommProtocol& p) { return p.ReadProtocolVersion(*version); },
            [=](CCommProtocol&) { EXPECT_EQ(1, *version); }};
}

Probe ConfigReadProbe(int code)
{
    auto data = std::make_shared<std::vector<UByte>>(41, 0);
    return {code, [=](CCommProtocol& p) { return p.ReadConfigData(0, 0, data->data(), 41); },
            [=](CCommProtocol&) {
                EXPECT_EQ(convsim::DefaultScalerImage(5), *data);
            }};
}

struct FaultCase {
    const char* name;
    std::function<Fault(int code)> fault;
    std::function<Probe()> probe;
    int status;
    ULWord busyUnits; // after a successful call
    int settleMs;     // until a late answer is surely on the line
};

TEST(ProtocolOnSimulator, EachFaultGivesItsStatus)
{
    const std::vector<FaultCase> cases = {
        {"busy three times, then the answer",
         [](int code) {
             Fault f = MakeFault(Fault::Kind::Busy, code);
             f.count = 3;
             f.gapMs = 20;
             return f;
         },
         ReleaseProbe, kOK, 6, 0},
        {"busy answers carrying filler",
         [](int code) {
             Fault f = MakeFault(Fault::Kind::Busy, code);
             f.count = 2;
             f.busyPayload = 3;
             f.gapMs = 20;
             return f;
         },
         SerialProbe, kOK, 4, 0},
        {"busy on a download chunk",
         [](int code) {
             Fault f = MakeFault(Fault::Kind::Busy, code);
             f.count = 2;
             f.gapMs = 20;
             return f;
         },
         [] { return ConfigReadProbe(0x89); }, kOK, 2 * 2 * 3, 0},
        {"delay within the read limit",
         [](int code) {
             Fault f = MakeFault(Fault::Kind::Delay, code);
             f.delayMs = 150;
             return f;
         },
         ProtocolVersionProbe, kOK, 0, 0},
        {"delay past the read limit",
         [](int code) {
             Fault f = MakeFault(Fault::Kind::Delay, code);
             f.delayMs = 900;
             return f;
         },
         SerialProbe, kTimedOut, 0, 700},
        {"header split in two, read whole",
         [](int code) {
             Fault f = MakeFault(Fault::Kind::Split, code);
             f.splitAt = {2};
             f.gapMs = 100;
             return f;
         },
         SerialProbe, kOK, 0, 0},
        {"answer split after every byte, read whole",
         [](int code) {
             Fault f = MakeFault(Fault::Kind::Split, code);
             f.gapMs = 20;
             return f;
         },
         ModuleInfoProbe, kOK, 0, 0},
        {"header split with a pause past the read limit",
         [](int code) {
             Fault f = MakeFault(Fault::Kind::Split, code);
             f.splitAt = {2};
             f.gapMs = 800;
             return f;
         },
         ProtocolVersionProbe, kTimedOut, 0, 600},
        {"response code of another command",
         [](int code) { return MakeFault(Fault::Kind::WrongCode, code); }, ReleaseProbe,
         kWrongResponse, 0, 0},
        {"command unknown to the converter",
         [](int code) { return MakeFault(Fault::Kind::UnknownCommand, code); }, SerialProbe,
         kUnknownCommand, 0, 0},
        {"error status",
         [](int code) { return MakeFault(Fault::Kind::ErrorStatus, code); }, ReleaseProbe,
         kUnknownError, 0, 0},
        {"error status of another value",
         [](int code) {
             Fault f = MakeFault(Fault::Kind::ErrorStatus, code);
             f.value = 0x11;
             return f;
         },
         [] { return ConfigReadProbe(0x8C); }, kUnknownError, 0, 0},
        {"garbage in place of the answer",
         [](int code) { return MakeFault(Fault::Kind::Garbage, code); }, ProtocolVersionProbe,
         kWrongResponse, 0, 0},
        {"garbage shorter than a header",
         [](int code) {
             Fault f = MakeFault(Fault::Kind::Garbage, code);
             f.bytes = {0xC0, 0x00};
             return f;
         },
         ProtocolVersionProbe, kTimedOut, 0, 0},
        {"garbage before the answer",
         [](int code) {
             Fault f = MakeFault(Fault::Kind::Garbage, code);
             f.bytes = {0x00, 0x11};
             f.thenAnswer = true;
             return f;
         },
         ModuleInfoProbe, kWrongResponse, 0, 0},
        {"no answer at all",
         [](int code) { return MakeFault(Fault::Kind::Silence, code); }, ModuleInfoProbe,
         kTimedOut, 0, 0},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.name);
        SimLink link(Personality::ForType(5));
        ASSERT_TRUE(link.Ready());
        const Probe probe = c.probe();
        link._sim.AddFault(c.fault(probe.code));

        const auto t0 = Clock::now();
        testing::internal::CaptureStderr();
        const int status = probe.call(link._protocol);
        testing::internal::GetCapturedStderr();
        EXPECT_LT(MsSince(t0), kCommandBoundMs);
        EXPECT_EQ(c.status, status) << CCommProtocol::StatusName(status).toStdString();
        EXPECT_GE(link._sim.FaultFired(0), 1u);
        if (status == kOK) {
            probe.checkValues(link._protocol);
            EXPECT_EQ(c.busyUnits, link._protocol.GetBusyUnits());
        }

        // Whatever came late or split must not be taken for the answer
        // to the next command.
        link._sim.ClearFaults();
        std::this_thread::sleep_for(std::chrono::milliseconds(c.settleMs));
        const Probe next = ProtocolVersionProbe();
        EXPECT_EQ(kOK, next.call(link._protocol));
        next.checkValues(link._protocol);
    }
}

TEST(ProtocolOnSimulator, UnplugFailsWithoutHanging)
{
    SimLink link(Personality::ForType(5));
    ASSERT_TRUE(link.Ready());
    Fault f = MakeFault(Fault::Kind::Unplug, 0x9B);
    link._sim.AddFault(f);

    UByte version = 0;
    EXPECT_EQ(kOK, link._protocol.ReadProtocolVersion(version));

    testing::internal::CaptureStderr();
    auto t0 = Clock::now();
    QString serial = "previous";
    EXPECT_NE(kOK, link._protocol.ReadSerialID(serial));
    EXPECT_LT(MsSince(t0), kCommandBoundMs);
    EXPECT_EQ("previous", serial);
    EXPECT_TRUE(link._sim.WaitUnplugged(2000));

    // The line is gone for good: later commands fail as quickly.
    t0 = Clock::now();
    version = 0;
    EXPECT_NE(kOK, link._protocol.ReadProtocolVersion(version));
    EXPECT_LT(MsSince(t0), kCommandBoundMs);
    EXPECT_EQ(0, version);
    testing::internal::GetCapturedStderr();
}

} // namespace
