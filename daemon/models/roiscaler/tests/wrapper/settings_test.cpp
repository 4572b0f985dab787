// Settings on simulated converters: the readback's delay cut that sends
// the block, and the monitor's name read from the converter. The settings
// themselves are tested on byte images (roiscaler_decisions_tests).
#include <gtest/gtest.h>

#include <QTimer>

#include "engine/ccmdengine.h"
#include "wrapperrig.h"

using namespace roiscaler;

namespace {

using F = RoiField;

TEST(RoiWrapperSettings, ReadbackClampsDelaysThatExceedTheFormat)
{
    WrapperRig rig(kMardex);
    ASSERT_TRUE(rig.Start());
    rig.W().SelectSdiOutFormat(2); // 720p50: 1979 x 749
    rig.W().Block()->SetField(F::_horizontalDelay, 2500);
    rig.W().Engine()->WriteConfigBlock(0, 0);
    rig.W().ReadDeviceConfig();
    EXPECT_EQ(rig.U(Param::GenHDelay), 2500u);
    EXPECT_EQ(rig.U(Param::GenHDelayMax), 1979u);
    EXPECT_EQ(rig.U(Param::GenVDelayMax), 749u);
    EXPECT_EQ(rig.Field(F::_horizontalDelay), 1979);
    rig.W().ReadDeviceConfig();
    EXPECT_EQ(rig.U(Param::GenHDelay), 1979u);
}

TEST(RoiWrapperSettings, EdidNameFromTheConverter)
{
    WrapperRig rig(kMardex);
    ASSERT_TRUE(rig.Start());
    EXPECT_EQ(rig.W().GetEdidName(), "");
    rig.SetStatus(74, {'S', 't', 'u', 'd', 'i', 'o', '\t', ' ', 'M', 0xE9, 'o', 'n', 0});
    EXPECT_EQ(rig.W().GetEdidName(), "Studio Mon");
    rig.SetStatus(74, {' ', 'A', 0, 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K'});
    EXPECT_EQ(rig.W().GetEdidName(), "A");
    convsim::Fault refuse;
    refuse.kind = convsim::Fault::Kind::ErrorStatus;
    refuse.code = 0x9E;
    refuse.times = 1;
    rig.Sim().AddFault(refuse);
    EXPECT_EQ(rig.W().GetEdidName(), "Velora Mardex");
    rig.W().Engine()->SetConnected(false);
    EXPECT_EQ(rig.W().GetEdidName(), "Velora Mardex");
}

} // namespace
