// The Jastel LUT converter (model number 13): 59 parameters. The identity
// strings, 25 settings in five parameter groups (input 0, HDMI 1, SDI 2,
// audio 3, LUT 4), then 31 status parameters the converter reports.
#include "tables/models/versiononly.h"
#include "tovikconfig/models/jastelparamids.h"
#include "tovikconfig/models/modelconfigs.h"

namespace tovikconfig {
namespace jastel {

namespace {

using namespace tables;

// Value lists several parameters share.
constexpr Item kRgbRanges[] = {{0, "SMPTE", nullptr}, {1, "Full", nullptr}};
constexpr Item kBitDepths[] = {
    {0, "Auto", nullptr}, {1, "8 Bit", nullptr}, {2, "10 Bit", nullptr}, {3, "12 Bit", nullptr},
};
constexpr Item kOffOn[] = {{0, "Off", nullptr}, {1, "On", nullptr}};
constexpr Item kVideoStandards[] = {
    {0, "vs1080", nullptr}, {1, "vs720p", nullptr},    {2, "vs525", nullptr},     {3, "vs625", nullptr},
    {4, "vs1080p", nullptr}, {5, "vs1556", nullptr}, {6, "vs2K1080p", nullptr}, {7, "vs2K1080", nullptr},
};
// No item has the value 0.
constexpr Item kFrameRates[] = {
    {1, "fps60", nullptr}, {2, "fps59.94", nullptr}, {3, "fps30", nullptr},    {4, "fps29.97", nullptr},
    {5, "fps25", nullptr}, {6, "fps24", nullptr},    {7, "fps23.98", nullptr}, {8, "fps50", nullptr},
};
constexpr Item kSdFlags[] = {{0, "not-sd", nullptr}, {1, "sd", nullptr}};

// Lists of one parameter each.
constexpr Item kVideoSources[] = {{0, "SDI 1", nullptr}, {1, "SDI 1+2", nullptr}};
constexpr Item kColourSpaces[] = {
    {0, "Auto", nullptr}, {1, "422 YCbCr", nullptr}, {2, "444 RGB", nullptr}, {3, "444 YCbCr", nullptr},
};
constexpr Item kVideoFormats[] = {
    {0, "Auto", nullptr}, {1, "Progressive", nullptr}, {2, "Interlaced", nullptr}, {3, "PsF", nullptr},
};
constexpr Item kHdmiProtocols[] = {{0, "Auto", nullptr}, {1, "HDMI", nullptr}, {2, "DVI", nullptr}};
constexpr Item kPsFModes[] = {{0, "PsF", nullptr}, {1, "Progressive", nullptr}};
constexpr Item k3GModes[] = {{0, "Auto", nullptr}, {1, "Level A", nullptr}, {2, "Level B", nullptr}};
constexpr Item kAudioSources[] = {{0, "SDI1 Ch 1-8", nullptr}, {1, "SDI1 Ch 9-16", nullptr}};
constexpr Item kChannelCounts[] = {{0, "Auto", nullptr}, {1, "2 of 8 Channels", nullptr}, {2, "8 Channels", nullptr}};
constexpr Item kAnalogPairs[] = {
    {0, "Ch 1-2 (9-10)", nullptr}, {1, "Ch 3-4 (11-12)", nullptr},
    {2, "Ch 5-6 (13-14)", nullptr}, {3, "Ch 7-8 (15-16)", nullptr},
};
constexpr Item k1DLutSlots[] = {{0, "1d-slot-a", nullptr}, {1, "1d-slot-b", nullptr}};
constexpr Item k3DLutSlots[] = {{0, "3d-slot-a", nullptr}, {1, "3d-slot-b", nullptr}};
constexpr Item kSdi1Locks[] = {{0, "not-locked", nullptr}, {1, "locked", nullptr}};
constexpr Item kSdi13G[] = {{0, "sdi1-not-3g", nullptr}, {1, "sdi1-3g", nullptr}};
constexpr Item kSdi13GLevels[] = {{0, "sdi1-3glevel-a", nullptr}, {1, "sdi1-3glevel-b", nullptr}};
constexpr Item kSdi1Pids[] = {{0, "sdi1-no-pid", nullptr}, {1, "sdi1-pid", nullptr}};
constexpr Item kSdi1PsF[] = {{0, "sdi1-not-psf", nullptr}, {1, "sdi1-psf", nullptr}};
constexpr Item kSdi23G[] = {{0, "sdi2-not-3g", nullptr}, {1, "sdi2-3g", nullptr}};
constexpr Item kSdi23GLevels[] = {{0, "sdi2-3glevel-a", nullptr}, {1, "sdi2-3glevel-b", nullptr}};
constexpr Item kSdi2Pids[] = {{0, "sdi2-no-pid", nullptr}, {1, "sdi2-pid", nullptr}};
constexpr Item kSdi2PsF[] = {{0, "sdi2-not-psf", nullptr}, {1, "sdi2-psf", nullptr}};
constexpr Item kLedStates[] = {{0, "Off", nullptr}, {1, "Green", nullptr}, {2, "Red", nullptr}, {3, "Amber", nullptr}};
constexpr Item kSdiOutStandards[] = {
    {0, "1080", nullptr}, {1, "720p", nullptr},    {2, "525", nullptr},     {3, "625", nullptr},
    {4, "1080p", nullptr}, {5, "1556", nullptr}, {6, "2K1080p", nullptr}, {7, "2K1080", nullptr},
};
constexpr Item kSdiOutRates[] = {
    {1, "60", nullptr}, {2, "59.94", nullptr}, {3, "30", nullptr}, {4, "29.97", nullptr},
    {5, "25", nullptr}, {6, "24", nullptr},    {7, "23.98", nullptr}, {8, "50", nullptr},
};
constexpr Item kFalseTrue[] = {{0, "False", nullptr}, {1, "True", nullptr}};
constexpr Item kHdmiConnections[] = {{0, "Disconnected", nullptr}, {1, "Connected", nullptr}};
constexpr Item kHdmiOutProtocols[] = {{0, "HDMI", nullptr}, {1, "DVI", nullptr}};
// The same name for both values.
constexpr Item kHdmiOutColourSpaces[] = {{0, "444 RGB", nullptr}, {1, "444 RGB", nullptr}};
constexpr Item kHdmiOutBitDepths[] = {{0, "8 Bit", nullptr}, {1, "10 Bit", nullptr}, {2, "12 Bit", nullptr}};

constexpr Marker ParamGroup(unsigned int group) { return NumberAttr("ParamGroup", group); }
constexpr Marker DisplayType(unsigned int type) { return NumberAttr("DisplayType", type); }

constexpr Marker kInputSetting[] = {ParamGroup(0), DisplayType(0x8)};
constexpr Marker kHdmiSetting[] = {ParamGroup(1), DisplayType(0x8)};
constexpr Marker kSdiSetting[] = {ParamGroup(2), DisplayType(0x8)};
constexpr Marker kAudioSetting[] = {ParamGroup(3), DisplayType(0x8)};
constexpr Marker kAudioOffset[] = {ParamGroup(3), DisplayType(0x400)};
constexpr Marker kLutEnable[] = {ParamGroup(4), DisplayType(0x4020), TextAttr("DataAttribute", "lutenabled")};
constexpr Marker kLutSlot[] = {ParamGroup(4), DisplayType(0x4040), TextAttr("DataAttribute", "activeslot")};
constexpr Marker kLutName[] = {ParamGroup(4), DisplayType(0x2)};
constexpr Marker kSdi1Lock[] = {DisplayType(0x4000), TextAttr("DataAttribute", "sdi1lockstatus")};
constexpr Marker kSdi1Sd[] = {DisplayType(0x4000), TextAttr("DataAttribute", "sdi1sdstatus")};
// The SDI 2 lock status carries the SD status's token.
constexpr Marker kSdi2Sd[] = {DisplayType(0x4000), TextAttr("DataAttribute", "sdi2sdstatus")};
constexpr Marker kSdiInStatus1[] = {DisplayType(0x2), ClassName("sdiinstatus1")};
constexpr Marker kSdiInStatus2[] = {DisplayType(0x4002), TextAttr("DataAttribute", "sdistatus"),
                                    ClassName("sdiinstatus2")};
constexpr Marker kLed[] = {DisplayType(0x4)};
constexpr Marker kSdiOutState[] = {DisplayType(0x1), ClassName("sdioutstatus")};
constexpr Marker kSdiOutText[] = {DisplayType(0x4002), TextAttr("DataAttribute", "sdistatus"),
                                  ClassName("sdioutstatus")};
constexpr Marker kHdmiOutConnection[] = {DisplayType(0x4002), TextAttr("DataAttribute", "hdmioutconnectionstatus"),
                                         ClassName("hdmioutstatus")};
constexpr Marker kHdmiOutState[] = {DisplayType(0x2), ClassName("hdmioutstatus")};

// Audio offset in frames: 0 to 112, shown scaled by 16 with precision 4.
constexpr Numbers kAudioOffsetValues{0, 112, 0, 1, 16, 0, 4, nullptr};

// In creation order: id and id name, name, short name, access, values, attributes.
constexpr Row kRows[] = {
    FpgaVersionRow(eParamID_FpgaVersion),
    ReleaseVersionRow(eParamID_DuviRuravodIvoduri),
    SerialNumberRow(eParamID_VoruZevezoZerazi),
    // Settings.
    EnumRow(TOVIK_ID(eParamID_InVidSrc), "Video Source", "Video Source", 0, ListOf(kVideoSources),
            ListOf(kInputSetting)),
    // The short name is the id name.
    EnumRow(TOVIK_ID(eParamID_InColorSpace), "Color Space", "eParamID_InColorSpace", 0, ListOf(kColourSpaces),
            ListOf(kInputSetting)),
    EnumRow(TOVIK_ID(eParamID_InRgbRange), "RGB Range", "RGB Range", 0, ListOf(kRgbRanges), ListOf(kInputSetting)),
    EnumRow(TOVIK_ID(eParamID_InBitDepth), "Bit Depth", "Bit Depth", 0, ListOf(kBitDepths), ListOf(kInputSetting)),
    EnumRow(TOVIK_ID(eParamID_InVidFormat), "Video Format", "Video Format", 0, ListOf(kVideoFormats),
            ListOf(kInputSetting)),
    EnumRow(TOVIK_ID(eParamID_HdmiRgbRange), "RGB Range", "RGB Range", 0, ListOf(kRgbRanges), ListOf(kHdmiSetting)),
    EnumRow(TOVIK_ID(eParamID_HdmiBitDepth), "Bit Depth", "Bit Depth", 0, ListOf(kBitDepths), ListOf(kHdmiSetting)),
    EnumRow(TOVIK_ID(eParamID_Hdmi2kCrop), "2K Crop", "2K Crop", 0, ListOf(kOffOn), ListOf(kHdmiSetting)),
    EnumRow(TOVIK_ID(eParamID_HdmiProtocol), "HDMI/DVI", "HDMI/DVI", 0, ListOf(kHdmiProtocols), ListOf(kHdmiSetting)),
    EnumRow(TOVIK_ID(eParamID_SdiRgbRange), "RGB Range", "RGB Range", 0, ListOf(kRgbRanges), ListOf(kSdiSetting)),
    EnumRow(TOVIK_ID(eParamID_SdiPsFMode), "PsF Mode", "PsF Mode", 0, ListOf(kPsFModes), ListOf(kSdiSetting)),
    EnumRow(TOVIK_ID(eParamID_SdiPassThrough), "Pass Through", "Pass Through", 0, ListOf(kOffOn), ListOf(kSdiSetting)),
    EnumRow(TOVIK_ID(eParamID_Sdi3GMode), "3G Mode", "3G Mode", 0, ListOf(k3GModes), ListOf(kSdiSetting)),
    EnumRow(TOVIK_ID(eParamID_AudInSrc), "Input Source", "Input Source", 0, ListOf(kAudioSources),
            ListOf(kAudioSetting)),
    EnumRow(TOVIK_ID(eParamID_AudOutChCount), "Output Channel Count", "Output Channel Count", 0,
            ListOf(kChannelCounts), ListOf(kAudioSetting)),
    EnumRow(TOVIK_ID(eParamID_AudAnalogSelect), "Analog Audio Select", "Analog Audio Select", 0,
            ListOf(kAnalogPairs), ListOf(kAudioSetting)),
    IntegerRow(TOVIK_ID(eParamID_AudOffset), "Audio Offset in Frames", "Audio Offset in Frames", 0,
               kAudioOffsetValues, ListOf(kAudioOffset)),
    EnumRow(TOVIK_ID(eParamID_Enable1DLut), "Enable:", "Enable:", 0, ListOf(kOffOn), ListOf(kLutEnable)),
    EnumRow(TOVIK_ID(eParamID_Apply1DLutSlot), "Slot:", "Slot:", 0, ListOf(k1DLutSlots), ListOf(kLutSlot)),
    StringRow(TOVIK_ID(eParamID_1DLutSlotAName), "A:", "A:", 1, ListOf(kLutName)),
    StringRow(TOVIK_ID(eParamID_1DLutSlotBName), "B:", "B:", 1, ListOf(kLutName)),
    EnumRow(TOVIK_ID(eParamID_Enable3DLut), "Enable:", "Enable:", 0, ListOf(kOffOn), ListOf(kLutEnable)),
    EnumRow(TOVIK_ID(eParamID_Apply3DLutSlot), "Slot:", "Slot:", 0, ListOf(k3DLutSlots), ListOf(kLutSlot)),
    StringRow(TOVIK_ID(eParamID_3DLutSlotAName), "A:", "A:", 1, ListOf(kLutName)),
    StringRow(TOVIK_ID(eParamID_3DLutSlotBName), "B:", "B:", 1, ListOf(kLutName)),
    // Status: SDI 1 input.
    EnumRow(TOVIK_ID(eParamID_Sdi1LockStatus), "SDI1 Lock Status", "SDI1 Lock Status", 1, ListOf(kSdi1Locks),
            ListOf(kSdi1Lock)),
    EnumRow(TOVIK_ID(eParamID_Sdi13GStatus), "SDI1 3G Status", "SDI1 3G Status", 1, ListOf(kSdi13G),
            ListOf(kDisplayType1)),
    EnumRow(TOVIK_ID(eParamID_Sdi13GLevelStatus), "SDI1 3G-Lvl Status", "SDI1 3G-Lvl Status", 1,
            ListOf(kSdi13GLevels), ListOf(kDisplayType1)),
    EnumRow(TOVIK_ID(eParamID_Sdi1PidStatus), "SDI1 PID Status", "SDI1 PID Status", 1, ListOf(kSdi1Pids),
            ListOf(kDisplayType1)),
    EnumRow(TOVIK_ID(eParamID_Sdi1VidStdStatus), "SDI1 VidStd Status", "SDI1 VidStd Status", 1,
            ListOf(kVideoStandards), ListOf(kDisplayType1)),
    EnumRow(TOVIK_ID(eParamID_Sdi1VidFpsStatus), "SDI1 VidFps Status", "SDI1 VidFps Status", 1,
            ListOf(kFrameRates), ListOf(kDisplayType1)),
    EnumRow(TOVIK_ID(eParamID_Sdi1PsFStatus), "SDI1 PsF Status", "SDI1 PsF Status", 1, ListOf(kSdi1PsF),
            ListOf(kDisplayType1)),
    EnumRow(TOVIK_ID(eParamID_Sdi1SDStatus), "SDI1 SD Status", "SDI1 SD Status", 1, ListOf(kSdFlags),
            ListOf(kSdi1Sd)),
    StringRow(TOVIK_ID(eParamID_Sdi1Status1), "Sdi1 Status1", "Sdi1 Status1", 1, ListOf(kSdiInStatus1)),
    StringRow(TOVIK_ID(eParamID_Sdi1Status2), "Sdi1 Status2", "Sdi1 Status2", 1, ListOf(kSdiInStatus2)),
    // Status: SDI 2 input; its lock status takes the SD list.
    EnumRow(TOVIK_ID(eParamID_Sdi2LockStatus), "SDI2 Lock Status", "SDI2 Lock Status", 1, ListOf(kSdFlags),
            ListOf(kSdi2Sd)),
    EnumRow(TOVIK_ID(eParamID_Sdi23GStatus), "SDI2 3G Status", "SDI2 3G Status", 1, ListOf(kSdi23G),
            ListOf(kDisplayType1)),
    EnumRow(TOVIK_ID(eParamID_Sdi23GLevelStatus), "SDI2 3G-Lvl Status", "SDI2 3G-Lvl Status", 1,
            ListOf(kSdi23GLevels), ListOf(kDisplayType1)),
    EnumRow(TOVIK_ID(eParamID_Sdi2PidStatus), "SDI2 PID Status", "SDI2 PID Status", 1, ListOf(kSdi2Pids),
            ListOf(kDisplayType1)),
    EnumRow(TOVIK_ID(eParamID_Sdi2VidStdStatus), "SDI2 VidStd Status", "SDI2 VidStd Status", 1,
            ListOf(kVideoStandards), ListOf(kDisplayType1)),
    EnumRow(TOVIK_ID(eParamID_Sdi2VidFpsStatus), "SDI2 VidFps Status", "SDI2 VidFps Status", 1,
            ListOf(kFrameRates), ListOf(kDisplayType1)),
    EnumRow(TOVIK_ID(eParamID_Sdi2PsFStatus), "SDI2 PsF Status", "SDI2 PsF Status", 1, ListOf(kSdi2PsF),
            ListOf(kDisplayType1)),
    EnumRow(TOVIK_ID(eParamID_Sdi2SDStatus), "SDI2 SD Status", "SDI2 SD Status", 1, ListOf(kSdFlags),
            ListOf(kSdi2Sd)),
    StringRow(TOVIK_ID(eParamID_Sdi2Status1), "Sdi2 Status1", "Sdi2 Status1", 1, ListOf(kSdiInStatus1)),
    StringRow(TOVIK_ID(eParamID_Sdi2Status2), "Sdi2 Status2", "Sdi2 Status2", 1, ListOf(kSdiInStatus2)),
    // Status: LED, SDI output, HDMI output.
    EnumRow(TOVIK_ID(eParamID_LedStatus), "LED Status", "LED Status", 1, ListOf(kLedStates), ListOf(kLed)),
    EnumRow(TOVIK_ID(eParamID_SdiOutVidStdStatus), "SDI Out VidStd Status", "SDI Out VidStd Status", 1,
            ListOf(kSdiOutStandards), ListOf(kSdiOutState)),
    EnumRow(TOVIK_ID(eParamID_SdiOutVidFpsStatus), "SDI Out VidFps Status", "SDI Out VidFps Status", 1,
            ListOf(kSdiOutRates), ListOf(kSdiOutState)),
    EnumRow(TOVIK_ID(eParamID_SdiOutPsFStatus), "SDI Out PsF Status", "SDI Out PsF Status", 1, ListOf(kFalseTrue),
            ListOf(kSdiOutState)),
    StringRow(TOVIK_ID(eParamID_SdiOutStatus), "SdiOut Status", "SdiOut Status", 1, ListOf(kSdiOutText)),
    EnumRow(TOVIK_ID(eParamID_HdmiOutConnectionStatus), "HdmiOut Connection", "HdmiOut Connection", 1,
            ListOf(kHdmiConnections), ListOf(kHdmiOutConnection)),
    EnumRow(TOVIK_ID(eParamID_HdmiOutProtocolStatus), "Protocol Status", "Protocol Status", 1,
            ListOf(kHdmiOutProtocols), ListOf(kHdmiOutState)),
    EnumRow(TOVIK_ID(eParamID_HdmiOutRgbRangeStatus), "HdmiOutRgbRange Status", "HdmiOutRgbRange Status", 1,
            ListOf(kRgbRanges), ListOf(kHdmiOutState)),
    EnumRow(TOVIK_ID(eParamID_HdmiOutColorSpaceStatus), "HdmiOutColorSpace Status", "HdmiOutColorSpace Status", 1,
            ListOf(kHdmiOutColourSpaces), ListOf(kHdmiOutState)),
    EnumRow(TOVIK_ID(eParamID_HdmiOutBitDepthStatus), "HdmiOutBitDepth Status", "HdmiOutBitDepth Status", 1,
            ListOf(kHdmiOutBitDepths), ListOf(kHdmiOutState)),
    StringRow(TOVIK_ID(eParamID_HdmiOutVideoStatus), "HdmiOut Video", "HdmiOut Video", 1, ListOf(kHdmiOutState)),
};

} // namespace

bool JastelConfig::AddParamDescriptors(DescriptorTable* table)
{
    return AddRowsUntilRefused(table, ListOf(kRows));
}

} // namespace jastel
} // namespace tovikconfig
