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
        } else {
            EXPECT_TRUE(p.fpgas[0].blocks.empty());
        }
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
        {{"--link", "/l", "--type", "1", "--config-memory", "00"}, false, nullptr},
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
