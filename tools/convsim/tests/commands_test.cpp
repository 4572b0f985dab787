// Every command over the pty, answered byte for byte.
#include "framing.h"

#include <gtest/gtest.h>

#include "convsim/convertermodel.h"
#include "convsim/personality.h"

#include <functional>

using namespace convsimtest;
using convsim::Personality;

namespace {

// The default configuration image of a scaler, registers 3..43.
const char* const kScalerImage =
    "D0 21 E6 58 21 65 40 64 38 A0 00 00 57 04 80 10 80 00 00 00 00 00 00 "
    "C0 07 80 98 80 29 38 44 65 00 92 DF 06 00 00 00 00 00";

struct Step {
    std::string request;
    std::string answer;
};

struct Case {
    const char* name;
    int type;
    std::function<void(Personality&)> tweak;
    std::vector<Step> steps;
};

void NoTweak(Personality&) {}

const std::vector<Case>& Cases()
{
    static const std::vector<Case> cases = {
        // identification
        {"protocol version", 5, NoTweak, {{"80 00 03", "C0 00 05 00 01"}}},
        {"protocol version 2", 5, [](Personality& p) { p.protocolVersion = 2; },
         {{"80 00 03", "C0 00 05 00 02"}}},
        {"module info", 5, NoTweak, {{"81 00 03", "C1 00 09 00 01 00 01 00 01"}}},
        {"module info state 0, flag, app 0.38", 5,
         [](Personality& p) {
             p.moduleState = 0;
             p.infoFlag = true;
             p.appVersion = {0, 38};
             p.safeBootVersion = {2, 7};
         },
         {{"81 00 03", "C1 00 09 00 02 07 00 26 80"}}},
        {"module type", 5, NoTweak, {{"83 00 03", "C3 00 05 00 05"}}},
        {"module type 40", 40, NoTweak, {{"83 00 03", "C3 00 05 00 28"}}},
        {"release version", 5, NoTweak, {{"95 00 03", "D5 00 06 00 01 02"}}},
        {"module name", 5, NoTweak, {{"97 00 03", "D7 00 0C 00 48 45 53 54 52 41 00 00"}}},
        {"long module name", 19, NoTweak,
         {{"A3 00 03", "E3 00 14 00 51 55 41 53 54 45 4C 00 00 00 00 00 00 00 00 00"}}},
        {"module name cut to 8", 5, [](Personality& p) { p.moduleName = "ABCDEFGHIJ"; },
         {{"97 00 03", "D7 00 0C 00 41 42 43 44 45 46 47 48"},
          {"A3 00 03", "E3 00 14 00 41 42 43 44 45 46 47 48 49 4A 00 00 00 00 00 00"}}},
        {"board assembly id empty", 5, NoTweak,
         {{"99 00 03", "D9 00 0D 00 00 00 00 00 00 00 00 00 00"}}},
        {"serial id", 5, NoTweak, {{"9B 00 03", "DB 00 0C 00 53 49 4D 30 35 30 30 31"}}},
        {"blank serial", 5, [](Personality& p) { p.serialId = std::string(8, '\xFF'); },
         {{"9B 00 03", "DB 00 0C 00 FF FF FF FF FF FF FF FF"}}},
        {"FPGA version at its revision address", 5, NoTweak,
         {{"84 00 07 01 00 00 01", "C4 00 06 00 01 00"}}},
        {"FPGA version overridden", 5, [](Personality& p) { p.fpgaVersion = {3, 9}; },
         {{"84 00 07 01 00 00 01", "C4 00 06 00 03 09"}}},
        {"FPGA version bad interface", 5, NoTweak, {{"84 00 07 04 00 00 01", "C4 00 04 10"}}},
        {"LUT version reads two registers", 5, NoTweak,
         {{"A2 00 0A 01 00 00 00 00 00 01", "E2 00 06 00 01 00"}}},
        // registers
        {"status image first half", 5, NoTweak,
         {{"9E 00 0A 01 00 00 00 00 00 04", "DE 00 09 00 04 05 01 00 D0"}}},
        {"status image bytes 42..44", 5, NoTweak,
         {{"9E 00 0A 01 00 00 00 00 2A 03", "DE 00 08 00 03 00 80 C0"}}},
        {"immediate read of 0 bytes", 5, NoTweak, {{"9E 00 0A 01 00 00 00 00 00 00", "DE 00 05 00 00"}}},
        {"immediate read bad interface", 5, NoTweak, {{"9E 00 0A 04 00 00 00 00 00 02", "DE 00 04 10"}}},
        {"immediate read of an unused device", 5, NoTweak,
         {{"9E 00 0A 02 03 00 01 00 00 02", "DE 00 07 00 02 00 00"}}},
        {"immediate write then read", 5, NoTweak,
         {{"9D 00 0C 01 00 00 00 00 40 02 AA BB", "DD 00 04 00"},
          {"9E 00 0A 01 00 00 00 00 3F 04", "DE 00 09 00 04 00 AA BB 00"}}},
        {"immediate write count disagrees with length", 5, NoTweak,
         {{"9D 00 0B 01 00 00 00 00 40 02 AA", "DD 00 04 05"}}},
        {"immediate write bad interface", 5, NoTweak,
         {{"9D 00 0B 05 00 00 00 00 40 01 AA", "DD 00 04 10"}}},
        {"register write keeps MARDEX's format and genlock status bits", 14, NoTweak,
         {{"9D 00 0C 01 00 00 00 00 14 02 FF FF", "DD 00 04 00"},
          {"9E 00 0A 01 00 00 00 00 14 02", "DE 00 07 00 02 FD FF"},
          {"9D 00 0B 01 00 00 00 00 14 01 00", "DD 00 04 00"},
          {"9E 00 0A 01 00 00 00 00 14 01", "DE 00 06 00 01 44"}}},
        {"register write keeps a scaler's status registers", 5, NoTweak,
         {{"9D 00 0D 01 00 00 00 00 2A 03 11 22 33", "DD 00 04 00"},
          {"9E 00 0A 01 00 00 00 00 29 04", "DE 00 09 00 04 00 00 80 C0"}}},
        {"register write keeps the type and FPGA version", 7, NoTweak,
         {{"9D 00 0D 01 00 00 00 00 00 03 09 09 09", "DD 00 04 00"},
          {"9E 00 0A 01 00 00 00 00 00 04", "DE 00 09 00 04 07 01 00 00"}}},
        // single configuration parameters
        {"parameter read", 5, NoTweak, {{"8E 00 09 00 00 00 00 00 02", "CE 00 08 00 00 02 D0 21"}}},
        {"parameter read cut at the block end", 5, NoTweak,
         {{"8E 00 09 00 00 00 27 00 04", "CE 00 08 00 00 02 00 00"}}},
        {"parameter read start past the end", 5, NoTweak, {{"8E 00 09 00 00 00 2A 00 01", "CE 00 04 08"}}},
        {"parameter read bad FPGA", 5, NoTweak, {{"8E 00 09 01 00 00 00 00 01", "CE 00 04 13"}}},
        {"parameter read bad block", 5, NoTweak, {{"8E 00 09 00 01 00 00 00 01", "CE 00 04 11"}}},
        {"parameter read on a type without blocks", 17, NoTweak,
         {{"8E 00 09 00 00 00 00 00 01", "CE 00 04 11"}}},
        {"parameter write then read", 5, NoTweak,
         {{"8D 00 0B 00 00 00 05 00 02 12 34", "CD 00 04 00"},
          {"8E 00 09 00 00 00 04 00 04", "CE 00 0A 00 00 04 21 12 34 64"}}},
        {"parameter write past the end", 5, NoTweak,
         {{"8D 00 0B 00 00 00 28 00 02 12 34", "CD 00 04 08"}}},
        {"parameter write length disagrees", 5, NoTweak,
         {{"8D 00 0B 00 00 00 05 00 03 12 34", "CD 00 04 05"}}},
        {"refresh", 5, NoTweak, {{"92 00 05 00 00", "D2 00 04 00"}}},
        {"refresh unknown block", 5, NoTweak, {{"92 00 05 00 07", "D2 00 04 11"}}},
        // identity writes
        {"serial write then read", 5, NoTweak,
         {{"9C 00 0B 41 42 43 44 45 46 47 48", "DC 00 04 00"},
          {"9B 00 03", "DB 00 0C 00 41 42 43 44 45 46 47 48"}}},
        {"short serial padded", 5, NoTweak,
         {{"9C 00 0B 41 42 00 00 00 00 00 00", "DC 00 04 00"},
          {"9B 00 03", "DB 00 0C 00 41 42 00 00 00 00 00 00"}}},
        {"board assembly write then read", 5, NoTweak,
         {{"9A 00 0C 31 32 33 34 35 36 37 38 39", "DA 00 04 00"},
          {"99 00 03", "D9 00 0D 00 31 32 33 34 35 36 37 38 39"}}},
        {"release write then read", 5, NoTweak,
         {{"96 00 05 02 03", "D6 00 04 00"}, {"95 00 03", "D5 00 06 00 02 03"}}},
        {"module type write then read", 5, NoTweak,
         {{"9F 00 04 13", "DF 00 04 00"}, {"83 00 03", "C3 00 05 00 13"}}},
        {"short name write clears the long tail", 19, NoTweak,
         {{"98 00 0B 4E 45 57 4E 41 4D 45 31", "D8 00 04 00"},
          {"97 00 03", "D7 00 0C 00 4E 45 57 4E 41 4D 45 31"},
          {"A3 00 03", "E3 00 14 00 4E 45 57 4E 41 4D 45 31 00 00 00 00 00 00 00 00"}}},
        {"long name write", 5, NoTweak,
         {{"98 00 13 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50", "D8 00 04 00"},
          {"97 00 03", "D7 00 0C 00 41 42 43 44 45 46 47 48"},
          {"A3 00 03", "E3 00 14 00 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50"}}},
        {"name write of another width", 5, NoTweak, {{"98 00 0A 41 42 43 44 45 46 47", "D8 00 04 05"}}},
        // module description
        {"module description write", 5, [](Personality& p) { p.moduleState = 0; },
         {{"81 00 03", "C1 00 09 00 01 00 01 00 00"},
          {"82 00 0D 01 01 01 01 00 02 00 10 00 40", "C2 00 04 00"},
          {"81 00 03", "C1 00 09 00 01 00 01 00 01"},
          {"8E 00 09 01 02 00 3E 00 04", "CE 00 08 00 00 02 00 00"},
          {"8E 00 09 00 00 00 00 00 01", "CE 00 04 13"}}},
        {"empty module description", 5, NoTweak,
         {{"82 00 04 00", "C2 00 04 00"}, {"92 00 05 00 00", "D2 00 04 13"}}},
        {"module description keeps memory of the same block", 5, NoTweak,
         {{"82 00 0D 01 00 01 01 00 00 00 03 00 02", "C2 00 04 00"},
          {"8E 00 09 00 00 00 00 00 04", "CE 00 08 00 00 02 D0 21"}}},
        {"module description short", 5, NoTweak,
         {{"82 00 0C 01 01 01 01 00 02 00 10 00", "C2 00 04 05"}}},
        {"module description with trailing bytes", 5, NoTweak, {{"82 00 05 00 00", "C2 00 04 05"}}},
        // actions and closing without a transfer
        {"reset", 5, NoTweak, {{"A0 00 03", "E0 00 04 00"}}},
        {"abort", 5, NoTweak, {{"91 00 03", "D1 00 04 00"}}},
        {"transfer complete with nothing open", 5, NoTweak, {{"8A 00 03", "CA 00 04 0F"}}},
        {"chunk with nothing open", 5, NoTweak, {{"88 00 06 00 01 AA", "C8 00 04 0F"}}},
        {"data request with nothing open", 5, NoTweak, {{"89 00 05 00 10", "C9 00 04 0F"}}},
        // opening commands answer the chunk size
        {"config read opens", 5, NoTweak, {{"8C 00 07 00 00 00 29", "CC 00 06 00 00 10"}}},
        {"config write opens", 5, NoTweak, {{"8B 00 07 00 00 00 29", "CB 00 06 00 00 10"}}},
        {"config read longer than the block", 5, NoTweak, {{"8C 00 07 00 00 00 2A", "CC 00 04 08"}}},
        {"config write bad FPGA", 5, NoTweak, {{"8B 00 07 03 00 00 29", "CB 00 04 13"}}},
        {"chunk size 0", 5, [](Personality& p) { p.chunkSize = 0; },
         {{"8C 00 07 00 00 00 29", "CC 00 06 00 00 00"}}},
        {"chunk size 512", 5, [](Personality& p) { p.chunkSize = 512; },
         {{"8B 00 07 00 00 00 29", "CB 00 06 00 02 00"}}},
        {"device read opens", 5, NoTweak,
         {{"94 00 0D 01 00 00 00 00 00 00 00 00 10", "D4 00 06 00 00 10"}}},
        {"device write bad interface", 5, NoTweak,
         {{"93 00 0D 04 00 00 00 00 00 00 00 00 10", "D3 00 04 10"}}},
        {"device read too large", 5, NoTweak,
         {{"94 00 0D 01 00 00 00 00 00 7F 00 00 00", "D4 00 04 08"}}},
        {"safe-boot update opens", 5, NoTweak, {{"85 00 05 01 00", "C5 00 06 00 00 10"}}},
        {"application update opens", 5, NoTweak, {{"86 00 05 01 00", "C6 00 06 00 00 10"}}},
        {"FPGA update opens", 5, NoTweak,
         {{"87 00 0D 02 00 00 00 00 00 00 00 10 00", "C7 00 06 00 00 10"}}},
        {"LUT update opens", 5, NoTweak,
         {{"A1 00 12 01 00 02 00 06 00 00 00 00 01 00 00 00 00 00", "E1 00 06 00 00 10"}}},
        {"FPGA update too large", 5, NoTweak,
         {{"87 00 0D 02 00 00 00 00 00 10 00 00 01", "C7 00 04 08"}}},
        // framing
        {"payload where none belongs", 5, NoTweak, {{"80 00 04 00", "C0 00 04 05"}}},
        {"opening command one byte short", 5, NoTweak, {{"8C 00 06 00 00 00", "CC 00 04 05"}}},
        {"unknown code", 5, NoTweak, {{"7F 00 03", "FF 00 04 00"}}},
        {"unknown code with payload", 5, NoTweak, {{"A4 00 05 01 02", "FF 00 04 00"}}},
        {"sub-block write not served", 5, NoTweak, {{"8F 00 03", "FF 00 04 00"}}},
        {"sub-block read not served", 5, NoTweak, {{"90 00 03", "FF 00 04 00"}}},
        {"response code as command", 5, NoTweak, {{"C0 00 03", "FF 00 04 00"}}},
    };
    return cases;
}

TEST(Commands, AnswerByteForByte)
{
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        Personality p = Personality::ForType(c.type);
        c.tweak(p);
        SimRig rig(p);
        ASSERT_TRUE(rig.Started());
        for (const Step& s : c.steps) {
            SCOPED_TRACE(s.request);
            EXPECT_EQ(Hex(Exchange(rig.Client(), FromHex(s.request))), Hex(FromHex(s.answer)));
        }
        // Nothing beyond the answers.
        EXPECT_EQ(Hex(rig.Client().ReceiveQuiet(30)), "");
    }
}

