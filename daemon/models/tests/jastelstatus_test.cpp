// The Jastel wrapper's status pass on a simulated LUT converter: 40 status
// bytes in, the 31 published values and texts out; and the three text
// operations behind those texts.
#include <gtest/gtest.h>

#include <map>

#include "jasteltesting.h"

namespace {

using namespace jasteltesting;

// Status byte i is register 16 + i.
using Image = std::map<size_t, uint8_t>;
using Values = std::map<quint32, QVariant>;

QVariant Flag(bool on)
{
    return QVariant(on);
}

// What an all-zero image publishes: no signal anywhere.
Values NoSignal()
{
    return {
        {eParamID_Sdi1LockStatus, Flag(false)},       {eParamID_Sdi13GStatus, Flag(false)},
        {eParamID_Sdi13GLevelStatus, Flag(false)},    {eParamID_Sdi1PidStatus, Flag(false)},
        {eParamID_Sdi1VidStdStatus, Code(0)},         {eParamID_Sdi1VidFpsStatus, Code(0)},
        {eParamID_Sdi1PsFStatus, Flag(false)},        {eParamID_Sdi1SDStatus, Flag(false)},
        {eParamID_Sdi1Status2, Text("No Video")},     {eParamID_Sdi2LockStatus, Flag(false)},
        {eParamID_Sdi23GStatus, Flag(false)},         {eParamID_Sdi23GLevelStatus, Flag(false)},
        {eParamID_Sdi2PidStatus, Flag(false)},        {eParamID_Sdi2VidStdStatus, Code(0)},
        {eParamID_Sdi2VidFpsStatus, Code(0)},         {eParamID_Sdi2PsFStatus, Flag(false)},
        {eParamID_Sdi2SDStatus, Flag(false)},         {eParamID_Sdi2Status2, Text("No Video")},
        {eParamID_Sdi1Status1, Text("Invalid Signal")}, {eParamID_Sdi2Status1, Text("SDI1 Required")},
        {eParamID_LedStatus, Code(0)},                {eParamID_SdiOutVidStdStatus, Code(0)},
        {eParamID_SdiOutVidFpsStatus, Code(0)},       {eParamID_SdiOutPsFStatus, Flag(false)},
        {eParamID_SdiOutStatus, Text("No Video")},    {eParamID_HdmiOutConnectionStatus, Flag(false)},
        {eParamID_HdmiOutProtocolStatus, Code(0)},    {eParamID_HdmiOutRgbRangeStatus, Code(0)},
        {eParamID_HdmiOutColorSpaceStatus, Flag(false)}, {eParamID_HdmiOutBitDepthStatus, Code(0)},
        {eParamID_HdmiOutVideoStatus, Text("No Video")},
    };
}

struct Case {
    const char* name;
    Image image;
    QVariant videoSource; // the pending eParamID_InVidSrc
    Values changed;       // from NoSignal()
};

// Input 1 locked, 1080p 59.94, no PID; the output texts follow it. The
// values in v stand: these fill in only the ids it lacks.
const Image kInput1 = {{0, 0x42}, {1, 0x0C}};
Values Input1Valid(Values v)
{
    v.insert({eParamID_Sdi1LockStatus, Flag(true)});
    v.insert({eParamID_Sdi1VidStdStatus, Code(4)});
    v.insert({eParamID_Sdi1VidFpsStatus, Code(2)});
    v.insert({eParamID_Sdi1Status2, Text("1080p59.94  ")});
    v.insert({eParamID_Sdi1Status1, Text("Select SDI1 ")});
    v.insert({eParamID_Sdi2Status1, Text("Disabled")});
    v.insert({eParamID_SdiOutStatus, Text("?? video")});
    v.insert({eParamID_HdmiOutVideoStatus, Text("1080i00")});
    return v;
}
Image With(Image image, const Image& more)
{
    for (const auto& b : more)
        image[b.first] = b.second;
    return image;
}

class JastelStatusTest : public JastelTest {
protected:
    void SetUp() override { Plug(); }

