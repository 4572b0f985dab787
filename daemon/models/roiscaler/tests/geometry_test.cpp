// The region geometry on byte images: the fit step's mapping into the
// output, the constraint step's selections with their device codes, the two
// steps keeping each other in step without entering themselves again, the
// coordinate setters, centring, select-all, the output format and the
// region texts.
#include <gtest/gtest.h>

#include "roiscaler/decisions/blockvalues.h"
#include "roiscaler/values/tables.h"
#include "rulestesting.h"

using namespace rulestesting;

namespace {

using F = RoiField;

quint32 Value(const RoiScene& scene, const RoiModel& model, Param p)
{
    return ValueU(scene.values, model.Id(p));
}

// A scene after start-up with the output format of a raster-table row, and
// the readback that follows it.
RoiScene WithOutput(const RoiContext& c, int formatIndex)
{
    Converter converter;
    return converter.Take(c, SetOutputFormat(c, Started(c, NewScene(c.model)), formatIndex));
}

TEST(RoiGeometry, FitModesMapIntoTheOutput)
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
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Status status = Typical();
        status.Measured(c.measured.width(), c.measured.height());
        const RoiContext context = Linked(M, status);
        RoiScene scene = WithOutput(context, c.outputFormat);
        PutInRegion(scene.block, c.roi.x(), c.roi.y(), c.roi.width(), c.roi.height());
        PutOutRegion(scene.block, c.window.x(), c.window.y(), c.window.width(), c.window.height());
        const RoiOutcome o = SelectFit(context, scene, c.fit, c.usePrefs);
        EXPECT_EQ(OutRegion(o.scene.block), c.expected);
        EXPECT_EQ(o.scene.block[F::_swStateSelect] >> 4, c.fit);
        EXPECT_EQ(Value(o.scene, M, Param::CfgOutMode), quint32(c.fit));
        // The fit's name follows with the reread.
        const RoiScene read = Readback(context, o.scene, LinkState{true, false}).scene;
        EXPECT_EQ(read.values.value(M.Id(Param::ImageSdiOutFit)).toString().toStdString(), FitName(c.fit));
        EXPECT_EQ(Value(read, M, Param::OutScalingLabelColor), c.fit == 0 ? 1u : 2u);
        EXPECT_EQ(o.scene.out.ConstraintMode(), c.fit == 4 ? 1 : 0);
        EXPECT_EQ(o.scene.block[F::_roiCtrl] & 0x07, c.fit == 0 ? 0x04 : 0x07);
        // The window that went out is the one the block holds.
        for (const BlockImage& written : Writes(o)) {
            EXPECT_EQ(OutRegion(written), c.expected);
        }
    }
    // A fit outside the five modes changes nothing.
    const Status status = Typical();
    const RoiScene scene = Started(Linked(M, status), NewScene(M));
    const RoiOutcome o = SelectFit(Linked(M, status), scene, 7, false);
    EXPECT_EQ(o.scene.block, scene.block);
    EXPECT_EQ(Actions(o), "");
}

// A fit change tells the device the measured input timing again: the
// stored timing bytes take the measured ones, and the misc byte carries
// the delays' high bits beside the measured misc bits.
TEST(RoiGeometry, FitChangeStoresTheMeasuredTimingAndTheDelaysHighBits)
{
    const Status status = Typical();
    const RoiContext context = Linked(M, status);
    RoiScene scene = Started(context, NewScene(M));
    for (int i = 0; i <= F::_fpgaHzThousandsReg2 - F::_fpgaInputHStartLSB; ++i)
        scene.block.Set(F::_fpgaInputHStartLSB + i, 0x11 * (i + 1));
    scene.block.Set(F::_horizontalDelay, 0xDA3);
    scene.block.Set(F::_verticalDelay, 0x1C0);
    scene.block.Set(F::_fpgaInputMiscSignal, 0xFD);
    const RoiOutcome o = SelectFit(context, scene, 2, false);
    ASSERT_NE(Actions(o), "");
    const BlockImage& block = o.scene.block;
    for (int i = 0; i <= F::_stHzThousandsReg2 - F::_stInputHStartLSB; ++i) {
        if (F::_stInputHStartLSB + i == F::_stInputMiscSignal)
            continue;
        EXPECT_EQ(block[F::_stInputHStartLSB + i], block[F::_fpgaInputHStartLSB + i]) << i;
    }
    // v delay bit 8 in bit 7, h delay bits 11..8 in bits 6..3, measured 2..0.
    EXPECT_EQ(block[F::_stInputMiscSignal], 0x80 | 0xD << 3 | 0x05);
}

