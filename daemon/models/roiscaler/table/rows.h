// The rows of the four ROI scaler tables, each written once. A model's
// table lists these in its order, with the interface words and texts that
// set it apart, and adds its own rows between them. They expand inside the
// model's namespace, so TOVIK_ID names the model's own ids, and they use
// the model's M (RoiMarkers<Word>) and the items and attributes of
// roiscaler.h.
#ifndef TOVIKCONFIG_ROISCALER_TABLE_ROWS_H
#define TOVIKCONFIG_ROISCALER_TABLE_ROWS_H

#include "roiscaler/table/firstgeometry.h"
#include "roiscaler/table/items.h"

// The identity rows that open every table.
#define TOVIK_ROI_IDENTITY_ROWS                                                                            \
    StringRow(TOVIK_ID(eParamID_FpgaVersion), "FPGA Version:", "FPGA Version:", 1, ListOf(kDisplayType1)), \
    StringRow(TOVIK_ID(eParamID_DuviRuravodIvoduri), "Release Version:", "Version: ", 1,                   \
              ListOf(kDisplayType2)),                                                                      \
    StringRow(TOVIK_ID(eParamID_VoruZevezoZerazi), "Serial Number:", "Sn: ", 1, ListOf(kDisplayType2002))

// The input region's selection over ITEMS, the model's list of choices.
#define TOVIK_ROI_INPUT_MODE_ROW(ITEMS)                                                         \
    EnumRow(TOVIK_ID(eParamID_CfgInMode), "ROI Selection:", "ROI Selection:", 0, ListOf(ITEMS), \
            ListOf(M::kInputMode))

// The fixed aspect and fixed size of the input region.
#define TOVIK_ROI_FIXED_MODE_ROWS                                                                 \
    EnumRow(TOVIK_ID(eParamID_CfgInFixedAspectMode), "ROI Fixed Aspect:", "ROI Fixed Aspect:", 0, \
            ListOf(kFixedAspects), ListOf(M::kInputMode)),                                        \
    EnumRow(TOVIK_ID(eParamID_CfgInFixedSizeMode), "ROI Fixed Size:", "ROI Fixed Size:", 0,       \
            ListOf(kFixedSizes), ListOf(M::kInputMode))

// Both regions with their screens and proxies, and the SDI output format.
// The positions and screens default to the first geometry; the sizes to 0.
#define TOVIK_ROI_REGION_ROWS                                                                               \
    IntegerRow(TOVIK_ID(eParamID_CfgInX), "X:", "X:", 0, Range(0, kUnset, ::roiscaler::first::kIn.x),       \
               ListOf(M::kInRegion)),                                                                       \
    IntegerRow(TOVIK_ID(eParamID_CfgInY), "Y:", "Y:", 0, Range(0, kUnset, ::roiscaler::first::kIn.y),       \
               ListOf(M::kInRegion)),                                                                       \
    IntegerRow(TOVIK_ID(eParamID_CfgInW), "W:", "W:", 0, Range(4, kUnset, 0), ListOf(M::kInRegion)),        \
    IntegerRow(TOVIK_ID(eParamID_CfgInH), "H:", "H:", 0, Range(4, kUnset, 0), ListOf(M::kInRegion)),        \
    IntegerRow(TOVIK_ID(eParamID_CfgInScreenW), "ScreenW", "ScreenW", 0,                                    \
               Range(0, kUnset, ::roiscaler::first::kScreenW), ListOf(kInScreenSize)),                      \
    IntegerRow(TOVIK_ID(eParamID_CfgInScreenH), "ScreenH", "ScreenH", 0,                                    \
               Range(0, kUnset, ::roiscaler::first::kScreenH), ListOf(kInScreenSize)),                      \
    EnumRow(TOVIK_ID(eParamID_CfgOutMode), "ROI Out Scaling:", "ROI Out Scaling:", 0, ListOf(kOutScalings), \
            ListOf(M::kOutSelection)),                                                                      \
    IntegerRow(TOVIK_ID(eParamID_CfgOutX), "X:", "X:", 0, Range(0, kUnset, ::roiscaler::first::kOut.x),     \
               ListOf(M::kOutRegion)),                                                                      \
    IntegerRow(TOVIK_ID(eParamID_CfgOutY), "Y:", "Y:", 0, Range(0, kUnset, ::roiscaler::first::kOut.y),     \
               ListOf(M::kOutRegion)),                                                                      \
    IntegerRow(TOVIK_ID(eParamID_CfgOutW), "W:", "W:", 0, Range(4, kUnset, 0), ListOf(M::kOutRegion)),      \
    IntegerRow(TOVIK_ID(eParamID_CfgOutH), "H:", "H:", 0, Range(4, kUnset, 0), ListOf(M::kOutRegion)),      \
    IntegerRow(TOVIK_ID(eParamID_CfgOutScreenW), "ScreenW", "ScreenW", 0,                                   \
               Range(0, kUnset, ::roiscaler::first::kScreenW), ListOf(kOutScreenSize)),                     \
    IntegerRow(TOVIK_ID(eParamID_CfgOutScreenH), "ScreenH", "ScreenH", 0,                                   \
               Range(0, kUnset, ::roiscaler::first::kScreenH), ListOf(kOutScreenSize)),                     \
    StringRow(TOVIK_ID(eParamID_InScreenProxy), "Screen Proxy", "Screen Proxy", 0,                          \
              ListOf(kDisplayType8000)),                                                                    \
    StringRow(TOVIK_ID(eParamID_OutScreenProxy), "Screen Proxy", "Screen Proxy", 0,                         \
              ListOf(kDisplayType8000)),                                                                    \
    EnumRow(TOVIK_ID(eParamID_OutRoiFormat), "SDI Out Format:", "SDI Out Format:", 0,                       \
            ListOf(kSdiOutFormats), ListOf(M::kOutSelection))