    // Puts the image into the converter's status registers and runs a pass.
    void Pass(const Image& image, const QVariant& videoSource)
    {
        convsim::Bytes bytes(40, 0);
        for (const auto& b : image)
            bytes.at(b.first) = b.second;
        ASSERT_TRUE(Sim().WriteRegisters(1, 0, 16, bytes));
        State()[eParamID_InVidSrc] = videoSource;
        _w->UpdateDeviceStatus();
    }
};

TEST_F(JastelStatusTest, ImagesToValuesAndTexts)
{
    const QVariant sdi1 = Code(0), dualLink = Code(1);
    const std::vector<Case> cases = {
        {"no signal", {}, sdi1, {}},
        {"ignored bytes change nothing",
         {{8, 0xFF}, {13, 0xFF}, {16, 0xFF}, {19, 0xFF}, {21, 0xFF}, {30, 0xFF}, {39, 0xFF}, {3, 0xDF}},
         sdi1,
         {}},
        {"locked 3G level B 1080i 59.94",
         {{0, 0x82}, {1, 0x0E}},
         sdi1,
         Input1Valid({{eParamID_Sdi13GStatus, Flag(true)},
                      {eParamID_Sdi13GLevelStatus, Flag(true)},
                      {eParamID_Sdi1VidStdStatus, Code(0)},
                      {eParamID_Sdi1Status2, Text("1080i59.94  3G-B")}})},
        {"locked 3G level A",
         {{0, 0x01}, {1, 0x0E}},
         sdi1,
         Input1Valid({{eParamID_Sdi13GStatus, Flag(true)},
                      {eParamID_Sdi1VidStdStatus, Code(0)},
                      {eParamID_Sdi1VidFpsStatus, Code(1)},
                      {eParamID_Sdi1Status2, Text("1080i60  3G-A")}})},
        {"link mode 2 unlocked is no 3G", {{0, 0x82}, {1, 0x06}}, sdi1,
         {{eParamID_Sdi13GLevelStatus, Flag(true)}, {eParamID_Sdi1VidFpsStatus, Code(2)}}},
        {"lock bits 1", {{0, 0x42}, {1, 0x04}}, sdi1,
         {{eParamID_Sdi1VidStdStatus, Code(4)}, {eParamID_Sdi1VidFpsStatus, Code(2)}}},
        {"lock bits 2", {{0, 0x42}, {1, 0x08}}, sdi1,
         {{eParamID_Sdi1VidStdStatus, Code(4)}, {eParamID_Sdi1VidFpsStatus, Code(2)}}},
        {"1080i at 24 is PsF", {{0, 0x06}, {1, 0x0C}}, sdi1,
         Input1Valid({{eParamID_Sdi1VidStdStatus, Code(0)},
                      {eParamID_Sdi1VidFpsStatus, Code(6)},
                      {eParamID_Sdi1PsFStatus, Flag(true)},
                      {eParamID_Sdi1Status2, Text("1080psf24  ")}})},
        {"2K1080i at 23.98 is PsF", {{0, 0x77}, {1, 0x0C}}, sdi1,
         Input1Valid({{eParamID_Sdi1VidStdStatus, Code(7)},
                      {eParamID_Sdi1VidFpsStatus, Code(7)},
                      {eParamID_Sdi1PsFStatus, Flag(true)},
                      {eParamID_Sdi1Status2, Text("2K1080psf23.98  ")}})},
        {"1080p at 24 is not", {{0, 0x46}, {1, 0x0C}}, sdi1,
         Input1Valid({{eParamID_Sdi1VidFpsStatus, Code(6)}, {eParamID_Sdi1Status2, Text("1080p24  ")}})},
        {"720p at 23.98 is not", {{0, 0x17}, {1, 0x0C}}, sdi1,
         Input1Valid({{eParamID_Sdi1VidStdStatus, Code(1)},
                      {eParamID_Sdi1VidFpsStatus, Code(7)},
                      {eParamID_Sdi1Status2, Text("720p23.98  ")}})},
        {"PID: format from bytes 2 and 3, level from byte 0", {{0, 0x91}, {1, 0x0C}, {2, 0xF5}, {3, 0x20}}, sdi1,
         Input1Valid({{eParamID_Sdi13GLevelStatus, Flag(true)},
                      {eParamID_Sdi1PidStatus, Flag(true)},
                      {eParamID_Sdi1VidStdStatus, Code(7)},
                      {eParamID_Sdi1VidFpsStatus, Code(5)},
                      {eParamID_Sdi1PsFStatus, Flag(true)},
                      {eParamID_Sdi1Status2, Text("2K1080psf25  ")}})},
        {"PID without its PsF bit: 1080i at 24 stays interlaced", {{0, 0x46}, {1, 0x0C}, {2, 0x86}, {3, 0xDF}},
         sdi1,
         Input1Valid({{eParamID_Sdi1PidStatus, Flag(true)},
                      {eParamID_Sdi1VidStdStatus, Code(0)},
                      {eParamID_Sdi1VidFpsStatus, Code(6)},
                      {eParamID_Sdi1Status2, Text("1080i24  ")}})},
        {"PID PsF bit ignored for 1080p", {{1, 0x0C}, {2, 0xC3}, {3, 0x20}}, sdi1,
         Input1Valid({{eParamID_Sdi1PidStatus, Flag(true)},
                      {eParamID_Sdi1VidFpsStatus, Code(3)},
                      {eParamID_Sdi1Status2, Text("1080p30  ")}})},
        {"locked SD on input 1 is no video, whatever input 2 shows",
         With(kInput1, {{0, 0x25}, {4, 0x42}, {5, 0x0C}, {9, 0x03}, {10, 0x01}, {11, 0x44}, {12, 0x04}}), dualLink,
         {{eParamID_Sdi1LockStatus, Flag(true)},
          {eParamID_Sdi1VidStdStatus, Code(2)},
          {eParamID_Sdi1VidFpsStatus, Code(5)},
          {eParamID_Sdi1SDStatus, Flag(true)},
          {eParamID_Sdi2LockStatus, Flag(true)},
          {eParamID_Sdi2VidStdStatus, Code(4)},
          {eParamID_Sdi2VidFpsStatus, Code(2)},
          {eParamID_Sdi2Status2, Text("1080p59.94  ")},
          {eParamID_SdiOutVidStdStatus, Code(4)},
          {eParamID_SdiOutVidFpsStatus, Code(1)},
          {eParamID_HdmiOutConnectionStatus, Flag(true)},
          {eParamID_HdmiOutColorSpaceStatus, Flag(true)}}},
        {"625 SD with PsF", {{0, 0x37}, {1, 0x0C}}, sdi1,
         {{eParamID_Sdi1LockStatus, Flag(true)},
          {eParamID_Sdi1VidStdStatus, Code(3)},
          {eParamID_Sdi1VidFpsStatus, Code(7)},
          {eParamID_Sdi1PsFStatus, Flag(true)},
          {eParamID_Sdi1SDStatus, Flag(true)}}},
        {"input 2 alone: bytes 4 to 7", {{4, 0x82}, {5, 0x0E}, {6, 0x80}, {7, 0x20}}, sdi1,
         {{eParamID_Sdi2LockStatus, Flag(true)},
          {eParamID_Sdi23GStatus, Flag(true)},
          {eParamID_Sdi23GLevelStatus, Flag(true)},
          {eParamID_Sdi2PidStatus, Flag(true)},
          {eParamID_Sdi2PsFStatus, Flag(true)},
          {eParamID_Sdi2Status2, Text("?? video")}}},
        {"input 2 SD", {{4, 0x21}, {5, 0x0C}}, sdi1,
         {{eParamID_Sdi2LockStatus, Flag(true)},
          {eParamID_Sdi2VidStdStatus, Code(2)},
          {eParamID_Sdi2VidFpsStatus, Code(1)},
          {eParamID_Sdi2SDStatus, Flag(true)}}},
        {"dual link, equal formats", With(kInput1, {{4, 0x42}, {5, 0x0C}}), dualLink,
         Input1Valid({{eParamID_Sdi2LockStatus, Flag(true)},
                      {eParamID_Sdi2VidStdStatus, Code(4)},
                      {eParamID_Sdi2VidFpsStatus, Code(2)},
                      {eParamID_Sdi2Status2, Text("1080p59.94  ")},
                      {eParamID_Sdi1Status1, Text("Select HD-DL ")},
                      {eParamID_Sdi2Status1, Text("Select HD-DL ")}})},
        {"dual link, other rate on input 2", With(kInput1, {{4, 0x48}, {5, 0x0C}}), dualLink,
         Input1Valid({{eParamID_Sdi2LockStatus, Flag(true)},
                      {eParamID_Sdi2VidStdStatus, Code(4)},
                      {eParamID_Sdi2VidFpsStatus, Code(8)},
                      {eParamID_Sdi2Status2, Text("1080p50  ")},
                      {eParamID_Sdi1Status1, Text("Select HD-DL ")},
                      {eParamID_Sdi2Status1, Text("Select HD-DL (Mismatch)")}})},
        {"dual link, input 2 3G where input 1 is not", With(kInput1, {{4, 0x42}, {5, 0x0E}}), dualLink,
         Input1Valid({{eParamID_Sdi2LockStatus, Flag(true)},
                      {eParamID_Sdi23GStatus, Flag(true)},
                      {eParamID_Sdi2VidStdStatus, Code(4)},
                      {eParamID_Sdi2VidFpsStatus, Code(2)},
                      {eParamID_Sdi2Status2, Text("1080p59.94  3G-A")},
                      {eParamID_Sdi1Status1, Text("Select HD-DL ")},
                      {eParamID_Sdi2Status1, Text("Select HD-DL (Mismatch)")}})},
        {"dual link, no input 2", kInput1, dualLink,
         Input1Valid({{eParamID_Sdi1Status1, Text("Select HD-DL ")},
                      {eParamID_Sdi2Status1, Text("Select HD-DL (Mismatch)")}})},
        {"SDI 1 alone ignores input 2", With(kInput1, {{4, 0x48}, {5, 0x0C}}), sdi1,
         Input1Valid({{eParamID_Sdi2LockStatus, Flag(true)},
                      {eParamID_Sdi2VidStdStatus, Code(4)},
                      {eParamID_Sdi2VidFpsStatus, Code(8)},
                      {eParamID_Sdi2Status2, Text("1080p50  ")}})},
        {"video source 2: no selection texts", kInput1, Code(2),
         Input1Valid({{eParamID_Sdi1Status1, Text("")}, {eParamID_Sdi2Status1, Text("")}})},
        {"video source -1: no selection texts", kInput1, QVariant(-1),
         Input1Valid({{eParamID_Sdi1Status1, Text("")}, {eParamID_Sdi2Status1, Text("")}})},
        {"SDI out 2K1080 PsF", With(kInput1, {{9, 0x03}, {10, 0x07}, {12, 0x07}}), sdi1,
         Input1Valid({{eParamID_SdiOutVidStdStatus, Code(7)},
                      {eParamID_SdiOutVidFpsStatus, Code(7)},
                      {eParamID_SdiOutPsFStatus, Flag(true)},
                      {eParamID_SdiOutStatus, Text("2K1080psf23.98")},
                      {eParamID_HdmiOutVideoStatus, Text("1080i23.98")}})},
        {"SDI out 720p ignores the PsF bits", With(kInput1, {{9, 0x03}, {10, 0x02}, {12, 0x01}}), sdi1,
         Input1Valid({{eParamID_SdiOutVidStdStatus, Code(1)},
                      {eParamID_SdiOutVidFpsStatus, Code(2)},
                      {eParamID_SdiOutStatus, Text("720p59.94")},
                      {eParamID_HdmiOutVideoStatus, Text("1080i59.94")}})},
        {"SDI out PsF needs both bits", With(kInput1, {{9, 0x02}, {10, 0x08}, {12, 0x03}}), sdi1,
         Input1Valid({{eParamID_SdiOutVidStdStatus, Code(3)},
                      {eParamID_SdiOutVidFpsStatus, Code(8)},
                      {eParamID_SdiOutStatus, Text("625i50")},
                      {eParamID_HdmiOutVideoStatus, Text("1080i50")}})},
        {"SDI out standard 12 reads as 1080", With(kInput1, {{9, 0x03}, {10, 0x05}, {12, 0x0C}}), sdi1,
         Input1Valid({{eParamID_SdiOutVidStdStatus, Code(12)},
                      {eParamID_SdiOutVidFpsStatus, Code(5)},
                      {eParamID_SdiOutStatus, Text("1080i25")},
                      {eParamID_HdmiOutVideoStatus, Text("1080i25")}})},
        {"output rate 9 has no text", With(kInput1, {{10, 0x09}, {11, 0x04}}), sdi1,
         Input1Valid({{eParamID_SdiOutVidFpsStatus, Code(9)}, {eParamID_HdmiOutVideoStatus, Text("1080p00")}})},
        {"HDMI 0x44: connected, 1080p", With(kInput1, {{10, 0x01}, {11, 0x44}}), sdi1,
         Input1Valid({{eParamID_SdiOutVidFpsStatus, Code(1)},
                      {eParamID_SdiOutStatus, Text("1080i60")},
                      {eParamID_HdmiOutConnectionStatus, Flag(true)},
                      {eParamID_HdmiOutColorSpaceStatus, Flag(true)},
                      {eParamID_HdmiOutVideoStatus, Text("1080p60")}})},
        {"HDMI protocol bit, depth, 4K standards", With(kInput1, {{10, 0xC6}, {11, 0x29}}), sdi1,
         Input1Valid({{eParamID_SdiOutVidFpsStatus, Code(6)},
                      {eParamID_SdiOutStatus, Text("1080i24")},
                      {eParamID_HdmiOutProtocolStatus, Code(1)},
                      {eParamID_HdmiOutBitDepthStatus, Code(3)},
                      {eParamID_HdmiOutVideoStatus, Text("4Kp24")}})},
        {"HDMI QuadHD", With(kInput1, {{10, 0x85}, {11, 0x08}}), sdi1,
         Input1Valid({{eParamID_SdiOutVidFpsStatus, Code(5)},
                      {eParamID_SdiOutStatus, Text("1080i25")},
                      {eParamID_HdmiOutBitDepthStatus, Code(2)},
                      {eParamID_HdmiOutVideoStatus, Text("QuadHDp25")}})},
        {"output bits without input 1 publish no text",
         {{9, 0x03}, {10, 0x47}, {11, 0x64}, {12, 0x07}}, sdi1,
         {{eParamID_SdiOutVidStdStatus, Code(7)},
          {eParamID_SdiOutVidFpsStatus, Code(7)},
          {eParamID_SdiOutPsFStatus, Flag(true)},
          {eParamID_HdmiOutConnectionStatus, Flag(true)},
          {eParamID_HdmiOutProtocolStatus, Code(1)},
          {eParamID_HdmiOutColorSpaceStatus, Flag(true)},
          {eParamID_HdmiOutBitDepthStatus, Code(1)}}},
        {"LED 3", {{20, 0x07}}, sdi1, {{eParamID_LedStatus, Code(3)}}},
        {"LED 2 of 0xFE", {{20, 0xFE}}, sdi1, {{eParamID_LedStatus, Code(2)}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Pass(c.image, c.videoSource);
        Values expected = NoSignal();
        for (const auto& v : c.changed)
            expected[v.first] = v.second;
        for (const auto& e : expected) {
            ASSERT_TRUE(State().contains(e.first)) << std::hex << e.first;
            EXPECT_EQ(State().value(e.first), e.second) << std::hex << e.first;
            EXPECT_EQ(State().value(e.first).type(), e.second.type()) << std::hex << e.first;
        }
    }
    // Nothing outside the table: the settings, the names and the 31 values.
    EXPECT_EQ(State().size(), 28 + 31);
}

TEST_F(JastelStatusTest, OnePassReadsFortyBytesFromRegister16)
{
    const size_t mark = Mark();
    _w->UpdateDeviceStatus();
    const std::vector<RegisterCommand> commands = RegistersSince(mark);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_FALSE(commands[0].write);
    EXPECT_EQ(commands[0].address, 16u);
    EXPECT_EQ(commands[0].count, 40u);
}

TEST_F(JastelStatusTest, RgbRangeIsTheSettingsPendingValue)
{
    State()[eParamID_HdmiRgbRange] = Code(1);
    Pass({}, Code(0));
    EXPECT_EQ(State().value(eParamID_HdmiOutRgbRangeStatus), Code(1));
    // An absent setting is read as an empty entry and copied as such.
    State().remove(eParamID_HdmiRgbRange);
    Pass({}, Code(0));
    EXPECT_TRUE(State().contains(eParamID_HdmiRgbRange));
    EXPECT_FALSE(State().value(eParamID_HdmiOutRgbRangeStatus).isValid());
    // An absent video source counts as 0.
    State().remove(eParamID_InVidSrc);
    Sim().WriteRegisters(1, 0, 16, convsim::Bytes{0x42, 0x0C});
    _w->UpdateDeviceStatus();
    EXPECT_EQ(State().value(eParamID_Sdi1Status1), Text("Select SDI1 "));
}

TEST_F(JastelStatusTest, AFailedReadChangesNothing)
{
    Pass(kInput1, Code(0));
    const ConfigDeviceState_t before = State();
    Refuse(kReadCode, 16);
    Sim().WriteRegisters(1, 0, 16, convsim::Bytes(40, 0));
    _w->UpdateDeviceStatus();
    EXPECT_EQ(State(), before);
    EXPECT_TRUE(_w->IsLinkUp());
    // The next pass reads again.
    _w->UpdateDeviceStatus();
    EXPECT_EQ(State().value(eParamID_Sdi1LockStatus), Flag(false));
}

TEST(JastelTexts, SdiOutFormatName)
{
    const struct {
        int standard, rate;
        bool psf;
        const char* text;
    } cases[] = {
        {0, 2, false, "1080i59.94"}, {0, 2, true, "1080psf59.94"}, {1, 1, true, "720p60"},
        {2, 3, false, "525i30"},     {2, 3, true, "525psf30"},     {3, 4, true, "625psf29.97"},
        {4, 5, true, "1080p25"},     {5, 6, false, "155624"},      {6, 7, true, "2K1080p23.98"},
        {7, 8, false, "2K1080i50"},  {7, 8, true, "2K1080psf50"},  {9, 1, false, "1080i60"},
        {15, 1, true, "1080psf60"},  {0, 0, false, "?? video"},    {4, 9, false, "?? video"},
        {7, 15, true, "?? video"},   {0, -1, false, "?? video"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(JastelWrapper::GetSdiOutFormatName(c.standard, c.rate, c.psf), QString(c.text))
            << c.standard << " " << c.rate << " " << c.psf;
}

TEST(JastelTexts, DualLinkTag)
{
    const struct {
        int input;
        bool match, dualLink;
        int kind;
        const char* text;
    } cases[] = {
        {0, true, true, 0, "(Invalid Fmt)"}, {0, false, false, 9, "(Invalid Fmt)"}, {1, false, true, 0, "(Mismatch)"},
        {2, false, false, 0, "(Mismatch)"},  {1, true, true, 0, "DL"},              {1, true, true, 1, "2xHD"},
        {2, true, true, 2, "DS1"},           {1, true, true, 3, "DS2"},             {1, true, true, 4, ""},
        {1, true, true, -1, ""},             {1, true, false, 1, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(JastelWrapper::GetDualLinkTag(c.input, c.match, c.dualLink, c.kind), QString(c.text))
            << c.input << " " << c.match << " " << c.dualLink << " " << c.kind;
}

TEST(JastelTexts, InputSelectText)
{
    const struct {
        int input, videoSource;
        bool valid;
        const char* a;
        const char* b;
        const char* text;
    } cases[] = {
        {1, 0, true, "x", "x", "Select SDI1 "},          {1, 0, true, "x", "y", "Select SDI1 (Mismatch)"},
        {1, 0, false, "x", "x", "Select SDI1 (Mismatch)"}, {2, 0, true, "x", "x", "Disabled"},
        {0, 0, true, "x", "x", "Disabled"},              {1, 1, true, "x", "x", "Select HD-DL "},
        {2, 1, true, "x", "x", "Select HD-DL "},         {2, 1, false, "x", "x", "Select HD-DL (Mismatch)"},
        {2, 1, true, "x", "x ", "Select HD-DL (Mismatch)"}, {3, 1, true, "x", "x", "Disabled"},
        {1, 2, true, "x", "x", ""},                      {1, -1, true, "x", "x", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(JastelWrapper::GetInputSelectText(c.input, c.videoSource, c.valid, c.a, c.b), QString(c.text))
            << c.input << " " << c.videoSource << " " << c.valid << " " << c.a << "|" << c.b;
}

} // namespace