// The fit step sends the block as the model does.
TEST(RoiGeometry, FitStepSendsByModel)
{
    for (const RoiModel* model : kModels) {
        SCOPED_TRACE(model->name);
        const Status status = Typical();
        const RoiContext c = Linked(*model, status);
        const RoiOutcome o = SelectFit(c, Started(c, NewScene(*model)), 2, false);
        ASSERT_GE(Actions(o).size(), 2u);
        EXPECT_EQ(Actions(o)[0], 'S');
        EXPECT_EQ(Actions(o)[1] == 'W', model->fitStepWrites) << Actions(o);
    }
}

// Every selection goes to the device as its code, and reads back as itself.
TEST(RoiGeometry, SelectionsRoundTripThroughTheDeviceCode)
{
    const Status status = Typical();
    const RoiContext c = Linked(M, status);
    struct Selection {
        int selection, aspect, size;
    };
    std::vector<Selection> selections = {{0, 0, 0}, {1, 0, 0}, {4, 0, 0}};
    for (int a = 0; a < 4; ++a)
        selections.push_back({2, a, 0});
    for (int s = 0; s < 5; ++s)
        selections.push_back({3, 0, s});
    RoiScene scene = Started(c, NewScene(M));
    for (const Selection& s : selections) {
        SCOPED_TRACE(std::to_string(s.selection) + " " + std::to_string(s.aspect) + " " + std::to_string(s.size));
        scene = SelectConstraints(c, scene, s.selection, s.aspect, s.size, true).scene;
        EXPECT_EQ(scene.block[F::_swStateSelect] & 0x0F, InputModeCode(s.selection, s.aspect, s.size));
        RoiScene reread = scene;
        reread.values.clear();
        reread = Readback(c, reread, LinkState{true, false}).scene;
        EXPECT_EQ(Value(reread, M, Param::CfgInMode), quint32(s.selection));
        if (s.selection == kFixedAspect) {
            EXPECT_EQ(Value(reread, M, Param::CfgInFixedAspectMode), quint32(s.aspect));
        }
        if (s.selection == kFixedSize) {
            EXPECT_EQ(Value(reread, M, Param::CfgInFixedSizeMode), quint32(s.size));
            const ConstraintRow* size = RowAt(FixedSizes(), s.size);
            EXPECT_EQ(InRegion(scene.block).size(), QSize(size->width, size->height));
        }
    }
    // Selections and indices past the lists change nothing.
    for (const Selection& s : {Selection{5, 0, 0}, Selection{2, 4, 0}, Selection{3, 0, 5}, Selection{-1, 0, 0}}) {
        const RoiOutcome o = SelectConstraints(c, scene, s.selection, s.aspect, s.size, true);
        EXPECT_EQ(o.scene.block, scene.block);
        EXPECT_EQ(Actions(o), "");
    }
}

// Selection 4 takes the output raster's size, with device code 3.
TEST(RoiGeometry, OutputSizedSelectionOn720p)
{
    const Status status = Typical();
    const RoiContext c = Linked(Q, status);
    const RoiOutcome o = SelectConstraints(c, WithOutput(c, 3), 4, 0, 0, true);
    EXPECT_EQ(o.scene.block[F::_swStateSelect] & 0x0F, 3);
    EXPECT_EQ(InRegion(o.scene.block).size(), QSize(1280, 720));
    EXPECT_EQ(o.scene.in.ConstraintMode(), 3);
    // Hestra's rows 3 and 9: the output raster's aspect and size.
    const RoiContext h = Linked(H, status);
    const RoiScene hestra = WithOutput(h, 3);
    const RoiOutcome size = SelectConstraintIndex(h, hestra, 9, true);
    EXPECT_EQ(InRegion(size.scene.block).size(), QSize(1280, 720));
    EXPECT_EQ(size.scene.block[F::_swStateSelect] & 0x0F, 9);
    int w = 0, hh = 0;
    EXPECT_EQ(SelectConstraintIndex(h, hestra, 3, true).scene.in.GetConstraint(&w, &hh), 2);
    EXPECT_EQ(QSize(w, hh), QSize(1280, 720));
}

