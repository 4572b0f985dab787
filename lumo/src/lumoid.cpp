#include "lumo/lumoid.h"

#include <atomic>
#include <iterator>

#include <QGlobalStatic>
#include <QStringList>

namespace {

typedef QHash<int, QString> NameTable;
Q_GLOBAL_STATIC(NameTable, gNames)

std::atomic<bool> gBuiltinsRegistered{false};

// Each row names consecutive ids from its first; numbers between rows
// have no built-in name.
struct BuiltinRow {
    int first;
    char const* names; // separated by single spaces
};

const BuiltinRow kBuiltins[] = {
    {0, "Invalid"},
    {1, "FrameNumber DevicePointer AudioDelay EnableSubtitle FrameTimeStamp HMACError IrqNumber "
        "VideoPop StartOfStream EndOfStream"},
    {12, "Timecode AudioTimecode MuteAudio ToneAudio"},
    {18, "PlayListIndex CurrentClipName PlaylistEngine StreamInfo TransportState CurrentReelName JamTCG "
         "KeyFrame OutsideStream"},
    {50, "Auto Normal InputVideo OutputConvert InputConvert Scaled FullRaster"},
    {100, "VELORAQT"},
    {200, "JPEG2000 JPEG2000Enc ProRes422 ProRes422HQ ProRes422LT ProRes422Proxy ProRes4444"},
    {220, "DNXHD"},
    {230, "YCbCr8 YCbCr10"},
    {240, "RGB8 BGR8 RGBA8 ARGB8 BGRA8"},
    {250, "RGB10 YCbCr RGB Raw"},
    {400, "PCM_U8 PCM_S8 PCM_U16LE PCM_U16BE PCM_S16LE PCM_S16BE PCM_U24LE PCM_U24BE PCM_S24LE "
          "PCM_S24BE PCM_U32LE PCM_U32BE PCM_S32LE PCM_S32BE PCM_Float32LE PCM_Float32BE"},
    {501, "CurrentInput FreeRun RefIn1"},
    {601, "SDI1 SDI1_Raw SDI1_YCbCr SDI1_RGB SDI2 SDI2_Raw SDI2_YCbCr SDI2_RGB SDI3 SDI3_Raw SDI3_YCbCr "
          "SDI3_RGB SDI4 SDI4_Raw SDI4_YCbCr SDI4_RGB"},
    {630, "DualLink1 DualLink1_Raw DualLink1_YCbCr DualLink1_RGB DualLink2 DualLink2_Raw "
          "DualLink2_YCbCr DualLink2_RGB DualLink3 DualLink3_Raw DualLink3_YCbCr DualLink3_RGB "
          "DualLink4 DualLink4_Raw DualLink4_YCbCr DualLink4_RGB"},
    {660, "QuadLink1 QuadLink1_Raw QuadLink1_YCbCr QuadLink1_RGB QuadLink2 QuadLink2_Raw "
          "QuadLink2_YCbCr QuadLink2_RGB QuadLink3 QuadLink3_Raw QuadLink3_YCbCr QuadLink3_RGB "
          "QuadLink4 QuadLink4_Raw QuadLink4_YCbCr QuadLink4_RGB"},
    {676, "HDMIIn1"},
    {680, "Imager1 Imager2 Imager3"},
    {684, "Imager4"},
    {690, "Analog1 Analog2 Analog3 Analog4"},
    {695, "SignalGen1 SignalGen2 SignalGen3 SignalGen4"},
    {705, "CameraIsRecording CameraClipName InvalidFrame ValidFirstField ValidSecondField VFRFrameRate "
          "C500IsRecording"},
    {800, "Black ColorBars75 ColorBars100 LinearRamp8 LinearRamp10 LinearRamp12 QuadBorder "
          "ColorBarsSmpte Multiburst ZonePlate SlantRamp8 SlantRamp10 SlantRamp12"},
    {900, "Silence Sine1KHz"},
    {1000, "RedOne24 RedOne25 RedEpic CanonXF CanonC300 CanonC500 PanasonicAF100 SonyF3 ArriAlexa"},
    {1050, "LTCConnector_In LTCConnector_Out LTCConnector_Trigger"},
    {1100, "Lut2D_RGB16"},
    {1200, "Convert4KCropQHD Convert4KScale2K Convert2KCropHD"},
    {1300, "SuperOutSDI SuperOutHDMI SuperOutSDIAndHDMI"},
    {1400, "AudioLevel24dBu AudioLevel18dBu AudioLevel15dBu AudioLevel12dBu"},
    {1500, "TCG TimeOfDay"},
    {1510, "LTC1 LTC2 LTC3 LTC4"},
    {1520, "RP188 RP188_LTC1 RP188_LTC2 RP188_LTC3 RP188_LTC4"},
    {1530, "RP188_VITC1 RP188_VITC2 RP188_VITC3 RP188_VITC4 CameraTimecode"},
    {1600, "Play Stop Standby StandbyOff FastFwd Rewind Record Still"},
    {1700, "Qelt4SequenceID"},
    {1800, "SDI_SD SDI_HD SDI_DualLinkHD SDI_3Ga SDI_3Gb HDMI DualLink QuadLink"},
    {1900, "AlarmGeneral AlarmInvalidSelection AlarmClipExists AlarmRecordFormat AlarmDroppedFrame "
           "AlarmInputError AlarmAVMismatch AlarmInputFormatChanged AlarmNoVideoInput AlarmFrameSkipped "
           "AlarmGenlockMissing AlarmAudioChanMismatch AlarmSDIVFRMismatch AlarmGenlockMismatch "
           "AlarmNonVFRFormat AlarmNoClipName AlarmTurnOffCameraData AlarmHQNotSupported "
           "AlarmBitRateNotCompatible AlarmChangeEncodeMode AlarmLUT AlarmNoMedia "
           "AlarmProResRecordInhibited"},
    {2000, "RecordInhibitNoInput RecordInhibitInvalidInput RecordInhibitUnsupportedInput "
           "RecordInhibitMediaFull RecordInhibitNoMedia"},
    {2050, "SlowMotionConversion_6000_3000 SlowMotionConversion_5994_2997 "
           "SlowMotionConversion_5994_2398 SlowMotionConversion_5000_2500"},
    {3000, "Brantor Culmen Dravik"},
    {100000, "UserId"},
};

} // namespace

void LumoId::setName(int id, QString const& name)
{
    if (NameTable* names = gNames())
        names->insert(id, name);
}

void LumoId::registerBuiltins()
{
    if (gBuiltinsRegistered.exchange(true))
        return;
    for (BuiltinRow const& row : kBuiltins) {
        int id = row.first;
        for (QString const& name : QString::fromLatin1(row.names).split(QLatin1Char(' ')))
            setName(id++, name);
    }
}

QString LumoId::name() const
{
    if (NameTable const* names = gNames()) {
        NameTable::const_iterator it = names->constFind(_value);
        if (it != names->constEnd())
            return it.value();
    }
    return QStringLiteral("LumoId_%1").arg(_value);
}
