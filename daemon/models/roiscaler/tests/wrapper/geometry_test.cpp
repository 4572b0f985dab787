// The region geometry on simulated scalers: the fit step's mapping into the
// output, the constraint step's selections with their device codes, the
// coordinate setters, centring, select-all, and the two steps calling each
// other.
#include <gtest/gtest.h>

#include <QTimer>

#include "engine/ccmdengine.h"
#include "roiscaler/roitables.h"
#include "roiscaler/screenproxy.h"
#include "wrapperrig.h"

using namespace roiscaler;

namespace {

using F = RoiField;

QRect BlockIn(const WrapperRig& rig)
{
    return QRect(rig.Field(F::_inputHStartOffset), rig.Field(F::_inputVStartOffset), rig.Field(F::_inputActivePixels),
                 rig.Field(F::_inputActiveLines));
}

QRect BlockOut(const WrapperRig& rig)
{
    return QRect(rig.Field(F::_outputHStartOffset), rig.Field(F::_outputVStartOffset),
                 rig.Field(F::_outputActivePixels), rig.Field(F::_outputActiveLines));
}

// The window as the converter's configuration memory holds it.
QRect MemoryOut(const WrapperRig& rig)
{
    auto twelve = [&rig](int low, int nibbleReg, bool high) {
        const int n = rig.Memory(nibbleReg);
        return rig.Memory(low) | (high ? n >> 4 : n & 0x0F) << 8;
    };
    return QRect(twelve(12, 13, true), twelve(14, 13, false), twelve(9, 10, true), twelve(11, 10, false));
}

void PutIn(WrapperRig& rig, const QRect& r)
{
    rig.W().Block()->SetField(F::_inputHStartOffset, r.x());
    rig.W().Block()->SetField(F::_inputVStartOffset, r.y());
    rig.W().Block()->SetField(F::_inputActivePixels, r.width());
    rig.W().Block()->SetField(F::_inputActiveLines, r.height());
}

void PutOut(WrapperRig& rig, const QRect& r)
{
    rig.W().Block()->SetField(F::_outputHStartOffset, r.x());
    rig.W().Block()->SetField(F::_outputVStartOffset, r.y());
    rig.W().Block()->SetField(F::_outputActivePixels, r.width());
    rig.W().Block()->SetField(F::_outputActiveLines, r.height());
}

// The converter measures an input raster of w x h (status bytes 45 to 51).
void MeasureInput(WrapperRig& rig, int w, int h)
{
    rig.SetStatus(45, {UByte(w >> 8 & 0x0F), UByte(w)});
    rig.SetStatus(50, {UByte(h), UByte((h >> 8 & 0x0F) << 4)});
    rig.W().ReadStatusBlock();
}

TEST(RoiWrapperGeometry, FitModesMapIntoTheOutput)
{
    const struct {
        const char* what;
        int fit;
        bool usePrefs;
        QSize measured;
        int outputFormat; // raster table index
        QRect roi, window, expected;
    } cases[] = {
        {"auto scale: the whole input", 0, false, {1920, 1200}, 6, {10, 10, 100, 100}, {}, {96, 0, 1728, 1080}},
        {"scale aspect of a 525-line region", 1, false, {720, 486}, 6, {0, 0, 720, 486}, {}, {240, 0, 1440, 1080}},
        {"full screen", 2, false, {1920, 1080}, 2, {0, 0, 720, 486}, {}, {0, 0, 1280, 720}},
        {"no scale, region wider than the output", 3, false, {1920, 1080}, 2, {0, 0, 1920, 600}, {}, {0, 60, 1280, 600}},
        {"no scale, region of the output's size", 3, false, {1920, 1080}, 2, {5, 5, 1280, 720}, {}, {0, 0, 1280, 720}},
        {"variable, clipped", 4, false, {1920, 1080}, 6, {}, {1800, 0, 400, 1080}, {1520, 0, 400, 1080}},
        {"variable, the preferred inset", 4, true, {1920, 1080}, 6, {}, {0, 0, 1920, 1080}, {192, 108, 1536, 864}},
        {"variable, a window at 0 that is not the raster", 4, true, {1920, 1080}, 6, {}, {0, 0, 100, 100},
         {0, 0, 100, 100}},
    };
    WrapperRig rig(kMardex);
    ASSERT_TRUE(rig.Start());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        rig.W().SelectSdiOutFormat(c.outputFormat);
        MeasureInput(rig, c.measured.width(), c.measured.height());
        PutIn(rig, c.roi);
        PutOut(rig, c.window);
        rig.W().Engine()->WriteConfigBlock(0, 0);
        rig.W().SelectRoiFit(c.fit, c.usePrefs);
        EXPECT_EQ(BlockOut(rig), c.expected);
        EXPECT_EQ(MemoryOut(rig), c.expected);
        EXPECT_EQ(rig.Field(F::_swStateSelect) >> 4, c.fit);
        EXPECT_EQ(rig.U(Param::CfgOutMode), quint32(c.fit));
        // The fit's name follows with the reread.
        rig.W().ReadDeviceConfig();
        EXPECT_EQ(rig.S(Param::ImageSdiOutFit).toStdString(), FitName(c.fit));
        EXPECT_EQ(rig.U(Param::OutScalingLabelColor), c.fit == 0 ? 1u : 2u);
        EXPECT_EQ(rig.W().OutProxy()->ConstraintMode(), c.fit == 4 ? 1 : 0);
        EXPECT_EQ(rig.Field(F::_roiCtrl) & 0x07, c.fit == 0 ? 0x04 : 0x07);
    }
    // A fit outside the five modes changes nothing.
    const QRect before = BlockOut(rig);
    rig.W().SelectRoiFit(7, false);
    EXPECT_EQ(BlockOut(rig), before);
    EXPECT_EQ(rig.U(Param::CfgOutMode), 4u);
}