// A fixed size the source cannot hold becomes a free selection.
TEST(RoiGeometry, FixedSizeLargerThanTheSourceIsDemoted)
{
    for (const RoiModel* model : {&M, &H}) {
        SCOPED_TRACE(model->name);
        const Status status = Typical();
        const RoiContext c = Linked(*model, status);
        RoiScene scene = Started(c, NewScene(*model));
        scene.in.SetSourceSize(1280, 720);
        const RoiOutcome o = model->oneIndexSelection ? SelectConstraintIndex(c, scene, 14, true)
                                                      : SelectConstraints(c, scene, 3, 0, 4, true);
        EXPECT_EQ(Value(o.scene, *model, Param::CfgInMode), 1u);
        EXPECT_EQ(o.scene.block[F::_swStateSelect] & 0x0F, 1);
        EXPECT_EQ(o.scene.in.ConstraintMode(), 1);
        EXPECT_EQ(InRegion(o.scene.block), QRect(0, 0, 1280, 720));
    }
}

TEST(RoiGeometry, WholeInputAndAutoScaleStayPaired)
{
    const Status status = Typical();
    const RoiContext c = Linked(M, status);
    RoiScene scene = Started(c, NewScene(M));
    // Selection 0 without apply publishes the whole input, leaves the block.
    PutInRegion(scene.block, 600, 357, 720, 486);
    scene = SelectConstraints(c, scene, 0, 0, 0, false).scene;
    EXPECT_EQ(InRegion(scene.block), QRect(600, 357, 720, 486));
    EXPECT_EQ(Value(scene, M, Param::CfgInW), 1920u);
    EXPECT_EQ(Value(scene, M, Param::CfgInX), 0u);
    // Leaving it selects Scale Aspect; returning selects Auto Scale.
    scene = SelectConstraints(c, scene, 1, 0, 0, true).scene;
    EXPECT_EQ(Value(scene, M, Param::CfgOutMode), 1u);
    EXPECT_EQ(scene.block[F::_swStateSelect] >> 4, 1);
    scene = SelectConstraints(c, scene, 0, 0, 0, true).scene;
    EXPECT_EQ(Value(scene, M, Param::CfgOutMode), 0u);
    EXPECT_EQ(scene.block[F::_swStateSelect], 0);
    // And the other way: a fit other than Auto frees the selection.
    scene = SelectFit(c, scene, 2, false).scene;
    EXPECT_EQ(Value(scene, M, Param::CfgInMode), 1u);
    PutInRegion(scene.block, 100, 100, 640, 360);
    // Auto Scale takes the whole input; the device's region only with the
    // preferences.
    const RoiScene automatic = SelectFit(c, scene, 0, false).scene;
    EXPECT_EQ(Value(automatic, M, Param::CfgInMode), 0u);
    EXPECT_EQ(Value(automatic, M, Param::CfgInW), 1920u);
    EXPECT_EQ(InRegion(automatic.block), QRect(100, 100, 640, 360));
    EXPECT_EQ(InRegion(SelectFit(c, scene, 0, true).scene.block), QRect(0, 0, 1920, 1080));
}