// Chunked transfers of the 41-byte block, as the box runs them.
TEST(Transfers, ConfigReadInSixteenByteChunks)
{
    SimRig rig(Personality::ForType(5));
    const Bytes image = FromHex(kScalerImage);
    ASSERT_EQ(image.size(), 41u);
    EXPECT_EQ(Hex(Exchange(rig.Client(), FromHex("8C 00 07 00 00 00 29"))), "CC 00 06 00 00 10");
    size_t pos = 0;
    for (size_t n : {16, 16, 9}) {
        const Bytes want = Concat(FromHex("C9"), Concat({0, uint8_t(6 + n), 0, 0, uint8_t(n)},
                                            Bytes(image.begin() + long(pos), image.begin() + long(pos + n))));
        EXPECT_EQ(Hex(Exchange(rig.Client(), Cmd(0x89, {0, uint8_t(n)}))), Hex(want));
        pos += n;
    }
    EXPECT_EQ(Hex(Exchange(rig.Client(), FromHex("8A 00 03"))), "CA 00 04 00");
}

TEST(Transfers, ScalerImagesDifferOnlyWhereTheModelsDo)
{
    SimRig mardex(Personality::ForType(14));
    Bytes image = FromHex(kScalerImage);
    image[17] = 0x04; // genlock control
    image[38] = 0x10; // EDID flow-through
    EXPECT_EQ(Hex(mardex.Sim().ConfigMemory(0, 0)), Hex(image));
    for (int t : {5, 18, 19}) {
        SimRig other(Personality::ForType(t));
        EXPECT_EQ(Hex(other.Sim().ConfigMemory(0, 0)), kScalerImage) << t;
    }
}

