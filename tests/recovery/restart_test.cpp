// Portvane killed with SIGKILL while converters are bound: the ports keep
// the line settings of the dead process, and a new Portvane takes every
// converter back at once.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <map>

#include "childprocess.h"
#include "portvanerig.h"

namespace {

using Clock = std::chrono::steady_clock;
using tovik::test::CountOf;
using tovik::test::PortvaneRig;
using tovik::test::WaitUntil;

// The four scaler models, in port order, and the types they publish.
const int kTypes[] = {5, 14, 18, 19};
const char* const kPublished[] = {"6", "15", "19", "20"};

TEST(RestartTest, KilledDaemonsSuccessorTakesBackEveryConverter)
{
    PortvaneRig rig("tovik-restart");
    ASSERT_TRUE(rig.StartStore());
    for (int type : kTypes)
        ASSERT_TRUE(rig.Plug("tty" + std::to_string(type), type));
    ASSERT_TRUE(rig.StartDaemon());
    ASSERT_TRUE(rig.WaitForDeviceCount(4, 30000)) << rig.DaemonLog();

    // Twice, as a supervisor would restart it.
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        ASSERT_EQ(rig.Daemon().Stop(SIGKILL, 5000), 128 + SIGKILL);
        const Clock::time_point started = Clock::now();
        ASSERT_TRUE(rig.StartDaemon());
        // The store still shows what the killed daemon published: the new
        // one's own lines count.
        ASSERT_TRUE(WaitUntil([&] { return CountOf(rig.DaemonLog(), " added with config id ") == 4; }, 10000))
            << rig.DaemonLog();
        const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started).count();
        std::printf("round %d: all four bound %lld ms after the start\n", round, static_cast<long long>(took));

        std::map<std::string, std::string> box = rig.Box();
        EXPECT_EQ(box["eParamID_DeviceCount"], "4");
        for (int slot = 1; slot <= 4; ++slot) {
            const std::string p = "eParamID_Device_" + std::to_string(slot) + "_";
            EXPECT_EQ(box[p + "Type"], kPublished[slot - 1]) << slot;
            EXPECT_EQ(box[p + "CxnStatus"], "0") << slot;
        }
        EXPECT_EQ(rig.DaemonLog().find("Error setting tty attributes"), std::string::npos) << rig.DaemonLog();
    }
    EXPECT_EQ(rig.Daemon().Stop(SIGTERM, 10000), 0) << rig.DaemonLog();
}

} // namespace