// The fit step runs the constraint step its selection implies, which runs
// no fit step of its own; the other way round likewise.
TEST(RoiGeometry, FitAndConstraintStepsDoNotEnterThemselves)
{
    const Status status = Typical();
    const RoiContext c = Linked(Q, status);
    RoiScene scene = Started(c, NewScene(Q));
    ASSERT_EQ(Value(scene, Q, Param::CfgOutMode), 0u);
    // One window write by the fit step, one region write by the constraint
    // step.
    RoiOutcome o = SelectFit(c, scene, 1, false);
    EXPECT_EQ(Actions(o), "SWSSWTT");
    EXPECT_EQ(Value(o.scene, Q, Param::CfgOutMode), 1u);
    EXPECT_EQ(Value(o.scene, Q, Param::CfgInMode), 1u);
    EXPECT_EQ(o.scene.block[F::_swStateSelect], 0x11);
    // The constraint step leaving the whole input: its region, then one
    // fit step.
    scene = SelectFit(c, o.scene, 0, false).scene;
    o = SelectConstraints(c, scene, 1, 0, 0, true);
    EXPECT_EQ(Actions(o), "SSWSWTT");
    EXPECT_EQ(Value(o.scene, Q, Param::CfgOutMode), 1u);
    EXPECT_EQ(o.scene.block[F::_swStateSelect] >> 4, 1);
}

// A selection that changes the region's size maps the window again.
TEST(RoiGeometry, NewRegionSizeMapsTheWindowAgain)
{
    const Status status = Typical();
    const RoiContext c = Linked(P, status);
    RoiScene scene = SelectConstraints(c, Started(c, NewScene(P)), 1, 0, 0, true).scene;
    PutInRegion(scene.block, 0, 0, 1920, 1080);
    scene = SelectFit(c, scene, 1, false).scene;
    ASSERT_EQ(OutRegion(scene.block), QRect(0, 0, 1920, 1080));
    // 720 x 480 of a 1920 x 1080 input, scaled by its aspect into the output.
    const RoiOutcome o = SelectConstraints(c, scene, 3, 0, 0, true);
    EXPECT_EQ(InRegion(o.scene.block).size(), QSize(720, 480));
    EXPECT_EQ(OutRegion(o.scene.block), QRect(150, 0, 1620, 1080));
    EXPECT_EQ(o.scene.block[F::_swStateSelect] >> 4, 1);
}

TEST(RoiGeometry, CoordinateSettersStayInsideTheRasters)
{
    const Status status = Typical();
    const RoiContext c = Linked(M, status);
    RoiScene scene = SelectConstraints(c, Started(c, NewScene(M)), 1, 0, 0, true).scene;
    scene.in.SetSourceSize(1920, 1080);
    PutInRegion(scene.block, 100, 100, 720, 486);
    ShowInRegion(M, scene);
    scene = SetInX(c, scene, 5000).scene;
    EXPECT_EQ(scene.block[F::_inputHStartOffset], 1200);
    scene = SetInY(c, scene, 700).scene;
    EXPECT_EQ(scene.block[F::_inputVStartOffset], 594);
    scene = SetInWidth(c, scene, 2).scene;
    EXPECT_EQ(scene.block[F::_inputActivePixels], 4);
    scene = SetInHeight(c, scene, 4000).scene;
    EXPECT_EQ(scene.block[F::_inputActiveLines], 1080 - 594);
    EXPECT_EQ(scene.values.value(M.Id(Param::ImageInRoi)).toString(), "Sel:4x486");
    // X and Y move the region only; width and height run the fit step.
    EXPECT_EQ(Actions(SetInX(c, scene, 10)), "SWT");
    EXPECT_NE(Actions(SetInWidth(c, scene, 800)), "SWT");

    // Output setters go through the fit step: only a variable window keeps
    // them.
    scene = SelectFit(c, scene, 4, false).scene;
    scene = SetOutX(c, scene, 100).scene;
    scene = SetOutWidth(c, scene, 5000).scene;
    EXPECT_EQ(OutRegion(scene.block).x(), 100);
    EXPECT_EQ(OutRegion(scene.block).width(), 1820);
    scene = SelectFit(c, scene, 2, false).scene;
    scene = SetOutX(c, scene, 100).scene;
    EXPECT_EQ(OutRegion(scene.block), QRect(0, 0, 1920, 1080));
    // Quastel's output setters write only.
    const RoiContext q = Linked(Q, status);
    EXPECT_EQ(Actions(SetOutY(q, Started(q, NewScene(Q)), 3)).substr(0, 1), "W");
}

