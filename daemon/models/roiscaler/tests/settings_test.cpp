// The settings on byte images: rotation, frame delay and flips kept
// consistent, genlock delays cut per output format, colours by the output's
// standard, the audio selection, and the monitor's name.
#include <gtest/gtest.h>

#include "roiscaler/decisions/blockvalues.h"
#include "roiscaler/values/tables.h"
#include "rulestesting.h"

using namespace rulestesting;

namespace {

using F = RoiField;

struct Orientation {
    int rotation, frameDelay, hFlip, vFlip, choice, marker;
};

Orientation Read(const BlockImage& block)
{
    const int state2 = block[F::_swStateSelect2];
    return {block[F::_rotation],    block[F::_frameDelay], block[F::_horizontalFlip],
            block[F::_verticalFlip], state2 & 1,            (state2 >> 1) & 1};
}

TEST(RoiSettings, RotationFrameDelayAndFlipsStayConsistent)
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
    const Status status = Typical();
    const RoiContext c = Linked(M, status);
    RoiScene scene = NewScene(M);
    for (const auto& s : steps) {
        SCOPED_TRACE(s.what);
        RoiOutcome o(scene);
        switch (s.op) {
        case Rotate:
            o = SetRotation(c, scene, s.value);
            break;
        case Delay:
            o = SetFrameDelay(c, scene, s.value);
            break;
        case HFlip:
            o = SetHorizFlip(c, scene, s.value);
            break;
        case VFlip:
            o = SetVertFlip(c, scene, s.value);
            break;
        }
        scene = o.scene;
        const Orientation r = Read(scene.block);
        EXPECT_EQ(r.rotation, s.expected.rotation);
        EXPECT_EQ(r.frameDelay, s.expected.frameDelay);
        EXPECT_EQ(r.hFlip, s.expected.hFlip);
        EXPECT_EQ(r.vFlip, s.expected.vFlip);
        EXPECT_EQ(r.choice, s.expected.choice);
        EXPECT_EQ(r.marker, s.expected.marker);
        // Every change goes out and restarts the timer, an unknown one too.
        EXPECT_EQ(Actions(o), "SWT");
    }
}

// Every output format's limits, and what a delay past them or without them
// becomes.
TEST(RoiSettings, DelaysCutToTheOutputFormat)
{
    const Status status = Typical();
    const RoiContext c = Linked(P, status);
    for (int i = 0; i < int(RasterFormats().size); ++i) {
        const RasterFormat* row = RasterFormatAt(i);
        SCOPED_TRACE(row->name);
        RoiScene scene = NewScene(P);
        scene.block.Set(F::_sdiOutVideoCtrl, row->formatCode << 4 | row->rateCode);
        int hMax = -1, vMax = -1;
        ASSERT_TRUE(DelayLimits(row->formatCode, row->rateCode, hMax, vMax));
        scene = SetHorizontalDelay(c, scene, 5000).scene;
        scene = SetVerticalDelay(c, scene, 5000).scene;
        EXPECT_EQ(scene.block[F::_horizontalDelay], hMax);
        EXPECT_EQ(scene.block[F::_verticalDelay], vMax);
        scene = SetHorizontalDelay(c, scene, 10).scene;
        EXPECT_EQ(scene.block[F::_horizontalDelay], 10);
    }
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
    for (const auto& k : cases) {
        RoiScene scene = NewScene(P);
        scene.block.Set(F::_sdiOutVideoCtrl, k.videoCtrl);
        scene = (k.horizontal ? SetHorizontalDelay(c, scene, k.delay) : SetVerticalDelay(c, scene, k.delay)).scene;
        EXPECT_EQ(scene.block[k.horizontal ? F::_horizontalDelay : F::_verticalDelay], k.expected) << k.videoCtrl;
    }
}

