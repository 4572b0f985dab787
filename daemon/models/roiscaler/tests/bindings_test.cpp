// The parameter bindings: one row per parameter, the defaults, and a
// client's change of each setting through Dispatch, on byte images: the
// block fields it changes and how the block goes out.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "roiscaler/decisions/blockvalues.h"
#include "roiscaler/values/tables.h"
#include "rulestesting.h"

using namespace rulestesting;

namespace {

using F = RoiField;

TEST(RoiBindings, OneRowPerParameterInOrder)
{
    ASSERT_EQ(Bindings().size, kParamCount);
    for (std::size_t p = 0; p < kParamCount; ++p) {
        const Binding& row = Bindings().data[p];
        SCOPED_TRACE(ParamName(Param(p)));
        EXPECT_EQ(row.param, Param(p));
        EXPECT_EQ(FindBinding(Param(p)), &row);
        // A rule needs a value to write.
        if (row.readback != Rule::Never || row.status != Rule::Never) {
            EXPECT_NE(row.get, nullptr);
        }
    }
    EXPECT_EQ(FindBinding(Param::kCount), nullptr);
}

TEST(RoiBindings, DefaultsOfANewWrapper)
{
    for (const RoiModel* model : kModels) {
        SCOPED_TRACE(model->name);
        ParamValues values;
        PutDefaults(*model, values);
        EXPECT_EQ(values.size(), model->oneIndexSelection ? 23 : 30);
        const struct {
            Param param;
            QVariant value;
        } expected[] = {
            {Param::CfgInScreenW, 1920u}, {Param::CfgInScreenH, 1200u}, {Param::CfgInX, 440u},
            {Param::CfgInY, 360u},        {Param::CfgInW, 720u},        {Param::CfgInH, 480u},
            {Param::CfgOutX, 240u},       {Param::CfgOutY, 0u},         {Param::CfgOutW, 1440u},
            {Param::CfgOutH, 1080u},      {Param::CfgOutScreenW, 1920u}, {Param::CfgOutScreenH, 1200u},
            {Param::OutEdgeFiltering, true}, {Param::OutFlickerFiltering, false}, {Param::Genlock, 0u},
            {Param::OutRoiFormat, 0u},    {Param::RoiAction, 0u},       {Param::AudConversion, 0u},
            {Param::OutFrameDelay, false}, {Param::OutHorizFlipCk, false}, {Param::CfgInFixedSizeMode, 0u},
        };
        for (const auto& e : expected) {
            if (!model->Has(e.param))
                continue;
            EXPECT_EQ(values.value(model->Id(e.param)), e.value) << ParamName(e.param);
        }
    }
}

// A tab's refresh and the delay availability publish their groups' rows
// and nothing else: forced, on a converter without a reference (so the
// alarm has a text), into no values published before.
TEST(RoiBindings, PartialPassesPublishTheirGroups)
{
    Status status = Typical();
    status.Set({{42, 0x00}});
    const std::set<Param> delayAvailability = {Param::GenDelayShow, Param::GenlockRefAlarmStr, Param::GenDelayEnable};
    std::set<Param> genlockTab = {Param::OutEdgeFiltering, Param::OutFlickerFiltering, Param::Genlock,
                                  Param::GenHDelay,        Param::GenVDelay,           Param::GenHDelayMax,
                                  Param::GenVDelayMax};
    genlockTab.insert(delayAvailability.begin(), delayAvailability.end());
    typedef std::function<void(const RoiContext&, const BlockImage&, ParamValues&)> Pass;
    const struct {
        const char* what;
        Pass pass;
        std::set<Param> written;
    } cases[] = {
        {"genlock tab",
         [](const RoiContext& c, const BlockImage& b, ParamValues& v) {
             PublishReadback(c, b, v, true, {Group::Genlock, Group::DelayAvailability});
         },
         genlockTab},
        {"delay availability",
         [](const RoiContext& c, const BlockImage& b, ParamValues& v) { PutDelayAvailability(c, b, v); },
         delayAvailability},
        {"audio tab",
         [](const RoiContext& c, const BlockImage& b, ParamValues& v) {
             PublishReadback(c, b, v, true, {Group::Audio});
         },
         {Param::AudInSelect, Param::AudAnalogOutMap, Param::AudConversion}},
        {"background, readback",
         [](const RoiContext& c, const BlockImage& b, ParamValues& v) {
             PublishReadback(c, b, v, true, {Group::Background});
         },
         {Param::BackgroundColor}},
        {"background, status",
         [](const RoiContext& c, const BlockImage& b, ParamValues& v) {
             PublishStatus(c, b, v, {Group::Background});
         },
         {Param::BackgroundColor}},
    };
    for (const RoiModel* model : kModels) {
        const RoiScene scene = NewScene(*model);
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(model->name) + ": " + c.what);
            ParamValues values;
            c.pass(Linked(*model, status), scene.block, values);
            std::set<Param> written;
            for (quint32 id : values.keys())
                written.insert(model->ParamOf(id));
            EXPECT_EQ(written, c.written);
        }
    }
}