TEST(RoiGeometry, FixedAspectWidthDragsTheHeight)
{
    const Status status = Typical();
    const RoiContext c = Linked(P, status);
    RoiScene scene = SelectConstraints(c, Started(c, NewScene(P)), 2, 1, 0, true).scene; // 16:9
    PutInRegion(scene.block, 0, 0, 1280, 720);
    ShowInRegion(P, scene);
    scene = SetInWidth(c, scene, 960).scene;
    EXPECT_EQ(InRegion(scene.block), QRect(0, 0, 960, 540));
    scene = SetInHeight(c, scene, 360).scene;
    EXPECT_EQ(InRegion(scene.block), QRect(0, 0, 640, 360));
}

TEST(RoiGeometry, CentringNeverStartsBeforeTheEdge)
{
    Status status = Typical();
    RoiContext c = Linked(H, status);
    RoiScene scene = Started(c, NewScene(H));
    PutInRegion(scene.block, 0, 0, 720, 486);
    RoiOutcome o = CenterIn(c, scene);
    EXPECT_EQ(InRegion(o.scene.block), QRect(600, 297, 720, 486));
    EXPECT_EQ(Actions(o), "SWT");
    EXPECT_TRUE(o.scene.memory.paramChanged);
    // A region larger than the measured raster starts at 0, not before it.
    status.Measured(1280, 720);
    PutInRegion(scene.block, 33, 44, 1920, 1080);
    EXPECT_EQ(InRegion(CenterIn(c, scene).scene.block), QRect(0, 0, 1920, 1080));
    // The output window against the output raster; centring needs no link.
    scene = SelectFit(c, scene, 4, false).scene;
    PutOutRegion(scene.block, 7, 7, 1440, 1080);
    scene.memory.paramChanged = false;
    o = CenterOut(RoiContext{H, status.data(), false}, scene);
    EXPECT_EQ(OutRegion(o.scene.block).topLeft(), QPoint(240, 0));
    EXPECT_TRUE(o.scene.memory.paramChanged);
    scene = SetOutputFormat(c, scene, 4).scene; // 1280 x 720
    PutOutRegion(scene.block, 7, 7, 1440, 1080);
    EXPECT_EQ(OutRegion(CenterOut(c, scene).scene.block).topLeft(), QPoint(0, 0));
}

TEST(RoiGeometry, SelectAllTakesTheWholeInputOrItsAspect)
{
    const Status status = Typical();
    const RoiContext c = Linked(M, status);
    RoiScene scene = SelectConstraints(c, Started(c, NewScene(M)), 1, 0, 0, true).scene;
    PutInRegion(scene.block, 10, 10, 100, 100);
    scene = SelectAllIn(c, scene).scene;
    EXPECT_EQ(InRegion(scene.block), QRect(0, 0, 1920, 1080));
    scene = SelectConstraints(c, scene, 2, 3, 0, true).scene; // 607 x 1080
    scene = SelectAllIn(c, scene).scene;
    EXPECT_EQ(InRegion(scene.block), QRect(656, 0, 607, 1080));
}

// A new output format: the codes, the region re-fitted, the readback.
TEST(RoiGeometry, OutputFormatChange)
{
    for (const RoiModel* model : kModels) {
        SCOPED_TRACE(model->name);
        const Status status = Typical();
        const RoiContext c = Linked(*model, status);
        RoiScene scene = Started(c, NewScene(*model));
        PutInRegion(scene.block, 0, 0, 1920, 1080);
        const RoiOutcome o = SetOutputFormat(c, scene, 3); // 720p59.94
        EXPECT_EQ(o.scene.block[F::_sdiOutVideoCtrl], 0x12);
        EXPECT_EQ(o.scene.out.SourceWidth(), 1280);
        EXPECT_EQ(OutRegion(o.scene.block), QRect(0, 0, 1280, 720));
        const std::string actions = Actions(o);
        EXPECT_EQ(actions.substr(actions.size() - 3), "GBT");
        // The format's send: streamed first on all but Quastel.
        const std::size_t send = actions.rfind('W');
        EXPECT_EQ(actions[send - 1] == 'S', model->outputFormatStreams) << actions;
    }
    const Status status = Typical();
    const RoiScene scene = NewScene(M);
    EXPECT_EQ(Actions(SetOutputFormat(Linked(M, status), scene, 16)), "");
    EXPECT_EQ(Actions(SetOutputFormat(Linked(M, status), scene, -1)), "");
}

