// The readback on byte images, for all four models: the input gate, the
// forced first pass, the output format and its "Disabled" rule, the input
// modes the device codes stand for, the orientation, the delays and the
// identity.
#include <gtest/gtest.h>

#include "roiscaler/decisions/blockvalues.h"
#include "roiscaler/values/tables.h"
#include "rulestesting.h"

using namespace rulestesting;

namespace {

using F = RoiField;

QVariant Value(const RoiScene& scene, const RoiModel& model, Param p)
{
    return scene.values.value(model.Id(p));
}

// Without a measured input line total the first rereads only keep the
// timer running; then the readback goes ahead, forced.
TEST(RoiReadback, WaitsForAMeasuredInput)
{
    const Status status = Typical();
    const RoiContext c = Linked(P, status);
    RoiScene scene = NewScene(P);
    scene.block.Set(F::_fpgaInputHTotalLSB, 0);
    const ParamValues defaults = scene.values;
    for (int pass = 1; pass <= 2; ++pass) {
        const RoiOutcome o = Readback(c, scene, LinkState{true, false});
        EXPECT_EQ(Actions(o), "I") << pass;
        EXPECT_EQ(o.scene.values, defaults) << pass;
        EXPECT_EQ(o.scene.memory.syncCountdown, 2 - pass);
        scene = o.scene;
    }
    RoiOutcome o = Readback(c, scene, LinkState{true, false});
    EXPECT_EQ(Actions(o).substr(0, 1), "Y");
    EXPECT_TRUE(o.scene.memory.inputSynced);
    // A busy link neither counts down nor forces; only the identity follows.
    scene = NewScene(P);
    scene.block.Set(F::_fpgaInputHTotalLSB, 0);
    o = Readback(c, scene, LinkState{true, true});
    EXPECT_EQ(Actions(o), "Y");
    EXPECT_EQ(o.scene.memory.syncCountdown, 2);
    EXPECT_FALSE(o.scene.memory.inputSynced);
}

// The first readback past the gate writes every value, also where the
// state already holds the same; later ones write only what changed.
TEST(RoiReadback, FirstPassIsForced)
{
    const Param forced[] = {Param::GenHDelay,      Param::GenVDelay,     Param::InRgbRange,   Param::Genlock,
                            Param::AudInSelect,    Param::AudAnalogOutMap, Param::AudConversion,
                            Param::OutEdgeFiltering, Param::OutFlickerFiltering, Param::CfgOutMode, Param::CfgInMode,
                            Param::CfgOutRotation, Param::OutHorizFlipCk, Param::OutVertFlipCk, Param::GenHDelayMax,
                            Param::GenVDelayMax};
    for (const RoiModel* model : kModels) {
        SCOPED_TRACE(model->name);
        const Status status = Typical();
        const RoiContext c = Linked(*model, status);
        RoiScene scene = NewScene(*model);
        scene.block.Set(F::_sharpBlanking, 1); // edge filtering off: false, as an empty state reads
        scene.values.clear();
        Converter converter;
        RoiScene first = converter.Readback(c, scene);
        for (Param p : forced)
            if (model->Has(p)) {
                EXPECT_TRUE(first.values.contains(model->Id(p))) << ParamName(p);
            }
        EXPECT_EQ(Value(first, *model, Param::GenHDelay), QVariant(0u));
        // The frame delay and its choice are written only when changed.
        for (Param p : {Param::OutFrameDelay, Param::OutFrameDelayCk})
            EXPECT_FALSE(first.values.contains(model->Id(p))) << ParamName(p);
        EXPECT_EQ(first.block[F::_roiCtrl] & 0x14, 0x14);
        scene.block.Set(F::_roiCtrl, 0);
        EXPECT_EQ(Readback(c, scene, LinkState{true, false}).scene.block[F::_roiCtrl], 0x14);
        EXPECT_FALSE(first.memory.inputChangeSeen);
        // Not forced: what the state lacks and reads as the same stays out.
        first.values.clear();
        const RoiScene second = converter.Readback(c, first);
        for (Param p : {Param::GenHDelay, Param::InRgbRange, Param::OutEdgeFiltering, Param::CfgOutMode})
            EXPECT_FALSE(second.values.contains(model->Id(p))) << ParamName(p);
        // Always written.
        for (Param p : {Param::CfgOutScreenW, Param::ImageSdiOutFormat, Param::BackgroundColor, Param::GenDelayEnable})
            EXPECT_TRUE(second.values.contains(model->Id(p))) << ParamName(p);
    }
}

// The output format's name, or "Disabled" while the input is in sync mode
// or over the rate (the models that report both).
TEST(RoiReadback, OutputFormatNameAndItsDisabledRule)
{
    const struct {
        int status59;
        bool disabled;
    } cases[] = {{0x00, false}, {0x80, true}, {0x20, true}, {0xA0, true}, {0x40, false}, {0x5F, false}};
    for (const RoiModel* model : kModels) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(model->name) + " 59: " + std::to_string(c.status59));
            Status status = Typical();
            status.Set({{59, c.status59}});
            Converter converter;
            const RoiScene scene = converter.Readback(Linked(*model, status), NewScene(*model));
            EXPECT_EQ(Value(scene, *model, Param::ImageSdiOutFormat).toString(),
                      c.disabled && model->rateAlarms ? "Disabled" : "1080i29.97");
            EXPECT_EQ(Value(scene, *model, Param::OutRoiFormat), QVariant(6u));
        }
    }
}

