// A client's acknowledged sets of a converter's genlock delay, as fast as
// the store answers: once the last one is acknowledged, no read and no
// event of the parameter shows an older value, through the daemon's
// rereads and its configuration timer, and the converter holds the last
// value. The store, a simulated Hestra and Portvane are the built programs.
#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "portvanerig.h"
#include "setburst.h"

namespace {

using tovik::test::BurstOutcome;
using tovik::test::PortvaneRig;
using tovik::test::SetBurst;

const int kHestraType = 5;
const int kHestraModelNumber = 6;
// Past the configuration timer's rewrite and reread (2000 ms) and the
// readback and status pass after it.
const int kWatchMs = 3000;

std::string Values(const std::vector<int>& values)
{
    std::ostringstream text;
    for (int v : values)
        text << v << ' ';
    return text.str();
}

// The bytes of the last dump line that starts with prefix.
std::vector<int> LastDump(const std::string& output, const std::string& prefix)
{
    std::vector<int> bytes;
    const size_t at = output.rfind("\n" + prefix);
    if (at == std::string::npos)
        return bytes;
    const size_t from = at + 1 + prefix.size();
    std::istringstream hex(output.substr(from, output.find('\n', from) - from));
    std::string word;
    while (hex >> word)
        bytes.push_back(std::stoi(word, nullptr, 16));
    return bytes;
}

// The horizontal delay in a scaler's register image from register 3 on:
// bits 7..0 in register 21, bits 11..8 in bits 6..3 of register 35.
int HorizontalDelay(const std::vector<int>& image)
{
    if (image.size() < 33)
        return -1;
    return image[18] | ((image[32] >> 3) & 0x0F) << 8;
}

class SetBurstTest : public ::testing::TestWithParam<int> {};

TEST_P(SetBurstTest, NothingOlderThanTheLastAcknowledgedValueIsShown)
{
    const int count = GetParam();
    PortvaneRig rig("tovik-setburst");
    ASSERT_TRUE(rig.StartStore());
    ASSERT_TRUE(rig.Plug("ttyA", kHestraType, {"--dump"}));
    ASSERT_TRUE(rig.StartDaemon());
    ASSERT_TRUE(rig.WaitForDeviceCount(1, 30000)) << rig.DaemonLog();
    // The wrapper's first rereads are over.
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));

    SetBurst burst(1, kHestraModelNumber, "eParamID_GenHDelay");
    ASSERT_TRUE(burst.Ok());
    const BurstOutcome out = burst.Run(1000, count, kWatchMs);
    EXPECT_EQ(out.refused, 0);
    EXPECT_TRUE(out.lastEventSeen);
    EXPECT_TRUE(out.eventsAfterLast.empty()) << "events after the last value: " << Values(out.eventsAfterLast);
    EXPECT_GT(out.reads, 100);
    EXPECT_TRUE(out.staleReads.empty()) << out.staleReads.size() << " of " << out.reads
                                        << " reads answered another value: " << Values(out.staleReads);

    // The converter holds it: in its configuration memory and its live
    // registers (the status image starts at register 0).
    const std::string sim = rig.Converter("ttyA")->Output();
    EXPECT_EQ(HorizontalDelay(LastDump(sim, "config 0/0: ")), out.last);
    std::vector<int> registers = LastDump(sim, "status 0-63: ");
    ASSERT_GE(registers.size(), 3u);
    registers.erase(registers.begin(), registers.begin() + 3);
    EXPECT_EQ(HorizontalDelay(registers), out.last);
    EXPECT_EQ(burst.Read(), out.last);
}

INSTANTIATE_TEST_SUITE_P(Sets, SetBurstTest, ::testing::Values(300, 20),
                         [](const ::testing::TestParamInfo<int>& info) { return std::to_string(info.param); });

} // namespace
