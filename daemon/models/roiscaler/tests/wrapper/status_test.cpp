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
    quint32 index;
    bool processing;
    QVariant value;
};
Expectation Is(quint32 index, const QVariant& v) { return {index, false, v}; }
Expectation ProcessingIs(quint32 n, const QVariant& v) { return {n, true, v}; }

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
         {Is(index::ImageInEnabled, "Disconnected"), Is(index::ImageInSize, "0x0"),
          Is(index::ImageInRoi, "Sel: 0x0"), Is(index::ImageInAudio, "No audio"), Is(index::InConnected, false)}},
        {"input back", kMardex, {{43, {kPresent}}},
         {Is(index::ImageInEnabled, "DP 59.94Hz"), Is(index::ImageInSize, "1920x1080"),
          Is(index::InConnected, true), Is(index::ImageInAudio, "No audio")}},
        {"Mardex audio: 59 bit 6 present, 53 bit 7 two channels", kMardex,
         {{43, {0x00}}, {59, {0x40}}, {53, {0x90}}, {43, {kPresent}}},
         {Is(index::ImageInAudio, "Audio 2Ch")}},
        {"sync mode", kMardex, {{43, {0x00}}, {59, {0x20}}, {43, {kPresent}}},
         {Is(index::ImageInEnabled, "Sync mode")}},
        {"rate above the maximum", kMardex, {{43, {0x00}}, {59, {0x80}}, {43, {kPresent}}},
         {Is(index::ImageInEnabled, "Exceeds max rate")}},
        {"Mardex genlock to the reference", kMardex, {{20, {0x44}}, {59, {0x00}}},
         {Is(index::ImageSdiOutGenLock, "Lock RefIn"), Is(index::GenlockStatusStr, "RefIn"),
          Is(index::GenlockLabelColor, 2u)}},
        {"Mardex genlock free run", kMardex, {{20, {0x46}}},
         {Is(index::ImageSdiOutGenLock, "Free Run"), Is(index::GenlockStatusStr, "Free Run")}},
        {"Mardex state 1 is still locking", kMardex, {{20, {0x42}}},
         {Is(index::ImageSdiOutGenLock, "Locking"), Is(index::GenlockStatusStr, "Locking"),
          Is(index::GenlockLabelColor, 0u)}},
        {"output disconnected", kMardex, {{53, {0x08}}},
         {Is(index::ImageOutEnabled, "Disconnected"), Is(index::OutConnected, false)}},
        {"output connected", kQuastel, {{53, {0x10}}},
         {Is(index::ImageOutEnabled, "HDMI Connected"), Is(index::OutConnected, true)}},
        {"reference 1080p25", kQuastel, {{42, {0xC5}}},
         {Is(index::RefImageInputStatus, "1080p25"), Is(index::RefInValidColorState, true)}},
        {"reference gone", kQuastel, {{42, {0x45}}},
         {Is(index::RefImageInputStatus, "No Ref"), Is(index::RefInValidColorState, false)}},
        {"locked to the input", kPendro, {{53, {0x10}}},
         {Is(index::ImageSdiOutGenLock, "Lock HDMI"), Is(index::GenlockStatusStr, "HDMI"),
          Is(index::GenlockLabelColor, 1u)}},
        {"DVI signalling", kPendro, {{43, {0x00}}, {53, {0x50}}, {43, {kPresent}}},
         {Is(index::ImageInEnabled, "DVI 60Hz"), Is(index::ImageInAudio, "No audio")}},
        {"HDMI two-channel audio", kHestra, {{43, {0x00}}, {53, {0x90}}, {43, {kPresent}}},
         {Is(index::ImageInEnabled, "HDMI 59.94Hz"), Is(index::ImageInAudio, "Audio 2Ch"),
          Is(index::ImageOutEnabled, "DVI Connected")}},
        {"Hestra free run", kHestra, {{53, {0x30}}},
         {Is(index::ImageSdiOutGenLock, "Free Run"), Is(index::GenlockLabelColor, 1u)}},
        {"audio selection text", kQuastel, {}, {Is(index::ImageSdiOutAudio, "Aud: HDMI")}},
        {"Mardex audio selection text", kMardex, {}, {Is(index::ImageSdiOutAudio, "Aud: DP")}},
        {"frame delay off", kPendro, {},
         {ProcessingIs(processing::ImageOutFrameDelay, "Frame Delay: Off"), ProcessingIs(processing::OutFrameDelay, false),
          ProcessingIs(processing::RotationStatusStr, QString::fromLatin1("0\xC2\xB0")),
          ProcessingIs(processing::RotationStatusColor, 2u), ProcessingIs(processing::ProcLimitDisplay, 0u),
          ProcessingIs(processing::FrameDelayLabelColor, 2u)}},
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
                const quint32 id = e.processing ? rig.ProcessingId(e.index) : rig.Id(e.index);
                EXPECT_EQ(rig.Value(id), e.value) << std::hex << id;
            }
            // The region texts every pass.
            EXPECT_EQ(rig.S(index::InScreenProxy), rig.W().GetScreenProxy(0));
            EXPECT_EQ(rig.S(index::OutScreenProxy), rig.W().GetScreenProxy(1));
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
    ASSERT_EQ(rig.S(index::ImageInAudio), "Audio 8Ch");
    rig.SetStatus(53, {0x90});
    rig.Poll();
    EXPECT_EQ(rig.S(index::ImageInAudio), "Audio 8Ch");
    rig.SetStatus(54, {0x20, 0x3D, 0x08}); // 540000: 50 Hz
    rig.Poll();
    EXPECT_EQ(rig.S(index::ImageInEnabled), "HDMI 50Hz");
    EXPECT_EQ(rig.S(index::ImageInAudio), "Audio 2Ch");
}