// Rotation, frame delay and flips.
#define TOVIK_ROI_PROCESSING_ROWS                                                                           \
    EnumRow(TOVIK_ID(eParamID_CfgOutRotation), "Rotation:", "Rotation:", 0, ListOf(kRotations),             \
            ListOf(kRotation)),                                                                             \
    StringRow(TOVIK_ID(eParamID_RotationStatusStr), "RotationStatus", "RotationStatus", 1,                  \
              ListOf(kRotationStatus)),                                                                     \
    EnumRow(TOVIK_ID(eParamID_RotationStatusColor), "RotLblColor", "RotLblColor", 0, ListOf(kLabelColours), \
            ListOf(kRefLabelColour), kBlack),                                                               \
    EnumRow(TOVIK_ID(eParamID_OutFrameDelayCk), "Frame Delay:", "Frame Delay:", 0, ListOf(kOffOn),          \
            ListOf(kFrameDelaySwitch)),                                                                     \
    EnumRow(TOVIK_ID(eParamID_OutFrameDelay), "Frame Delay:", "Frame Delay:", 0, ListOf(kOffOn),            \
            ListOf(kFrameDelay)),                                                                           \
    EnumRow(TOVIK_ID(eParamID_OutHorizFlipCk), "Horizontal Flip:", "Horizontal Flip:", 0, ListOf(kOffOn),   \
            ListOf(kFlipSwitch)),                                                                           \
    EnumRow(TOVIK_ID(eParamID_OutVertFlipCk), "Vertical Flip:", "Vertical Flip:", 0, ListOf(kOffOn),        \
            ListOf(kFlipSwitch))

// The output filters.
#define TOVIK_ROI_FILTER_ROWS                                                                             \
    EnumRow(TOVIK_ID(eParamID_OutEdgeFiltering), "Edge Filtering:", "Edge Filtering:", 0, ListOf(kOffOn), \
            ListOf(kFilterSwitch)),                                                                       \
    EnumRow(TOVIK_ID(eParamID_OutFlickerFiltering), "Flicker Filtering:", "Flicker Filtering:", 0,        \
            ListOf(kOffOn), ListOf(kFilterSwitch))

// The input's RGB range, whose long NAME differs between models.
#define TOVIK_ROI_RGB_RANGE_ROW(NAME)                                                 \
    EnumRow(TOVIK_ID(eParamID_InRgbRange), NAME, "RGB Range:", 0, ListOf(kRgbRanges), \
            ListOf(kInputSelection))