TEST(Transfers, ConfigWriteInSixteenByteChunksIsReadBack)
{
    SimRig rig(Personality::ForType(19));
    Bytes data;
    for (int i = 0; i < 41; ++i)
        data.push_back(uint8_t(0xA0 + i));
    EXPECT_EQ(Hex(Exchange(rig.Client(), FromHex("8B 00 07 00 00 00 29"))), "CB 00 06 00 00 10");
    for (size_t pos = 0; pos < 41; pos += 16) {
        const size_t n = std::min<size_t>(16, 41 - pos);
        const Bytes chunk = Concat({0, uint8_t(n)}, Bytes(data.begin() + long(pos), data.begin() + long(pos + n)));
        EXPECT_EQ(Hex(Exchange(rig.Client(), Cmd(0x88, chunk))), "C8 00 04 00");
    }
    // Nothing changes before the transfer is closed.
    EXPECT_EQ(Hex(rig.Sim().ConfigMemory(0, 0)), kScalerImage);
    EXPECT_EQ(Hex(Exchange(rig.Client(), FromHex("8A 00 03"))), "CA 00 04 00");
    EXPECT_EQ(Hex(rig.Sim().ConfigMemory(0, 0)), Hex(data));

    EXPECT_EQ(Hex(Exchange(rig.Client(), FromHex("8C 00 07 00 00 00 29"))), "CC 00 06 00 00 10");
    Bytes back;
    for (int i = 0; i < 3; ++i) {
        Bytes a = Exchange(rig.Client(), FromHex("89 00 05 00 10"));
        ASSERT_GE(a.size(), 6u);
        back.insert(back.end(), a.begin() + 6, a.end());
    }
    EXPECT_EQ(Hex(back), Hex(data));
    EXPECT_EQ(Hex(Exchange(rig.Client(), FromHex("8A 00 03"))), "CA 00 04 00");
}

