#include "roiscaler/wrapperprofile.h"

#include "tovikconfig/models/hestraparamids.h"
#include "tovikconfig/models/mardexparamids.h"
#include "tovikconfig/models/pendroparamids.h"
#include "tovikconfig/models/quastelparamids.h"

namespace roiscaler {

namespace {

const quint32 kNoProcessing = 0;
const quint32 kProcessingFromMardex = 0x3C;
const quint32 kProcessingFrom = 0x3A;

#define ROI_DISCONNECT(who, n) who "::UpdateDeviceStatus() disconnecting device " #n

} // namespace

const RoiWrapperProfile kHestraProfile = {
    "HestraWrapper", 5, 6, tovikconfig::hestra::kParamIDBase,
    kNoProcessing,
    /*edid*/ false, /*oneIndexSelection*/ true, /*modesNeedMatchingInput*/ true, /*rateAlarms*/ false,
    /*statusWaitsForInput*/ true, /*rewritesAfterRevert*/ true, /*outputProxyFollowsInput*/ false,
    /*backgroundStreams*/ true, /*rotationStreams*/ false, /*genlockSourceStreams*/ true,
    /*outputSettersStream*/ true, /*outputFormatStreams*/ true, /*fitStepWrites*/ true,
    InputWord::DviWhenSignalled, /*genlockStateInByte20*/ false, /*audioPresentInByte59*/ false,
    "DVI Connected",
    {"Aud: HDMI", "Aud: Analog", "Analog+HDMI", "Aud: None"},
    {ROI_DISCONNECT("HestraWrapper", 1), ROI_DISCONNECT("HestraWrapper", 2), ROI_DISCONNECT("HestraWrapper", 3),
     ROI_DISCONNECT("HestraWrapper", 4), ROI_DISCONNECT("HestraWrapper", 5)},
    /*logsDescriptors*/ false, /*logsInfoTab*/ true, /*logsModuleNameFailure*/ true, /*logsConstraintRefit*/ false,
    /*refitsAspectEveryStep*/ true,
};

const RoiWrapperProfile kMardexProfile = {
    "MardexWrapper", 14, 15, tovikconfig::mardex::kParamIDBase,
    kProcessingFromMardex,
    /*edid*/ true, /*oneIndexSelection*/ false, /*modesNeedMatchingInput*/ false, /*rateAlarms*/ true,
    /*statusWaitsForInput*/ false, /*rewritesAfterRevert*/ false, /*outputProxyFollowsInput*/ true,
    /*backgroundStreams*/ true, /*rotationStreams*/ true, /*genlockSourceStreams*/ false,
    /*outputSettersStream*/ true, /*outputFormatStreams*/ true, /*fitStepWrites*/ true,
    InputWord::Dp, /*genlockStateInByte20*/ true, /*audioPresentInByte59*/ true,
    "DP Connected",
    {"Aud: DP", "Aud: Analog", "Analog+Dp", "Aud: None"},
    {ROI_DISCONNECT("roiWrapper", 1), ROI_DISCONNECT("roiWrapper", 2), ROI_DISCONNECT("HestraWrapper", 3),
     ROI_DISCONNECT("HestraWrapper", 4), ROI_DISCONNECT("HestraWrapper", 5)},
    /*logsDescriptors*/ false, /*logsInfoTab*/ false, /*logsModuleNameFailure*/ false, /*logsConstraintRefit*/ false,
    /*refitsAspectEveryStep*/ false,
};

const RoiWrapperProfile kPendroProfile = {
    "PendroWrapper", 18, 19, tovikconfig::pendro::kParamIDBase,
    kProcessingFrom,
    /*edid*/ false, /*oneIndexSelection*/ false, /*modesNeedMatchingInput*/ false, /*rateAlarms*/ true,
    /*statusWaitsForInput*/ false, /*rewritesAfterRevert*/ false, /*outputProxyFollowsInput*/ true,
    /*backgroundStreams*/ true, /*rotationStreams*/ false, /*genlockSourceStreams*/ false,
    /*outputSettersStream*/ true, /*outputFormatStreams*/ true, /*fitStepWrites*/ false,
    InputWord::DviWhenSignalled, /*genlockStateInByte20*/ false, /*audioPresentInByte59*/ false,
    "DVI Connected",
    {"Aud: HDMI", "Aud: Analog", "Analog+HDMI", "Aud: None"},
    {ROI_DISCONNECT("RoiWrapper", 1), ROI_DISCONNECT("RoiWrapper", 2), ROI_DISCONNECT("RoiWrapper", 3),
     ROI_DISCONNECT("RoiWrapper", 4), ROI_DISCONNECT("RoiWrapper", 5)},
    /*logsDescriptors*/ false, /*logsInfoTab*/ false, /*logsModuleNameFailure*/ false, /*logsConstraintRefit*/ false,
    /*refitsAspectEveryStep*/ false,
};

const RoiWrapperProfile kQuastelProfile = {
    "QuastelWrapper", 19, 20, tovikconfig::quastel::kParamIDBase,
    kProcessingFrom,
    /*edid*/ false, /*oneIndexSelection*/ false, /*modesNeedMatchingInput*/ false, /*rateAlarms*/ true,
    /*statusWaitsForInput*/ false, /*rewritesAfterRevert*/ false, /*outputProxyFollowsInput*/ true,
    /*backgroundStreams*/ false, /*rotationStreams*/ true, /*genlockSourceStreams*/ false,
    /*outputSettersStream*/ false, /*outputFormatStreams*/ false, /*fitStepWrites*/ true,
    InputWord::Hdmi, /*genlockStateInByte20*/ false, /*audioPresentInByte59*/ false,
    "HDMI Connected",
    {"Aud: HDMI", "Aud: Analog", "Analog+HDMI", "Aud: None"},
    {ROI_DISCONNECT("roiWrapper", 1), ROI_DISCONNECT("roiWrapper", 2), ROI_DISCONNECT("HestraWrapper", 3),
     ROI_DISCONNECT("HestraWrapper", 4), ROI_DISCONNECT("HestraWrapper", 5)},
    /*logsDescriptors*/ true, /*logsInfoTab*/ false, /*logsModuleNameFailure*/ false, /*logsConstraintRefit*/ true,
    /*refitsAspectEveryStep*/ true,
};

#undef ROI_DISCONNECT

} // namespace roiscaler
