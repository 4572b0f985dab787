// The one-shot get and set: output, statuses and number reading.
#include <gtest/gtest.h>

#include "interpreterfixture.h"
#include "oneshot.h"

namespace knobtest {
namespace {

TEST_F(InterpreterTest, OneShotGet)
{
    const struct {
        const char* name;
        int status;
        const char* out;
    } cases[] = {
        {"eParamID_Level", 0, "5\n"},
        {"eParamID_Mode", 0, "1\n"},
        {"eParamID_Label", 0, "abc\n"},
        {"Level", 1, ""},
        {"eParamID_Nope", 1, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(OneShotGet(*_knobctl, c.name), c.status);
        EXPECT_EQ(_out.Take(), c.out);
        EXPECT_EQ(_err.Take(), "");
    }
    Run("hex");
    EXPECT_EQ(OneShotGet(*_knobctl, "eParamID_Level"), 0);
    EXPECT_EQ(_out.Take(), "0x5\n");
}

TEST_F(InterpreterTest, OneShotSet)
{
    const struct {
        const char* name;
        const char* value;
        int status;
        const char* out;
        const char* err;
        const char* after;  // the one-shot get afterwards
    } cases[] = {
        {"eParamID_Level", "42", 0, "true\n", "", "42\n"},
        {"eParamID_Level", "0x1F", 0, "true\n", "", "31\n"},
        {"eParamID_Level", "010", 0, "true\n", "", "8\n"},
        {"eParamID_Level", "-3", 0, "true\n", "", "-3\n"},
        {"eParamID_Level", "0xFFFFFFFF", 0, "true\n", "", "-1\n"},
        {"eParamID_Level", "12abc", 0, "true\n", "", "12\n"},
        {"eParamID_Level", "0x100000000", 2, "false\n", "Invalid value 0x100000000\n", "12\n"},
        {"eParamID_Level", "abc", 2, "false\n", "Invalid value abc\n", "12\n"},
        {"eParamID_Label", "two words", 0, "true\n", "", "two words\n"},
        {"Level", "1", 1, "", "", "12\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + c.value);
        EXPECT_EQ(OneShotSet(*_knobctl, c.name, c.value), c.status);
        EXPECT_EQ(_out.Take(), c.out);
        EXPECT_EQ(_err.Take(), c.err);
        const std::string name = std::string(c.name).find("Label") != std::string::npos ? "eParamID_Label"
                                                                                         : "eParamID_Level";
        OneShotGet(*_knobctl, name);
        EXPECT_EQ(_out.Take(), c.after);
    }
}

TEST_F(InterpreterTest, OneShotSetRefused)
{
    _config->refuseSets = true;
    EXPECT_EQ(OneShotSet(*_knobctl, "eParamID_Level", "1"), 2);
    EXPECT_EQ(_out.Take(), "false\n");
    EXPECT_EQ(_err.Take(), "Set failed\n");
    EXPECT_EQ(OneShotSet(*_knobctl, "eParamID_Label", "x"), 3);
    EXPECT_EQ(_out.Take(), "false\n");
    EXPECT_EQ(_err.Take(), "Set failed\n");
}

} // namespace
} // namespace knobtest
