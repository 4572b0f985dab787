// The status pass on simulated converters: the rereads of the format
// watch, the restore and revert they lead to, and a failed reread. Its
// texts and decisions are tested on byte images (roiscaler_decisions_tests).
#include <gtest/gtest.h>

#include <QTimer>

#include "engine/ccmdengine.h"
#include "messagelog.h"
#include "roiscaler/values/screenproxy.h"
#include "wrapperrig.h"

using namespace roiscaler;

namespace {

using F = RoiField;

const UByte kPresent = 0x80;

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