// Every selection goes to the device as its code and reads back as itself.
TEST(RoiWrapperGeometry, SelectionsRoundTripThroughTheConverter)
{
    WrapperRig rig(kMardex);
    ASSERT_TRUE(rig.Start());
    const quint32 aspectId = rig.Id(Param::CfgInFixedAspectMode);
    const quint32 sizeId = rig.Id(Param::CfgInFixedSizeMode);
    struct Selection {
        int selection, aspect, size;
    };
    std::vector<Selection> selections = {{0, 0, 0}, {1, 0, 0}, {4, 0, 0}};
    for (int a = 0; a < 4; ++a)
        selections.push_back({2, a, 0});
    for (int s = 0; s < 5; ++s)
        selections.push_back({3, 0, s});
    for (const Selection& s : selections) {
        SCOPED_TRACE(std::to_string(s.selection) + " " + std::to_string(s.aspect) + " " + std::to_string(s.size));
        rig.W().SelectRoiConstraints(s.selection, s.aspect, s.size, true);
        EXPECT_EQ(rig.Memory(24) & 0x0F, InputModeCode(s.selection, s.aspect, s.size));
        rig.W().ReadDeviceConfig();
        EXPECT_EQ(rig.U(Param::CfgInMode), quint32(s.selection));
        if (s.selection == kFixedAspect) {
            EXPECT_EQ(rig.Value(aspectId).toUInt(), quint32(s.aspect));
        }
        if (s.selection == kFixedSize) {
            EXPECT_EQ(rig.Value(sizeId).toUInt(), quint32(s.size));
            const ConstraintRow* size = RowAt(FixedSizes(), s.size);
            EXPECT_EQ(BlockIn(rig).size(), QSize(size->width, size->height));
        }
    }
    // Indices past the lists are refused whole.
    const convsim::Bytes before = rig.Sim().ConfigMemory(0, 0);
    rig.W().SelectRoiConstraints(5, 0, 0, true);
    rig.W().SelectRoiConstraints(2, 4, 0, true);
    rig.W().SelectRoiConstraints(3, 0, 5, true);
    rig.W().SelectRoiConstraints(-1, 0, 0, true);
    EXPECT_EQ(rig.Sim().ConfigMemory(0, 0), before);
}

