// Every command of the interpreter: its exact output on each stream and its
// result, run in order on one fresh config.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <unistd.h>

#include "interpreterfixture.h"
#include "tempdir.h"

namespace knobtest {
namespace {

const std::string kAllHelp =
    "set\t\t<param_id_name> - Change a param value.\n"
    "get\t\t<param_id_name> - Display a param value.\n"
    "describe\t<param_id_name> - Display meta-data about a param.\n"
    "dump\t\t<param_id_name> - Display meta-data about a param and its current value.\n"
    "watch\t\t<param_id_name> - Watch for changes to a param.\n"
    "unwatch\t\t<param_id_name> - Stop watching a param.\n"
    "iswatched\t<param_id_name> - Determine if a param is being watched.\n"
    "watches\t\tDisplay a list of watched params.\n"
    "params\t\tDisplay a list of params.\n"
    "source\t\t<filename> - Run commands from a file.\n"
    "hex\t\tInput and display integer values in hexidecimal format.\n"
    "decimal\t\tInput and display integer values in decimal format.\n"
    "timing\t\tRun a timing test.\n"
    "factory\t\tSet param value to factory default.\n"
    "clips\t\tRun CLIPS.\n"
    "help\t\tDisplay this text.\n";

const std::string kParams =
    "eParamID_Level - Output Level\n"
    "eParamID_Mode - Mode\n"
    "eParamID_Label - Label\n"
    "eParamID_Blob - Blob\n"
    "eParamID_Gain - Gain\n"
    "eParamID_Odd - Odd\n";

std::string NoMatch(const std::string& argument)
{
    return "No commands match `" + argument + "'.  Possibilties are:\n"
           "set\tget\tdescribe\tdump\twatch\tunwatch\t\n"
           "iswatched\twatches\tparams\tsource\thex\tdecimal\t\n"
           "timing\tfactory\tclips\thelp\t\n";
}

using CommandTest = InterpreterTest;

TEST_F(CommandTest, LinesWithoutAKeyword)
{
    Table({
        {"", 1, "", ""},
        {"bogus", 0, "Unknown command bogus\n", ""},
        {"get", 0, "Unknown command get\n", ""},
        {"set", 0, "Unknown command set\n", ""},
        {"   ", 0, "Unknown command    \n", ""},
    });
    EXPECT_EQ(_knobctl->ExecuteCommand(nullptr), 0);
    EXPECT_EQ(_err.Take(), "command == NULL\n");
}

TEST_F(CommandTest, GetPrintsValueLines)
{
    Table({
        {"get Level", 1, "eParamID_Level == 5 \n", ""},
        {"get eParamID_Level", 1, "eParamID_Level == 5 \n", ""},
        {"get Level extra words", 1, "eParamID_Level == 5 \n", ""},
        {"get Mode", 1, "eParamID_Mode == 1 (Auto)\n", ""},
        {"get Label", 1, "eParamID_Label == \"abc\"\n", ""},
        {"get Blob", 1, "", ""},
        {"get Odd", 1, "", ""},
        {"get Gain", 1, "eParamID_Gain == 0 \n", ""},
        {"get Nope", 0, "Invalid paramID eParamID_Nope\n", ""},
        {"get ", 0, "", "get: missing argument\n"},
        {"xget Level", 0, "", "get: missing argument\n"},
    });
}

TEST_F(CommandTest, SetReadsBackWhatTheStoreHolds)
{
    Table({
        {"set Level 42", 1, "eParamID_Level = 42\n", ""},
        {"get Level", 1, "eParamID_Level == 42 \n", ""},
        {"set eParamID_Level -7", 1, "eParamID_Level = -7\n", ""},
        {"set Mode 2", 1, "eParamID_Mode = 2\n", ""},
        {"get Mode", 1, "eParamID_Mode == 2 (Manual)\n", ""},
        {"set Mode 3", 1, "eParamID_Mode = 3\n", ""},
        {"get Mode", 1, "eParamID_Mode == 3 (Invalid)\n", ""},
        {"set Label \"two  words\" more", 1, "eParamID_Label = \"two  words\"\n", ""},
        {"get Label", 1, "eParamID_Label == \"two  words\"\n", ""},
        {"set Label \"", 1, "eParamID_Label = \"\"\n", ""},
        {"set Blob anything", 1, "", ""},
        {"set Blob", 1, "", ""},
        {"set Odd 1", 1, "Unknown Descriptor: eParamID_Odd\n", ""},
        {"set Nope 1", 0, "Invalid paramID eParamID_Nope\n", ""},
        {"foo set Level 1", 0, "", ""},
        {"set ", 0, "", "set: missing argument\n"},
        {"set Level", 0, "", "set: missing value for eParamID_Level\n"},
        {"set Label", 0, "", "set: missing value for eParamID_Label\n"},
        {"set Level abc", 0, "", "set: invalid value abc\n"},
        {"set Level 4294967296", 0, "", "set: invalid value 4294967296\n"},
        {"set Level 4294967295", 1, "eParamID_Level = -1\n", ""},
        {"set Level 12abc", 1, "eParamID_Level = 12\n", ""},
    });
}

TEST_F(CommandTest, HexAndDecimalSwitchInputAndOutput)
{
    Table({
        {"set Level 42", 1, "eParamID_Level = 42\n", ""},
        {"hex", 1, "", ""},
        {"get Level", 1, "eParamID_Level == 0x2A \n", ""},
        {"set Level ff", 1, "eParamID_Level = 0xFF\n", ""},
        {"set Level 0x10", 1, "eParamID_Level = 0x10\n", ""},
        {"set Level FFFFFFFF", 1, "eParamID_Level = 0xFFFFFFFF\n", ""},
        {"set Level 1FFFFFFFF", 0, "", "set: invalid value 1FFFFFFFF\n"},
        {"set Level zz", 0, "", "set: invalid value zz\n"},
        {"get Mode", 1, "eParamID_Mode == 0x1 (Auto)\n", ""},
        {"decimal", 1, "", ""},
        {"get Level", 1, "eParamID_Level == -1 \n", ""},
        {"set Level 10", 1, "eParamID_Level = 10\n", ""},
    });
}

TEST_F(CommandTest, RefusedSetsFail)
{
    _config->refuseSets = true;
    Table({
        {"set Level 1", 0, "set failed\n", ""},
        {"set Label x", 0, "set failed\n", ""},
        {"factory Level", 0, "set failed\n", ""},
        {"factory Label", 0, "set failed\n", ""},
        {"factory Blob", 0, "set failed\n", ""},
        {"get Level", 1, "eParamID_Level == 5 \n", ""},
    });
}

TEST_F(CommandTest, FactoryRestoresDefaults)
{
    Table({
        {"set Level 50", 1, "eParamID_Level = 50\n", ""},
        {"set Label xyz", 1, "eParamID_Label = \"xyz\"\n", ""},
        {"factory Level", 1, "eParamID_Level = 5\n", ""},
        {"factory Label", 1, "eParamID_Label = \"abc\"\n", ""},
        {"factory Blob", 1, "eParamID_Blob = \"0 bytes\"\n", ""},
        {"factory Mode", 1, "eParamID_Mode = 1\n", ""},
        {"factory Odd", 1, "", ""},
        {"factory Nope", 0, "Invalid paramID eParamID_Nope\n", ""},
        {"factory", 0, "", "factory: missing argument\n"},
    });
}

TEST_F(CommandTest, ParamsListsEveryIdNameAndName)
{
    Table({{"params", 1, kParams, ""}});
}

TEST_F(CommandTest, IdsWithoutADescriptorAreSkipped)
{
    _config->extraIds = {kNoDescriptor};
    _config->hidden = {kMode};
    Table({
        {"params", 1,
         "eParamID_Level - Output Level\n"
         "eParamID_Label - Label\n"
         "eParamID_Blob - Blob\n"
         "eParamID_Gain - Gain\n"
         "eParamID_Odd - Odd\n",
         ""},
    });
    // A new interpreter builds its completion names the same way.
    Knobctl other(0, nullptr, _config.get(), nullptr, _out.File(), _err.File());
    EXPECT_EQ(ParamNameList, (std::vector<std::string>{"Level", "Label", "Blob", "Gain", "Odd"}));
}

TEST_F(CommandTest, HelpPrintsMatchingRows)
{
    Table({
        {"help", 1, kAllHelp, ""},
        {"help ", 1, kAllHelp, ""},
        {"usage", 1, kAllHelp, ""},
        {"what?", 1, kAllHelp, ""},
        {"help set", 1, "set\t\t<param_id_name> - Change a param value.\n", ""},
        {"help iswatched", 1, "iswatched\t<param_id_name> - Determine if a param is being watched.\n", ""},
        {"help clips", 1, "clips\t\tRun CLIPS.\n", ""},
        {"help nothing", 1, NoMatch("nothing"), ""},
        {"help nothing more", 1, NoMatch("nothing more"), ""},
        // An earlier keyword in the argument runs its own command.
        {"help decimal", 1, "", ""},
        {"help set more", 0, "", ""},
        {"clips", 1, "clips command disabled\n\n", ""},
    });
}

TEST_F(CommandTest, AnEarlierKeywordInsideANameWins)
{
    Table({
        {"describe hexagon", 1, "", ""},
        {"get Level", 1, "eParamID_Level == 0x5 \n", ""},
        {"dump decimals", 1, "", ""},
        {"dump params", 1, kParams, ""},
    });
}

// The keywords' order: of two a line holds, the earlier in this order
// picks the command wherever it stands in the line.
TEST(PickCommandTest, TheEarlierKeywordPicksTheCommand)
{
    const struct {
        const char* line;
        const char* command;
    } cases[] = {
        {"set x 1", "set"},
        {"setdata get x", "get"},
        {"getdata setdata x", "setdata"},
        {"unwatch getdata x", "getdata"},
        {"watch unwatch x", "unwatch"},
        {"iswatched watch x", "watch"},
        {"watches iswatched x", "iswatched"},
        {"params watches", "watches"},
        {"source params", "params"},
        {"hex source", "source"},
        {"decimal hex", "hex"},
        {"describe decimal", "decimal"},
        {"dump describe", "describe"},
        {"timing dump", "dump"},
        {"factory timing", "timing"},
        {"usage factory", "factory"},
        {"clips help", "help"},
        {"clips ?", "help"},
        {"exit clips", "clips"},
        {"exit", "exit"},
        {"usage", "help"},
    };
    for (const auto& c : cases) {
        const CommandTableRow* row = PickCommand(c.line);
        ASSERT_NE(row, nullptr) << c.line;
        EXPECT_STREQ(row->name, c.command) << c.line;
    }
    for (const char* none : {"", "bogus", "get", "unwatched", "Set x 1"})
        EXPECT_EQ(PickCommand(none), nullptr) << none;
}

TEST_F(CommandTest, ExitCallsTheExitHandler)
{
    Table({{"exit", 1, "", ""}, {"please exit now", 1, "", ""}});
    EXPECT_EQ(_exits, 2);
}

TEST_F(CommandTest, WordsOfAnyLength)
{
    const std::string name(5000, 'n');
    Table({
        {"get " + name, 0, "Invalid paramID eParamID_" + name + "\n", ""},
        {"set " + name + " 1", 0, "Invalid paramID eParamID_" + name + "\n", ""},
        {"set Label " + name, 1, "eParamID_Label = \"" + name + "\"\n", ""},
        {"watch " + name, 0, "Invalid paramID eParamID_" + name + "\n", ""},
    });
}

TEST_F(CommandTest, TimingReadsAndWritesAThousandTimes)
{
    const std::regex elapsed("Elapsed ms = [0-9]+, per request [0-9]+\n"
                             "Elapsed ms = [0-9]+, per request [0-9]+\n");
    CommandResult r = Run("timing eParamID_Level 7");
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(std::regex_match(r.err, elapsed)) << r.err;
    // The last of the alternating writes puts the start value back.
    Table({
        {"get Level", 1, "eParamID_Level == 7 \n", ""},
        {"timing Level 7", 1, "", "Invalid paramid Level\n"},
        {"timing eParamID_Level", 0, "", "Incorrect number of arguments\n"},
        {"timing eParamID_Level x", 0, "", "Incorrect number of arguments\n"},
        {"timing", 0, "", "Incorrect number of arguments\n"},
    });
    r = Run("timing eParamID_Level 2147483647");
    EXPECT_EQ(r.result, 1);
    EXPECT_TRUE(std::regex_match(r.err, elapsed)) << r.err;
    Table({{"get Level", 1, "eParamID_Level == 2147483647 \n", ""}});
}

class DataFileTest : public CommandTest {
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        ASSERT_FALSE(_dir.empty());
    }
    std::string Read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    tovik::test::TempDir _tmp{"knobctl-data"};
    const std::string _dir = _tmp.Path();
};

TEST_F(DataFileTest, SetDataAndGetDataMoveBytesThroughFiles)
{
    const std::string in = _dir + "/in.bin";
    const std::string out = _dir + "/out.bin";
    const std::string empty = _dir + "/empty.bin";
    {
        std::ofstream f(in, std::ios::binary);
        f << std::string("bytes\0with nul", 14);
    }
    Table({
        {"getdata Blob " + empty, 1, "0 bytes written to " + empty + "\n", ""},
        {"setdata Blob " + in, 1, "14 bytes saved to eParamID_Blob\n", ""},
        {"getdata eParamID_Blob " + out, 1, "14 bytes written to " + out + "\n", ""},
        {"setdata Level " + in, 1, "The descriptor for eParamID_Level is not a DataDescriptor\n", ""},
        {"getdata Level " + out, 1, "", ""},
        {"setdata Blob " + _dir + "/missing", 1, "unable to read data file " + _dir + "/missing\n", ""},
        {"getdata Blob " + _dir + "/no/such/dir", 0, "unable to write to " + _dir + "/no/such/dir\n", ""},
        {"setdata Nope " + in, 0, "Invalid paramID eParamID_Nope\n", ""},
        {"x setdata Blob " + in, 0, "", ""},
        {"setdata Blob", 0, "", "setdata: missing argument\n"},
        {"getdata Blob", 0, "", "getdata: missing argument\n"},
        {"setdata ", 0, "", "setdata: missing argument\n"},
    });
    EXPECT_EQ(Read(out), std::string("bytes\0with nul", 14));
    EXPECT_TRUE(std::ifstream(empty).good());
    EXPECT_EQ(Read(empty), "");
    _config->refuseSets = true;
    Table({{"setdata Blob " + in, 0, "setdata failed\n", ""}});
}

} // namespace
} // namespace knobtest