TEST(Transfers, DownloadAnswersCappedByChunkMax)
{
    Personality p = Personality::ForType(5);
    p.chunkMax = 10;
    SimRig rig(p);
    EXPECT_EQ(Hex(Exchange(rig.Client(), FromHex("8C 00 07 00 00 00 29"))), "CC 00 06 00 00 10");
    std::vector<size_t> sizes;
    for (size_t left = 41; left > 0;) {
        Bytes a = Exchange(rig.Client(), Cmd(0x89, {0, uint8_t(std::min<size_t>(16, left))}));
        ASSERT_GE(a.size(), 6u);
        const size_t m = size_t(a[4]) << 8 | a[5];
        ASSERT_EQ(a.size(), 6 + m);
        ASSERT_GT(m, 0u);
        sizes.push_back(m);
        left -= m;
    }
    EXPECT_EQ(sizes, (std::vector<size_t>{10, 10, 10, 10, 1}));
    EXPECT_EQ(Hex(Exchange(rig.Client(), FromHex("8A 00 03"))), "CA 00 04 00");
}

TEST(Transfers, UploadFaults)
{
    struct UploadCase {
        const char* name;
        std::vector<Step> steps;
    };
    const std::vector<UploadCase> cases = {
        {"chunk past the announced size drops the transfer",
         {{"8B 00 07 00 00 00 02", "CB 00 06 00 00 10"},
          {"88 00 08 00 03 01 02 03", "C8 00 04 0E"},
          {"88 00 06 00 01 01", "C8 00 04 0F"}}},
        {"closing short fails and changes nothing",
         {{"8B 00 07 00 00 00 29", "CB 00 06 00 00 10"},
          {"88 00 06 00 01 01", "C8 00 04 00"},
          {"8A 00 03", "CA 00 04 0E"},
          {"8A 00 03", "CA 00 04 0F"}}},
        {"abort drops the transfer",
         {{"8B 00 07 00 00 00 01", "CB 00 06 00 00 10"},
          {"88 00 06 00 01 77", "C8 00 04 00"},
          {"91 00 03", "D1 00 04 00"},
          {"8A 00 03", "CA 00 04 0F"}}},
        {"reset drops the transfer",
         {{"8B 00 07 00 00 00 01", "CB 00 06 00 00 10"},
          {"A0 00 03", "E0 00 04 00"},
          {"88 00 06 00 01 77", "C8 00 04 0F"}}},
        {"chunk length field disagrees with the packet",
         {{"8B 00 07 00 00 00 02", "CB 00 06 00 00 10"},
          {"88 00 07 00 01 01 02", "C8 00 04 05"}}},
        {"download closed early fails",
         {{"8C 00 07 00 00 00 29", "CC 00 06 00 00 10"},
          {"89 00 05 00 10", ""},
          {"8A 00 03", "CA 00 04 0E"}}},
        {"a download is not an upload",
         {{"8C 00 07 00 00 00 29", "CC 00 06 00 00 10"},
          {"88 00 06 00 01 01", "C8 00 04 0F"}}},
        {"zero-length transfer closes at once",
         {{"8B 00 07 00 00 00 00", "CB 00 06 00 00 10"},
          {"8A 00 03", "CA 00 04 00"}}},
    };
    for (const UploadCase& c : cases) {
        SCOPED_TRACE(c.name);
        SimRig rig(Personality::ForType(5));
        for (const Step& s : c.steps) {
            Bytes a = Exchange(rig.Client(), FromHex(s.request));
            if (!s.answer.empty()) {
                EXPECT_EQ(Hex(a), Hex(FromHex(s.answer))) << s.request;
            }
        }
        EXPECT_EQ(Hex(rig.Sim().ConfigMemory(0, 0)), kScalerImage);
    }
}

