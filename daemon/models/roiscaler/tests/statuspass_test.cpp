// The status pass on byte images, for all four models: every text, value
// and colour it publishes from the status image and the block, the watch
// of the input format, and the input section's decisions.
#include <gtest/gtest.h>

#include <cstring>

#include "roiscaler/decisions/blockvalues.h"
#include "roiscaler/values/regiontext.h"
#include "rulestesting.h"

using namespace rulestesting;

namespace {

using F = RoiField;

struct Expect {
    Param param;
    QVariant value;
};

// One status image (the typical one with these registers) and block fields,
// and what a pass over a new wrapper's scene publishes.
struct TextCase {
    const char* what;
    std::vector<const RoiModel*> models;
    std::vector<std::pair<int, int>> registers;
    std::vector<std::pair<int, int>> fields;
    std::vector<Expect> expected;
};

const std::vector<const RoiModel*> kAll = {&H, &M, &P, &Q};
const std::vector<const RoiModel*> kProcessing = {&M, &P, &Q};
const std::vector<const RoiModel*> kByte53Genlock = {&H, &P, &Q};

const QString kDegree = QString::fromLatin1("\xC2\xB0");

std::vector<TextCase> TextCases()
{
    return {
        // The input.
        {"no input", kAll, {{43, 0x00}}, {},
         {{Param::ImageInEnabled, "Disconnected"}, {Param::ImageInSize, "0x0"}, {Param::ImageInRoi, "Sel: 0x0"},
          {Param::ImageInAudio, "No audio"}, {Param::InConnected, false}}},
        {"DisplayPort input", {&M}, {}, {},
         {{Param::ImageInEnabled, "DP 59.94Hz"}, {Param::ImageInSize, "1920x1080"}, {Param::CfgInScreenW, 1920u},
          {Param::CfgInScreenH, 1080u}, {Param::InConnected, true}, {Param::ImageInAudio, "No audio"}}},
        {"HDMI input", {&H, &P, &Q}, {}, {},
         {{Param::ImageInEnabled, "HDMI 59.94Hz"}, {Param::ImageInSize, "1920x1080"}, {Param::InConnected, true},
          {Param::ImageInAudio, "Audio 8Ch"}}},
        {"DVI signalling: a whole rate, no audio", {&H, &P}, {{53, 0x40}}, {},
         {{Param::ImageInEnabled, "DVI 60Hz"}, {Param::ImageInAudio, "No audio"}}},
        {"DVI signalling, Quastel", {&Q}, {{53, 0x40}}, {},
         {{Param::ImageInEnabled, "HDMI 60Hz"}, {Param::ImageInAudio, "No audio"}}},
        {"DVI signalling, Mardex", {&M}, {{53, 0x40}}, {}, {{Param::ImageInEnabled, "DP 60Hz"}}},
        {"two-channel audio", {&H, &P, &Q}, {{53, 0x80}}, {}, {{Param::ImageInAudio, "Audio 2Ch"}}},
        {"Mardex audio present, two channels", {&M}, {{59, 0x40}, {53, 0x80}}, {},
         {{Param::ImageInAudio, "Audio 2Ch"}}},
        {"Mardex audio present, eight channels", {&M}, {{59, 0x40}}, {}, {{Param::ImageInAudio, "Audio 8Ch"}}},
        {"sync mode", kProcessing, {{59, 0x20}}, {}, {{Param::ImageInEnabled, "Sync mode"}}},
        {"sync mode before the rate alarm", kProcessing, {{59, 0xA0}}, {}, {{Param::ImageInEnabled, "Sync mode"}}},
        {"rate above the maximum", kProcessing, {{59, 0x80}}, {}, {{Param::ImageInEnabled, "Exceeds max rate"}}},
        {"Hestra reads no rate alarms", {&H}, {{59, 0xA0}}, {}, {{Param::ImageInEnabled, "HDMI 59.94Hz"}}},
        {"50 frames a second", {&M}, {{54, 0x60}, {55, 0x3D}, {56, 0x08}}, {},
         {{Param::ImageInEnabled, "DP 50Hz"}}},
        {"the monitor's name", {&M}, {}, {}, {{Param::EDIDNameStr, "Studio Mon"}}},
        // The output.
        {"DVI output connected", {&H, &P}, {{53, 0x00}}, {},
         {{Param::ImageOutEnabled, "DVI Connected"}, {Param::OutConnected, true}}},
        {"DP output connected", {&M}, {{53, 0x00}}, {},
         {{Param::ImageOutEnabled, "DP Connected"}, {Param::OutConnected, true}}},
        {"HDMI output connected", {&Q}, {{53, 0x00}}, {},
         {{Param::ImageOutEnabled, "HDMI Connected"}, {Param::OutConnected, true}}},
        {"output disconnected", kAll, {{53, 0x08}}, {},
         {{Param::ImageOutEnabled, "Disconnected"}, {Param::OutConnected, false}}},
        // The reference.
        {"reference 720p59.94", kAll, {{42, 0x92}}, {},
         {{Param::RefImageInputStatus, "720p59.94"}, {Param::RefInValidColorState, true}}},
        {"reference 1080p25", kAll, {{42, 0xC5}}, {}, {{Param::RefImageInputStatus, "1080p25"}}},
        {"reference 1080i60", kAll, {{42, 0x80}}, {}, {{Param::RefImageInputStatus, "1080i60"}}},
        {"no reference", kAll, {{42, 0x3C}}, {},
         {{Param::RefImageInputStatus, "No Ref"}, {Param::RefInValidColorState, false},
          {Param::GenlockRefAlarmStr, "No reference present"}}},
        // Genlock: Mardex's state in byte 20, its source 2 (the reference)
        // by default.
        {"Mardex locked to the reference", {&M}, {{20, 0x44}}, {},
         {{Param::ImageSdiOutGenLock, "Lock RefIn"}, {Param::GenlockStatusStr, "RefIn"},
          {Param::GenlockLabelColor, 2u}}},
        {"Mardex free run", {&M}, {{20, 0x46}}, {},
         {{Param::ImageSdiOutGenLock, "Free Run"}, {Param::GenlockStatusStr, "Free Run"},
          {Param::GenlockLabelColor, 0u}}},
        {"Mardex state 1 is still locking", {&M}, {{20, 0x42}}, {},
         {{Param::ImageSdiOutGenLock, "Locking"}, {Param::GenlockStatusStr, "Locking"},
          {Param::GenlockLabelColor, 0u}}},
        {"Mardex locking", {&M}, {{20, 0x40}}, {},
         {{Param::ImageSdiOutGenLock, "Locking"}, {Param::GenlockLabelColor, 0u}}},
        // The others' state in byte 53, their source 0 (auto) by default.
        {"locked to the input", kByte53Genlock, {{53, 0x10}}, {},
         {{Param::ImageSdiOutGenLock, "Lock HDMI"}, {Param::GenlockStatusStr, "HDMI"},
          {Param::GenlockLabelColor, 1u}}},
        {"locked to the reference", kByte53Genlock, {{53, 0x20}}, {},
         {{Param::ImageSdiOutGenLock, "Lock RefIn"}, {Param::GenlockStatusStr, "RefIn"},
          {Param::GenlockLabelColor, 1u}}},
        {"free run", kByte53Genlock, {{53, 0x30}}, {},
         {{Param::ImageSdiOutGenLock, "Free Run"}, {Param::GenlockStatusStr, "Free Run"},
          {Param::GenDelayEnable, false}, {Param::GenDelayShow, true}}},
        {"locking", kByte53Genlock, {{53, 0x00}}, {},
         {{Param::ImageSdiOutGenLock, "Locking"}, {Param::GenlockStatusStr, "Locking"},
          {Param::GenlockLabelColor, 0u}}},
        {"source the input, locked to the reference", kByte53Genlock, {{53, 0x20}}, {{F::_genLockCtrl, 0x02}},
         {{Param::GenlockLabelColor, 0u}}},
        {"source the input, locked to it", kByte53Genlock, {{53, 0x10}}, {{F::_genLockCtrl, 0x02}},
         {{Param::GenlockLabelColor, 2u}}},
        {"source the reference, locked to the input", kByte53Genlock, {{53, 0x10}}, {{F::_genLockCtrl, 0x04}},
         {{Param::GenlockLabelColor, 0u}}},
        {"source the reference, locked to it", kByte53Genlock, {{53, 0x20}}, {{F::_genLockCtrl, 0x04}},
         {{Param::GenlockLabelColor, 2u}}},
        // The genlock delays.
        // An empty alarm over no alarm yet is no change: not written.
        {"delays free with a reference", kByte53Genlock, {{53, 0x20}}, {},
         {{Param::GenlockRefAlarmStr, QVariant()}, {Param::GenDelayEnable, true}, {Param::GenDelayShow, true}}},
        {"delays blocked by the lock to the input", kByte53Genlock, {{53, 0x10}}, {},
         {{Param::GenlockRefAlarmStr, "Reference is incompatible with the Output Format"},
          {Param::GenDelayEnable, false}, {Param::GenDelayShow, true}}},
        {"delays blocked by free run", kAll, {{53, 0x20}}, {{F::_genLockCtrl, 0x06}},
         {{Param::GenlockRefAlarmStr, "Reference is incompatible with the Output Format"},
          {Param::GenDelayEnable, false}, {Param::GenDelayShow, false}}},
        // The audio selection of the block.
        {"Mardex audio from DP", {&M}, {}, {{F::_audioControl, 0x00}}, {{Param::ImageSdiOutAudio, "Aud: DP"}}},
        {"Mardex audio analog", {&M}, {}, {{F::_audioControl, 0x44}}, {{Param::ImageSdiOutAudio, "Aud: Analog"}}},
        {"Mardex audio analog and DP", {&M}, {}, {{F::_audioControl, 0x04}},
         {{Param::ImageSdiOutAudio, "Analog+Dp"}}},
        {"Mardex audio none", {&M}, {}, {{F::_audioControl, 0x80}}, {{Param::ImageSdiOutAudio, "Aud: None"}}},
        {"audio from HDMI", kByte53Genlock, {}, {{F::_audioControl, 0x00}}, {{Param::ImageSdiOutAudio, "Aud: HDMI"}}},
        {"audio analog", kByte53Genlock, {}, {{F::_audioControl, 0x44}}, {{Param::ImageSdiOutAudio, "Aud: Analog"}}},
        {"audio analog and HDMI", kByte53Genlock, {}, {{F::_audioControl, 0x04}},
         {{Param::ImageSdiOutAudio, "Analog+HDMI"}}},
        {"audio none", kByte53Genlock, {}, {{F::_audioControl, 0xC4}}, {{Param::ImageSdiOutAudio, "Aud: None"}}},
        // Rotation, frame delay and flips.
        {"plain picture", kProcessing, {}, {},
         {{Param::CfgOutRotation, 0u}, {Param::RotationStatusStr, "0" + kDegree}, {Param::RotationStatusColor, 2u},
          {Param::ImageOutFrameDelay, "Frame Delay: Off"}, {Param::OutFrameDelay, false},
          {Param::ProcLimitDisplay, 0u}, {Param::FrameDelayLabelColor, 2u}, {Param::HorizFlipLabelColor, 2u},
          {Param::VertFlipLabelColor, 2u}}},
        {"90 degrees", kProcessing, {}, {{F::_rotation, 2}},
         {{Param::CfgOutRotation, 1u}, {Param::RotationStatusStr, "90" + kDegree},
          {Param::ImageOutFrameDelay, "Frame Delay: On"}, {Param::OutFrameDelay, true}}},
        {"270 degrees", kProcessing, {}, {{F::_rotation, 3}},
         {{Param::CfgOutRotation, 3u}, {Param::RotationStatusStr, "270" + kDegree}}},
        {"180 degrees: both flips under the marker", kProcessing, {},
         {{F::_swStateSelect2, 0x02}, {F::_horizontalFlip, 1}, {F::_verticalFlip, 1}},
         {{Param::CfgOutRotation, 2u}, {Param::RotationStatusStr, "180" + kDegree}, {Param::OutFrameDelay, true}}},
        {"rotation 1 under the marker is 180", kProcessing, {}, {{F::_rotation, 1}, {F::_swStateSelect2, 0x02}},
         {{Param::CfgOutRotation, 2u}}},
        {"a frame delay", kProcessing, {}, {{F::_frameDelay, 1}},
         {{Param::OutFrameDelay, true}, {Param::ImageOutFrameDelay, "Frame Delay: On"}}},
        {"a flip delays a frame", kProcessing, {}, {{F::_verticalFlip, 1}}, {{Param::OutFrameDelay, true}}},
        {"processing limit holds back the rotation", kProcessing, {}, {{F::_procLimit, 1}, {F::_rotation, 2}},
         {{Param::ProcLimitDisplay, 1u}, {Param::CfgOutRotation, 1u}, {Param::RotationStatusStr, "0" + kDegree},
          {Param::RotationStatusColor, 0u}, {Param::ImageOutFrameDelay, "Frame Delay: Off"}}},
        {"processing limit, no rotation", kProcessing, {}, {{F::_procLimit, 1}}, {{Param::RotationStatusColor, 2u}}},
        {"processing limit holds back the chosen delay", kProcessing, {},
         {{F::_procLimit, 1}, {F::_swStateSelect2, 0x01}}, {{Param::FrameDelayLabelColor, 0u}}},
        {"processing limit: a flip under the marker cancels it", kProcessing, {},
         {{F::_procLimit, 1}, {F::_swStateSelect2, 0x02}, {F::_horizontalFlip, 1}},
         {{Param::HorizFlipLabelColor, 2u}, {Param::VertFlipLabelColor, 0u}}},
        {"processing limit holds back a flip", kProcessing, {}, {{F::_procLimit, 1}, {F::_horizontalFlip, 1}},
         {{Param::HorizFlipLabelColor, 0u}, {Param::VertFlipLabelColor, 2u}}},
        // The background colour.
        {"black background", kAll, {}, {{F::_backColorY, 16}}, {{Param::BackgroundColor, "#000000"}}},
        {"white background", kAll, {}, {{F::_backColorY, 235}}, {{Param::BackgroundColor, "#ffffff"}}},
    };
}

TEST(RoiStatusPass, StatusImagesIntoTexts)
{
    for (const TextCase& c : TextCases()) {
        for (const RoiModel* model : c.models) {
            SCOPED_TRACE(std::string(model->name) + ": " + c.what);
            Status status = Typical();
            for (const auto& r : c.registers)
                status.Set({r});
            RoiScene scene = NewScene(*model);
            for (const auto& f : c.fields)
                scene.block.Set(f.first, f.second);
            Converter converter;
            converter.edidName = QStringLiteral("Studio Mon");
            const RoiContext context = Linked(*model, status);
            scene = converter.Status(context, std::move(scene), false);
            for (const Expect& e : c.expected) {
                ASSERT_TRUE(model->Has(e.param)) << ParamName(e.param);
                EXPECT_EQ(scene.values.value(model->Id(e.param)), e.value) << ParamName(e.param);
            }
            // The region texts every pass.
            EXPECT_EQ(scene.values.value(model->Id(Param::InScreenProxy)).toString(),
                      ScreenProxyText(scene.values, model->idBase, 0));
            EXPECT_EQ(scene.values.value(model->Id(Param::OutScreenProxy)).toString(),
                      ScreenProxyText(scene.values, model->idBase, 1));
        }
    }
}

// Over no values yet, a pass writes what it always writes, even at 0,
// false or empty; what it writes when changed stays out.
TEST(RoiStatusPass, AlwaysAgainstChanged)
{
    const Status status = Typical();
    for (const RoiModel* model : kModels) {
        SCOPED_TRACE(model->name);
        RoiScene scene = NewScene(*model);
        scene.values.clear();
        Converter converter;
        scene = converter.Status(Linked(*model, status), std::move(scene), false);
        for (Param p : {Param::CfgOutRotation, Param::ProcLimitDisplay, Param::RotationStatusColor,
                        Param::FrameDelayLabelColor, Param::InConnected, Param::OutConnected,
                        Param::RefInValidColorState, Param::GenDelayEnable, Param::GenDelayShow, Param::ImageInSize})
            if (model->Has(p)) {
                EXPECT_TRUE(scene.values.contains(model->Id(p))) << ParamName(p);
            }
        for (Param p : {Param::OutFrameDelay, Param::GenlockRefAlarmStr})
            EXPECT_FALSE(scene.values.contains(model->Id(p))) << ParamName(p);
        EXPECT_EQ(scene.values.value(model->Id(Param::BackgroundColor)).toString(), "#000000");
    }
}

// Hestra has no processing parameters, no EDID name: the pass writes none.
TEST(RoiStatusPass, ParametersAModelLacksStayUnwritten)
{
    const Status status = Typical();
    Converter converter;
    for (const RoiModel* model : kModels) {
        const RoiScene scene = converter.Status(Linked(*model, status), NewScene(*model), false);
        EXPECT_FALSE(scene.values.contains(0)) << model->name;
        for (auto it = scene.values.begin(); it != scene.values.end(); ++it)
            EXPECT_NE(model->ParamOf(it.key()), Param::kCount) << model->name << std::hex << it.key();
    }
}

// While the input stays as it was, the input texts are not rebuilt: a
// change of the audio bit alone shows once the input text changes.
TEST(RoiStatusPass, UnchangedInputLeavesTheInputTextsAlone)
{
    Status status = Typical();
    Converter converter;
    RoiScene scene = converter.Status(Linked(Q, status), NewScene(Q), false);
    ASSERT_EQ(scene.values.value(Q.Id(Param::ImageInAudio)).toString(), "Audio 8Ch");
    converter.Kinds();
    status.Set({{53, 0x80}});
    scene = converter.Status(Linked(Q, status), std::move(scene), false);
    EXPECT_EQ(scene.values.value(Q.Id(Param::ImageInAudio)).toString(), "Audio 8Ch");
    EXPECT_EQ(converter.Kinds(), "");
    status.Measured(1920, 1080, 540000);
    scene = converter.Status(Linked(Q, status), std::move(scene), false);
    EXPECT_EQ(scene.values.value(Q.Id(Param::ImageInEnabled)).toString(), "HDMI 50Hz");
    EXPECT_EQ(scene.values.value(Q.Id(Param::ImageInAudio)).toString(), "Audio 2Ch");
}

// The input proxy follows the input; the output proxy too, except Hestra's.
TEST(RoiStatusPass, ProxiesFollowTheInput)
{
    for (const RoiModel* model : kModels) {
        SCOPED_TRACE(model->name);
        Status status = Typical();
        Converter converter;
        RoiScene scene = converter.Status(Linked(*model, status.Set({{43, 0x00}})), NewScene(*model), false);
        EXPECT_FALSE(scene.in.IsEnabled());
        EXPECT_EQ(scene.out.IsEnabled(), !model->outputProxyFollowsInput);
        scene = converter.Status(Linked(*model, status.Set({{43, 0x80}})), std::move(scene), false);
        EXPECT_TRUE(scene.in.IsEnabled());
        EXPECT_TRUE(scene.out.IsEnabled());
    }
}

// The watch of the input format, by what the pass samples.
TEST(RoiStatusPass, WatchOfTheInputFormat)
{
    const InputFormat hd{1920, 1080, 5994};
    const InputFormat sd{720, 486, 2997};
    const struct {
        const char* what;
        bool present, matches, releaseWatches, inputChangeSeen, paramChanged;
        InputFormat measured, set, recorded;
        const char* actions;
        int disconnectLine; // of the reread
        bool seenAfter, changedAfter;
        InputFormat recordedAfter;
    } cases[] = {
        {"no input", false, false, true, false, false, sd, hd, hd, "", 0, false, false, hd},
        {"release 1.1", true, false, false, false, false, sd, hd, hd, "", 0, false, false, hd},
        {"first stable pass: the set format and the modes", true, false, true, false, false, hd, hd, sd, "XM", 3, true,
         false, hd},
        {"stable by the match bit", true, true, true, false, false, sd, hd, InputFormat{1, 1, 1}, "XM", 3, true, false,
         hd},
        {"stable as recorded", true, false, true, false, false, sd, hd, sd, "XM", 3, true, false, hd},
        {"stable, already recorded", true, false, true, true, false, hd, hd, sd, "", 0, true, false, sd},
        {"departed: reread and Auto", true, false, true, true, false, sd, hd, hd, "XV", 2, true, false, hd},
        {"departed after a change: record, reread, Auto", true, false, true, true, true, sd, hd, InputFormat{1, 1, 1},
         "XMV", 1, true, false, hd},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RoiScene scene = NewScene(M);
        scene.memory.inputChangeSeen = c.inputChangeSeen;
        scene.memory.paramChanged = c.paramChanged;
        scene.memory.lastInSize = c.recorded;
        const StatusSample sample{c.present, c.measured, c.set, c.matches, c.recorded == c.measured};
        const Status status = Typical();
        const RoiOutcome o = WatchInput(Linked(M, status), scene, sample, c.releaseWatches);
        EXPECT_EQ(Actions(o), c.actions);
        if (!o.effects.empty()) {
            EXPECT_EQ(std::get<effect::Reread>(o.effects[0]).disconnectLine, c.disconnectLine);
        }
        EXPECT_EQ(o.scene.memory.inputChangeSeen, c.seenAfter);
        EXPECT_EQ(o.scene.memory.paramChanged, c.changedAfter);
        EXPECT_EQ(o.scene.memory.lastInSize, c.recordedAfter);
    }
}

// The input section: texts, idle, restore, revert after a change, or the
// stored selection and fit applied again.
TEST(RoiStatusPass, InputSectionDecisions)
{
    const InputFormat hd{1920, 1080, 5994};
    const InputFormat sd{720, 486, 2997};
    const struct {
        const char* what;
        const RoiModel& model;
        bool present, matches, unchanged, paramChanged;
        InputFormat set;
        bool idle;
        const char* actions; // the section's effects and its next step
        const char* then;    // how the step ends
    } cases[] = {
        {"no input", M, false, false, false, false, hd, false, "", ""},
        {"idle: the input as it was", Q, true, true, true, false, hd, true, "", ""},
        {"the recorded format back", P, true, false, true, false, sd, false, "XO", "U"},
        {"the recorded format back after a change", P, true, false, true, true, sd, false, "XMV", "U"},
        {"another format", Q, true, false, false, false, sd, false, "A", "U"},
        {"the set format", H, true, false, true, false, hd, false, "A", "U"},
        {"Mardex reads the monitor's name", M, true, true, false, false, hd, false, "A", "UE"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Status status = Typical();
        const RoiContext context = Linked(c.model, status);
        RoiScene scene = NewScene(c.model);
        scene.memory.paramChanged = c.paramChanged;
        if (c.idle) {
            scene.in.SetSourceSize(1920, 1080);
            PutS(scene.values, c.model.Id(Param::ImageInEnabled), QStringLiteral("HDMI 59.94Hz"));
        }
        const RoiOutcome o = UpdateInput(context, scene, StatusSample{c.present, hd, c.set, c.matches, c.unchanged});
        EXPECT_EQ(Actions(o), c.actions);
        if (c.idle) {
            EXPECT_EQ(o.scene.values, scene.values);
        }
        // The step runs next, finished by the texts.
        if (o.next) {
            const std::string step = Actions(Continue(context, o.scene, *o.next));
            ASSERT_GE(step.size(), std::strlen(c.then));
            EXPECT_EQ(step.substr(step.size() - std::strlen(c.then)), c.then);
        } else {
            EXPECT_STREQ(c.then, "");
        }
        if (const next::RestoreInput* restore = NextIs<next::RestoreInput>(o)) {
            EXPECT_EQ(std::get<effect::Reread>(o.effects[0]).disconnectLine, 5);
            EXPECT_EQ(restore->width, 1920);
            EXPECT_EQ(restore->height, 1080);
        }
        if (std::string(c.actions).find('M') != std::string::npos) {
            EXPECT_EQ(std::get<effect::Reread>(o.effects[0]).disconnectLine, 4);
            EXPECT_EQ(o.scene.memory.lastInSize, c.set);
            EXPECT_FALSE(o.scene.memory.paramChanged);
        }
        if (c.present && !c.idle) {
            EXPECT_EQ(o.scene.values.value(c.model.Id(Param::ImageInSize)).toString(), "1920x1080");
            EXPECT_EQ(o.scene.in.SourceWidth(), 1920);
        }
    }
}

// Reverting returns the fit to Auto Scale (Hestra writes the block once
// more); restoring brings back the recorded selection and fit over the
// whole picture.
TEST(RoiStatusPass, RevertAndRestore)
{
    for (const RoiModel* model : kModels) {
        SCOPED_TRACE(model->name);
        const Status status = Typical();
        const RoiContext context = Linked(*model, status);
        RoiScene scene = Started(context, NewScene(*model));
        scene = SelectFit(context, scene, 2, false).scene;
        const RoiOutcome reverted = RevertToAuto(context, scene);
        ASSERT_FALSE(reverted.effects.empty());
        const auto* line = std::get_if<effect::Debug>(&reverted.effects.front());
        ASSERT_TRUE(line);
        EXPECT_EQ(line->line, "Revert to auto mode");
        EXPECT_EQ(ValueU(reverted.scene.values, model->Id(Param::CfgOutMode)), 0u);
        EXPECT_EQ(reverted.scene.block[F::_swStateSelect] >> 4, 0);
        EXPECT_EQ(std::holds_alternative<effect::Write>(reverted.effects.back()), model->rewritesAfterRevert);
        // Hestra writes the block after the selection and after the fit.
        const auto rewrites = [](const std::string& actions) {
            int n = 0;
            for (std::size_t at = actions.find("TW"); at != std::string::npos; at = actions.find("TW", at + 1))
                ++n;
            return n;
        };

        scene.memory.lastOutMode = 3;
        scene.memory.lastInMode[0] = model->oneIndexSelection ? 1 : 2;
        scene.memory.lastInMode[1] = 1;
        const RoiOutcome restored = RestoreInput(context, scene, 1920, 1080);
        EXPECT_EQ(rewrites(Actions(restored)), model->rewritesAfterRevert ? 2 : 0) << Actions(restored);
        EXPECT_EQ(ValueU(restored.scene.values, model->Id(Param::CfgOutMode)), 3u);
        EXPECT_EQ(restored.scene.block[F::_swStateSelect] >> 4, 3);
        if (model->oneIndexSelection) {
            EXPECT_EQ(ValueU(restored.scene.values, model->Id(Param::CfgInMode)), 1u);
        } else {
            EXPECT_EQ(ValueU(restored.scene.values, model->Id(Param::CfgInMode)), 2u);
            EXPECT_EQ(ValueU(restored.scene.values, model->Id(Param::CfgInFixedAspectMode)), 1u);
            EXPECT_EQ(restored.scene.block[F::_swStateSelect] & 0x0F, 7); // 16:9
        }
    }
}

// Hestra's pass waits while its rereads wait for a measured input.
TEST(RoiStatusPass, HestraWaitsForAMeasuredInput)
{
    const Status status = Typical();
    RoiScene scene = NewScene(H);
    scene.block.Set(F::_fpgaInputHTotalLSB, 0);
    EXPECT_TRUE(StatusWaits(Linked(H, status), scene));
    EXPECT_FALSE(StatusWaits(Linked(P, status), NewScene(P)));
    scene.memory.syncCountdown = 0;
    EXPECT_FALSE(StatusWaits(Linked(H, status), scene));
    scene.memory.syncCountdown = 2;
    scene.block.Set(F::_fpgaInputHTotalAndInputVStartMSB, 1);
    EXPECT_FALSE(StatusWaits(Linked(H, status), scene));
}

} // namespace
