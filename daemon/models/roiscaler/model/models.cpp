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

#define ROI_DISCONNECT(who, n) who "::UpdateDeviceStatus() disconnecting device " #n

const RoiModel kRows[] = {
    {"Hestra", "HestraWrapper", 5, 6, tovikconfig::hestra::kParamIDBase,
     ROISCALER_MODEL_INDICES(TOVIK_HESTRA_OWN_PARAMS), kHestraBlockBit, kStatusBytes, 34,
     /*oneIndexSelection*/ true, /*modesNeedMatchingInput*/ true, /*rateAlarms*/ false,
     /*statusWaitsForInput*/ true, /*rewritesAfterRevert*/ true, /*outputProxyFollowsInput*/ false,
     /*backgroundStreams*/ true, /*rotationStreams*/ false, /*genlockSourceStreams*/ true,
     /*outputSettersStream*/ true, /*outputFormatStreams*/ true, /*fitStepWrites*/ true,
     InputWord::DviWhenSignalled, /*genlockStateInByte20*/ false, /*audioPresentInByte59*/ false,
     "DVI Connected",
     {"Aud: HDMI", "Aud: Analog", "Analog+HDMI", "Aud: None"},
     {ROI_DISCONNECT("HestraWrapper", 1), ROI_DISCONNECT("HestraWrapper", 2), ROI_DISCONNECT("HestraWrapper", 3),
      ROI_DISCONNECT("HestraWrapper", 4), ROI_DISCONNECT("HestraWrapper", 5)},
     /*logsDescriptors*/ false, /*logsInfoTab*/ true, /*logsModuleNameFailure*/ true, /*logsConstraintRefit*/ false,
     /*refitsAspectEveryStep*/ true},
    {"Mardex", "MardexWrapper", 14, 15, tovikconfig::mardex::kParamIDBase,
     ROISCALER_MODEL_INDICES(TOVIK_MARDEX_OWN_PARAMS), kMardexBlockBit, kMardexStatusBytes, 42,
     /*oneIndexSelection*/ false, /*modesNeedMatchingInput*/ false, /*rateAlarms*/ true,
     /*statusWaitsForInput*/ false, /*rewritesAfterRevert*/ false, /*outputProxyFollowsInput*/ true,
     /*backgroundStreams*/ true, /*rotationStreams*/ true, /*genlockSourceStreams*/ false,
     /*outputSettersStream*/ true, /*outputFormatStreams*/ true, /*fitStepWrites*/ true,
     InputWord::Dp, /*genlockStateInByte20*/ true, /*audioPresentInByte59*/ true,
     "DP Connected",
     {"Aud: DP", "Aud: Analog", "Analog+Dp", "Aud: None"},
     {ROI_DISCONNECT("roiWrapper", 1), ROI_DISCONNECT("roiWrapper", 2), ROI_DISCONNECT("HestraWrapper", 3),
      ROI_DISCONNECT("HestraWrapper", 4), ROI_DISCONNECT("HestraWrapper", 5)},
     /*logsDescriptors*/ false, /*logsInfoTab*/ false, /*logsModuleNameFailure*/ false, /*logsConstraintRefit*/ false,
     /*refitsAspectEveryStep*/ false},
    {"Pendro", "PendroWrapper", 18, 19, tovikconfig::pendro::kParamIDBase,
     ROISCALER_MODEL_INDICES(TOVIK_PENDRO_OWN_PARAMS), kPendroBlockBit, kStatusBytes, 40,
     /*oneIndexSelection*/ false, /*modesNeedMatchingInput*/ false, /*rateAlarms*/ true,
     /*statusWaitsForInput*/ false, /*rewritesAfterRevert*/ false, /*outputProxyFollowsInput*/ true,
     /*backgroundStreams*/ true, /*rotationStreams*/ false, /*genlockSourceStreams*/ false,
     /*outputSettersStream*/ true, /*outputFormatStreams*/ true, /*fitStepWrites*/ false,
     InputWord::DviWhenSignalled, /*genlockStateInByte20*/ false, /*audioPresentInByte59*/ false,
     "DVI Connected",
     {"Aud: HDMI", "Aud: Analog", "Analog+HDMI", "Aud: None"},
     {ROI_DISCONNECT("RoiWrapper", 1), ROI_DISCONNECT("RoiWrapper", 2), ROI_DISCONNECT("RoiWrapper", 3),
      ROI_DISCONNECT("RoiWrapper", 4), ROI_DISCONNECT("RoiWrapper", 5)},
     /*logsDescriptors*/ false, /*logsInfoTab*/ false, /*logsModuleNameFailure*/ false, /*logsConstraintRefit*/ false,
     /*refitsAspectEveryStep*/ false},
    {"Quastel", "QuastelWrapper", 19, 20, tovikconfig::quastel::kParamIDBase,
     ROISCALER_MODEL_INDICES(TOVIK_QUASTEL_OWN_PARAMS), kQuastelBlockBit, kStatusBytes, 40,
     /*oneIndexSelection*/ false, /*modesNeedMatchingInput*/ false, /*rateAlarms*/ true,
     /*statusWaitsForInput*/ false, /*rewritesAfterRevert*/ false, /*outputProxyFollowsInput*/ true,
     /*backgroundStreams*/ false, /*rotationStreams*/ true, /*genlockSourceStreams*/ false,
     /*outputSettersStream*/ false, /*outputFormatStreams*/ false, /*fitStepWrites*/ true,
     InputWord::Hdmi, /*genlockStateInByte20*/ false, /*audioPresentInByte59*/ false,
     "HDMI Connected",
     {"Aud: HDMI", "Aud: Analog", "Analog+HDMI", "Aud: None"},
     {ROI_DISCONNECT("roiWrapper", 1), ROI_DISCONNECT("roiWrapper", 2), ROI_DISCONNECT("HestraWrapper", 3),
      ROI_DISCONNECT("HestraWrapper", 4), ROI_DISCONNECT("HestraWrapper", 5)},
     /*logsDescriptors*/ true, /*logsInfoTab*/ false, /*logsModuleNameFailure*/ false, /*logsConstraintRefit*/ true,
     /*refitsAspectEveryStep*/ true},
};

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
