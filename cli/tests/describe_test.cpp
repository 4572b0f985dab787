// The describe and dump commands: metadata blocks of every descriptor kind
// and value lines of every parameter.
#include <gtest/gtest.h>

#include "interpreterfixture.h"

namespace knobtest {
namespace {

const std::string kLevelBlock =
    "param: Output Level (eParamID_Level)\n"
    "min: 0\n"
    "max: 100\n"
    "default: 5\n"
    "adjust: 1\n"
    "scale: 1\n"
    "offset: 0\n"
    "precision: 0\n"
    "units: dB\n"
    "persistence: ephemeral\n"
    "presets: excluded\n"
    "factory reset: cold hard only\n"
    "classname: volatile\n"
    "classname: readonly\n"
    "dependent: eParamID_Mode\n"
    "dependent: 0xA0009FF\n"
    "depends on: eParamID_Label\n"
    "attribute: DisplayType == 8\n"
    "attribute: ParamGroup == 3\n"
    "attribute: EnableParam == 'eParamID_Mode'\n";

const std::string kModeBlock =
    "param: Mode (eParamID_Mode)\n"
    "min: 1\n"
    "max: 5\n"
    "default: 1\n"
    "adjust: 1\n"
    "scale: 1\n"
    "offset: 0\n"
    "precision: 0\n"
    "units: \n"
    "enum count: 3\n"
    "enum: Auto (1)\n"
    "enum: Manual (2)\n"
    "enum: Off (5)\n"
    "persistence: persists\n"
    "presets: included\n"
    "factory reset: warm fuzzy\n";

const std::string kLabelBlock =
    "param: Label (eParamID_Label)\n"
    "default: \"abc\"\n"
    "persistence: persists\n"
    "presets: included\n"
    "factory reset: warm fuzzy\n";

const std::string kBlobBlock =
    "param: Blob (eParamID_Blob)\n"
    "default: 0 bytes\n"
    "persistence: persists\n"
    "presets: included\n"
    "factory reset: warm fuzzy\n";

const std::string kGainBlock =
    "param: Gain (eParamID_Gain)\n"
    "min: 0\n"
    "max: 1000\n"
    "default: 0\n"
    "adjust: 1\n"
    "scale: 1\n"
    "offset: 0\n"
    "precision: 1\n"
    "units: \n"
    "precision: 2\n"
    "persistence: persists\n"
    "presets: included\n"
    "factory reset: warm fuzzy\n";

const std::string kOddBlock =
    "param: Odd (eParamID_Odd)\n"
    "persistence: persists\n"
    "presets: included\n"
    "factory reset: warm fuzzy\n";

const std::string kDumpAll =
    "eParamID_Level == 5 \n"
    "eParamID_Mode == 1 (Auto)\n"
    "eParamID_Label == \"abc\"\n"
    "eParamID_Gain == 0 \n"
    "Unknown descriptor: eParamID_Odd\n";

TEST_F(InterpreterTest, DescribeBlocksOfEveryKind)
{
    Table({
        {"describe Level", 1, kLevelBlock, ""},
        {"describe eParamID_Mode", 1, kModeBlock, ""},
        {"describe Label", 1, kLabelBlock, ""},
        {"describe Blob", 1, kBlobBlock, ""},
        {"describe Gain", 1, kGainBlock, ""},
        {"describe Odd", 1, kOddBlock, ""},
        {"describe *", 1, kLevelBlock + kModeBlock + kLabelBlock + kBlobBlock + kGainBlock + kOddBlock, ""},
        {"describe Nope", 1, "Invalid paramID eParamID_Nope\n", ""},
        {"describe", 0, "", "describe: missing argument\n"},
    });
}

TEST_F(InterpreterTest, DescribeInHexPrintsNumbersInHex)
{
    Run("hex");
    const CommandResult r = Run("describe Gain");
    EXPECT_EQ(r.out,
              "param: Gain (eParamID_Gain)\n"
              "min: 0x0\n"
              "max: 0x3E8\n"
              "default: 0x0\n"
              "adjust: 0x1\n"
              "scale: 0x1\n"
              "offset: 0x0\n"
              "precision: 0x1\n"
              "units: \n"
              "precision: 0x2\n"
              "persistence: persists\n"
              "presets: included\n"
              "factory reset: warm fuzzy\n");
}

TEST_F(InterpreterTest, DumpPrintsValueLines)
{
    Table({
        {"dump", 1, kDumpAll, ""},
        {"dump\n", 1, kDumpAll, ""},
        {"dump *", 1, kDumpAll, ""},
        {"dump   ", 1, kDumpAll, ""},
        {"dump Mode", 1, "eParamID_Mode == 1 (Auto)\n", ""},
        {"dump Blob", 1, "", ""},
        {"dump Odd", 1, "Unknown descriptor: eParamID_Odd\n", ""},
        {"dump Nope", 1, "Invalid paramID eParamID_Nope\n", ""},
        {"a dump b", 0, "", "dump: missing argument\n"},
    });
}

TEST_F(InterpreterTest, AnIdWithoutADescriptorStopsDescribeAndDump)
{
    _config->extraIds = {kNoDescriptor, kLevel};
    CommandResult r = Run("describe *");
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.out, kLevelBlock + kModeBlock + kLabelBlock + kBlobBlock + kGainBlock + kOddBlock);
    r = Run("dump *");
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.out, kDumpAll);
}

} // namespace
} // namespace knobtest