// How a setting reaches the block: the fields it changes, then the actions
// (rulestesting.h names their letters).
struct Case {
    const char* what;
    const RoiModel& model;
    Param param;
    QVariant value;
    std::vector<std::pair<int, int>> fields; // after the change
    const char* actions;
};


std::vector<Case> Cases()
{
    return {
        {"SMPTE range", M, Param::InRgbRange, 1u, {{F::_isSmpte, 1}}, "SWTR"},
        {"range 2 is full range", H, Param::InRgbRange, 2u, {{F::_isSmpte, 0}}, "SWTR"},
        {"edge filtering off", P, Param::OutEdgeFiltering, false, {{F::_sharpBlanking, 1}}, "SWTR"},
        {"edge filtering on", P, Param::OutEdgeFiltering, true, {{F::_sharpBlanking, 0}}, "SWTR"},
        {"flicker filtering", Q, Param::OutFlickerFiltering, true, {{F::_flickerFiltering, 1}}, "SWTR"},
        {"background white, Quastel writes only", Q, Param::BackgroundColor, QString("#ffffff"),
         {{F::_backColorY, 235}, {F::_backColorCb, 128}, {F::_backColorCr, 128}}, "WTR"},
        {"background red, BT.709", H, Param::BackgroundColor, QString("#ff0000"),
         {{F::_backColorY, 63}, {F::_backColorCb, 102}, {F::_backColorCr, 240}}, "SWTR"},
        {"empty background", M, Param::BackgroundColor, QString(), {{F::_backColorY, 16}}, "R"},
        {"rotation 90, Pendro writes only", P, Param::CfgOutRotation, 1u, {{F::_rotation, 2}}, "WTR"},
        {"rotation 270, Mardex", M, Param::CfgOutRotation, 3u, {{F::_rotation, 3}}, "SWTR"},
        {"EDID off: written, no timer", M, Param::EDIDFlowThru, 2u, {{F::_edidSwitch, 0}}, "WR"},
        {"EDID on", M, Param::EDIDFlowThru, 1u, {{F::_edidSwitch, 1}}, "WR"},
        {"genlock free run, Hestra streams", H, Param::Genlock, 3u, {{F::_genLockCtrl, 0x06}}, "SWTR"},
        {"genlock free run, Mardex writes only", M, Param::Genlock, 3u, {{F::_genLockCtrl, 0x06}}, "WTR"},
        {"H delay clamped to 2199 at 1080i29.97", Q, Param::GenHDelay, 3000u, {{F::_horizontalDelay, 2199}}, "SWTR"},
        {"V delay clamped to 1124", P, Param::GenVDelay, 1200u, {{F::_verticalDelay, 1124}}, "SWTR"},
        {"audio input 1", H, Param::AudInSelect, 1u, {{F::_audioControl, 0x44}}, "SWTR"},
        {"audio input 2", H, Param::AudInSelect, 2u, {{F::_audioControl, 0x04}}, "SWTR"},
        {"audio input none", M, Param::AudInSelect, 3u, {{F::_audioControl, 0x80}}, "SWTR"},
        {"analog map 5-6", Q, Param::AudAnalogOutMap, 2u, {{F::_audioControl, 0x10}}, "SWTR"},
        {"audio conversion", M, Param::AudConversion, 1u, {{F::_audioControl, 0x02}}, "SWTR"},
        {"frame delay", P, Param::OutFrameDelayCk, 1u, {{F::_swStateSelect2, 0x01}, {F::_frameDelay, 1}}, "SWTR"},
        {"horizontal flip", Q, Param::OutHorizFlipCk, 1u, {{F::_horizontalFlip, 1}}, "SWTR"},
        {"vertical flip", M, Param::OutVertFlipCk, 1u, {{F::_verticalFlip, 1}}, "SWTR"},
        {"firmware version is read-only", P, Param::FpgaVersion, QString("9.9"), {}, "R"},
        {"no action", Q, Param::RoiAction, 0u, {}, "R"},
        {"unknown action", Q, Param::RoiAction, 7u, {}, "R"},
        {"SDI output 720p50", H, Param::OutRoiFormat, 2u, {{F::_sdiOutVideoCtrl, 0x18}}, "SWTTSWGBTR"},
        {"SDI output index past the table", M, Param::OutRoiFormat, 16u, {{F::_sdiOutVideoCtrl, 0x04}}, "R"},
        {"module name", M, Param::ModuleName, QString("Studio A"), {}, "NR"},
    };
}