TEST(RoiWrapperGeometry, OutputSizedSelectionOn720p)
{
    WrapperRig rig(kQuastel);
    ASSERT_TRUE(rig.Start());
    rig.W().SelectSdiOutFormat(3); // 720p59.94
    rig.W().SelectRoiConstraints(4, 0, 0, true);
    EXPECT_EQ(rig.Memory(24) & 0x0F, 3);
    EXPECT_EQ(BlockIn(rig).size(), QSize(1280, 720));
    EXPECT_EQ(rig.W().InProxy()->ConstraintMode(), 3);
}

// A fixed size the source cannot hold becomes a free selection.
TEST(RoiWrapperGeometry, FixedSizeLargerThanTheSourceIsDemoted)
{
    for (int type : {kMardex, kHestra}) {
        SCOPED_TRACE(ModelName(type));
        WrapperRig rig(type);
        ASSERT_TRUE(rig.Start());
        rig.W().InProxy()->SetSourceSize(1280, 720);
        if (type == kHestra)
            rig.W().SelectRoiConstraintIndex(14, true); // 1920 x 1080
        else
            rig.W().SelectRoiConstraints(3, 0, 4, true);
        EXPECT_EQ(rig.U(Param::CfgInMode), 1u);
        EXPECT_EQ(rig.Memory(24) & 0x0F, 1);
        EXPECT_EQ(rig.W().InProxy()->ConstraintMode(), 1);
        EXPECT_EQ(BlockIn(rig), QRect(0, 0, 1280, 720));
    }
}

TEST(RoiWrapperGeometry, WholeInputAndAutoScaleStayPaired)
{
    WrapperRig rig(kMardex);
    ASSERT_TRUE(rig.Start());
    // Selection 0 without apply publishes the whole input, leaves the block.
    PutIn(rig, {600, 357, 720, 486});
    rig.W().SelectRoiConstraints(0, 0, 0, false);
    EXPECT_EQ(BlockIn(rig), QRect(600, 357, 720, 486));
    EXPECT_EQ(rig.U(Param::CfgInW), 1920u);
    EXPECT_EQ(rig.U(Param::CfgInX), 0u);
    // Leaving it selects Scale Aspect; returning selects Auto Scale.
    rig.W().SelectRoiConstraints(1, 0, 0, true);
    EXPECT_EQ(rig.U(Param::CfgOutMode), 1u);
    EXPECT_EQ(rig.Field(F::_swStateSelect) >> 4, 1);
    rig.W().SelectRoiConstraints(0, 0, 0, true);
    EXPECT_EQ(rig.U(Param::CfgOutMode), 0u);
    EXPECT_EQ(rig.Field(F::_swStateSelect), 0);
    // And the other way: a fit other than Auto frees the selection.
    rig.W().SelectRoiFit(2, false);
    EXPECT_EQ(rig.U(Param::CfgInMode), 1u);
    rig.W().SelectRoiFit(0, false);
    EXPECT_EQ(rig.U(Param::CfgInMode), 0u);
}

// The fit step and the constraint step call each other; the inner call of
// the step already running does nothing, and both steps are free again
// afterwards.
TEST(RoiWrapperGeometry, FitAndConstraintStepsDoNotReenter)
{
    WrapperRig rig(kQuastel);
    ASSERT_TRUE(rig.Start());
    ASSERT_EQ(rig.U(Param::CfgOutMode), 0u);
    const uint64_t mark = rig.Mark();
    rig.W().SelectRoiFit(1, false); // enters the constraint step, which would enter the fit again
    EXPECT_EQ(rig.U(Param::CfgOutMode), 1u);
    EXPECT_EQ(rig.U(Param::CfgInMode), 1u);
    EXPECT_EQ(rig.Field(F::_swStateSelect), 0x11);
    // One window write by the fit step, one region write by the constraint
    // step: the constraint step's own fit step was cut.
    int writes = 0;
    for (const convsim::LogEntry& e : rig.Since(mark))
        writes += e.code == 0x8B;
    EXPECT_EQ(writes, 2);
    // Both guards were released.
    rig.W().SelectRoiFit(2, false);
    EXPECT_EQ(rig.Field(F::_swStateSelect) >> 4, 2);
    rig.W().SelectRoiConstraints(0, 0, 0, true);
    EXPECT_EQ(rig.U(Param::CfgOutMode), 0u);
    EXPECT_EQ(rig.Field(F::_swStateSelect), 0x00);
}

