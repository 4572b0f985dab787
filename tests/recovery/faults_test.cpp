// A converter that misbehaves for a few seconds in one of the simulator's
// ways, then answers normally again: Portvane lets it go, as before, and
// takes it back into a slot without a replug; the other converter's slot
// never changes meanwhile.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <thread>

#include "boxwatch.h"
#include "childprocess.h"
#include "portvanerig.h"

namespace {

using tovik::test::CountOf;
using tovik::test::PortvaneRig;
using tovik::test::WaitUntil;

struct FaultCase {
    const char* name;
    const char* fault; // the simulator's fault text, on every command
    bool lost;         // the daemon lets the converter go
};

class FaultRecoveryTest : public ::testing::TestWithParam<FaultCase> {};

TEST_P(FaultRecoveryTest, ConverterComesBackAndTheOtherSlotNeverBlinks)
{
    const FaultCase& c = GetParam();
    PortvaneRig rig("tovik-faults");
    ASSERT_TRUE(rig.StartStore());
    ASSERT_TRUE(rig.Plug("victim", 5));
    ASSERT_TRUE(rig.Plug("bystander", 19));
    ASSERT_TRUE(rig.StartDaemon());
    ASSERT_TRUE(rig.WaitForDeviceCount(2, 30000)) << rig.DaemonLog();
    BoxWatch bystander({2});
    ASSERT_TRUE(bystander.Ok());

    ASSERT_TRUE(rig.Tell("victim", std::string("fault ") + c.fault));
    if (c.lost) {
        EXPECT_TRUE(WaitUntil([&] { return CountOf(rig.DaemonLog(), "\"Rozo 0 (configid 1) left\"") == 1; }, 10000))
            << rig.DaemonLog();
    } else {
        std::this_thread::sleep_for(std::chrono::seconds(3));
    }
    std::this_thread::sleep_for(std::chrono::seconds(2));
    ASSERT_TRUE(rig.Tell("victim", "clearfaults"));

    // Back in its slot, the same simulator process: no replug.
    const auto back = [&] {
        std::map<std::string, std::string> box = rig.Box();
        return box["eParamID_DeviceCount"] == "2" && box["eParamID_Device_1_Type"] == "6" &&
               box["eParamID_Device_1_CxnStatus"] == "0";
    };
    EXPECT_TRUE(WaitUntil(back, 25000)) << rig.DaemonLog();
    EXPECT_TRUE(rig.Converter("victim")->Running());
    if (c.lost) {
        EXPECT_EQ(CountOf(rig.DaemonLog(), "\"Rozo 0 added with config id 1\""), 2) << "bound a second time";
    }

    std::string blinks;
    for (const std::string& change : bystander.Changes())
        blinks += change + " ";
    EXPECT_TRUE(blinks.empty()) << blinks;
    std::map<std::string, std::string> box = rig.Box();
    EXPECT_EQ(box["eParamID_Device_2_Type"], "20");
    EXPECT_EQ(box["eParamID_Device_2_CxnStatus"], "0");
    EXPECT_TRUE(rig.Daemon().Running());
}

const FaultCase kFaults[] = {
    {"Silence", "silence", true},
    {"Garbage", "garbage", true},
    {"WrongReplyCode", "wrongcode", true},
    {"ThreeSecondDelays", "delay,ms=3000", true},
    {"ErrorStatus", "error", true},
    {"UnknownCommand", "unknown", true},
    {"Busy", "busy,count=2", false},
    {"SplitAnswers", "split,gap=50", false},
};

INSTANTIATE_TEST_SUITE_P(Faults, FaultRecoveryTest, ::testing::ValuesIn(kFaults),
                         [](const ::testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

} // namespace