TEST(RoiDispatch, EachSettingToItsFields)
{
    for (const Case& c : Cases()) {
        SCOPED_TRACE(std::string(c.model.name) + ": " + c.what);
        const Status status = Typical();
        RoiScene scene = NewScene(c.model);
        const RoiOutcome o = Dispatch(Linked(c.model, status), scene, c.model.Id(c.param), c.value);
        for (const auto& f : c.fields)
            EXPECT_EQ(o.scene.block[f.first], f.second) << "field " << f.first;
        EXPECT_EQ(Actions(o), c.actions);
        EXPECT_TRUE(o.scene.memory.paramChanged);
        // A setting's write carries the block as the setting left it.
        if (!c.fields.empty() && c.param != Param::OutRoiFormat)
            for (const BlockImage& written : Writes(o)) {
                EXPECT_EQ(written, o.scene.block);
            }
    }
}

// Ids of another model, and indices no row handles, only reread.
TEST(RoiDispatch, ForeignAndUnhandledIdsOnlyReread)
{
    const Status status = Typical();
    const RoiScene scene = NewScene(M);
    for (quint32 id : {Q.Id(Param::InRgbRange), H.Id(Param::CfgInX), M.idBase | 0x16, M.idBase | 0x4A,
                       M.Id(Param::ImageSdiOutFit), P.Id(Param::CfgOutRotation)}) {
        const RoiOutcome o = Dispatch(Linked(M, status), scene, id, 1u);
        EXPECT_EQ(Actions(o), "R") << std::hex << id;
        EXPECT_EQ(o.scene.block, scene.block) << std::hex << id;
        EXPECT_TRUE(o.scene.memory.paramChanged);
    }
}

// A region text publishes at once and does not reread; bad text changes
// nothing.
TEST(RoiDispatch, RegionTextsPublishWithoutAReread)
{
    const Status status = Typical();
    const RoiContext c = Linked(M, status);
    RoiScene scene = Started(c, NewScene(M));
    scene = SelectConstraints(c, scene, 1, 0, 0, true).scene; // a free selection takes texts
    RoiOutcome o = Dispatch(c, scene, M.Id(Param::InScreenProxy), QString(R"({"x":"100","y":"50","w":640,"h":"360"})"));
    EXPECT_EQ(Actions(o), "STP");
    EXPECT_EQ(InRegion(o.scene.block), QRect(100, 50, 640, 360));
    EXPECT_EQ(o.scene.values.value(M.Id(Param::InScreenProxy)).toString().toStdString(),
              R"({"mode":"1","x":"100","y":"50","w":"640","h":"360","screenw":"1920","screenh":"1080"})");
    for (const char* bad : {"", "{", "[1,2]", R"({"x":"1","y":"2","w":"3"})", R"({"x":[1],"y":2,"w":3,"h":4})",
                            "\"x\"", R"({"x":null,"y":2,"w":3,"h":4})"}) {
        o = Dispatch(c, scene, M.Id(Param::InScreenProxy), QString(bad));
        EXPECT_EQ(Actions(o), "P") << bad;
        EXPECT_EQ(o.scene.block, scene.block) << bad;
    }
}

// Without a link nothing reaches the block; the reread still follows.
TEST(RoiDispatch, NothingReachesALostLink)
{
    const Status status = Typical();
    for (const Case& c : Cases()) {
        SCOPED_TRACE(std::string(c.model.name) + ": " + c.what);
        const RoiScene scene = NewScene(c.model);
        const RoiOutcome o =
            Dispatch(RoiContext{c.model, status.data(), false}, scene, c.model.Id(c.param), c.value);
        EXPECT_EQ(Actions(o), "R");
        EXPECT_EQ(o.scene.block, scene.block);
    }
}

} // namespace

