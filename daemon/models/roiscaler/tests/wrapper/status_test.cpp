// Status decoding: scripted status images into the published texts,
// values and colours, and the watch of the input format.
#include <gtest/gtest.h>

#include <QTimer>

#include "engine/ccmdengine.h"
#include "messagelog.h"
#include "roiscaler/screenproxy.h"
#include "wrapperrig.h"

using namespace roiscaler;

namespace {

using F = RoiField;

// One status image change and the values it publishes.
struct Expectation {
    Param param;
    QVariant value;
};
Expectation Is(Param p, const QVariant& v) { return {p, v}; }

struct StatusCase {
    const char* what;
    int type;
    std::vector<std::pair<int, std::vector<UByte>>> status; // register, bytes
    std::vector<Expectation> expected;
};

const UByte kPresent = 0x80;

std::vector<StatusCase> Cases()
{
    return {
        {"no input", kMardex, {{43, {0x00}}},
         {Is(Param::ImageInEnabled, "Disconnected"), Is(Param::ImageInSize, "0x0"),
          Is(Param::ImageInRoi, "Sel: 0x0"), Is(Param::ImageInAudio, "No audio"), Is(Param::InConnected, false)}},
        {"input back", kMardex, {{43, {kPresent}}},
         {Is(Param::ImageInEnabled, "DP 59.94Hz"), Is(Param::ImageInSize, "1920x1080"),
          Is(Param::InConnected, true), Is(Param::ImageInAudio, "No audio")}},
        {"Mardex audio: 59 bit 6 present, 53 bit 7 two channels", kMardex,
         {{43, {0x00}}, {59, {0x40}}, {53, {0x90}}, {43, {kPresent}}},
         {Is(Param::ImageInAudio, "Audio 2Ch")}},
        {"sync mode", kMardex, {{43, {0x00}}, {59, {0x20}}, {43, {kPresent}}},
         {Is(Param::ImageInEnabled, "Sync mode")}},
        {"rate above the maximum", kMardex, {{43, {0x00}}, {59, {0x80}}, {43, {kPresent}}},
         {Is(Param::ImageInEnabled, "Exceeds max rate")}},
        {"Mardex genlock to the reference", kMardex, {{20, {0x44}}, {59, {0x00}}},
         {Is(Param::ImageSdiOutGenLock, "Lock RefIn"), Is(Param::GenlockStatusStr, "RefIn"),
          Is(Param::GenlockLabelColor, 2u)}},
        {"Mardex genlock free run", kMardex, {{20, {0x46}}},
         {Is(Param::ImageSdiOutGenLock, "Free Run"), Is(Param::GenlockStatusStr, "Free Run")}},
        {"Mardex state 1 is still locking", kMardex, {{20, {0x42}}},
         {Is(Param::ImageSdiOutGenLock, "Locking"), Is(Param::GenlockStatusStr, "Locking"),
          Is(Param::GenlockLabelColor, 0u)}},
        {"output disconnected", kMardex, {{53, {0x08}}},
         {Is(Param::ImageOutEnabled, "Disconnected"), Is(Param::OutConnected, false)}},
        {"output connected", kQuastel, {{53, {0x10}}},
         {Is(Param::ImageOutEnabled, "HDMI Connected"), Is(Param::OutConnected, true)}},
        {"reference 1080p25", kQuastel, {{42, {0xC5}}},
         {Is(Param::RefImageInputStatus, "1080p25"), Is(Param::RefInValidColorState, true)}},
        {"reference gone", kQuastel, {{42, {0x45}}},
         {Is(Param::RefImageInputStatus, "No Ref"), Is(Param::RefInValidColorState, false)}},
        {"locked to the input", kPendro, {{53, {0x10}}},
         {Is(Param::ImageSdiOutGenLock, "Lock HDMI"), Is(Param::GenlockStatusStr, "HDMI"),
          Is(Param::GenlockLabelColor, 1u)}},
        {"DVI signalling", kPendro, {{43, {0x00}}, {53, {0x50}}, {43, {kPresent}}},
         {Is(Param::ImageInEnabled, "DVI 60Hz"), Is(Param::ImageInAudio, "No audio")}},
        {"HDMI two-channel audio", kHestra, {{43, {0x00}}, {53, {0x90}}, {43, {kPresent}}},
         {Is(Param::ImageInEnabled, "HDMI 59.94Hz"), Is(Param::ImageInAudio, "Audio 2Ch"),
          Is(Param::ImageOutEnabled, "DVI Connected")}},
        {"Hestra free run", kHestra, {{53, {0x30}}},
         {Is(Param::ImageSdiOutGenLock, "Free Run"), Is(Param::GenlockLabelColor, 1u)}},
        {"audio selection text", kQuastel, {}, {Is(Param::ImageSdiOutAudio, "Aud: HDMI")}},
        {"Mardex audio selection text", kMardex, {}, {Is(Param::ImageSdiOutAudio, "Aud: DP")}},
        {"frame delay off", kPendro, {},
         {Is(Param::ImageOutFrameDelay, "Frame Delay: Off"), Is(Param::OutFrameDelay, false),
          Is(Param::RotationStatusStr, QString::fromLatin1("0\xC2\xB0")),
          Is(Param::RotationStatusColor, 2u), Is(Param::ProcLimitDisplay, 0u),
          Is(Param::FrameDelayLabelColor, 2u)}},
    };
}

TEST(RoiWrapperStatus, StatusImagesIntoTexts)
{
    for (int type : kScalerTypes) {
        WrapperRig rig(type);
        ASSERT_TRUE(rig.Start());
        for (const StatusCase& c : Cases()) {
            if (c.type != type)
                continue;
            SCOPED_TRACE(std::string(ModelName(type)) + ": " + c.what);
            for (const auto& s : c.status) {
                rig.SetStatus(s.first, s.second);
                rig.Poll();
            }
            rig.Poll();
            for (const Expectation& e : c.expected) {
                const quint32 id = rig.Id(e.param);
                EXPECT_EQ(rig.Value(id), e.value) << std::hex << id;
            }
            // The region texts every pass.
            EXPECT_EQ(rig.S(Param::InScreenProxy), rig.W().GetScreenProxy(0));
            EXPECT_EQ(rig.S(Param::OutScreenProxy), rig.W().GetScreenProxy(1));
        }
    }
}

// While the input stays as it was, the input texts are not rebuilt: a
// change of the audio bit alone shows once the input text changes.
TEST(RoiWrapperStatus, UnchangedInputLeavesTheInputTextsAlone)
{
    WrapperRig rig(kQuastel);
    ASSERT_TRUE(rig.Start());
    rig.Poll();
    ASSERT_EQ(rig.S(Param::ImageInAudio), "Audio 8Ch");
    rig.SetStatus(53, {0x90});
    rig.Poll();
    EXPECT_EQ(rig.S(Param::ImageInAudio), "Audio 8Ch");
    rig.SetStatus(54, {0x20, 0x3D, 0x08}); // 540000: 50 Hz
    rig.Poll();
    EXPECT_EQ(rig.S(Param::ImageInEnabled), "HDMI 50Hz");
    EXPECT_EQ(rig.S(Param::ImageInAudio), "Audio 2Ch");
}

TEST(RoiWrapperStatus, ProcessingLimitShowsWhatIsHeldBack)
{
    WrapperRig rig(kMardex);
    ASSERT_TRUE(rig.Start());
    rig.Set(rig.Id(Param::CfgOutRotation), 2u);
    rig.Set(rig.Id(Param::OutFrameDelayCk), 1u);
    rig.SetStatus(57, {0x80});
    rig.W().ReadDeviceConfig();
    ASSERT_EQ(rig.Field(F::_procLimit), 1);
    auto value = [&rig](Param p) { return rig.Value(rig.Id(p)); };
    EXPECT_EQ(value(Param::ProcLimitDisplay), QVariant(1u));
    EXPECT_EQ(value(Param::CfgOutRotation), QVariant(2u));
    EXPECT_EQ(value(Param::RotationStatusStr), QVariant(QString::fromLatin1("0\xC2\xB0")));
    EXPECT_EQ(value(Param::RotationStatusColor), QVariant(0u));
    EXPECT_EQ(value(Param::ImageOutFrameDelay), QVariant(QString("Frame Delay: Off")));
    EXPECT_EQ(value(Param::FrameDelayLabelColor), QVariant(0u));
    // Both flips carry out the 180 degrees: they cancel the marker.
    EXPECT_EQ(value(Param::HorizFlipLabelColor), QVariant(2u));
    EXPECT_EQ(value(Param::VertFlipLabelColor), QVariant(2u));
    rig.Set(rig.Id(Param::OutHorizFlipCk), 1u);
    EXPECT_EQ(value(Param::HorizFlipLabelColor), QVariant(0u));
    rig.Set(rig.Id(Param::CfgOutRotation), 0u);
    EXPECT_EQ(value(Param::RotationStatusColor), QVariant(2u));
    rig.SetStatus(57, {0x00});
    rig.W().ReadDeviceConfig();
    EXPECT_EQ(value(Param::RotationStatusStr), QVariant(QString::fromLatin1("0\xC2\xB0")));
    EXPECT_EQ(value(Param::ImageOutFrameDelay), QVariant(QString("Frame Delay: On")));
}

// A measured format that is neither the set one nor the recorded one, with
// the match bit clear: every pass rereads and returns the fit to Auto.
TEST(RoiWrapperStatus, DepartingInputRevertsToAutoEveryPass)
{
    WrapperRig rig(kMardex);
    ASSERT_TRUE(rig.Start());
    rig.Set(rig.Id(Param::CfgOutMode), 2u);
    ASSERT_EQ(rig.U(Param::CfgOutMode), 2u);
    tovik::test::MessageLog messages;
    rig.SetStatus(20, {0x04});       // format no longer matches
    rig.SetStatus(45, {0x05, 0x00}); // measured 1280 wide
    for (int pass = 1; pass <= 2; ++pass) {
        // The converter keeps its set format of 1920 x 1080 (the fit step
        // hands it the measured timing).
        rig.W().SelectRoiFit(2, false);
        rig.SetStatus(27, {0x07, 0x80});
        const uint64_t mark = rig.Mark();
        rig.Poll();
        const std::vector<int> codes = WrapperRig::Codes(rig.Since(mark));
        EXPECT_NE(std::find(codes.begin(), codes.end(), 0x8C), codes.end()) << pass;
        EXPECT_EQ(rig.U(Param::CfgOutMode), 0u) << pass;
        EXPECT_EQ(messages.Lines().count("Revert to auto mode"), pass);
    }
}

// The input comes back in the recorded format but not the set one: the
// recorded selection and fit are restored over the whole picture; after a
// client's change the fit returns to Auto instead.
TEST(RoiWrapperStatus, RecordedInputRestoresOrReverts)
{
    for (bool afterAChange : {false, true}) {
        SCOPED_TRACE(afterAChange ? "after a change" : "no change");
        WrapperRig rig(kPendro);
        ASSERT_TRUE(rig.Start());
        rig.Poll();
        rig.SetStatus(27, {0x05, 0x00}); // set 1280 wide: measured is the recorded 1920
        rig.SetStatus(20, {0x00});
        rig.SetStatus(43, {0x00});
        rig.Poll();
        rig.SetStatus(43, {kPresent});
        tovik::test::MessageLog messages;
        // A client's change rereads and polls at once.
        if (afterAChange)
            rig.Set(rig.Id(Param::FpgaVersion), QString());
        else
            rig.Poll();
        if (afterAChange) {
            EXPECT_EQ(messages.Lines().count("Revert to auto mode"), 1);
            EXPECT_EQ(rig.U(Param::CfgOutMode), 0u);
        } else {
            EXPECT_EQ(messages.Lines().count("Revert to auto mode"), 0);
            EXPECT_EQ(rig.Memory(3), 1920 & 0xFF);
            EXPECT_EQ(rig.Memory(4) >> 4, 1920 >> 8);
            EXPECT_EQ(rig.Memory(6), 0);
            EXPECT_EQ(rig.U(Param::CfgInMode), 0u);
        }
        EXPECT_EQ(rig.S(Param::ImageInEnabled), "HDMI 59.94Hz");
    }
}

TEST(RoiWrapperStatus, FailedRereadDisconnects)
{
    WrapperRig rig(kQuastel);
    ASSERT_TRUE(rig.Start());
    int errors = 0;
    QObject::connect(&rig.W(), &DeviceWrapper::CommError, [&errors] { ++errors; });
    rig.SetStatus(20, {0x00});
    rig.SetStatus(45, {0x05, 0x00});
    convsim::Fault refuse;
    refuse.kind = convsim::Fault::Kind::ErrorStatus;
    refuse.code = 0x8C;
    refuse.times = 1;
    rig.Sim().AddFault(refuse);
    tovik::test::MessageLog messages;
    rig.Poll();
    EXPECT_TRUE(messages.Contains("roiWrapper::UpdateDeviceStatus() disconnecting device 2 -9"))
        << messages.Lines().join("\n").toStdString();
    EXPECT_EQ(errors, 1);
    EXPECT_FALSE(rig.W().StatusPollTimer()->isActive());
}

// Hestra's pass waits while the rereads wait for a measured input.
TEST(RoiWrapperStatus, HestraWaitsForAMeasuredInput)
{
    WrapperRig rig(kHestra, [](convsim::Personality& p) {
        for (int r = 44; r <= 56; ++r)
            p.statusImage[size_t(r)] = 0;
    });
    ASSERT_TRUE(rig.Start());
    EXPECT_EQ(rig.Field(F::_fpgaInputHTotalLSB), 0);
    // The first reread ended at the gate: no readback, the timer runs.
    EXPECT_TRUE(rig.W().ConfigTimer()->isActive());
    EXPECT_FALSE(rig.W().State().contains(rig.Id(Param::ImageInEnabled)));
    rig.Poll();
    EXPECT_FALSE(rig.W().State().contains(rig.Id(Param::ImageInEnabled)));
    EXPECT_FALSE(rig.W().State().contains(rig.Id(Param::ModuleName)));
    // After two rereads without timing, readback goes ahead.
    rig.W().ReadDeviceConfig();
    rig.W().ReadDeviceConfig();
    EXPECT_EQ(rig.S(Param::ModuleName), "HESTRA");
    EXPECT_TRUE(rig.W().State().contains(rig.Id(Param::ImageInEnabled)));
}

} // namespace