TEST(RoiWrapperGeometry, CoordinateSettersStayInsideTheRasters)
{
    WrapperRig rig(kMardex);
    ASSERT_TRUE(rig.Start());
    rig.W().SelectRoiConstraints(1, 0, 0, true);
    rig.W().InProxy()->SetSourceSize(1920, 1080);
    PutIn(rig, {100, 100, 720, 486});
    rig.W().UpdateInProxy();
    rig.Set(rig.Id(Param::CfgInX), 5000u);
    EXPECT_EQ(rig.Field(F::_inputHStartOffset), 1200);
    EXPECT_EQ(rig.Memory(6), 1200 & 0xFF);
    rig.Set(rig.Id(Param::CfgInY), 700u);
    EXPECT_EQ(rig.Field(F::_inputVStartOffset), 594);
    rig.Set(rig.Id(Param::CfgInW), 2u);
    EXPECT_EQ(rig.Field(F::_inputActivePixels), 4);
    rig.Set(rig.Id(Param::CfgInH), 4000u);
    EXPECT_EQ(rig.Field(F::_inputActiveLines), 1080 - 594);
    EXPECT_EQ(rig.S(Param::ImageInRoi), "Sel:4x486");

    // Output setters go through the fit step: only a variable window keeps them.
    rig.W().SelectRoiFit(4, false);
    rig.Set(rig.Id(Param::CfgOutX), 100u);
    rig.Set(rig.Id(Param::CfgOutW), 5000u);
    EXPECT_EQ(BlockOut(rig).x(), 100);
    EXPECT_EQ(BlockOut(rig).width(), 1820);
    rig.W().SelectRoiFit(2, false);
    rig.Set(rig.Id(Param::CfgOutX), 100u);
    EXPECT_EQ(BlockOut(rig), QRect(0, 0, 1920, 1080));
}

TEST(RoiWrapperGeometry, FixedAspectWidthDragsTheHeight)
{
    WrapperRig rig(kPendro);
    ASSERT_TRUE(rig.Start());
    rig.W().SelectRoiConstraints(2, 1, 0, true); // 16:9
    PutIn(rig, {0, 0, 1280, 720});
    rig.W().UpdateInProxy();
    rig.W().SelectInWidth(960);
    EXPECT_EQ(BlockIn(rig), QRect(0, 0, 960, 540));
    rig.W().SelectInHeight(360);
    EXPECT_EQ(BlockIn(rig), QRect(0, 0, 640, 360));
}

TEST(RoiWrapperGeometry, CentringNeverStartsBeforeTheEdge)
{
    WrapperRig rig(kHestra);
    ASSERT_TRUE(rig.Start());
    PutIn(rig, {0, 0, 720, 486});
    rig.Set(rig.Id(Param::RoiAction), 2u);
    EXPECT_EQ(BlockIn(rig), QRect(600, 297, 720, 486));
    EXPECT_EQ(rig.Memory(6), 600 & 0xFF);
    // A region larger than the measured raster starts at 0, not before it.
    MeasureInput(rig, 1280, 720);
    PutIn(rig, {33, 44, 1920, 1080});
    rig.W().CenterRoiButtonChanged();
    EXPECT_EQ(BlockIn(rig), QRect(0, 0, 1920, 1080));
    EXPECT_EQ(rig.Memory(6), 0);
    EXPECT_EQ(rig.Memory(7), 0);
    EXPECT_EQ(rig.Memory(4) & 0xF0, (1920 >> 8) << 4);
    // The output window against the output raster (a variable window, which
    // the fit keeps).
    rig.W().SelectRoiFit(4, false);
    PutOut(rig, {7, 7, 1440, 1080});
    rig.Set(rig.Id(Param::RoiAction), 3u);
    EXPECT_EQ(BlockOut(rig).topLeft(), QPoint(240, 0));
    rig.W().SelectSdiOutFormat(4); // 1280 x 720
    PutOut(rig, {7, 7, 1440, 1080});
    rig.W().CenterOutputButtonChanged();
    EXPECT_EQ(BlockOut(rig).topLeft(), QPoint(0, 0));
}

