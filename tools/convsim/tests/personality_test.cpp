// Defaults of every module type and the program's command line.
#include "convsim/personality.h"
#include "convsim/programoptions.h"

#include <gtest/gtest.h>

using convsim::Personality;

namespace {

TEST(Personality, EveryType)
{
    const char* const names[] = {
        "ARVEL",   "BRINDO", "CADMER", "GRAVO",   "HESTRA", "DOVRIN", "ESTROW",  "FALCRIN", "GESMOR",
        "HARVIK",  "ILMARO", "JASTEL", "KELVRO",  "MARDEX", "LOMRIK", "NOLVAR",  "ORSIK",   "PENDRO",
        "QUASTEL", "RIMBOL", "SARVEK", "TOLVIN",  "UDRASK", "VENNOR", "WEXLAR",  "YORVATH", "ZELMOR",
        "AMBREL",  "BEXTON", "CORVANE", "DELMOK", "ESKVAR", "FORNEL",
    };
    for (int t = 1; t <= 33; ++t) {
        SCOPED_TRACE(t);
        const Personality p = Personality::ForType(t);
        EXPECT_EQ(p.moduleType, t);
        EXPECT_EQ(p.moduleName, names[t - 1]);
        char serial[16];
        std::snprintf(serial, sizeof serial, "SIM%02d001", t);
        EXPECT_EQ(p.serialId, serial);
        EXPECT_EQ(p.serialId.size(), 8u);
        EXPECT_EQ(p.protocolVersion, 1);
        EXPECT_EQ(p.moduleState, 1);
        EXPECT_FALSE(p.infoFlag);
        EXPECT_EQ(p.safeBootVersion.major, 1);
        EXPECT_EQ(p.safeBootVersion.minor, 0);
        EXPECT_EQ(p.appVersion.major, 1);
        EXPECT_EQ(p.appVersion.minor, 0);
        EXPECT_EQ(p.releaseVersion.major, 1);
        EXPECT_EQ(p.releaseVersion.minor, 2);
        EXPECT_TRUE(p.boardAssemblyId.empty());
        ASSERT_EQ(p.fpgas.size(), 1u);
        EXPECT_EQ(p.fpgas[0].id, 0);
        EXPECT_EQ(p.fpgas[0].interfaceId, 1);
        EXPECT_EQ(p.fpgas[0].deviceId, 0);
        EXPECT_EQ(p.statusImage[0], t);
        EXPECT_EQ(p.statusImage[1], 1);
        EXPECT_EQ(p.statusImage[2], 0);
        const bool scaler = t == 5 || t == 14 || t == 18 || t == 19;
        EXPECT_EQ(convsim::IsScalerType(t), scaler);
        if (scaler) {
            ASSERT_EQ(p.fpgas[0].blocks.size(), 1u);
            EXPECT_EQ(p.fpgas[0].blocks[0].id, 0);
            EXPECT_EQ(p.fpgas[0].blocks[0].start, 3);
            EXPECT_EQ(p.fpgas[0].blocks[0].memory.size(), 41u);
            // Registers 3..43 of the status image start as the memory,
            // apart from the status bits in 20 and 43.
            for (size_t i = 0; i < 41; ++i)
                if (i != 17 && i != 40) {
                    EXPECT_EQ(p.statusImage[3 + i], p.fpgas[0].blocks[0].memory[i]) << i;
                }
            EXPECT_EQ(p.readOnlyBits[20], t == 14 ? 0x46 : 0x40);
            EXPECT_EQ(p.readOnlyBits[42], 0xFF);
            EXPECT_EQ(p.readOnlyBits[59], 0xFF);
            EXPECT_EQ(p.readOnlyBits[60], 0);
        } else if (t == 12) {
            // The LUT converter's status registers 16..55 (lutflash_test.cpp).
            EXPECT_EQ(p.readOnlyBits[20], 0xFF);
            EXPECT_EQ(p.readOnlyBits[42], 0xFF);
        } else {
            EXPECT_EQ(p.readOnlyBits[20], 0);
            EXPECT_EQ(p.readOnlyBits[42], 0);
        }
        EXPECT_EQ(p.readOnlyBits[0], 0xFF);
        EXPECT_EQ(p.readOnlyBits[3], 0);
    }
}

// The configuration block of each model: start register and length, and
// the bytes of a freshly set-up converter.
TEST(Personality, ConfigurationBlocks)
{
    const struct {
        int type;
        uint16_t start;
        size_t length;
        std::vector<std::pair<size_t, uint8_t>> bytes; // the bytes that are not 0
    } blocks[] = {
        {1, 0, 4, {}},
        {2, 0, 4, {}},
        {3, 0, 3, {}},
        {4, 0, 5, {{0, 0x03}, {2, 0x11}, {3, 0xA3}}},
        {6, 3, 42, {{16, 0xC2}, {17, 0x33}, {38, 0x90}, {39, 0x01}}},
        {7, 3, 15, {{4, 0x40}}},
        {8, 0, 4, {{3, 0x14}}},
        {9, 0, 15, {{9, 0x04}}},
        {10, 3, 13, {}},
        {11, 3, 32, {{7, 0x80}, {27, 0xE4}, {28, 0xE4}}},
        {12, 3, 32, {{1, 0x02}, {4, 0x20}, {7, 0x80}, {10, 0xE4}, {11, 0xE4}}},
        {13, 3, 13, {{4, 0x03}, {5, 0x01}}},
        {15, 3, 13, {{4, 0x0F}, {5, 0x01}, {6, 0xFF}}},
        {16, 3, 15, {}},
        {5, 3, 41, {{0, 0xD0}, {12, 0x57}}},
        {14, 3, 41, {{17, 0x04}, {38, 0x10}}},
    };
    for (const auto& b : blocks) {
        SCOPED_TRACE(b.type);
        const Personality p = Personality::ForType(b.type);
        ASSERT_EQ(p.fpgas.size(), 1u);
        ASSERT_EQ(p.fpgas[0].blocks.size(), 1u);
        const convsim::BlockLayout& block = p.fpgas[0].blocks[0];
        EXPECT_EQ(block.id, 0);
        EXPECT_EQ(block.start, b.start);
        ASSERT_EQ(block.memory.size(), b.length);
        for (const auto& byte : b.bytes)
            EXPECT_EQ(block.memory[byte.first], byte.second) << byte.first;
        if (b.type == 6) {
            // The HDR metadata: twelve little-endian words from byte 16.
            const std::vector<uint8_t> metadata(block.memory.begin() + 16, block.memory.begin() + 40);
            EXPECT_EQ(metadata, (std::vector<uint8_t>{0xC2, 0x33, 0xC4, 0x86, 0x4C, 0x1D, 0xB8, 0x0B,
                                                      0xD0, 0x84, 0x80, 0x3E, 0x13, 0x3D, 0x42, 0x40,
                                                      0xE8, 0x03, 0x05, 0x00, 0xE8, 0x03, 0x90, 0x01}));
        } else if (!convsim::IsScalerType(b.type)) {
            size_t nonZero = 0;
            for (uint8_t byte : block.memory)
                nonZero += byte != 0;
            EXPECT_EQ(nonZero, b.bytes.size());
        }
    }
    for (int type : {0, 17, 20, 21, 22, 33, 40}) {
        uint16_t start = 0;
        std::vector<uint8_t> memory;
        EXPECT_FALSE(convsim::DefaultConfigBlock(type, start, memory)) << type;
        EXPECT_TRUE(Personality::ForType(type).fpgas[0].blocks.empty()) << type;
    }
    EXPECT_EQ(Personality::ForType(40).moduleName, "");
    EXPECT_EQ(Personality::ForType(40).serialId, "SIM40001");
    EXPECT_EQ(convsim::ModuleTypeName(0), "Unknown");
    EXPECT_EQ(convsim::ModuleTypeName(34), "");
}

TEST(ProgramOptions, Parse)
{
    struct OptCase {
        std::vector<std::string> args;
        bool ok;
        std::function<void(const convsim::ProgramOptions&)> check;
    };
    const std::vector<OptCase> cases = {
        {{"--link", "/tmp/x"}, true,
         [](const convsim::ProgramOptions& o) {
             EXPECT_EQ(o.link, "/tmp/x");
             EXPECT_EQ(o.personality.moduleType, 5);
             EXPECT_FALSE(o.verbose);
             EXPECT_FALSE(o.dump);
         }},
        {{"--link", "/l", "--dump", "--type", "12", "--config-memory", "0102"}, true,
         [](const convsim::ProgramOptions& o) {
             EXPECT_TRUE(o.dump);
             EXPECT_EQ(o.personality.fpgas[0].blocks[0].memory.size(), 32u);
             EXPECT_EQ(o.personality.fpgas[0].blocks[0].memory[1], 0x02);
         }},
        {{"--serial", "ABC", "--type", "19", "--link", "/l"}, true,
         [](const convsim::ProgramOptions& o) {
             // The type sets the defaults whatever its place on the line.
             EXPECT_EQ(o.personality.moduleType, 19);
             EXPECT_EQ(o.personality.serialId, "ABC");
             EXPECT_EQ(o.personality.moduleName, "QUASTEL");
         }},
        {{"--link", "/l", "--protocol-version", "2", "--module-state", "0", "--app-version", "0.38",
          "--release", "1.2", "--chunk-max", "16", "--chunk-size", "32", "-v", "--wire-time",
          "--info-flag", "1", "--fpga-version", "2.5", "--safe-boot-version", "3.4"},
         true,
         [](const convsim::ProgramOptions& o) {
             const Personality& p = o.personality;
             EXPECT_EQ(p.protocolVersion, 2);
             EXPECT_EQ(p.moduleState, 0);
             EXPECT_EQ(p.appVersion.major, 0);
             EXPECT_EQ(p.appVersion.minor, 38);
             EXPECT_EQ(p.chunkMax, 16);
             EXPECT_EQ(p.chunkSize, 32);
             EXPECT_TRUE(p.wireTime);
             EXPECT_TRUE(p.infoFlag);
             EXPECT_EQ(p.fpgaVersion.major, 2);
             EXPECT_EQ(p.fpgaVersion.minor, 5);
             EXPECT_EQ(p.safeBootVersion.major, 3);
             EXPECT_TRUE(o.verbose);
         }},
        {{"--link", "/l", "--serial", "\\xFF\\xFF\\xFF\\xFF\\xFF\\xFF\\xFF\\xFF", "--name", "a\\\\b",
          "--board-id", "B-1"},
         true,
         [](const convsim::ProgramOptions& o) {
             EXPECT_EQ(o.personality.serialId, std::string(8, '\xFF'));
             EXPECT_EQ(o.personality.moduleName, "a\\b");
             EXPECT_EQ(o.personality.boardAssemblyId, "B-1");
         }},
        {{"--link", "/l", "--status-image", "0102", "--config-memory", "AABB"}, true,
         [](const convsim::ProgramOptions& o) {
             EXPECT_EQ(o.personality.statusImage[0], 1);
             EXPECT_EQ(o.personality.statusImage[1], 2);
             EXPECT_EQ(o.personality.fpgas[0].blocks[0].memory[0], 0xAA);
             EXPECT_EQ(o.personality.fpgas[0].blocks[0].memory[1], 0xBB);
             EXPECT_EQ(o.personality.fpgas[0].blocks[0].memory[2], 0xE6);
         }},
        {{"--link", "/l", "--fault", "busy,code=0x8c,count=3", "--fault", "unplug,nth=9"}, true,
         [](const convsim::ProgramOptions& o) {
             ASSERT_EQ(o.faults.size(), 2u);
             EXPECT_EQ(o.faults[0].count, 3u);
             EXPECT_EQ(o.faults[1].kind, convsim::Fault::Kind::Unplug);
         }},
        {{"-h"}, true, [](const convsim::ProgramOptions& o) { EXPECT_TRUE(o.help); }},
        {{"--version"}, true, [](const convsim::ProgramOptions& o) { EXPECT_TRUE(o.version); }},
        {{"--link=/l", "--type=19", "--frame-gap=50"}, true,
         [](const convsim::ProgramOptions& o) {
             EXPECT_EQ(o.link, "/l");
             EXPECT_EQ(o.personality.moduleType, 19);
             EXPECT_EQ(o.frameGapMs, 50);
         }},
        {{"--link", "/l", "--verbose=1"}, false, nullptr},
        {{"--link", "/l", "stray"}, false, nullptr},
        {{"--link", "/l", "--type=x"}, false, nullptr},
        {{}, false, nullptr},
        {{"--link"}, false, nullptr},
        {{"--link", "/l", "--type", "256"}, false, nullptr},
        {{"--link", "/l", "--type"}, false, nullptr},
        {{"--link", "/l", "--module-state", "128"}, false, nullptr},
        {{"--link", "/l", "--app-version", "1"}, false, nullptr},
        {{"--link", "/l", "--app-version", "1.256"}, false, nullptr},
        {{"--link", "/l", "--release", "-1.2"}, false, nullptr},
        {{"--link", "/l", "--serial", "\\x4"}, false, nullptr},
        {{"--link", "/l", "--serial", "\\q"}, false, nullptr},
        {{"--link", "/l", "--chunk-size", "65536"}, false, nullptr},
        {{"--link", "/l", "--status-image", std::string(130, '0')}, false, nullptr},
        {{"--link", "/l", "--type", "17", "--config-memory", "00"}, false, nullptr},
        {{"--link", "/l", "--type", "7", "--config-memory", std::string(32, '0')}, false, nullptr},
        {{"--link", "/l", "--fault", "busy,count=x"}, false, nullptr},
        {{"--link", "/l", "--frobnicate"}, false, nullptr},
    };
    for (const OptCase& c : cases) {
        std::string joined;
        for (const auto& a : c.args)
            joined += a + " ";
        SCOPED_TRACE(joined);
        convsim::ProgramOptions o;
        std::string error;
        EXPECT_EQ(convsim::ParseProgramOptions(c.args, o, &error), c.ok) << error;
        if (c.ok && c.check)
            c.check(o);
        if (!c.ok) {
            EXPECT_FALSE(error.empty());
        }
    }
}

TEST(ProgramOptions, LogLine)
{
    convsim::LogEntry e;
    e.index = 12;
    e.atMs = 345;
    e.code = 0x80;
    e.bytes = {0x80, 0x00, 0x03};
    e.answer = {0xC0, 0x00, 0x05, 0x00, 0x01};
    EXPECT_EQ(convsim::FormatLogEntry(e), "#12 +345ms 0x80: 80 00 03 -> C0 00 05 00 01");
    e.answer.clear();
    EXPECT_EQ(convsim::FormatLogEntry(e), "#12 +345ms 0x80: 80 00 03 -> (nothing)");
}

} // namespace