// Audio: the input selection over SOURCES, the analog map and the rate
// conversion named after the audio interface (AUDIO, its text CONVERSION).
#define TOVIK_ROI_AUDIO_ROWS(SOURCES, AUDIO, CONVERSION)                                                     \
    EnumRow(TOVIK_ID(eParamID_AudInSelect), "Input Select:", "Input Select:", 0, ListOf(SOURCES),            \
            ListOf(kAudioSelection)),                                                                        \
    EnumRow(TOVIK_ID(eParamID_AudAnalogOutMap), "Analog Out Map:", "Analog Out Map:", 0,                     \
            ListOf(kAnalogOutMaps), ListOf(kAudioSelection)),                                                \
    EnumRow(TOVIK_ID(eParamID_Aud##AUDIO##Conversion), CONVERSION, CONVERSION, 0, ListOf(kAudioConversions), \
            ListOf(kAudioSelection))

// The input hooks of the interface WORD, with each model's texts.
#define TOVIK_ROI_INPUT_HOOK_ROWS(WORD, ENABLED, SIZE, ROI, AUDIO)                                 \
    StringRow(TOVIK_ID(eParamID_Image##WORD##InEnabled), ENABLED, ENABLED, 1, ListOf(M::kInHook)), \
    StringRow(TOVIK_ID(eParamID_Image##WORD##InSize), SIZE, SIZE, 1, ListOf(M::kInHook)),          \
    StringRow(TOVIK_ID(eParamID_Image##WORD##InRoi), ROI, ROI, 1, ListOf(M::kInHook)),             \
    StringRow(TOVIK_ID(eParamID_Image##WORD##InAudio), AUDIO, AUDIO, 1, ListOf(M::kInHook))

// The output frame delay's hook.
#define TOVIK_ROI_OUT_FRAME_DELAY_HOOK_ROW                                                    \
    StringRow(TOVIK_ID(eParamID_ImageOutFrameDelay), "Out Frame Delay", "Out Frame Delay", 1, \
              ListOf(kOutFrameDelayHook))

// The output hook of the interface WORD, its text TEXT.
#define TOVIK_ROI_OUT_ENABLED_HOOK_ROW(WORD, TEXT)                                                   \
    StringRow(TOVIK_ID(eParamID_Image##WORD##OutEnabled), TEXT, TEXT, 1, ListOf(M::kOutEnabledHook))

// The SDI output's hooks.
#define TOVIK_ROI_SDI_HOOK_ROWS                                                                            \
    StringRow(TOVIK_ID(eParamID_ImageSdiOutFormat), "Sdi Out Format", "Sdi Out Format", 1,                 \
              ListOf(kSdiOutFormatHook)),                                                                  \
    StringRow(TOVIK_ID(eParamID_ImageSdiOutGenLock), "Sdi Out GenLock", "Sdi Out GenLock", 1,              \
              ListOf(kSdiOutFormatHook)),                                                                  \
    StringRow(TOVIK_ID(eParamID_ImageSdiOutFit), "Sdi Out Fit", "Sdi Out Fit", 1, ListOf(kSdiOutFitHook)), \
    StringRow(TOVIK_ID(eParamID_ImageSdiOutAudio), "Sdi Out Audio", "Sdi Out Audio", 1,                    \
              ListOf(kSdiOutAudioHook))

// Whether the interface WORD's input and output are connected.
#define TOVIK_ROI_CONNECTED_ROWS(WORD)                                                              \
    EnumRow(TOVIK_ID(eParamID_##WORD##InConnected), #WORD "InConnected", #WORD "InConnected", 0,    \
            ListOf(kConnections), ListOf(M::kInConnectedState)),                                    \
    EnumRow(TOVIK_ID(eParamID_##WORD##OutConnected), #WORD "OutConnected", #WORD "OutConnected", 0, \
            ListOf(kConnections), ListOf(M::kOutConnectedState))

// The region actions.
#define TOVIK_ROI_ACTION_ROW                                                                              \
    EnumRow(TOVIK_ID(eParamID_RoiAction), "Action", "Action", 0, ListOf(kRoiActions), ListOf(kRoiAction))

// The genlock source over SOURCES with its DEFAULT.
#define TOVIK_ROI_GENLOCK_ROW(SOURCES, DEFAULT)                                                       \
    EnumRow(TOVIK_ID(eParamID_Genlock), "Genlock:", "Genlock:", 0, ListOf(SOURCES), ListOf(kGenlock), \
            DEFAULT)

// Genlock status, delays, the reference's state and the scaling label.
#define TOVIK_ROI_GENLOCK_STATUS_ROWS                                                                     \
    StringRow(TOVIK_ID(eParamID_GenlockStatusStr), "GenlockStatus", "GenlockStatus", 1,                   \
              ListOf(kGenlockStatus)),                                                                    \
    IntegerRow(TOVIK_ID(eParamID_GenHDelay), "H-Delay:", "H-Delay:", 0, Range(0, 2200, 0),                \
               ListOf(kGenHDelay)),                                                                       \
    IntegerRow(TOVIK_ID(eParamID_GenHDelayMax), "HDelayMax", "HDelayMax", 0, DefaultOnly(0),              \
               ListOf(kGenDelayMax)),                                                                     \
    IntegerRow(TOVIK_ID(eParamID_GenVDelay), "V-Delay:", "V-Delay:", 0, Range(0, 100, 0),                 \
               ListOf(kGenVDelay)),                                                                       \
    IntegerRow(TOVIK_ID(eParamID_GenVDelayMax), "VDelayMax", "VDelayMax", 0, DefaultOnly(0),              \
               ListOf(kGenDelayMax)),                                                                     \
    EnumRow(TOVIK_ID(eParamID_GenDelayEnable), "GenlockAttr", "GenlockAttr", 0, ListOf(kFalseTrue),       \
            ListOf(kGenDelayEnable), 1),                                                                  \
    StringRow(TOVIK_ID(eParamID_RefImageInputStatus), "Ref In Status", "Ref In Status", 1,                \
              ListOf(kDisplayType2)),                                                                     \
    EnumRow(TOVIK_ID(eParamID_RefInValidColorState), "RefInValid", "RefInValid", 0, ListOf(kFalseTrue),   \
            ListOf(kRefInvalid)),                                                                         \
    EnumRow(TOVIK_ID(eParamID_GenlockLabelColor), "RefLblColor", "RefLblColor", 0, ListOf(kLabelColours), \
            ListOf(kRefLabelColour), kBlack),                                                             \
    EnumRow(TOVIK_ID(eParamID_GenDelayShow), "DelayShow", "DelayShow", 0, ListOf(kLowerOffOn),            \
            ListOf(kGenDelayShow)),                                                                       \
    StringRow(TOVIK_ID(eParamID_GenlockRefAlarmStr), "GenRefInAlm", "GenRefInAlm", 1, ListOf(kRefAlarm)), \
    EnumRow(TOVIK_ID(eParamID_OutScalingLabelColor), "OutScaleLblColor", "OutScaleLblColor", 0,           \
            ListOf(kLabelColours), ListOf(kRefLabelColour), kBlack)

// The label colours of the frame delay and the flips.
#define TOVIK_ROI_DELAY_LABEL_ROWS                                                           \
    EnumRow(TOVIK_ID(eParamID_FrameDelayLabelColor), "FrmDlyLblColor", "FrmDlyLblColor", 0,  \
            ListOf(kLabelColours), ListOf(kDelayLabelColour), kBlack),                       \
    EnumRow(TOVIK_ID(eParamID_HorizFlipLabelColor), "HorzFlpLblColor", "HorzFlpLblColor", 0, \
            ListOf(kLabelColours), ListOf(kDelayLabelColour), kBlack),                       \
    EnumRow(TOVIK_ID(eParamID_VertFlipLabelColor), "VertFlpLblColor", "VertFlpLblColor", 0,  \
            ListOf(kLabelColours), ListOf(kDelayLabelColour), kBlack)

// The module's name, type, assembly and background colour.
#define TOVIK_ROI_MODULE_ROWS                                                                           \
    StringRow(TOVIK_ID(eParamID_ModuleName), "Name:", "Name:", 0, ListOf(kDisplayType2000)),            \
    StringRow(TOVIK_ID(eParamID_ModuleType), "Type:", "Type:", 1, ListOf(kDisplayType2000)),            \
    StringRow(TOVIK_ID(eParamID_ModuleAssemblyBd), "AsmbBd:", "AsmBd:", 1, ListOf(kDisplayType2000)),   \
    StringRow(TOVIK_ID(eParamID_BackgroundColor), "bkgndColor", "bkgndColor", 0, ListOf(kDisplayType1), \
              "#FFFFFF")

// Whether the processing limits show.
#define TOVIK_ROI_PROC_LIMIT_ROW                                                            \
    EnumRow(TOVIK_ID(eParamID_ProcLimitDisplay), "ProcLimitDisplay", "ProcLimitDisplay", 0, \
            ListOf(kLowerOffOn), ListOf(M::kProcLimitDisplay))

#endif
