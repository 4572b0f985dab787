// The identifier name table: every built-in name, the gaps, renaming and
// the fallback text.
#include <gtest/gtest.h>

#include <QHash>
#include <QMetaType>

#include "lumo/lumoid.h"

namespace {

struct Builtin {
    int id;
    char const* name;
};

// Every built-in id with its name, one per row.
const Builtin kBuiltins[] = {
    {0, "Invalid"},
    {1, "FrameNumber"},
    {2, "DevicePointer"},
    {3, "AudioDelay"},
    {4, "EnableSubtitle"},
    {5, "FrameTimeStamp"},
    {6, "HMACError"},
    {7, "IrqNumber"},
    {8, "VideoPop"},
    {9, "StartOfStream"},
    {10, "EndOfStream"},
    {12, "Timecode"},
    {13, "AudioTimecode"},
    {14, "MuteAudio"},
    {15, "ToneAudio"},
    {18, "PlayListIndex"},
    {19, "CurrentClipName"},
    {20, "PlaylistEngine"},
    {21, "StreamInfo"},
    {22, "TransportState"},
    {23, "CurrentReelName"},
    {24, "JamTCG"},
    {25, "KeyFrame"},
    {26, "OutsideStream"},
    {50, "Auto"},
    {51, "Normal"},
    {52, "InputVideo"},
    {53, "OutputConvert"},
    {54, "InputConvert"},
    {55, "Scaled"},
    {56, "FullRaster"},
    {100, "VELORAQT"},
    {200, "JPEG2000"},
    {201, "JPEG2000Enc"},
    {202, "ProRes422"},
    {203, "ProRes422HQ"},
    {204, "ProRes422LT"},
    {205, "ProRes422Proxy"},
    {206, "ProRes4444"},
    {220, "DNXHD"},
    {230, "YCbCr8"},
    {231, "YCbCr10"},
    {240, "RGB8"},
    {241, "BGR8"},
    {242, "RGBA8"},
    {243, "ARGB8"},
    {244, "BGRA8"},
    {250, "RGB10"},
    {251, "YCbCr"},
    {252, "RGB"},
    {253, "Raw"},
    {400, "PCM_U8"},
    {401, "PCM_S8"},
    {402, "PCM_U16LE"},
    {403, "PCM_U16BE"},
    {404, "PCM_S16LE"},
    {405, "PCM_S16BE"},
    {406, "PCM_U24LE"},
    {407, "PCM_U24BE"},
    {408, "PCM_S24LE"},
    {409, "PCM_S24BE"},
    {410, "PCM_U32LE"},
    {411, "PCM_U32BE"},
    {412, "PCM_S32LE"},
    {413, "PCM_S32BE"},
    {414, "PCM_Float32LE"},
    {415, "PCM_Float32BE"},
    {501, "CurrentInput"},
    {502, "FreeRun"},
    {503, "RefIn1"},
    {601, "SDI1"},
    {602, "SDI1_Raw"},
    {603, "SDI1_YCbCr"},
    {604, "SDI1_RGB"},
    {605, "SDI2"},
    {606, "SDI2_Raw"},
    {607, "SDI2_YCbCr"},
    {608, "SDI2_RGB"},
    {609, "SDI3"},
    {610, "SDI3_Raw"},
    {611, "SDI3_YCbCr"},
    {612, "SDI3_RGB"},
    {613, "SDI4"},
    {614, "SDI4_Raw"},
    {615, "SDI4_YCbCr"},
    {616, "SDI4_RGB"},
    {630, "DualLink1"},
    {631, "DualLink1_Raw"},
    {632, "DualLink1_YCbCr"},
    {633, "DualLink1_RGB"},
    {634, "DualLink2"},
    {635, "DualLink2_Raw"},
    {636, "DualLink2_YCbCr"},
    {637, "DualLink2_RGB"},
    {638, "DualLink3"},
    {639, "DualLink3_Raw"},
    {640, "DualLink3_YCbCr"},
    {641, "DualLink3_RGB"},
    {642, "DualLink4"},
    {643, "DualLink4_Raw"},
    {644, "DualLink4_YCbCr"},
    {645, "DualLink4_RGB"},
    {660, "QuadLink1"},
    {661, "QuadLink1_Raw"},
    {662, "QuadLink1_YCbCr"},
    {663, "QuadLink1_RGB"},
    {664, "QuadLink2"},
    {665, "QuadLink2_Raw"},
    {666, "QuadLink2_YCbCr"},
    {667, "QuadLink2_RGB"},
    {668, "QuadLink3"},
    {669, "QuadLink3_Raw"},
    {670, "QuadLink3_YCbCr"},
    {671, "QuadLink3_RGB"},
    {672, "QuadLink4"},
    {673, "QuadLink4_Raw"},
    {674, "QuadLink4_YCbCr"},
    {675, "QuadLink4_RGB"},
    {676, "HDMIIn1"},
    {680, "Imager1"},
    {681, "Imager2"},
    {682, "Imager3"},
    {684, "Imager4"},
    {690, "Analog1"},
    {691, "Analog2"},
    {692, "Analog3"},
    {693, "Analog4"},
    {695, "SignalGen1"},
    {696, "SignalGen2"},
    {697, "SignalGen3"},
    {698, "SignalGen4"},
    {705, "CameraIsRecording"},
    {706, "CameraClipName"},
    {707, "InvalidFrame"},
    {708, "ValidFirstField"},
    {709, "ValidSecondField"},
    {710, "VFRFrameRate"},
    {711, "C500IsRecording"},
    {800, "Black"},
    {801, "ColorBars75"},
    {802, "ColorBars100"},
    {803, "LinearRamp8"},
    {804, "LinearRamp10"},
    {805, "LinearRamp12"},
    {806, "QuadBorder"},
    {807, "ColorBarsSmpte"},
    {808, "Multiburst"},
    {809, "ZonePlate"},
    {810, "SlantRamp8"},
    {811, "SlantRamp10"},
    {812, "SlantRamp12"},
    {900, "Silence"},
    {901, "Sine1KHz"},
    {1000, "RedOne24"},
    {1001, "RedOne25"},
    {1002, "RedEpic"},
    {1003, "CanonXF"},
    {1004, "CanonC300"},
    {1005, "CanonC500"},
    {1006, "PanasonicAF100"},
    {1007, "SonyF3"},
    {1008, "ArriAlexa"},
    {1050, "LTCConnector_In"},
    {1051, "LTCConnector_Out"},
    {1052, "LTCConnector_Trigger"},
    {1100, "Lut2D_RGB16"},
    {1200, "Convert4KCropQHD"},
    {1201, "Convert4KScale2K"},
    {1202, "Convert2KCropHD"},
    {1300, "SuperOutSDI"},
    {1301, "SuperOutHDMI"},
    {1302, "SuperOutSDIAndHDMI"},
    {1400, "AudioLevel24dBu"},
    {1401, "AudioLevel18dBu"},
    {1402, "AudioLevel15dBu"},
    {1403, "AudioLevel12dBu"},
    {1500, "TCG"},
    {1501, "TimeOfDay"},
    {1510, "LTC1"},
    {1511, "LTC2"},
    {1512, "LTC3"},
    {1513, "LTC4"},
    {1520, "RP188"},
    {1521, "RP188_LTC1"},
    {1522, "RP188_LTC2"},
    {1523, "RP188_LTC3"},
    {1524, "RP188_LTC4"},
    {1530, "RP188_VITC1"},
    {1531, "RP188_VITC2"},
    {1532, "RP188_VITC3"},
    {1533, "RP188_VITC4"},
    {1534, "CameraTimecode"},
    {1600, "Play"},
    {1601, "Stop"},
    {1602, "Standby"},
    {1603, "StandbyOff"},
    {1604, "FastFwd"},
    {1605, "Rewind"},
    {1606, "Record"},
    {1607, "Still"},
    {1700, "Qelt4SequenceID"},
    {1800, "SDI_SD"},
    {1801, "SDI_HD"},
    {1802, "SDI_DualLinkHD"},
    {1803, "SDI_3Ga"},
    {1804, "SDI_3Gb"},
    {1805, "HDMI"},
    {1806, "DualLink"},
    {1807, "QuadLink"},
    {1900, "AlarmGeneral"},
    {1901, "AlarmInvalidSelection"},
    {1902, "AlarmClipExists"},
    {1903, "AlarmRecordFormat"},
    {1904, "AlarmDroppedFrame"},
    {1905, "AlarmInputError"},
    {1906, "AlarmAVMismatch"},
    {1907, "AlarmInputFormatChanged"},
    {1908, "AlarmNoVideoInput"},
    {1909, "AlarmFrameSkipped"},
    {1910, "AlarmGenlockMissing"},
    {1911, "AlarmAudioChanMismatch"},
    {1912, "AlarmSDIVFRMismatch"},
    {1913, "AlarmGenlockMismatch"},
    {1914, "AlarmNonVFRFormat"},
    {1915, "AlarmNoClipName"},
    {1916, "AlarmTurnOffCameraData"},
    {1917, "AlarmHQNotSupported"},
    {1918, "AlarmBitRateNotCompatible"},
    {1919, "AlarmChangeEncodeMode"},
    {1920, "AlarmLUT"},
    {1921, "AlarmNoMedia"},
    {1922, "AlarmProResRecordInhibited"},
    {2000, "RecordInhibitNoInput"},
    {2001, "RecordInhibitInvalidInput"},
    {2002, "RecordInhibitUnsupportedInput"},
    {2003, "RecordInhibitMediaFull"},
    {2004, "RecordInhibitNoMedia"},
    {2050, "SlowMotionConversion_6000_3000"},
    {2051, "SlowMotionConversion_5994_2997"},
    {2052, "SlowMotionConversion_5994_2398"},
    {2053, "SlowMotionConversion_5000_2500"},
    {3000, "Brantor"},
    {3001, "Culmen"},
    {3002, "Dravik"},
    {100000, "UserId"},
};

// Only this test names ids; the built-ins are entered once for the binary.
class LumoIdTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { LumoId::registerBuiltins(); }
};