TEST(RoiWrapperGeometry, SelectAllTakesTheWholeInputOrItsAspect)
{
    WrapperRig rig(kMardex);
    ASSERT_TRUE(rig.Start());
    rig.W().SelectRoiConstraints(1, 0, 0, true);
    PutIn(rig, {10, 10, 100, 100});
    rig.Set(rig.Id(Param::RoiAction), 1u);
    EXPECT_EQ(BlockIn(rig), QRect(0, 0, 1920, 1080));
    rig.W().SelectRoiConstraints(2, 3, 0, true); // 607 x 1080
    rig.W().SelectAllRoiButtonChanged();
    EXPECT_EQ(BlockIn(rig), QRect(656, 0, 607, 1080));
}

TEST(RoiWrapperGeometry, RegionTextsOnlyWhereTheModeAllowsThem)
{
    WrapperRig rig(kMardex);
    ASSERT_TRUE(rig.Start());
    const QString text = R"({"mode":"4","x":"10","y":"20","w":"300","h":"200"})";
    // Auto scale: an output text changes nothing.
    const QRect before = BlockOut(rig);
    rig.W().SelectOutScreenProxy(text);
    EXPECT_EQ(BlockOut(rig), before);
    // Variable: it moves the window, streamed into the live registers.
    rig.W().SelectRoiFit(4, false);
    uint64_t mark = rig.Mark();
    rig.W().SelectOutScreenProxy(text);
    EXPECT_EQ(BlockOut(rig), QRect(10, 20, 300, 200));
    EXPECT_EQ(rig.Live(12), 10);
    EXPECT_EQ(WrapperRig::Codes(rig.Since(mark)), (std::vector<int>{0x9D, 0x9D}));
    EXPECT_EQ(rig.S(Param::OutScreenProxy).toStdString(),
              R"({"mode":"4","x":"10","y":"20","w":"300","h":"200","screenw":"1920","screenh":"1080"})");
    // The same window again: only the timer.
    rig.W().ConfigTimer()->stop();
    mark = rig.Mark();
    rig.W().SelectOutScreenProxy(text);
    EXPECT_TRUE(rig.Since(mark).empty());
    EXPECT_TRUE(rig.W().ConfigTimer()->isActive());
    // An input text needs a free selection; it is clipped to the source.
    rig.W().SelectRoiConstraints(3, 0, 0, true);
    rig.W().SelectInScreenProxy(R"({"x":0,"y":0,"w":64,"h":64})");
    EXPECT_EQ(BlockIn(rig).size(), QSize(720, 480));
    rig.W().SelectRoiConstraints(1, 0, 0, true);
    rig.W().SelectInScreenProxy(R"({"x":"-5","y":"5000","w":"2","h":"70000"})");
    EXPECT_EQ(BlockIn(rig), QRect(0, 0, 4, 1080));
}

// The last selection that caused a re-fit belongs to each wrapper.
TEST(RoiWrapperGeometry, LastSelectionIsEachWrappersOwn)
{
    auto twice = [](WrapperRig& rig) {
        PutIn(rig, {0, 0, 720, 486});
        rig.W().SelectRoiConstraints(2, 0, 0, true);
        rig.W().SelectRoiConstraints(2, 0, 0, true);
        return BlockIn(rig).size();
    };
    WrapperRig first(kMardex);
    ASSERT_TRUE(first.Start());
    // The second step sees the selection changed and fits 720:480 into the region.
    EXPECT_EQ(twice(first), QSize(720, 480));
    WrapperRig second(kMardex);
    ASSERT_TRUE(second.Start());
    EXPECT_EQ(twice(second), QSize(720, 480));
}

} // namespace