// Each raster row's codes read back as its index; codes no row has leave
// the index as it was.
TEST(RoiReadback, OutputFormatFromTheBlocksCodes)
{
    const Status status = Typical();
    for (int i = 0; i < int(RasterFormats().size); ++i) {
        const RasterFormat* row = RasterFormatAt(i);
        SCOPED_TRACE(row->name);
        RoiScene scene = NewScene(Q);
        scene.block.Set(F::_sdiOutVideoCtrl, row->formatCode << 4 | row->rateCode);
        Converter converter;
        const RoiScene read = converter.Readback(Linked(Q, status), scene);
        EXPECT_EQ(Value(read, Q, Param::OutRoiFormat), QVariant(quint32(i)));
        EXPECT_EQ(Value(read, Q, Param::ImageSdiOutFormat).toString(), row->name);
        EXPECT_EQ(Value(read, Q, Param::CfgOutScreenW), QVariant(quint32(OutputRasterSize(row->formatCode).width())));
        EXPECT_EQ(read.out.SourceWidth(), OutputRasterSize(row->formatCode).width());
    }
    RoiScene scene = NewScene(Q);
    scene.block.Set(F::_sdiOutVideoCtrl, 0x70);
    PutU(scene.values, Q.Id(Param::OutRoiFormat), 9u);
    Converter converter;
    EXPECT_EQ(Value(converter.Readback(Linked(Q, status), scene), Q, Param::OutRoiFormat), QVariant(9u));
}