TEST_F(LumoIdTest, EveryBuiltinHasItsName)
{
    EXPECT_EQ(std::size(kBuiltins), 245u);
    for (Builtin const& b : kBuiltins)
        EXPECT_EQ(LumoId(b.id).name(), QString::fromLatin1(b.name)) << b.id;
}

TEST_F(LumoIdTest, NumbersWithoutNameGetTheFallbackText)
{
    QHash<int, bool> builtin;
    for (Builtin const& b : kBuiltins)
        builtin.insert(b.id, true);
    // Every number up to the last row that is not listed has no name.
    int unnamed = 0;
    for (int id = 0; id <= 3002; ++id) {
        if (builtin.contains(id))
            continue;
        ++unnamed;
        ASSERT_EQ(LumoId(id).name(), QStringLiteral("LumoId_%1").arg(id));
    }
    EXPECT_EQ(unnamed, 3003 - 244);
    EXPECT_EQ(LumoId(683).name(), QStringLiteral("LumoId_683"));
    EXPECT_EQ(LumoId(100001).name(), QStringLiteral("LumoId_100001"));
    EXPECT_EQ(LumoId(-5).name(), QStringLiteral("LumoId_-5"));
    EXPECT_EQ(LumoId(99999).name(), QStringLiteral("LumoId_99999"));
}

