// The Quastel ROI scaler (model number 20): 69 parameters, input word Hdmi.
#include "roiscaler/roiscaler.h"
#include "tovikconfig/models/quastelparamids.h"
#include "tovikconfig/models/modelconfigs.h"

namespace tovikconfig {
namespace quastel {

namespace {

using namespace tables;
using namespace tables::roiscaler;
using M = RoiMarkers<Hdmi>;

// In creation order: id and id name, name, short name, access, values, attributes.
constexpr Row kRows[] = {
    StringRow(TOVIK_ID(eParamID_FpgaVersion), "FPGA Version:", "FPGA Version:", 1, ListOf(kDisplayType1)),
    StringRow(TOVIK_ID(eParamID_DuviRuravodIvoduri), "Release Version:", "Version: ", 1, ListOf(kDisplayType2)),
    StringRow(TOVIK_ID(eParamID_VoruZevezoZerazi), "Serial Number:", "Sn: ", 1, ListOf(kDisplayType2002)),
    EnumRow(TOVIK_ID(eParamID_CfgInMode), "ROI Selection:", "ROI Selection:", 0, ListOf(kInputKinds),
            ListOf(M::kInputMode)),
    EnumRow(TOVIK_ID(eParamID_CfgInFixedAspectMode), "ROI Fixed Aspect:", "ROI Fixed Aspect:", 0,
            ListOf(kFixedAspects), ListOf(M::kInputMode)),
    EnumRow(TOVIK_ID(eParamID_CfgInFixedSizeMode), "ROI Fixed Size:", "ROI Fixed Size:", 0, ListOf(kFixedSizes),
            ListOf(M::kInputMode)),
    IntegerRow(TOVIK_ID(eParamID_CfgInX), "X:", "X:", 0, Range(0, kUnset, 440), ListOf(M::kInRegion)),
    IntegerRow(TOVIK_ID(eParamID_CfgInY), "Y:", "Y:", 0, Range(0, kUnset, 360), ListOf(M::kInRegion)),
    IntegerRow(TOVIK_ID(eParamID_CfgInW), "W:", "W:", 0, Range(4, kUnset, 0), ListOf(M::kInRegion)),
    IntegerRow(TOVIK_ID(eParamID_CfgInH), "H:", "H:", 0, Range(4, kUnset, 0), ListOf(M::kInRegion)),
    IntegerRow(TOVIK_ID(eParamID_CfgInScreenW), "ScreenW", "ScreenW", 0, Range(0, kUnset, 1920), ListOf(kInScreenSize)),
    IntegerRow(TOVIK_ID(eParamID_CfgInScreenH), "ScreenH", "ScreenH", 0, Range(0, kUnset, 1200), ListOf(kInScreenSize)),
    EnumRow(TOVIK_ID(eParamID_CfgOutMode), "ROI Out Scaling:", "ROI Out Scaling:", 0, ListOf(kOutScalings),
            ListOf(M::kOutSelection)),
    IntegerRow(TOVIK_ID(eParamID_CfgOutX), "X:", "X:", 0, Range(0, kUnset, 240), ListOf(M::kOutRegion)),
    IntegerRow(TOVIK_ID(eParamID_CfgOutY), "Y:", "Y:", 0, Range(0, kUnset, 0), ListOf(M::kOutRegion)),
    IntegerRow(TOVIK_ID(eParamID_CfgOutW), "W:", "W:", 0, Range(4, kUnset, 0), ListOf(M::kOutRegion)),
    IntegerRow(TOVIK_ID(eParamID_CfgOutH), "H:", "H:", 0, Range(4, kUnset, 0), ListOf(M::kOutRegion)),
    IntegerRow(TOVIK_ID(eParamID_CfgOutScreenW), "ScreenW", "ScreenW", 0, Range(0, kUnset, 1920), ListOf(kOutScreenSize)),
    IntegerRow(TOVIK_ID(eParamID_CfgOutScreenH), "ScreenH", "ScreenH", 0, Range(0, kUnset, 1200), ListOf(kOutScreenSize)),
    StringRow(TOVIK_ID(eParamID_InScreenProxy), "Screen Proxy", "Screen Proxy", 0, ListOf(kDisplayType8000)),
    StringRow(TOVIK_ID(eParamID_OutScreenProxy), "Screen Proxy", "Screen Proxy", 0, ListOf(kDisplayType8000)),
    EnumRow(TOVIK_ID(eParamID_OutRoiFormat), "SDI Out Format:", "SDI Out Format:", 0, ListOf(kSdiOutFormats),
            ListOf(M::kOutSelection)),
    EnumRow(TOVIK_ID(eParamID_CfgOutRotation), "Rotation:", "Rotation:", 0, ListOf(kRotations), ListOf(kRotation)),
    StringRow(TOVIK_ID(eParamID_RotationStatusStr), "RotationStatus", "RotationStatus", 1, ListOf(kRotationStatus)),
    EnumRow(TOVIK_ID(eParamID_RotationStatusColor), "RotLblColor", "RotLblColor", 0, ListOf(kLabelColours),
            ListOf(kRefLabelColour), kBlack),
    EnumRow(TOVIK_ID(eParamID_OutFrameDelayCk), "Frame Delay:", "Frame Delay:", 0, ListOf(kOffOn),
            ListOf(kFrameDelaySwitch)),
    EnumRow(TOVIK_ID(eParamID_OutFrameDelay), "Frame Delay:", "Frame Delay:", 0, ListOf(kOffOn), ListOf(kFrameDelay)),
    EnumRow(TOVIK_ID(eParamID_OutHorizFlipCk), "Horizontal Flip:", "Horizontal Flip:", 0, ListOf(kOffOn),
            ListOf(kFlipSwitch)),
    EnumRow(TOVIK_ID(eParamID_OutVertFlipCk), "Vertical Flip:", "Vertical Flip:", 0, ListOf(kOffOn),
            ListOf(kFlipSwitch)),
    EnumRow(TOVIK_ID(eParamID_OutEdgeFiltering), "Edge Filtering:", "Edge Filtering:", 0, ListOf(kOffOn),
            ListOf(kFilterSwitch)),
    EnumRow(TOVIK_ID(eParamID_OutFlickerFiltering), "Flicker Filtering:", "Flicker Filtering:", 0, ListOf(kOffOn),
            ListOf(kFilterSwitch)),
    EnumRow(TOVIK_ID(eParamID_InRgbRange), "RGB Range:", "RGB Range:", 0, ListOf(kRgbRanges), ListOf(kInputSelection)),
    EnumRow(TOVIK_ID(eParamID_AudInSelect), "Input Select:", "Input Select:", 0, ListOf(kHdmiAudioSources),
            ListOf(kAudioSelection)),
    EnumRow(TOVIK_ID(eParamID_AudAnalogOutMap), "Analog Out Map:", "Analog Out Map:", 0, ListOf(kAnalogOutMaps),
            ListOf(kAudioSelection)),
    EnumRow(TOVIK_ID(eParamID_AudHdmiConversion), "HDMI Conversion:", "HDMI Conversion:", 0,
            ListOf(kAudioConversions), ListOf(kAudioSelection)),
    StringRow(TOVIK_ID(eParamID_ImageHdmiInEnabled), "Hdmi In Enabled", "Hdmi In Enabled", 1, ListOf(M::kInHook)),
    StringRow(TOVIK_ID(eParamID_ImageHdmiInSize), "HDMI In Size", "HDMI In Size", 1, ListOf(M::kInHook)),
    StringRow(TOVIK_ID(eParamID_ImageHdmiInRoi), "Hdmi In Roi", "Hdmi In Roi", 1, ListOf(M::kInHook)),
    StringRow(TOVIK_ID(eParamID_ImageHdmiInAudio), "Hdmi In Audio", "Hdmi In Audio", 1, ListOf(M::kInHook)),
    StringRow(TOVIK_ID(eParamID_ImageHdmiOutEnabled), "HDMI Out Enabled", "HDMI Out Enabled", 1,
              ListOf(M::kOutEnabledHook)),
    StringRow(TOVIK_ID(eParamID_ImageSdiOutFormat), "Sdi Out Format", "Sdi Out Format", 1, ListOf(kSdiOutFormatHook)),
    StringRow(TOVIK_ID(eParamID_ImageSdiOutGenLock), "Sdi Out GenLock", "Sdi Out GenLock", 1,
              ListOf(kSdiOutFormatHook)),
    StringRow(TOVIK_ID(eParamID_ImageSdiOutFit), "Sdi Out Fit", "Sdi Out Fit", 1, ListOf(kSdiOutFitHook)),
    StringRow(TOVIK_ID(eParamID_ImageSdiOutAudio), "Sdi Out Audio", "Sdi Out Audio", 1, ListOf(kSdiOutAudioHook)),
    // The frame-delay hook after the SDI hooks, unlike Mardex and Pendro.
    StringRow(TOVIK_ID(eParamID_ImageOutFrameDelay), "Out Frame Delay", "Out Frame Delay", 1,
              ListOf(kOutFrameDelayHook)),
    EnumRow(TOVIK_ID(eParamID_HdmiInConnected), "HdmiInConnected", "HdmiInConnected", 0, ListOf(kConnections),
            ListOf(M::kInConnectedState)),
    EnumRow(TOVIK_ID(eParamID_HdmiOutConnected), "HdmiOutConnected", "HdmiOutConnected", 0, ListOf(kConnections),
            ListOf(M::kOutConnectedState)),
    EnumRow(TOVIK_ID(eParamID_RoiAction), "Action", "Action", 0, ListOf(kRoiActions), ListOf(kRoiAction)),
    EnumRow(TOVIK_ID(eParamID_Genlock), "Genlock:", "Genlock:", 0, ListOf(kGenlockSources), ListOf(kGenlock), 0),
    StringRow(TOVIK_ID(eParamID_GenlockStatusStr), "GenlockStatus", "GenlockStatus", 1, ListOf(kGenlockStatus)),
    IntegerRow(TOVIK_ID(eParamID_GenHDelay), "H-Delay:", "H-Delay:", 0, Range(0, 2200, 0), ListOf(kGenHDelay)),
    IntegerRow(TOVIK_ID(eParamID_GenHDelayMax), "HDelayMax", "HDelayMax", 0, DefaultOnly(0), ListOf(kGenDelayMax)),
    IntegerRow(TOVIK_ID(eParamID_GenVDelay), "V-Delay:", "V-Delay:", 0, Range(0, 100, 0), ListOf(kGenVDelay)),
    IntegerRow(TOVIK_ID(eParamID_GenVDelayMax), "VDelayMax", "VDelayMax", 0, DefaultOnly(0), ListOf(kGenDelayMax)),
    EnumRow(TOVIK_ID(eParamID_GenDelayEnable), "GenlockAttr", "GenlockAttr", 0, ListOf(kFalseTrue),
            ListOf(kGenDelayEnable), 1),
    StringRow(TOVIK_ID(eParamID_RefImageInputStatus), "Ref In Status", "Ref In Status", 1, ListOf(kDisplayType2)),
    EnumRow(TOVIK_ID(eParamID_RefInValidColorState), "RefInValid", "RefInValid", 0, ListOf(kFalseTrue),
            ListOf(kRefInvalid)),
    EnumRow(TOVIK_ID(eParamID_GenlockLabelColor), "RefLblColor", "RefLblColor", 0, ListOf(kLabelColours),
            ListOf(kRefLabelColour), kBlack),
    EnumRow(TOVIK_ID(eParamID_GenDelayShow), "DelayShow", "DelayShow", 0, ListOf(kLowerOffOn), ListOf(kGenDelayShow)),
    StringRow(TOVIK_ID(eParamID_GenlockRefAlarmStr), "GenRefInAlm", "GenRefInAlm", 1, ListOf(kRefAlarm)),
    EnumRow(TOVIK_ID(eParamID_OutScalingLabelColor), "OutScaleLblColor", "OutScaleLblColor", 0,
            ListOf(kLabelColours), ListOf(kRefLabelColour), kBlack),
    EnumRow(TOVIK_ID(eParamID_FrameDelayLabelColor), "FrmDlyLblColor", "FrmDlyLblColor", 0, ListOf(kLabelColours),
            ListOf(kDelayLabelColour), kBlack),
    EnumRow(TOVIK_ID(eParamID_HorizFlipLabelColor), "HorzFlpLblColor", "HorzFlpLblColor", 0, ListOf(kLabelColours),
            ListOf(kDelayLabelColour), kBlack),
    EnumRow(TOVIK_ID(eParamID_VertFlipLabelColor), "VertFlpLblColor", "VertFlpLblColor", 0, ListOf(kLabelColours),
            ListOf(kDelayLabelColour), kBlack),
    StringRow(TOVIK_ID(eParamID_ModuleName), "Name:", "Name:", 0, ListOf(kDisplayType2000)),
    StringRow(TOVIK_ID(eParamID_ModuleType), "Type:", "Type:", 1, ListOf(kDisplayType2000)),
    StringRow(TOVIK_ID(eParamID_ModuleAssemblyBd), "AsmbBd:", "AsmBd:", 1, ListOf(kDisplayType2000)),
    StringRow(TOVIK_ID(eParamID_BackgroundColor), "bkgndColor", "bkgndColor", 0, ListOf(kDisplayType1), "#FFFFFF"),
    EnumRow(TOVIK_ID(eParamID_ProcLimitDisplay), "ProcLimitDisplay", "ProcLimitDisplay", 0, ListOf(kLowerOffOn),
            ListOf(M::kProcLimitDisplay)),
};

} // namespace

bool QuastelConfig::AddParamDescriptors(DescriptorTable* table)
{
    return AddRowsUntilRefused(table, ListOf(kRows));
}

} // namespace quastel
} // namespace tovikconfig