// Device code 0 to 15 into selection, fixed-aspect and fixed-size index.
TEST(RoiReadback, InputModesOfTheDeviceCodes)
{
    const struct {
        int code;
        quint32 selection, aspect, size;
    } cases[] = {
        {0, 0, 0, 0}, {1, 1, 0, 0}, {2, 2, 2, 0}, {3, 4, 0, 0}, {4, 2, 0, 0}, {5, 2, 0, 0}, {6, 2, 0, 0}, {7, 2, 1, 0},
        {8, 2, 3, 0}, {9, 4, 0, 0}, {10, 3, 0, 0}, {11, 3, 0, 1}, {12, 3, 0, 2}, {13, 3, 0, 3}, {14, 3, 0, 4},
        {15, 0, 0, 0},
    };
    const Status status = Typical();
    for (const auto& c : cases) {
        for (const RoiModel* model : {&M, &P, &Q}) {
            SCOPED_TRACE(std::string(model->name) + " code " + std::to_string(c.code));
            RoiScene scene = NewScene(*model);
            PutU(scene.values, model->Id(Param::CfgInFixedAspectMode), 9u);
            PutU(scene.values, model->Id(Param::CfgInFixedSizeMode), 9u);
            scene.block.Set(F::_swStateSelect, 0x40 | c.code);
            const RoiOutcome o = Readback(Linked(*model, status), scene, LinkState{true, false});
            EXPECT_EQ(Value(o.scene, *model, Param::CfgInMode), QVariant(c.selection));
            // Only the index of the selection's kind is read.
            EXPECT_EQ(Value(o.scene, *model, Param::CfgInFixedAspectMode).toUInt(), c.selection == 2 ? c.aspect : 9u);
            EXPECT_EQ(Value(o.scene, *model, Param::CfgInFixedSizeMode).toUInt(), c.selection == 3 ? c.size : 9u);
            // The fit from the high nibble, applied by a fit step.
            EXPECT_EQ(Value(o.scene, *model, Param::CfgOutMode), QVariant(4u));
            EXPECT_TRUE(NextIs<next::Fit>(o));
        }
    }
}

// The fit is the whole high nibble of the device's state, read back and
// recorded alike (fits past the five modes included: the device says so).
TEST(RoiReadback, FitIsTheWholeHighNibble)
{
    const Status status = Typical();
    for (const RoiModel* model : kModels) {
        for (int fit : {0, 1, 4, 7, 8, 9, 15}) {
            SCOPED_TRACE(std::string(model->name) + " fit " + std::to_string(fit));
            RoiScene scene = NewScene(*model);
            scene.block.Set(F::_swStateSelect, fit << 4 | 0x01);
            const RoiOutcome o = Readback(Linked(*model, status), scene, LinkState{true, false});
            EXPECT_EQ(Value(o.scene, *model, Param::CfgOutMode), QVariant(quint32(fit)));
            RoiMemory memory;
            RecordModes(*model, scene.block, memory);
            EXPECT_EQ(memory.lastOutMode, fit);
        }
    }
}

// The fixed aspect and size are written when they change, forced pass or
// not: the first pass writes the selection, and an index the state
// already holds stays out.
TEST(RoiReadback, FixedIndexesAreWrittenOnlyWhenChanged)
{
    const Status status = Typical();
    // Device codes of index 0, and of index 1.
    const struct {
        int code, next;
        Param index;
    } cases[] = {{4, 7, Param::CfgInFixedAspectMode}, {10, 11, Param::CfgInFixedSizeMode}};
    for (const RoiModel* model : {&M, &P, &Q}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(model->name) + " code " + std::to_string(c.code));
            RoiScene scene = NewScene(*model);
            scene.values.clear();
            scene.block.Set(F::_swStateSelect, 0x40 | c.code);
            const RoiOutcome o = Readback(Linked(*model, status), scene, LinkState{true, false});
            ASSERT_TRUE(o.scene.memory.inputSynced) << "the forced pass";
            EXPECT_TRUE(o.scene.values.contains(model->Id(Param::CfgInMode)));
            EXPECT_FALSE(o.scene.values.contains(model->Id(c.index)));
            // A changed index is written.
            scene.block.Set(F::_swStateSelect, 0x40 | c.next);
            const RoiOutcome next = Readback(Linked(*model, status), scene, LinkState{true, false});
            EXPECT_EQ(Value(next.scene, *model, c.index), QVariant(1u));
        }
    }
}

