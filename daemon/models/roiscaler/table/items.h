// What the four ROI scaler tables share: their enumeration items and their
// attribute sets. The sets that name the input interface (Dvi on Hestra and
// Pendro, Dp on Mardex, Hdmi on Quastel) come from RoiMarkers<Word>.
#ifndef TOVIKCONFIG_ROISCALER_TABLE_ITEMS_H
#define TOVIKCONFIG_ROISCALER_TABLE_ITEMS_H

#include "tables/models/convertertable.h"

namespace tovikconfig {
namespace tables {
namespace roiscaler {

// ---------------------------------------------------------------- items

// Input region kinds of Mardex, Pendro and Quastel.
inline constexpr Item kInputKinds[] = {
    {0, "Auto", nullptr}, {1, "Variable", nullptr}, {2, "Fixed Aspect", nullptr},
    {3, "Fixed Size", nullptr}, {4, "SDI Out", nullptr},
};
inline constexpr Item kFixedAspects[] = {
    {0, "4:3", nullptr}, {1, "16:9", nullptr}, {2, "3:4", nullptr}, {3, "9:16", nullptr},
};
inline constexpr Item kFixedSizes[] = {
    {0, "DV", nullptr}, {1, "NTSC", nullptr}, {2, "PAL", nullptr}, {3, "720HD", nullptr}, {4, "1080HD", nullptr},
};
inline constexpr Item kOutScalings[] = {
    {0, "Auto", nullptr}, {1, "Fixed Aspect - Matte", nullptr}, {2, "Full Screen", nullptr},
    {3, "None - Crop/Matte", nullptr}, {4, "Variable", nullptr},
};
inline constexpr Item kSdiOutFormats[] = {
    {0, "525i29.97", nullptr},   {1, "625i25", nullptr},         {2, "720p50", nullptr},
    {3, "720p59.94", nullptr},   {4, "720p60", nullptr},         {5, "1080i25", nullptr},
    {6, "1080i29.97", nullptr},  {7, "1080i30", nullptr},        {8, "1080p23.98", nullptr},
    {9, "1080p24", nullptr},     {10, "1080p25", nullptr},       {11, "1080p29.97", nullptr},
    {12, "1080p30", nullptr},    {13, "1080p50 3G", nullptr},    {14, "1080p59.94 3G", nullptr},
    {15, "1080p60 3G", nullptr},
};
// The degree sign as an HTML reference without its closing semicolon.
inline constexpr Item kRotations[] = {
    {0, "0&#176", nullptr}, {1, "90&#176", nullptr}, {2, "180&#176", nullptr}, {3, "270&#176", nullptr},
};
inline constexpr Item kLabelColours[] = {{0, "red", nullptr}, {1, "blue", nullptr}, {2, "black", nullptr}};
constexpr std::int64_t kBlack = 2;
inline constexpr Item kOffOn[] = {{0, "Off", nullptr}, {1, "On", nullptr}};
inline constexpr Item kLowerOffOn[] = {{0, "off", nullptr}, {1, "on", nullptr}};
inline constexpr Item kFalseTrue[] = {{0, "false", nullptr}, {1, "true", nullptr}};
inline constexpr Item kRgbRanges[] = {{0, "Full", nullptr}, {1, "SMPTE", nullptr}};
inline constexpr Item kHdmiAudioSources[] = {
    {0, "HDMI", nullptr}, {1, "Analog", nullptr}, {2, "Analog + HDMI", nullptr}, {3, "None", nullptr},
};
inline constexpr Item kAnalogOutMaps[] = {
    {0, "Ch 1-2", nullptr}, {1, "Ch 3-4", nullptr}, {2, "Ch 5-6", nullptr}, {3, "Ch 7-8", nullptr},
};
inline constexpr Item kAudioConversions[] = {{0, "Convert Rate", nullptr}, {1, "Pass Through", nullptr}};
inline constexpr Item kConnections[] = {{0, "disconnected", nullptr}, {1, "connected", nullptr}};
inline constexpr Item kRoiActions[] = {
    {0, "Complete", nullptr}, {1, "Full Screen", nullptr}, {2, "Center Input", nullptr},
    {3, "Center Output", nullptr},
};
// Genlock sources of Hestra, Pendro and Quastel.
inline constexpr Item kGenlockSources[] = {
    {0, "Auto", nullptr}, {1, "HDMI", nullptr}, {2, "Ref In", nullptr}, {3, "Free Run", nullptr},
};

// ---------------------------------------------------------------- attributes

constexpr Marker ParamGroup(unsigned int group) { return NumberAttr("ParamGroup", group); }
constexpr Marker DisplayType(unsigned int type) { return NumberAttr("DisplayType", type); }

inline constexpr Marker kInScreenSize[] = {ParamGroup(0), DisplayType(1)};
inline constexpr Marker kOutScreenSize[] = {ParamGroup(1), DisplayType(1)};
inline constexpr Marker kRotation[] = {ParamGroup(1), DisplayType(8)};
inline constexpr Marker kRotationStatus[] = {DisplayType(0x4002), TextAttr("DataAttribute", "outrotation")};
inline constexpr Marker kRefLabelColour[] = {DisplayType(0x4000), TextAttr("DataAttribute", "reflblcolor")};
inline constexpr Marker kFrameDelaySwitch[] = {ParamGroup(1), DisplayType(0x20),
                                               TextAttr("ControlParam", "eParamID_ProcLimitDisplay"),
                                               TextAttr("ControlParam2", "eParamID_OutFrameDelay")};
inline constexpr Marker kFrameDelay[] = {ParamGroup(1), DisplayType(0x4000)};
inline constexpr Marker kFlipSwitch[] = {ParamGroup(1), DisplayType(0x20),
                                         TextAttr("ControlParam", "eParamID_ProcLimitDisplay")};
inline constexpr Marker kFilterSwitch[] = {ParamGroup(1), DisplayType(0x20)};
inline constexpr Marker kInputSelection[] = {ParamGroup(0), DisplayType(8)};
inline constexpr Marker kAudioSelection[] = {ParamGroup(3), DisplayType(8)};
inline constexpr Marker kSdiOutFormatHook[] = {DisplayType(0x4002), TextAttr("DataAttribute", "sdioutformat"),
                                               ClassName("sdioutstatus")};
inline constexpr Marker kSdiOutFitHook[] = {DisplayType(0x4002), TextAttr("DataAttribute", "sdioutfit"),
                                            ClassName("sdioutstatus")};
inline constexpr Marker kSdiOutAudioHook[] = {DisplayType(0x4002), TextAttr("DataAttribute", "sdioutaudio"),
                                              ClassName("sdioutstatus")};
inline constexpr Marker kOutFrameDelayHook[] = {DisplayType(0x4002), TextAttr("DataAttribute", "sdioutfrmdelay"),
                                                ClassName("sdioutstatus")};
inline constexpr Marker kRoiAction[] = {ParamGroup(0), DisplayType(1)};
inline constexpr Marker kGenlock[] = {ParamGroup(2), DisplayType(8)};
inline constexpr Marker kGenlockStatus[] = {DisplayType(0x4002), TextAttr("DataAttribute", "sdioutgenlock")};
inline constexpr Marker kGenHDelay[] = {ParamGroup(2), DisplayType(0x400),
                                        TextAttr("ControlParam", "eParamID_GenHDelayMax"),
                                        TextAttr("EnableParam", "eParamID_GenDelayEnable")};
inline constexpr Marker kGenVDelay[] = {ParamGroup(2), DisplayType(0x400),
                                        TextAttr("ControlParam", "eParamID_GenVDelayMax"),
                                        TextAttr("EnableParam", "eParamID_GenDelayEnable")};
inline constexpr Marker kGenDelayMax[] = {ParamGroup(2), DisplayType(0x800)};
inline constexpr Marker kGenDelayEnable[] = {ParamGroup(2), DisplayType(1)};
inline constexpr Marker kRefInvalid[] = {DisplayType(0x4000), TextAttr("DataAttribute", "refinvalid")};
inline constexpr Marker kGenDelayShow[] = {DisplayType(0x4000), TextAttr("DataAttribute", "gendelayshow")};
inline constexpr Marker kRefAlarm[] = {DisplayType(2), ClassName("refalarm")};
inline constexpr Marker kDelayLabelColour[] = {DisplayType(0x4000), TextAttr("DataAttribute", "delaylblcolor")};

// The input interface's words in id names, class names and tokens.
struct Dvi {
    static constexpr const char* kInConnected = "eParamID_DviInConnected";
    static constexpr const char* kInStatus = "dviinstatus";
    static constexpr const char* kOutStatus = "dvioutstatus";
    static constexpr const char* kOutEnabled = "dvioutenabled";
    static constexpr const char* kInConnectedToken = "dviinconnected";
    static constexpr const char* kOutConnectedToken = "dvioutconnected";
    static constexpr const char* kProcLimitToken = "dviproclimdisplay";
};
struct Dp {
    static constexpr const char* kInConnected = "eParamID_DpInConnected";
    static constexpr const char* kInStatus = "dpinstatus";
    static constexpr const char* kOutStatus = "dpoutstatus";
    static constexpr const char* kOutEnabled = "dpoutenabled";
    static constexpr const char* kInConnectedToken = "dpinconnected";
    static constexpr const char* kOutConnectedToken = "dpoutconnected";
    static constexpr const char* kProcLimitToken = "dpproclimdisplay";
};
struct Hdmi {
    static constexpr const char* kInConnected = "eParamID_HdmiInConnected";
    static constexpr const char* kInStatus = "hdmiinstatus";
    static constexpr const char* kOutStatus = "hdmioutstatus";
    static constexpr const char* kOutEnabled = "hdmioutenabled";
    static constexpr const char* kInConnectedToken = "hdmiinconnected";
    static constexpr const char* kOutConnectedToken = "hdmioutconnected";
    static constexpr const char* kProcLimitToken = "hdmiproclimdisplay";
};

template <typename Word>
struct RoiMarkers {
    static constexpr Marker kInputMode[] = {ParamGroup(0), DisplayType(0x4008), TextAttr("DataAttribute", "inputmode"),
                                            TextAttr("ControlParam", Word::kInConnected)};
    static constexpr Marker kInRegion[] = {ParamGroup(0), DisplayType(0x100),
                                           TextAttr("ControlParam", "eParamID_InScreenProxy"),
                                           TextAttr("ControlParam2", Word::kInConnected)};
    static constexpr Marker kOutRegion[] = {ParamGroup(1), DisplayType(0x200),
                                            TextAttr("ControlParam", "eParamID_OutScreenProxy"),
                                            TextAttr("ControlParam2", Word::kInConnected)};
    // The output scaling and the SDI output format.
    static constexpr Marker kOutSelection[] = {ParamGroup(0), DisplayType(8),
                                               TextAttr("ControlParam", Word::kInConnected)};
    static constexpr Marker kInHook[] = {DisplayType(2), ClassName(Word::kInStatus)};
    static constexpr Marker kOutEnabledHook[] = {DisplayType(0x4002), TextAttr("DataAttribute", Word::kOutEnabled),
                                                 ClassName(Word::kOutStatus)};
    static constexpr Marker kInConnectedState[] = {DisplayType(0x4000),
                                                   TextAttr("DataAttribute", Word::kInConnectedToken)};
    static constexpr Marker kOutConnectedState[] = {DisplayType(0x4000),
                                                    TextAttr("DataAttribute", Word::kOutConnectedToken)};
    static constexpr Marker kProcLimitDisplay[] = {DisplayType(0x4000),
                                                   TextAttr("DataAttribute", Word::kProcLimitToken)};
};

} // namespace roiscaler
} // namespace tables
} // namespace tovikconfig

#endif