TEST_F(LumoIdTest, NamesCanBeAddedAndReplacedButBuiltinsAreEnteredOnce)
{
    EXPECT_EQ(LumoId(5000).name(), QStringLiteral("LumoId_5000"));
    LumoId::setName(5000, QStringLiteral("Custom"));
    EXPECT_EQ(LumoId(5000).name(), QStringLiteral("Custom"));

    LumoId::setName(1, QStringLiteral("Renamed"));
    LumoId::registerBuiltins(); // a second call enters nothing
    EXPECT_EQ(LumoId(1).name(), QStringLiteral("Renamed"));
    LumoId::setName(1, QStringLiteral("FrameNumber"));
}

TEST_F(LumoIdTest, ValueSemantics)
{
    EXPECT_EQ(int(LumoId()), 0);
    EXPECT_EQ(LumoId().name(), QStringLiteral("Invalid"));
    EXPECT_TRUE(LumoId(21) == LumoId(21));
    EXPECT_FALSE(LumoId(21) == LumoId(22));
    QHash<LumoId, int> hash;
    hash.insert(LumoId(1900), 1);
    hash.insert(LumoId(-1), 2);
    EXPECT_EQ(hash.value(LumoId(1900)), 1);
    EXPECT_EQ(hash.value(LumoId(-1)), 2);
    EXPECT_EQ(qHash(LumoId(7)), qHash(7u));
    // Constructed without a source through the meta-type system: 0.
    const int type = qRegisterMetaType<LumoId>("LumoId");
    void* made = QMetaType::create(type);
    EXPECT_EQ(int(*static_cast<LumoId*>(made)), 0);
    QMetaType::destroy(type, made);
}

} // namespace