// An unchanged selection leaves the input raster and region alone; a
// changed one shows them again.
TEST(RoiReadback, InputShownAgainOnlyWhenTheModesChange)
{
    const Status status = Typical();
    for (const RoiModel* model : kModels) {
        SCOPED_TRACE(model->name);
        const RoiContext c = Linked(*model, status);
        RoiScene scene = NewScene(*model);
        scene.block.Set(F::_swStateSelect, model->oneIndexSelection ? 0x04 : 0x07); // a fixed aspect
        scene = Readback(c, scene, LinkState{true, false}).scene;
        const InputFormat sentinel{1, 2, 3};
        scene.memory.lastInSize = sentinel;
        scene = Readback(c, scene, LinkState{true, false}).scene;
        EXPECT_EQ(scene.memory.lastInSize, sentinel);
        scene.block.Set(F::_swStateSelect, model->oneIndexSelection ? 0x05 : 0x08); // another aspect
        scene = Readback(c, scene, LinkState{true, false}).scene;
        EXPECT_EQ(scene.memory.lastInSize, (InputFormat{1920, 1080, 5994}));
    }
}

// What the status watch records of the block: the fit and the selection.
TEST(RoiReadback, RecordedModes)
{
    const struct {
        const RoiModel& model;
        int swState;
        int fit, selection, aspect, size;
    } cases[] = {
        {M, 0x47, 4, 2, 1, 0}, {P, 0x2C, 2, 3, 0, 2}, {Q, 0x13, 1, 4, 0, 0}, {M, 0x08, 0, 2, 3, 0},
        {H, 0x3C, 3, 12, 0, 0}, {H, 0x05, 0, 5, 0, 0}, {P, 0x9B, 9, 3, 0, 1}, {H, 0xF9, 15, 9, 0, 0},
    };
    for (const auto& c : cases) {
        BlockImage block(c.model);
        block.Set(F::_swStateSelect, c.swState);
        RoiMemory memory;
        memory.lastInMode[1] = memory.lastInMode[2] = 7;
        RecordModes(c.model, block, memory);
        EXPECT_EQ(memory.lastOutMode, c.fit) << c.swState;
        EXPECT_EQ(memory.lastInMode[0], c.selection) << c.swState;
        EXPECT_EQ(memory.lastInMode[1], c.aspect) << c.swState;
        EXPECT_EQ(memory.lastInMode[2], c.size) << c.swState;
    }
}

// Hestra's modes are the raw code, and count only while the input matches.
TEST(RoiReadback, HestraModesWhileTheInputMatches)
{
    for (bool matches : {true, false}) {
        SCOPED_TRACE(matches ? "matches" : "does not match");
        Status status = Typical();
        status.Set({{20, matches ? 0x40 : 0x00}});
        RoiScene scene = NewScene(H);
        scene.block.Set(F::_swStateSelect, 0x2C);
        Converter converter;
        const RoiScene read = converter.Readback(Linked(H, status), scene);
        EXPECT_EQ(Value(read, H, Param::CfgInMode), QVariant(matches ? 12u : 0u));
        EXPECT_EQ(Value(read, H, Param::CfgOutMode), QVariant(matches ? 2u : 0u));
    }
}

// A changed selection shows the set input raster and the block's region.
TEST(RoiReadback, InputRasterAndRegion)
{
    Status status = Typical();
    status.SetTo(1280, 720, 540000);
    RoiScene scene = NewScene(M);
    PutInRegion(scene.block, 10, 20, 640, 360);
    const RoiOutcome o = Readback(Linked(M, status), scene, LinkState{true, false});
    EXPECT_EQ(Value(o.scene, M, Param::CfgInScreenW), QVariant(1280u));
    EXPECT_EQ(Value(o.scene, M, Param::CfgInScreenH), QVariant(720u));
    EXPECT_EQ(o.scene.in.SourceWidth(), 1280);
    EXPECT_EQ(Value(o.scene, M, Param::CfgInX), QVariant(10u));
    EXPECT_EQ(Value(o.scene, M, Param::CfgInH), QVariant(360u));
    EXPECT_EQ(Value(o.scene, M, Param::ImageInRoi).toString(), "Sel:640x360");
    EXPECT_EQ(o.scene.memory.lastInSize, (InputFormat{1280, 720, 5000}));
}

