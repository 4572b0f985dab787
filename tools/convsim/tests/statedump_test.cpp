// The state dump of tovik-convsim --dump: every block and the status image
// first, then only what changed.
#include "convsim/simulator.h"
#include "convsim/statedump.h"

#include <gtest/gtest.h>

namespace {

using convsim::Bytes;

TEST(StateDump, FirstEverythingThenChanges)
{
    convsim::Simulator sim(convsim::Personality::ForType(8));
    convsim::StateDump dump;
    const std::vector<std::string> first = dump.Changes(sim);
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[0], "config 0/0: 00 00 00 14");
    EXPECT_EQ(first[1].substr(0, 24), "status 0-63: 08 01 00 00");
    EXPECT_EQ(first[1].size(), std::string("status 0-63:").size() + 64 * 3);
    EXPECT_TRUE(dump.Changes(sim).empty());

    ASSERT_TRUE(sim.WriteRegisters(1, 0, 3, Bytes{0xAB}));
    EXPECT_EQ(dump.Changes(sim), std::vector<std::string>{first[1].substr(0, 22) + "AB" + first[1].substr(24)});
    ASSERT_TRUE(sim.WriteRegisters(1, 0, 64, Bytes{0xCD})); // outside the status image
    EXPECT_TRUE(dump.Changes(sim).empty());
}

TEST(StateDump, Lines)
{
    EXPECT_EQ(convsim::FormatBlockLine(2, 7, Bytes{0x01, 0xFE}), "config 2/7: 01 FE");
    EXPECT_EQ(convsim::FormatBlockLine(0, 0, Bytes{}), "config 0/0:");
    EXPECT_EQ(convsim::FormatStatusLine(Bytes{0x10, 0x20}), "status 0-1: 10 20");
}

} // namespace
