#include "roiscaler/model/models.h"

#include "tovikconfig/models/hestraparamids.h"
#include "tovikconfig/models/mardexparamids.h"
#include "tovikconfig/models/pendroparamids.h"
#include "tovikconfig/models/quastelparamids.h"

namespace roiscaler {

namespace {

// Status bytes read from register 44: 16, Mardex's rate and audio bits
// past them.
constexpr UByte kStatusBytes = 16;
constexpr UByte kMardexStatusBytes = 43;

constexpr const char* kHdmiAudioTexts[] = {"Aud: HDMI", "Aud: Analog", "Analog+HDMI", "Aud: None"};
constexpr const char* kDpAudioTexts[] = {"Aud: DP", "Aud: Analog", "Analog+Dp", "Aud: None"};

// The status pass's lines before it disconnects: lines 1 and 2 name FIRST,
// lines 3 to 5 LATER.
#define ROI_DISCONNECT(who, n) who "::UpdateDeviceStatus() disconnecting device " #n
#define ROI_DISCONNECT_LINES(FIRST, LATER)                                                      \
    {                                                                                           \
        ROI_DISCONNECT(FIRST, 1), ROI_DISCONNECT(FIRST, 2), ROI_DISCONNECT(LATER, 3),           \
            ROI_DISCONNECT(LATER, 4), ROI_DISCONNECT(LATER, 5)                                  \
    }

// A model's row under construction: its names, then named changes to a
// base where every switch is off and every number 0.
struct Row {
    RoiModel m;