TEST(RoiReadback, OrientationFiltersAudioAndColour)
{
    const struct {
        const char* what;
        std::vector<std::pair<int, int>> fields;
        std::vector<std::pair<Param, QVariant>> expected;
    } cases[] = {
        {"180 degrees: rotation 0 under the marker, flips shown relative to it",
         {{F::_swStateSelect2, 0x02}, {F::_horizontalFlip, 1}},
         {{Param::CfgOutRotation, 2u}, {Param::OutHorizFlipCk, false}, {Param::OutVertFlipCk, true},
          {Param::OutFrameDelay, true}}},
        {"90 degrees", {{F::_rotation, 2}}, {{Param::CfgOutRotation, 1u}, {Param::OutFrameDelay, true}}},
        {"a rotation code past 3", {{F::_rotation, 5}}, {{Param::CfgOutRotation, 0u}}},
        {"the chosen frame delay", {{F::_swStateSelect2, 0x01}}, {{Param::OutFrameDelayCk, true}}},
        {"filters", {{F::_sharpBlanking, 1}, {F::_flickerFiltering, 1}},
         {{Param::OutEdgeFiltering, false}, {Param::OutFlickerFiltering, true}}},
        {"SMPTE range", {{F::_isSmpte, 1}}, {{Param::InRgbRange, 1u}}},
        {"audio", {{F::_audioControl, 0x1E | 0x40}},
         {{Param::AudInSelect, 1u}, {Param::AudAnalogOutMap, 3u}, {Param::AudConversion, 1u}}},
        // One bit at a time: a neighbour's bit under a wrong shift reads
        // as something else.
        {"audio conversion bit alone", {{F::_audioControl, 0x02}},
         {{Param::AudInSelect, 0u}, {Param::AudAnalogOutMap, 0u}, {Param::AudConversion, 1u}}},
        {"audio input bit 2 alone", {{F::_audioControl, 0x04}},
         {{Param::AudInSelect, 2u}, {Param::AudAnalogOutMap, 0u}, {Param::AudConversion, 0u}}},
        {"analog map low bit", {{F::_audioControl, 0x08}},
         {{Param::AudInSelect, 0u}, {Param::AudAnalogOutMap, 1u}, {Param::AudConversion, 0u}}},
        {"analog map high bit", {{F::_audioControl, 0x10}},
         {{Param::AudInSelect, 0u}, {Param::AudAnalogOutMap, 2u}, {Param::AudConversion, 0u}}},
        {"bits 0 and 5 are not read", {{F::_audioControl, 0x21}},
         {{Param::AudInSelect, 0u}, {Param::AudAnalogOutMap, 0u}, {Param::AudConversion, 0u}}},
        {"genlock source", {{F::_genLockCtrl, 0x7C}}, {{Param::Genlock, 2u}}},
        {"background black", {{F::_backColorY, 16}}, {{Param::BackgroundColor, "#000000"}}},
        {"background white", {{F::_backColorY, 235}}, {{Param::BackgroundColor, "#ffffff"}}},
    };
    const Status status = Typical();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RoiScene scene = NewScene(P);
        for (const auto& f : c.fields)
            scene.block.Set(f.first, f.second);
        Converter converter;
        const RoiScene read = converter.Readback(Linked(P, status), scene);
        for (const auto& e : c.expected)
            EXPECT_EQ(Value(read, P, e.first), e.second) << ParamName(e.first);
    }
}

