// The settings setters: rotation, frame delay and flips kept consistent,
// genlock delays clamped per output format, colours by the output's
// standard, audio selection, the reference alarm and the EDID name.
#include <gtest/gtest.h>

#include <QTimer>

#include "engine/ccmdengine.h"
#include "roiscaler/roitables.h"
#include "wrapperrig.h"

using namespace roiscaler;

namespace {

using F = RoiField;

struct Orientation {
    int rotation, frameDelay, hFlip, vFlip, choice, marker;
};

Orientation Read(const WrapperRig& rig)
{
    const int state2 = rig.Field(F::_swStateSelect2);
    return {rig.Field(F::_rotation), rig.Field(F::_frameDelay), rig.Field(F::_horizontalFlip),
            rig.Field(F::_verticalFlip), state2 & 1, (state2 >> 1) & 1};
}

TEST(RoiWrapperSettings, RotationFrameDelayAndFlipsStayConsistent)
{
    enum Op { Rotate, Delay, HFlip, VFlip };
    const struct {
        const char* what;
        Op op;
        int value;
        Orientation expected;
    } steps[] = {
        {"180 from a plain picture: marker, both flips", Rotate, 2, {0, 0, 1, 1, 0, 1}},
        {"back to 0: marker gone, flips back", Rotate, 0, {0, 0, 0, 0, 0, 0}},
        {"frame delay on", Delay, 1, {0, 1, 0, 0, 1, 0}},
        {"90 clears the delay", Rotate, 1, {2, 0, 0, 0, 1, 0}},
        {"0 restores the chosen delay", Rotate, 0, {0, 1, 0, 0, 1, 0}},
        {"a flip", HFlip, 1, {0, 1, 1, 0, 1, 0}},
        {"delay off while flipped: only the choice", Delay, 0, {0, 1, 1, 0, 0, 0}},
        {"delay on while flipped: only the choice", Delay, 1, {0, 1, 1, 0, 1, 0}},
        {"the flip off applies the choice", HFlip, 0, {0, 1, 0, 0, 1, 0}},
        {"180 again", Rotate, 2, {0, 1, 1, 1, 1, 1}},
        {"180 once more keeps the turn", Rotate, 2, {0, 1, 1, 1, 1, 1}},
        {"a flip on under 180 clears it", HFlip, 1, {0, 1, 0, 1, 1, 1}},
        {"vertical flip off under 180 sets it", VFlip, 0, {0, 1, 0, 1, 1, 1}},
        {"270 leaves 180: flips inverted", Rotate, 3, {3, 1, 1, 0, 1, 0}},
        {"an unknown rotation changes nothing", Rotate, 7, {3, 1, 1, 0, 1, 0}},
    };
    WrapperRig rig(kMardex);
    ASSERT_TRUE(rig.Start());
    for (const auto& s : steps) {
        SCOPED_TRACE(s.what);
        switch (s.op) {
        case Rotate:
            rig.W().SelectOutRotation(s.value);
            break;
        case Delay:
            rig.W().SelectOutFrameDelay(s.value);
            break;
        case HFlip:
            rig.W().SelectOutHorizFlip(s.value);
            break;
        case VFlip:
            rig.W().SelectOutVertFlip(s.value);
            break;
        }
        const Orientation o = Read(rig);
        EXPECT_EQ(o.rotation, s.expected.rotation);
        EXPECT_EQ(o.frameDelay, s.expected.frameDelay);
        EXPECT_EQ(o.hFlip, s.expected.hFlip);
        EXPECT_EQ(o.vFlip, s.expected.vFlip);
        EXPECT_EQ(o.choice, s.expected.choice);
        EXPECT_EQ(o.marker, s.expected.marker);
    }
}

// What clients see after a reread: rotation 0 under the marker is 180
// degrees, with both flips shown relative to it.
TEST(RoiWrapperSettings, OrientationReadsBack)
{
    WrapperRig rig(kQuastel);
    ASSERT_TRUE(rig.Start());
    const quint32 rotation = rig.Id(Param::CfgOutRotation);
    const quint32 hFlip = rig.Id(Param::OutHorizFlipCk);
    const quint32 vFlip = rig.Id(Param::OutVertFlipCk);
    const quint32 delay = rig.Id(Param::OutFrameDelay);
    const quint32 delayCk = rig.Id(Param::OutFrameDelayCk);

    rig.Set(rotation, 2u);
    EXPECT_EQ(rig.Value(rotation), QVariant(2u));
    EXPECT_EQ(rig.Value(hFlip), QVariant(false));
    EXPECT_EQ(rig.Value(vFlip), QVariant(false));
    EXPECT_EQ(rig.Value(delay), QVariant(true));

    rig.Set(rotation, 1u);
    EXPECT_EQ(rig.Value(rotation), QVariant(1u));
    rig.Set(rotation, 0u);
    rig.Set(delayCk, 1u);
    EXPECT_EQ(rig.Value(rotation), QVariant(0u));
    EXPECT_EQ(rig.Value(delayCk), QVariant(true));
    EXPECT_EQ(rig.Value(delay), QVariant(true));
    rig.Set(vFlip, 1u);
    EXPECT_EQ(rig.Value(vFlip), QVariant(true));
    rig.Set(rotation, 3u);
    EXPECT_EQ(rig.Value(rotation), QVariant(3u));
}

TEST(RoiWrapperSettings, DelaysClampedToEveryOutputFormat)
{
    WrapperRig rig(kPendro);
    ASSERT_TRUE(rig.Start());
    for (int i = 0; i < 16; ++i) {
        const RasterFormat* row = RasterFormatAt(i);
        SCOPED_TRACE(row->name);
        rig.W().SelectSdiOutFormat(i);
        int hMax = -1, vMax = -1;
        ASSERT_TRUE(DelayLimits(row->formatCode, row->rateCode, hMax, vMax));
        rig.W().SelectHorizontalDelay(5000);
        rig.W().SelectVerticalDelay(5000);
        EXPECT_EQ(rig.Field(F::_horizontalDelay), hMax);
        EXPECT_EQ(rig.Field(F::_verticalDelay), vMax);
        rig.W().SelectHorizontalDelay(10);
        EXPECT_EQ(rig.Field(F::_horizontalDelay), 10);
    }
    // The written cases.
    const struct {
        int videoCtrl;
        bool horizontal;
        int delay, expected;
    } cases[] = {
        {0x04, true, 3000, 2199},
        {0x18, false, 800, 749},
        {0x01, true, 100, 0}, // 1080i at 60: no limits, every delay is 0
        {0x01, false, 100, 0},
        {0x71, true, 100, 0},
        // A value past int range arrives negative: no delay rather than its
        // low 16 bits.
        {0x04, true, -1, 0},
        {0x18, false, -800, 0},
    };
    for (const auto& c : cases) {
        rig.W().Block()->SetField(F::_sdiOutVideoCtrl, c.videoCtrl);
        if (c.horizontal)
            rig.W().SelectHorizontalDelay(c.delay);
        else
            rig.W().SelectVerticalDelay(c.delay);
        EXPECT_EQ(rig.Field(c.horizontal ? F::_horizontalDelay : F::_verticalDelay), c.expected) << c.videoCtrl;
    }
}

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

TEST(RoiWrapperSettings, BackgroundColourByTheOutputStandard)
{
    WrapperRig rig(kHestra);
    ASSERT_TRUE(rig.Start());
    rig.W().SelectSdiOutFormat(1); // 625 lines: BT.601
    rig.Set(rig.Id(Param::BackgroundColor), QString("#FFFFFF"));
    EXPECT_EQ(rig.Memory(18), 235);
    EXPECT_EQ(rig.Memory(19), 128);
    EXPECT_EQ(rig.Memory(17), 128);
    EXPECT_EQ(rig.S(Param::BackgroundColor), "#ffffff");
    rig.Set(rig.Id(Param::BackgroundColor), QString("#ff0000"));
    EXPECT_EQ(rig.Memory(18), 81);
    EXPECT_EQ(rig.Memory(19), 90);
    EXPECT_EQ(rig.Memory(17), 240);
    // The 8-bit step loses a little on the way back.
    EXPECT_EQ(rig.S(Param::BackgroundColor), "#fe0000");
}

TEST(RoiWrapperSettings, AudioSelectionReadsBackAsItself)
{
    WrapperRig rig(kPendro);
    ASSERT_TRUE(rig.Start());
    for (unsigned v : {1u, 2u, 3u, 0u, 3u}) {
        rig.Set(rig.Id(Param::AudInSelect), v);
        EXPECT_EQ(rig.U(Param::AudInSelect), v);
    }
    // 3 keeps bits 2 and 6 as they were.
    rig.Set(rig.Id(Param::AudInSelect), 1u);
    rig.Set(rig.Id(Param::AudInSelect), 3u);
    EXPECT_EQ(rig.Memory(39) & 0xC4, 0xC4);
    rig.Set(rig.Id(Param::AudAnalogOutMap), 3u);
    rig.Set(rig.Id(Param::AudConversion), 1u);
    EXPECT_EQ(rig.U(Param::AudAnalogOutMap), 3u);
    EXPECT_EQ(rig.U(Param::AudConversion), 1u);
    EXPECT_EQ(rig.U(Param::AudInSelect), 3u);
}

TEST(RoiWrapperSettings, GenlockDelayAvailability)
{
    const struct {
        const char* what;
        unsigned source;
        UByte reference; // status byte 42
        UByte lock;      // status byte 53
        const char* alarm;
        bool enable, show;
    } cases[] = {
        {"free run with a reference", 3, 0x80, 0x20, "Reference is incompatible with the Output Format", false, false},
        {"no reference", 0, 0x00, 0x20, "No reference present", true, true},
        {"locked to the reference", 2, 0x80, 0x20, "", true, true},
        {"locked to the input", 0, 0x80, 0x10, "Reference is incompatible with the Output Format", false, true},
    };
    WrapperRig rig(kQuastel);
    ASSERT_TRUE(rig.Start());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        rig.SetStatus(42, {c.reference});
        rig.SetStatus(53, {c.lock});
        rig.W().ReadStatusBlock();
        rig.Set(rig.Id(Param::Genlock), c.source);
        EXPECT_EQ(rig.S(Param::GenlockRefAlarmStr).toStdString(), c.alarm);
        EXPECT_EQ(rig.Value(rig.Id(Param::GenDelayEnable)), QVariant(c.enable));
        EXPECT_EQ(rig.Value(rig.Id(Param::GenDelayShow)), QVariant(c.show));
    }
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
