// The watch commands and value events, which arrive on the store's thread
// while commands run on this one.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "childprocess.h"
#include "interpreterfixture.h"

using tovik::test::WaitUntil;

namespace knobtest {
namespace {

class WatchTest : public InterpreterTest {
protected:
    // Waits until the stream holds text (bounded).
    bool WaitForText(StreamCapture& stream, const std::string& text)
    {
        return WaitUntil([&] { return stream.All().find(text) != std::string::npos; }, 5000);
    }
};

TEST_F(WatchTest, WatchCommands)
{
    Table({
        {"watches", 1, "", ""},
        {"watch Level", 1, "", ""},
        {"watch Level", 1, "", ""},
        {"iswatched Level", 1, "eParamID_Level is watched\n", ""},
        {"iswatched Mode", 1, "eParamID_Mode is not watched\n", ""},
        {"watches", 1, "watching eParamID_Level\nwatching eParamID_Level\n", ""},
        // One unwatch leaves the second entry.
        {"unwatch Level", 1, "", ""},
        {"iswatched eParamID_Level", 1, "eParamID_Level is watched\n", ""},
        {"unwatch Mode", 1, "", ""},
        {"watches", 1, "watching eParamID_Level\n", ""},
        {"watch *", 1, "", ""},
        {"watches", 1,
         "watching eParamID_Level\nwatching eParamID_Level\nwatching eParamID_Mode\nwatching eParamID_Label\n"
         "watching eParamID_Blob\nwatching eParamID_Gain\nwatching eParamID_Odd\n",
         ""},
        {"unwatch *", 1, "", ""},
        {"watches", 1, "", ""},
        {"watch Nope", 0, "Invalid paramID eParamID_Nope\n", ""},
        {"unwatch Nope", 0, "Invalid paramID eParamID_Nope\n", ""},
        {"iswatched Nope", 0, "Invalid paramID eParamID_Nope\n", ""},
        {"watch ", 0, "", "watch error: : Invalid argument\n"},
        {"unwatch ", 0, "", "unwatch error: : Invalid argument\n"},
        {"iswatched ", 0, "", "iswatched: missing argument\n"},
        {"watch *anything", 1, "", ""},
        {"unwatch *x", 1, "", ""},
        {"watches", 1, "", ""},
    });
}

TEST_F(WatchTest, WatchesListsABareIdWithoutADescriptor)
{
    Run("watch Mode");
    _config->hidden = {kMode};
    EXPECT_EQ(Run("watches").out, "watching 0xA000101\n");
}

TEST_F(WatchTest, ChangesOfWatchedParametersArriveFromTheStoreThread)
{
    Run("watch Level");
    Run("watch Mode");
    Run("watch Label");
    Run("watch Blob");
    Config* other = OtherClient();
    ASSERT_NE(other, nullptr);

    // Not watched: nothing is printed for it.
    ASSERT_TRUE(other->SetIntegerValue(kGain, 3));
    ASSERT_TRUE(other->SetIntegerValue(kLevel, 9));
    ASSERT_TRUE(WaitForText(_out, "event: eParamID_Level = 9 \n")) << _out.All();
    ASSERT_TRUE(other->SetIntegerValue(kMode, 2));
    ASSERT_TRUE(WaitForText(_out, "event: eParamID_Mode = 2 (Manual)\n")) << _out.All();
    ASSERT_TRUE(other->SetStringValue(kLabel, "new text"));
    ASSERT_TRUE(WaitForText(_out, "event: eParamID_Label = \"new text\"\n")) << _out.All();
    ASSERT_TRUE(other->SetDataValue(kBlob, std::string("\x01\x02\x03", 3)));
    ASSERT_TRUE(WaitForText(_err, "event: eParamID_Blob = 3 bytes\n")) << _err.All();
    EXPECT_EQ(_out.Take(),
              "event: eParamID_Level = 9 \n"
              "event: eParamID_Mode = 2 (Manual)\n"
              "event: eParamID_Label = \"new text\"\n");
    EXPECT_EQ(_err.Take(), "event: eParamID_Blob = 3 bytes\n");

    Run("hex");
    ASSERT_TRUE(other->SetIntegerValue(kLevel, 255));
    ASSERT_TRUE(WaitForText(_out, "event: eParamID_Level = 0xFF \n")) << _out.All();
    Run("unwatch *");
    _out.Take();
    ASSERT_TRUE(other->SetIntegerValue(kLevel, 1));
    // A watched change after it proves the unwatched one printed nothing.
    Run("watch Mode");
    ASSERT_TRUE(other->SetIntegerValue(kMode, 5));
    ASSERT_TRUE(WaitForText(_out, "event: eParamID_Mode = 0x5 (Off)\n")) << _out.All();
    EXPECT_EQ(_out.Take(), "event: eParamID_Mode = 0x5 (Off)\n");
}

TEST_F(WatchTest, EventsWithoutADescriptorAlwaysReachStandardError)
{
    timeval now{};
    std::string text = "t";
    std::string bytes(4, 'b');
    std::thread store([&] {
        EXPECT_EQ(_knobctl->IntegerChanged(kNoDescriptor, 255, now), 0);
        EXPECT_EQ(_knobctl->StringChanged(kNoDescriptor, text, now), 0);
        EXPECT_EQ(_knobctl->DataChanged(kNoDescriptor, bytes, now), 0);
        EXPECT_EQ(_knobctl->DataChanged(kBlob, bytes, now), 1);
    });
    store.join();
    EXPECT_EQ(_out.Take(), "");
    EXPECT_EQ(_err.Take(),
              "event: param 0xA0009FF = 0xFF (NO DESCRIPTOR FOUND!!!)\n"
              "event: param 0xA0009FF = t (NO DESCRIPTOR FOUND!!!)\n"
              "event: param 0xA0009FF = 4 bytes (NO DESCRIPTOR FOUND!!!)\n");
}

// Commands change the watch list and the format while events read them;
// under the sanitizers a torn read or a freed list shows here.
TEST_F(WatchTest, CommandsAndEventsAtOnce)
{
    Config* other = OtherClient();
    ASSERT_NE(other, nullptr);
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        for (int i = 0; !stop.load() && i < 20000; ++i)
            other->SetIntegerValue(kLevel, i);
    });
    for (int i = 0; i < 300; ++i) {
        Run("watch *");
        Run(i % 2 ? "hex" : "decimal");
        Run("unwatch Level");
        Run("watches");
        if (i % 10 == 0)
            Run("unwatch *");
    }
    stop = true;
    writer.join();
    Run("unwatch *");
    const std::string out = _out.All();
    EXPECT_EQ(out.find("NO DESCRIPTOR"), std::string::npos);
}

} // namespace
} // namespace knobtest