TEST(Transfers, DeviceDataRoundTrip)
{
    SimRig rig(Personality::ForType(1));
    EXPECT_EQ(Hex(Exchange(rig.Client(), FromHex("93 00 0D 02 01 00 00 10 00 00 00 00 05"))), "D3 00 06 00 00 10");
    EXPECT_EQ(Hex(Exchange(rig.Client(), FromHex("88 00 0A 00 05 01 02 03 04 05"))), "C8 00 04 00");
    EXPECT_EQ(Hex(Exchange(rig.Client(), FromHex("8A 00 03"))), "CA 00 04 00");
    EXPECT_EQ(Hex(Exchange(rig.Client(), FromHex("9E 00 0A 02 01 00 00 10 01 03"))), "DE 00 08 00 03 02 03 04");
    EXPECT_EQ(Hex(Exchange(rig.Client(), FromHex("94 00 0D 02 01 00 00 0F FF 00 00 00 07"))), "D4 00 06 00 00 10");
    EXPECT_EQ(Hex(Exchange(rig.Client(), FromHex("89 00 05 00 10"))), "C9 00 0D 00 00 07 00 01 02 03 04 05 00");
    EXPECT_EQ(Hex(Exchange(rig.Client(), FromHex("8A 00 03"))), "CA 00 04 00");
}

