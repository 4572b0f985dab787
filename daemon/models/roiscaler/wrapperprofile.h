// The four ROI scaler models as one table: what tells Hestra, Mardex,
// Pendro and Quastel apart. The shared wrapper reads a row; it never asks
// which model it is.
#ifndef PORTVANE_ROISCALER_ROIPROFILE_H
#define PORTVANE_ROISCALER_ROIPROFILE_H

#include <QtGlobal>

#include "roiscaler/statusimage.h"
#include "tovikconfig/tovikconfig.h"

namespace roiscaler {

struct RoiWrapperProfile {
    // The wrapper's class name: translation context of its texts.
    const char* className;
    int moduleType;
    tovikconfig::ViveRode_t modelNumber;
    quint32 idBase;

    // Index of eParamID_CfgInFixedAspectMode, the first of the parameters
    // for fixed aspect and size, rotation, frame delay and flips (the
    // others follow in table order); 0 for a model without them.
    quint32 processingIndex;
    // EDID flow-through and the monitor name (eParamID_EDIDFlowThru,
    // eParamID_EDIDNameStr).
    bool edid;
    // One selection index into the merged list (written raw as the device
    // code), in place of selection, fixed aspect and fixed size.
    bool oneIndexSelection;
    // The modes in the block count only while status byte 20 bit 6 says the
    // input format matches; otherwise they read as 0.
    bool modesNeedMatchingInput;
    // Status byte 59 carries sync mode (bit 5) and rate alarm (bit 7).
    bool rateAlarms;
    // The status pass waits while rereads wait for a measured input.
    bool statusWaitsForInput;
    // After a revert or restore of the fit the block is written once more.
    bool rewritesAfterRevert;
    // A change of input presence enables or disables the output proxy too.
    bool outputProxyFollowsInput;

    // Which steps stream the block into the live registers before writing
    // it (and for the fit step, whether it writes it after streaming).
    bool backgroundStreams;
    bool rotationStreams;
    bool genlockSourceStreams;
    bool outputSettersStream;
    bool outputFormatStreams;
    bool fitStepWrites;

    InputWord inputWord;
    // Genlock state in status byte 20 bits 2..1 (locking, reference or
    // free run) instead of byte 53 bits 5..4 (also locked to the input).
    bool genlockStateInByte20;
    // Input audio present: status byte 59 bit 6 set, else byte 53 bit 6
    // clear.
    bool audioPresentInByte59;
    const char* outConnectedText;
    // Audio selection 0 to 3.
    const char* audioTexts[4];
    // The status pass's lines before it disconnects, numbers 1 to 5.
    const char* disconnectLines[5];

    // The model's extra debug lines.
    bool logsDescriptors;
    bool logsInfoTab;
    bool logsModuleNameFailure;
    bool logsConstraintRefit;
    // A fixed aspect is fitted into the region on every constraint step,
    // not only when the aspect changed.
    bool refitsAspectEveryStep;

    bool HasProcessing() const { return processingIndex != 0; }
    // The id of a parameter index of the model.
    quint32 Id(quint32 index) const { return idBase | index; }
    // The id of the n-th processing parameter (0 fixed aspect, 1 fixed size,
    // 2 rotation, ...); 0 for a model without them.
    quint32 ProcessingId(quint32 n) const { return processingIndex ? idBase | (processingIndex + n) : 0; }
};

extern const RoiWrapperProfile kHestraProfile;
extern const RoiWrapperProfile kMardexProfile;
extern const RoiWrapperProfile kPendroProfile;
extern const RoiWrapperProfile kQuastelProfile;

// Parameter indices shared by the four models.
namespace index {
enum : quint32 {
    FpgaVersion = 0x01, ReleaseVersion = 0x02, SerialNumber = 0x03,
    CfgInMode = 0x04, CfgInX = 0x05, CfgInY = 0x06, CfgInW = 0x07, CfgInH = 0x08,
    CfgInScreenW = 0x09, CfgInScreenH = 0x0A,
    CfgOutMode = 0x0C, CfgOutX = 0x0D, CfgOutY = 0x0E, CfgOutW = 0x0F, CfgOutH = 0x10,
    CfgOutScreenW = 0x11, CfgOutScreenH = 0x12,
    InScreenProxy = 0x13, OutScreenProxy = 0x14, OutRoiFormat = 0x15,
    OutEdgeFiltering = 0x17, OutFlickerFiltering = 0x18, Genlock = 0x19,
    GenHDelay = 0x1A, GenVDelay = 0x1B, InRgbRange = 0x1C,
    AudInSelect = 0x1D, AudAnalogOutMap = 0x1E, AudConversion = 0x1F,
    ImageInEnabled = 0x20, ImageInSize = 0x21, ImageInRoi = 0x22, ImageInAudio = 0x23, ImageOutEnabled = 0x24,
    ImageSdiOutFormat = 0x25, ImageSdiOutGenLock = 0x26, ImageSdiOutFit = 0x27, ImageSdiOutAudio = 0x28,
    InConnected = 0x29, OutConnected = 0x2A, RoiAction = 0x2B,
    RefImageInputStatus = 0x2C, RefInValidColorState = 0x2D,
    GenlockStatusStr = 0x2E, GenlockLabelColor = 0x2F, GenDelayShow = 0x30, GenlockRefAlarmStr = 0x31,
    OutScalingLabelColor = 0x32, ModuleName = 0x33, ModuleType = 0x34, ModuleAssemblyBd = 0x35,
    GenHDelayMax = 0x36, GenVDelayMax = 0x37, BackgroundColor = 0x38, GenDelayEnable = 0x39,
    // Mardex only.
    EDIDFlowThru = 0x3A, EDIDNameStr = 0x3B,
};
} // namespace index

// The processing parameters, counted from eParamID_CfgInFixedAspectMode.
namespace processing {
enum : quint32 {
    FixedAspectMode = 0, FixedSizeMode, OutRotation, RotationStatusStr, RotationStatusColor,
    OutFrameDelayCk, ImageOutFrameDelay, FrameDelayLabelColor, OutHorizFlipCk, HorizFlipLabelColor,
    OutVertFlipCk, VertFlipLabelColor, ProcLimitDisplay, OutFrameDelay,
};
} // namespace processing

} // namespace roiscaler

#endif
