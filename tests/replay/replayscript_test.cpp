// The replay script format: what each command takes and the errors a
// mistyped script gets.
#include <gtest/gtest.h>

#include "replayscript.h"

namespace {

using replay::Step;

TEST(ReplayScript, ReadsEveryCommand)
{
    const char* text =
        "# two converters, one plugged later\n"
        "converter tty0 --type 7 --fault busy,code=0x8c   # skipped\n"
        "converter tty1 --type 5\n"
        "unplug tty1\n"
        "start\n"
        "\n"
        "plug tty1 --type 14\n"
        "wait-log \"No mini found for pos 0\"\n"
        "set 1 eParamID_Name \"two words\"\n"
        "wait-value 0 eParamID_DeviceCount 0\n"
        "wait 250\n"
        "dump 0 eParamID_Device_1_* eParamID_DeviceCount\n"
        "dump 2\n"
        "status tty1 43 0x00 0xFF\n";
    replay::Script script;
    std::string error;
    ASSERT_TRUE(replay::ParseScript(text, script, &error)) << error;
    ASSERT_EQ(script.steps.size(), 12u);
    const Step& first = script.steps[0];
    EXPECT_EQ(first.kind, Step::Kind::Converter);
    EXPECT_EQ(first.line, 2);
    EXPECT_EQ(first.name, "tty0");
    EXPECT_EQ(first.args, (std::vector<std::string>{"--type", "7", "--fault", "busy,code=0x8c"}));
    EXPECT_EQ(script.steps[2].kind, Step::Kind::Unplug);
    EXPECT_EQ(script.steps[3].kind, Step::Kind::Start);
    EXPECT_EQ(script.steps[4].kind, Step::Kind::Plug);
    EXPECT_EQ(script.steps[4].args, (std::vector<std::string>{"--type", "14"}));
    EXPECT_EQ(script.steps[5].value, "No mini found for pos 0");
    EXPECT_EQ(script.steps[6].kind, Step::Kind::Set);
    EXPECT_EQ(script.steps[6].config, 1);
    EXPECT_EQ(script.steps[6].name, "eParamID_Name");
    EXPECT_EQ(script.steps[6].value, "two words");
    EXPECT_EQ(script.steps[7].kind, Step::Kind::WaitValue);
    EXPECT_EQ(script.steps[8].ms, 250);
    EXPECT_EQ(script.steps[9].args, (std::vector<std::string>{"eParamID_Device_1_*", "eParamID_DeviceCount"}));
    EXPECT_EQ(script.steps[10].config, 2);
    EXPECT_TRUE(script.steps[10].args.empty());
    EXPECT_EQ(script.steps[11].kind, Step::Kind::Status);
    EXPECT_EQ(script.steps[11].name, "tty1");
    EXPECT_EQ(script.steps[11].args, (std::vector<std::string>{"43", "0x00", "0xFF"}));
}

TEST(ReplayScript, MistakesNameTheirLine)
{
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"start\nfrobnicate\n", "line 2: unknown command \"frobnicate\""},
        {"converter\nstart\n", "line 1: converter needs a name of letters, digits and '_'"},
        {"converter tty/0\nstart\n", "line 1: converter needs a name of letters, digits and '_'"},
        {"converter a\nconverter a\nstart\n", "line 2: converter a declared twice"},
        {"start\nconverter a\n", "line 2: converters are declared before start"},
        {"start\nplug a\n", "line 2: no converter a"},
        {"converter a\nstart\nunplug b\n", "line 3: unplug needs the name of a declared converter"},
        {"start\nstart\n", "line 2: start given twice"},
        {"start now\n", "line 1: start takes nothing"},
        {"dump 0\n", "line 1: dump comes after start"},
        {"converter a\n", "line 1: no start"},
        {"start\nwait 60001\n", "line 2: wait needs milliseconds, at most 60000"},
        {"start\nwait -5\n", "line 2: wait needs milliseconds, at most 60000"},
        {"start\nwait-log \"open\n", "line 2: unclosed quote"},
        {"start\nwait-log a b\n", "line 2: wait-log needs one text (quote it when it has blanks)"},
        {"start\nset 5 eParamID_X 1\n", "line 2: set needs a config (0 to 4), an id name and a value"},
        {"start\nset 1 DeviceCount 1\n", "line 2: set needs a config (0 to 4), an id name and a value"},
        {"start\nwait-value 1 eParamID_X\n", "line 2: wait-value needs a config (0 to 4), an id name and a value"},
        {"start\ndump\n", "line 2: dump needs a config (0 to 4)"},
        {"converter a\nstart\nstatus a 43\n",
         "line 3: status needs a declared converter, a register 0 to 63 and bytes within the image"},
        {"converter a\nstart\nstatus b 43 1\n",
         "line 3: status needs a declared converter, a register 0 to 63 and bytes within the image"},
        {"converter a\nstart\nstatus a 64 1\n",
         "line 3: status needs a declared converter, a register 0 to 63 and bytes within the image"},
        {"converter a\nstart\nstatus a 63 1 2\n",
         "line 3: status needs a declared converter, a register 0 to 63 and bytes within the image"},
        {"converter a\nstart\nstatus a 43 0x100\n",
         "line 3: status needs a declared converter, a register 0 to 63 and bytes within the image"},
        {"converter a\nstatus a 43 1\nstart\n", "line 2: status comes after start"},
    };
    for (const auto& c : cases) {
        replay::Script script;
        std::string error;
        EXPECT_FALSE(replay::ParseScript(c.text, script, &error)) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
    }
}

TEST(ReplayScript, NamePatterns)
{
    const struct {
        const char* pattern;
        const char* name;
        bool match;
    } cases[] = {
        {"eParamID_DeviceCount", "eParamID_DeviceCount", true},
        {"eParamID_Device*", "eParamID_Device_1_Type", true},
        {"eParamID_Device_?_Type", "eParamID_Device_3_Type", true},
        {"eParamID_Device_?_Type", "eParamID_Device_3_SN", false},
        {"*_SN", "eParamID_Device_2_SN", true},
        {"*", "", true},
        {"eParamID_Dev", "eParamID_Device", false},
        {"eParamID_*_*_Name", "eParamID_Device_4_Name", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(replay::NameMatches(c.pattern, c.name), c.match) << c.pattern << " " << c.name;
}

} // namespace