TEST(Transfers, FirmwareImagesAreKept)
{
    struct FwCase {
        const char* open;
        const char* openAnswer;
        uint8_t code;
    };
    const std::vector<FwCase> cases = {
        {"85 00 05 00 05", "C5 00 06 00 00 04", 0x85},
        {"86 00 05 00 05", "C6 00 06 00 00 04", 0x86},
        {"87 00 0D 02 00 00 01 00 00 00 00 00 05", "C7 00 06 00 00 04", 0x87},
        {"A1 00 12 01 00 02 00 06 00 00 00 00 00 05 00 00 00 60", "E1 00 06 00 00 04", 0xA1},
    };
    Personality p = Personality::ForType(5);
    p.chunkSize = 4;
    SimRig rig(p);
    for (const FwCase& c : cases) {
        SCOPED_TRACE(c.open);
        EXPECT_EQ(Hex(Exchange(rig.Client(), FromHex(c.open))), c.openAnswer);
        EXPECT_EQ(Hex(Exchange(rig.Client(), FromHex("88 00 09 00 04 11 22 33 44"))), "C8 00 04 00");
        EXPECT_EQ(Hex(Exchange(rig.Client(), FromHex("88 00 06 00 01 55"))), "C8 00 04 00");
        EXPECT_EQ(Hex(Exchange(rig.Client(), FromHex("8A 00 03"))), "CA 00 04 00");
        const auto images = rig.Sim().FirmwareImages();
        ASSERT_FALSE(images.empty());
        EXPECT_EQ(images.back().code, c.code);
        EXPECT_EQ(Hex(images.back().data), "11 22 33 44 55");
        const Bytes open = FromHex(c.open);
        EXPECT_EQ(Hex(images.back().header), Hex(Bytes(open.begin() + 3, open.end())));
    }
    EXPECT_EQ(rig.Sim().FirmwareImages().size(), cases.size());
}