TEST(RoiSettings, BackgroundColourByTheOutputStandard)
{
    const struct {
        int videoCtrl;
        const char* text;
        int y, cb, cr;
    } cases[] = {
        {0x35, "#FFFFFF", 235, 128, 128}, // 625 lines: BT.601
        {0x35, "#ff0000", 81, 90, 240},
        {0x04, "#ff0000", 63, 102, 240}, // 1080 lines: BT.709
        {0x24, "ff0000", 81, 90, 240},   // 525 lines, no number sign
        {0x04, "red", 16, 128, 128},
    };
    const Status status = Typical();
    for (const auto& k : cases) {
        SCOPED_TRACE(k.text);
        RoiScene scene = NewScene(H);
        scene.block.Set(F::_sdiOutVideoCtrl, k.videoCtrl);
        const RoiScene set = SetBackgroundColor(Linked(H, status), scene, k.text).scene;
        EXPECT_EQ(set.block[F::_backColorY], k.y);
        EXPECT_EQ(set.block[F::_backColorCb], k.cb);
        EXPECT_EQ(set.block[F::_backColorCr], k.cr);
    }
    // The 8-bit step loses a little on the way back.
    RoiScene scene = NewScene(H);
    scene.block.Set(F::_sdiOutVideoCtrl, 0x35);
    scene = SetBackgroundColor(Linked(H, status), scene, "#ff0000").scene;
    Converter converter;
    EXPECT_EQ(converter.Readback(Linked(H, status), scene).values.value(H.Id(Param::BackgroundColor)).toString(),
              "#fe0000");
}

// Bits 2, 6 and 7 of the audio control carry the selection; each value
// reads back as itself, 3 keeps bits 2 and 6.
TEST(RoiSettings, AudioSelectionReadsBackAsItself)
{
    const Status status = Typical();
    const RoiContext c = Linked(P, status);
    RoiScene scene = NewScene(P);
    scene.block.Set(F::_audioControl, 0x21); // bits 0 and 5 stay
    const struct {
        int value, bits;
    } steps[] = {{1, 0x65}, {2, 0x25}, {3, 0xA5}, {0, 0x21}, {1, 0x65}, {3, 0xE5}, {9, 0x21}};
    for (const auto& s : steps) {
        scene = SetAudio(c, scene, s.value).scene;
        EXPECT_EQ(scene.block[F::_audioControl], s.bits) << s.value;
        EXPECT_EQ(AudioSelection(scene.block, true), s.value == 9 ? 0 : s.value);
    }
    EXPECT_EQ(AudioSelection(scene.block, false), 0);
    scene = SetAnalogMap(c, scene, 3).scene;
    scene = SetAudioConversion(c, scene, 1).scene;
    EXPECT_EQ(scene.block[F::_audioControl], 0x21 | 0x18 | 0x02);
    scene = SetAnalogMap(c, scene, 5).scene;
    EXPECT_EQ(scene.block[F::_audioControl] & 0x18, 0x08);
}

TEST(RoiSettings, EdidNameFromItsBytes)
{
    const struct {
        std::vector<UByte> bytes;
        const char* name;
    } cases[] = {
        {{'S', 't', 'u', 'd', 'i', 'o', '\t', ' ', 'M', 0xE9, 'o', 'n', 0}, "Studio Mon"},
        {{' ', 'A', 0, 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K'}, "A"},
        {{'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M'}, "ABCDEFGHIJKLM"},
        {{0, 'A', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, ""},
    };
    for (const auto& k : cases)
        EXPECT_EQ(EdidName(k.bytes.data(), int(k.bytes.size())), k.name);
    EXPECT_EQ(DefaultEdidName(), "Velora Mardex");
}

// The EDID switch goes out at once, without the timer; only Mardex has it.
TEST(RoiSettings, EdidFlowThrough)
{
    const Status status = Typical();
    const RoiOutcome on = SetEdid(Linked(M, status), NewScene(M), 1);
    EXPECT_EQ(on.scene.block[F::_edidSwitch], 1);
    EXPECT_EQ(Actions(on), "W");
    EXPECT_EQ(SetEdid(Linked(M, status), NewScene(M), 2).scene.block[F::_edidSwitch], 0);
    EXPECT_EQ(Actions(SetEdid(Linked(P, status), NewScene(P), 1)), "");
}

} // namespace