    constexpr Row Type(int moduleType, tovikconfig::ViveRode_t modelNumber) const
    {
        Row r = *this;
        r.m.moduleType = moduleType;
        r.m.modelNumber = modelNumber;
        return r;
    }
    constexpr Row Ids(quint32 idBase, const ParamIndices& indices) const
    {
        Row r = *this;
        r.m.idBase = idBase;
        r.m.indices = indices;
        return r;
    }
    constexpr Row Block(unsigned blockBit, UByte statusReadCount, UWord settingsKeys) const
    {
        Row r = *this;
        r.m.blockBit = blockBit;
        r.m.statusReadCount = statusReadCount;
        r.m.settingsKeys = settingsKeys;
        return r;
    }
    constexpr Row Input(InputWord word, const char* outConnectedText) const
    {
        Row r = *this;
        r.m.inputWord = word;
        r.m.outConnectedText = outConnectedText;
        return r;
    }
    constexpr Row AudioTexts(const char* const (&texts)[4]) const
    {
        Row r = *this;
        for (int i = 0; i < 4; ++i)
            r.m.audioTexts[i] = texts[i];
        return r;
    }
    constexpr Row DisconnectLines(const char* const (&lines)[5]) const
    {
        Row r = *this;
        for (int i = 0; i < 5; ++i)
            r.m.disconnectLines[i] = lines[i];
        return r;
    }
    // Turns the switches on.
    template <typename... Switch>
    constexpr Row On(Switch... switches) const
    {
        Row r = *this;
        ((r.m.*switches = true), ...);
        return r;
    }
    constexpr operator RoiModel() const { return m; }
};

// "Hestra" with its wrapper's class name.
constexpr Row Model(const char* name, const char* className)
{
    Row r{RoiModel{}};
    r.m.name = name;
    r.m.className = className;
    return r;
}

using R = RoiModel;

// Every switch a row does not turn on is off.
// clang-format off
constexpr RoiModel kRows[] = {
    Model("Hestra", "HestraWrapper")
        .Type(5, 6)
        .Ids(tovikconfig::hestra::kParamIDBase, ROISCALER_MODEL_INDICES(TOVIK_HESTRA_OWN_PARAMS))
        .Block(kHestraBlockBit, kStatusBytes, 34)
        .On(&R::oneIndexSelection, &R::modesNeedMatchingInput, &R::statusWaitsForInput, &R::rewritesAfterRevert)
        .On(&R::backgroundStreams, &R::genlockSourceStreams, &R::outputSettersStream, &R::outputFormatStreams,
            &R::fitStepWrites)
        .Input(InputWord::DviWhenSignalled, "DVI Connected")
        .AudioTexts(kHdmiAudioTexts)
        .DisconnectLines(ROI_DISCONNECT_LINES("HestraWrapper", "HestraWrapper"))
        .On(&R::logsInfoTab, &R::logsModuleNameFailure, &R::refitsAspectEveryStep),
    Model("Mardex", "MardexWrapper")
        .Type(14, 15)
        .Ids(tovikconfig::mardex::kParamIDBase, ROISCALER_MODEL_INDICES(TOVIK_MARDEX_OWN_PARAMS))
        .Block(kMardexBlockBit, kMardexStatusBytes, 42)
        .On(&R::rateAlarms, &R::outputProxyFollowsInput)
        .On(&R::backgroundStreams, &R::rotationStreams, &R::outputSettersStream, &R::outputFormatStreams,
            &R::fitStepWrites)
        .Input(InputWord::Dp, "DP Connected")
        .On(&R::genlockStateInByte20, &R::audioPresentInByte59)
        .AudioTexts(kDpAudioTexts)
        .DisconnectLines(ROI_DISCONNECT_LINES("roiWrapper", "HestraWrapper")),
    Model("Pendro", "PendroWrapper")
        .Type(18, 19)
        .Ids(tovikconfig::pendro::kParamIDBase, ROISCALER_MODEL_INDICES(TOVIK_PENDRO_OWN_PARAMS))
        .Block(kPendroBlockBit, kStatusBytes, 40)
        .On(&R::rateAlarms, &R::outputProxyFollowsInput)
        .On(&R::backgroundStreams, &R::outputSettersStream, &R::outputFormatStreams)
        .Input(InputWord::DviWhenSignalled, "DVI Connected")
        .AudioTexts(kHdmiAudioTexts)
        .DisconnectLines(ROI_DISCONNECT_LINES("RoiWrapper", "RoiWrapper")),
    Model("Quastel", "QuastelWrapper")
        .Type(19, 20)
        .Ids(tovikconfig::quastel::kParamIDBase, ROISCALER_MODEL_INDICES(TOVIK_QUASTEL_OWN_PARAMS))
        .Block(kQuastelBlockBit, kStatusBytes, 40)
        .On(&R::rateAlarms, &R::outputProxyFollowsInput)
        .On(&R::rotationStreams, &R::fitStepWrites)
        .Input(InputWord::Hdmi, "HDMI Connected")
        .AudioTexts(kHdmiAudioTexts)
        .DisconnectLines(ROI_DISCONNECT_LINES("roiWrapper", "HestraWrapper"))
        .On(&R::logsDescriptors, &R::logsConstraintRefit, &R::refitsAspectEveryStep),
};
// clang-format on

#undef ROI_DISCONNECT_LINES
#undef ROI_DISCONNECT

#define ROISCALER_NAME_TEXT(index, name) #name,
const char* const kParamNames[] = {
    TOVIK_ROI_SCALER_PARAMS(ROISCALER_NAME_TEXT)
    TOVIK_ROI_INTERFACE_PARAMS(ROISCALER_NAME_TEXT, , )
    TOVIK_ROI_EDID_PARAMS(ROISCALER_NAME_TEXT)
    TOVIK_ROI_PROCESSING_PARAMS(ROISCALER_NAME_TEXT, 0)
};
#undef ROISCALER_NAME_TEXT
static_assert(sizeof kParamNames / sizeof kParamNames[0] == kParamCount, "a name per parameter");

} // namespace

const RoiModel& kHestraModel = kRows[0];
const RoiModel& kMardexModel = kRows[1];
const RoiModel& kPendroModel = kRows[2];
const RoiModel& kQuastelModel = kRows[3];

const char* ParamName(Param p)
{
    return std::size_t(p) < kParamCount ? kParamNames[std::size_t(p)] : "";
}

Param RoiModel::ParamOf(quint32 id) const
{
    if ((id & ~0xFFu) != idBase)
        return Param::kCount;
    for (std::size_t p = 0; p < kParamCount; ++p)
        if (indices[p] != 0 && (idBase | indices[p]) == id)
            return Param(p);
    return Param::kCount;
}

RowList<RoiModel> RoiModels()
{
    return RowsOf(kRows);
}

const RoiModel* FindRoiModel(int moduleType)
{
    for (const RoiModel& row : kRows)
        if (row.moduleType == moduleType)
            return &row;
    return nullptr;
}

} // namespace roiscaler