TEST(Transfers, WritesShowInState)
{
    SimRig rig(Personality::ForType(18));
    Exchange(rig.Client(), FromHex("9C 00 0B 53 4E 30 30 30 30 30 37"));
    Exchange(rig.Client(), FromHex("96 00 05 04 05"));
    Exchange(rig.Client(), FromHex("9F 00 04 13"));
    const Personality now = rig.Sim().State();
    EXPECT_EQ(now.serialId, "SN000007");
    EXPECT_EQ(now.releaseVersion.major, 4);
    EXPECT_EQ(now.releaseVersion.minor, 5);
    EXPECT_EQ(now.moduleType, 0x13);
}

// The register files: runs across pages, 32-bit wrap, the byte budget.
TEST(Registers, RunsAcrossPagesAndTheAddressWrap)
{
    convsim::ConverterModel m(Personality::ForType(1));
    ASSERT_TRUE(m.WriteRegisters(2, 1, 0xFE, FromHex("01 02 03 04").data(), 4));
    EXPECT_EQ(Hex(m.ReadRegisters(2, 1, 0xFC, 8)), "00 00 01 02 03 04 00 00");
    EXPECT_EQ(m.ReadRegister(2, 1, 0x101), 0x04);
    EXPECT_EQ(Hex(m.ReadRegisters(2, 0, 0xFE, 2)), "00 00") << "another device's file";

    ASSERT_TRUE(m.WriteRegisters(2, 1, 0xFFFFFFFF, FromHex("AA BB").data(), 2));
    EXPECT_EQ(m.ReadRegister(2, 1, 0xFFFFFFFF), 0xAA);
    EXPECT_EQ(m.ReadRegister(2, 1, 0), 0xBB);
    EXPECT_EQ(Hex(m.ReadRegisters(2, 1, 0xFFFFFFFE, 3)), "00 AA BB");
}

TEST(Registers, AWriteOverTheBudgetChangesNothing)
{
    const uint32_t page = 256;
    const uint8_t one = 0x5A;
    // One byte on each page until the budget is spent (the personality's
    // own registers take a little of it).
    auto fill = [&](convsim::ConverterModel& m, size_t pages) {
        size_t n = 0;
        while (n < pages && m.WriteRegisters(3, 0, uint32_t(n * page), &one, 1))
            ++n;
        return n;
    };
    const size_t maxPages = convsim::ConverterModel::kMaxRegisterBytes / page;
    size_t full;
    {
        convsim::ConverterModel m(Personality::ForType(1));
        full = fill(m, maxPages + 1);
        ASSERT_GT(full, maxPages - 16);
        ASSERT_LE(full, maxPages);
    }
    // Exactly one page left: a run over two new pages is refused whole.
    convsim::ConverterModel m(Personality::ForType(1));
    ASSERT_EQ(fill(m, full - 1), full - 1);
    const uint8_t two[2] = {1, 2};
    const uint32_t across = uint32_t(full * page - 1);
    EXPECT_FALSE(m.WriteRegisters(3, 0, across, two, 2));
    EXPECT_EQ(Hex(m.ReadRegisters(3, 0, across, 2)), "00 00");
    EXPECT_TRUE(m.WriteRegisters(3, 0, across, &one, 1)) << "the last page fits";
    EXPECT_FALSE(m.WriteRegisters(3, 0, across + 1, &one, 1));
    EXPECT_TRUE(m.WriteRegisters(3, 0, 0, two, 2)) << "rewrites need no new page";
    EXPECT_EQ(Hex(m.ReadRegisters(3, 0, 0, 2)), "01 02");
}

} // namespace