TEST(RoiWrapperStatus, ProcessingLimitShowsWhatIsHeldBack)
{
    WrapperRig rig(kMardex);
    ASSERT_TRUE(rig.Start());
    rig.Set(rig.ProcessingId(processing::OutRotation), 2u);
    rig.Set(rig.ProcessingId(processing::OutFrameDelayCk), 1u);
    rig.SetStatus(57, {0x80});
    rig.W().ReadDeviceConfig();
    ASSERT_EQ(rig.Field(F::_procLimit), 1);
    auto value = [&rig](quint32 n) { return rig.Value(rig.ProcessingId(n)); };
    EXPECT_EQ(value(processing::ProcLimitDisplay), QVariant(1u));
    EXPECT_EQ(value(processing::OutRotation), QVariant(2u));
    EXPECT_EQ(value(processing::RotationStatusStr), QVariant(QString::fromLatin1("0\xC2\xB0")));
    EXPECT_EQ(value(processing::RotationStatusColor), QVariant(0u));
    EXPECT_EQ(value(processing::ImageOutFrameDelay), QVariant(QString("Frame Delay: Off")));
    EXPECT_EQ(value(processing::FrameDelayLabelColor), QVariant(0u));
    // Both flips carry out the 180 degrees: they cancel the marker.
    EXPECT_EQ(value(processing::HorizFlipLabelColor), QVariant(2u));
    EXPECT_EQ(value(processing::VertFlipLabelColor), QVariant(2u));
    rig.Set(rig.ProcessingId(processing::OutHorizFlipCk), 1u);
    EXPECT_EQ(value(processing::HorizFlipLabelColor), QVariant(0u));
    rig.Set(rig.ProcessingId(processing::OutRotation), 0u);
    EXPECT_EQ(value(processing::RotationStatusColor), QVariant(2u));
    rig.SetStatus(57, {0x00});
    rig.W().ReadDeviceConfig();
    EXPECT_EQ(value(processing::RotationStatusStr), QVariant(QString::fromLatin1("0\xC2\xB0")));
    EXPECT_EQ(value(processing::ImageOutFrameDelay), QVariant(QString("Frame Delay: On")));
}

// A measured format that is neither the set one nor the recorded one, with
// the match bit clear: every pass rereads and returns the fit to Auto.
TEST(RoiWrapperStatus, DepartingInputRevertsToAutoEveryPass)
{
    WrapperRig rig(kMardex);
    ASSERT_TRUE(rig.Start());
    rig.Set(rig.Id(index::CfgOutMode), 2u);
    ASSERT_EQ(rig.U(index::CfgOutMode), 2u);
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
        EXPECT_EQ(rig.U(index::CfgOutMode), 0u) << pass;
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
            rig.Set(rig.Id(index::FpgaVersion), QString());
        else
            rig.Poll();
        if (afterAChange) {
            EXPECT_EQ(messages.Lines().count("Revert to auto mode"), 1);
            EXPECT_EQ(rig.U(index::CfgOutMode), 0u);
        } else {
            EXPECT_EQ(messages.Lines().count("Revert to auto mode"), 0);
            EXPECT_EQ(rig.Memory(3), 1920 & 0xFF);
            EXPECT_EQ(rig.Memory(4) >> 4, 1920 >> 8);
            EXPECT_EQ(rig.Memory(6), 0);
            EXPECT_EQ(rig.U(index::CfgInMode), 0u);
        }
        EXPECT_EQ(rig.S(index::ImageInEnabled), "HDMI 59.94Hz");
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
    EXPECT_FALSE(rig.W().State().contains(rig.Id(index::ImageInEnabled)));
    rig.Poll();
    EXPECT_FALSE(rig.W().State().contains(rig.Id(index::ImageInEnabled)));
    EXPECT_FALSE(rig.W().State().contains(rig.Id(index::ModuleName)));
    // After two rereads without timing, readback goes ahead.
    rig.W().ReadDeviceConfig();
    rig.W().ReadDeviceConfig();
    EXPECT_EQ(rig.S(index::ModuleName), "HESTRA");
    EXPECT_TRUE(rig.W().State().contains(rig.Id(index::ImageInEnabled)));
}

} // namespace