// Delays past the output format's limits are published, and cut by the
// delay setters.
TEST(RoiReadback, DelaysPastTheFormatAreCut)
{
    const Status status = Typical();
    RoiScene scene = NewScene(M);
    scene.block.Set(F::_sdiOutVideoCtrl, 0x18); // 720p50: 1979 x 749
    scene.block.Set(F::_horizontalDelay, 2500);
    scene.block.Set(F::_verticalDelay, 100);
    const RoiOutcome o = Readback(Linked(M, status), scene, LinkState{true, false});
    EXPECT_EQ(Value(o.scene, M, Param::GenHDelay), QVariant(2500u));
    EXPECT_EQ(Value(o.scene, M, Param::GenHDelayMax), QVariant(1979u));
    EXPECT_EQ(Value(o.scene, M, Param::GenVDelayMax), QVariant(749u));
    // The forced pass fits first; the cut follows the fit.
    ASSERT_TRUE(NextIs<next::Fit>(o));
    const RoiOutcome fitted = Continue(Linked(M, status), o.scene, *o.next);
    const next::ClampDelays* clamp = NextIs<next::ClampDelays>(fitted);
    ASSERT_TRUE(clamp);
    EXPECT_EQ(clamp->hDelay, 1979);
    EXPECT_EQ(clamp->vDelay, 100);
    Converter converter;
    const RoiScene cut = converter.Take(Linked(M, status), o);
    EXPECT_EQ(cut.block[F::_horizontalDelay], 1979);
    // A format without limits publishes none and cuts nothing.
    scene.block.Set(F::_sdiOutVideoCtrl, 0x01);
    const RoiOutcome none = Readback(Linked(M, status), scene, LinkState{true, false});
    EXPECT_FALSE(none.scene.values.contains(M.Id(Param::GenHDelayMax)));
    Converter taker;
    taker.Take(Linked(M, status), none);
    EXPECT_EQ(taker.Kinds().find('C'), std::string::npos);
}

TEST(RoiReadback, Identity)
{
    RoiIdentity identity;
    identity.fpgaVersion = "1.0";
    identity.releaseVersion = "1.2";
    identity.serialNumber = "SIM05001";
    identity.moduleName = "Studio A";
    identity.moduleTypeName = "HESTRA";
    identity.boardAssembly = "A1";
    const Status status = Typical();
    for (const RoiModel* model : kModels) {
        SCOPED_TRACE(model->name);
        RoiOutcome o(NewScene(*model));
        PutIdentity(Linked(*model, status), identity, o);
        EXPECT_EQ(Value(o.scene, *model, Param::FpgaVersion).toString(), "1.0");
        EXPECT_EQ(Value(o.scene, *model, Param::DuviRuravodIvoduri).toString(), "1.2");
        EXPECT_EQ(Value(o.scene, *model, Param::VoruZevezoZerazi).toString(), "SIM05001");
        EXPECT_EQ(Value(o.scene, *model, Param::ModuleName).toString(), "Studio A");
        EXPECT_EQ(Value(o.scene, *model, Param::ModuleType).toString(), "HESTRA");
        EXPECT_EQ(Value(o.scene, *model, Param::ModuleAssemblyBd).toString(), "A1");
        // Hestra names the module on the debug channel.
        EXPECT_EQ(Actions(o), model->logsInfoTab ? "D" : "");
        if (model->logsInfoTab) {
            const auto& line = std::get<effect::DebugNamed>(o.effects[0]);
            EXPECT_EQ(line.text, " UpdateHestraInfoTab name");
            EXPECT_EQ(line.name, "Studio A");
        }
        // Without a link all six read "Unknown".
        RoiOutcome unlinked(NewScene(*model));
        PutIdentity(RoiContext{*model, status.data(), false}, identity, unlinked);
        for (Param p : {Param::FpgaVersion, Param::DuviRuravodIvoduri, Param::VoruZevezoZerazi, Param::ModuleName,
                        Param::ModuleType, Param::ModuleAssemblyBd})
            EXPECT_EQ(Value(unlinked.scene, *model, p).toString(), "Unknown") << ParamName(p);
    }
}

// Without the link, the device, or with a command running, only the
// identity follows.
TEST(RoiReadback, OnlyTheIdentityWithoutTheDevice)
{
    const Status status = Typical();
    for (const auto& c : {std::make_pair(RoiContext{Q, status.data(), false}, LinkState{true, false}),
                          std::make_pair(RoiContext{Q, status.data(), true}, LinkState{false, false})}) {
        const RoiScene scene = NewScene(Q);
        const RoiOutcome o = Readback(c.first, scene, c.second);
        EXPECT_EQ(Actions(o), "Y");
        EXPECT_EQ(o.scene.values, scene.values);
    }
}

} // namespace