TEST(RoiGeometry, RegionTextsOnlyWhereTheModeAllowsThem)
{
    const Status status = Typical();
    const RoiContext c = Linked(M, status);
    RoiScene scene = Started(c, NewScene(M));
    const QString text = R"({"mode":"4","x":"10","y":"20","w":"300","h":"200"})";
    // Auto scale: an output text changes nothing.
    EXPECT_EQ(Actions(SetOutRegionText(c, scene, text)), "");
    // Variable: it moves the window, streamed into the live registers.
    scene = SelectFit(c, scene, 4, false).scene;
    RoiOutcome o = SetOutRegionText(c, scene, text);
    EXPECT_EQ(OutRegion(o.scene.block), QRect(10, 20, 300, 200));
    EXPECT_EQ(Actions(o), "ST");
    EXPECT_EQ(o.scene.values.value(M.Id(Param::OutScreenProxy)).toString().toStdString(),
              R"({"mode":"4","x":"10","y":"20","w":"300","h":"200","screenw":"1920","screenh":"1080"})");
    // The same window again: only the timer.
    EXPECT_EQ(Actions(SetOutRegionText(c, o.scene, text)), "T");
    // An input text needs a free selection; it is clipped to the source.
    scene = SelectConstraints(c, o.scene, 3, 0, 0, true).scene;
    EXPECT_EQ(Actions(SetInRegionText(c, scene, R"({"x":0,"y":0,"w":64,"h":64})")), "");
    scene = SelectConstraints(c, scene, 1, 0, 0, true).scene;
    o = SetInRegionText(c, scene, R"({"x":"-5","y":"5000","w":"2","h":"70000"})");
    EXPECT_EQ(InRegion(o.scene.block), QRect(0, 0, 4, 1080));
}

// A new selection re-fits the region to its aspect once; Quastel says so on
// the debug channel, and re-fits a fixed aspect on every step.
TEST(RoiGeometry, ReFitsAfterASelectionChange)
{
    for (const RoiModel* model : {&M, &Q}) {
        SCOPED_TRACE(model->name);
        const Status status = Typical();
        const RoiContext c = Linked(*model, status);
        RoiScene scene = Started(c, NewScene(*model));
        PutInRegion(scene.block, 0, 0, 720, 486);
        scene = SelectConstraints(c, scene, 2, 0, 0, true).scene;
        PutInRegion(scene.block, 0, 0, 720, 486);
        const RoiOutcome o = SelectConstraints(c, scene, 2, 0, 0, true);
        // The second step sees the selection changed and fits 720:480.
        EXPECT_EQ(InRegion(o.scene.block).size(), QSize(720, 480));
        EXPECT_EQ(o.scene.memory.lastSelection, 2u);
        const std::vector<QString> lines = DebugLines(o);
        if (model->logsConstraintRefit) {
            ASSERT_EQ(lines.size(), 2u);
            EXPECT_EQ(lines[0], "SelectRoiConstraints in old != current  2 0");
            EXPECT_EQ(lines[1], "SelectRoiConstraints leaving old != current  w0  720  h0  486  w  720  h  480");
        } else {
            EXPECT_TRUE(lines.empty());
        }
        // The same selection and aspect once more: only Quastel re-fits.
        RoiScene again = o.scene;
        PutInRegion(again.block, 0, 0, 720, 486);
        EXPECT_EQ(InRegion(SelectConstraints(c, again, 2, 0, 0, true).scene.block).size(),
                  model->refitsAspectEveryStep ? QSize(720, 480) : QSize(720, 486));
    }
}

} // namespace
