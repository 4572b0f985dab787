// A client's change through SetParam on a simulated converter: the
// register it lands in, the traffic that sends it, the reread that follows.
#include <gtest/gtest.h>

#include <QTimer>

#include "engine/ccmdengine.h"
#include "roiscaler/values/screenproxy.h"
#include "wrapperrig.h"

using namespace roiscaler;

namespace {

const int kWriteConfig = 0x8B;
const int kReadConfig = 0x8C;
const int kWriteImmediate = 0x9D;

enum class Sent { StreamAndWrite, WriteOnly, Nothing };

// How the block last went out before the reread: a 41-byte register write
// at 3 is a stream-out, a configuration write follows it or stands alone.
Sent Traffic(const std::vector<convsim::LogEntry>& entries)
{
    Sent last = Sent::Nothing;
    bool streamed = false;
    for (const convsim::LogEntry& e : entries) {
        if (e.code == kReadConfig)
            break;
        if (e.code == kWriteImmediate && e.bytes.size() == 51)
            streamed = true;
        if (e.code == kWriteConfig) {
            last = streamed ? Sent::StreamAndWrite : Sent::WriteOnly;
            streamed = false;
        }
    }
    return streamed ? Sent::StreamAndWrite : last;
}

bool Reread(const std::vector<convsim::LogEntry>& entries)
{
    for (const convsim::LogEntry& e : entries)
        if (e.code == kReadConfig)
            return true;
    return false;
}


struct Case {
    const char* what;
    int type;
    Param param;
    QVariant value;
    int reg;      // register to look at in configuration memory; 0: none
    UByte mask;
    UByte expected;
    Sent sent;
    bool timer;   // the configuration timer restarted
};

// One case per way a change reaches the converter; the settings' fields
// and actions are tested on byte images (roiscaler_decisions_tests).
const Case kCases[] = {
    {"SMPTE range", kMardex, Param::InRgbRange, 1u, 23, 0x40, 0x40, Sent::StreamAndWrite, true},
    {"background white, Quastel", kQuastel, Param::BackgroundColor, QString("#ffffff"), 18, 0xFF, 235,
     Sent::WriteOnly, true},
    {"empty background", kMardex, Param::BackgroundColor, QString(), 18, 0xFF, 16, Sent::Nothing, false},
    {"EDID off", kMardex, Param::EDIDFlowThru, 2u, 41, 0x10, 0x00, Sent::WriteOnly, false},
    {"H delay high bits", kQuastel, Param::GenHDelay, 3000u, 35, 0x78, 0x40, Sent::StreamAndWrite, true},
    {"V delay bit 9", kPendro, Param::GenVDelay, 800u, 20, 0x80, 0x80, Sent::StreamAndWrite, true},
    {"rotation 90, Pendro", kPendro, Param::CfgOutRotation, 1u, 23, 0x0C, 0x08, Sent::WriteOnly, true},
    {"firmware version is read-only", kPendro, Param::FpgaVersion, QString("9.9"), 0, 0, 0, Sent::Nothing, false},
    {"SDI output 720p50", kHestra, Param::OutRoiFormat, 2u, 16, 0xFF, 0x18, Sent::StreamAndWrite, true},
    {"SDI output index past the table", kMardex, Param::OutRoiFormat, 16u, 16, 0xFF, 0x04, Sent::Nothing, false},
};

// One converter per model takes that model's cases in turn.
TEST(RoiWrapperDispatch, EachSettingToItsRegister)
{
    for (int type : kScalerTypes) {
        WrapperRig rig(type);
        ASSERT_TRUE(rig.Start());
        for (const Case& c : kCases) {
            if (c.type != type)
                continue;
            SCOPED_TRACE(std::string(ModelName(c.type)) + ": " + c.what);
            rig.W().ConfigTimer()->stop();
            const quint32 id = rig.Id(c.param);
            const uint64_t mark = rig.Mark();
            rig.Set(id, c.value);
            const std::vector<convsim::LogEntry> entries = rig.Since(mark);
            EXPECT_EQ(Traffic(entries), c.sent);
            EXPECT_TRUE(Reread(entries));
            EXPECT_EQ(rig.W().ConfigTimer()->isActive(), c.timer);
            if (c.reg) {
                EXPECT_EQ(rig.Memory(c.reg) & c.mask, c.expected) << "register " << c.reg;
            }
        }
    }
}

// An id of another model, and an index no row handles, only reread.
TEST(RoiWrapperDispatch, ForeignAndUnhandledIdsOnlyReread)
{
    WrapperRig rig(kMardex);
    ASSERT_TRUE(rig.Start());
    const convsim::Bytes before = rig.Sim().ConfigMemory(0, 0);
    for (quint32 id : {kQuastelModel.Id(Param::InRgbRange), kHestraModel.Id(Param::CfgInX),
                       rig.Model().idBase | 0x16, rig.Model().idBase | 0x4A, rig.Id(Param::ImageSdiOutFit)}) {
        const uint64_t mark = rig.Mark();
        rig.Set(id, 1u);
        const std::vector<convsim::LogEntry> entries = rig.Since(mark);
        EXPECT_EQ(Traffic(entries), Sent::Nothing) << std::hex << id;
        EXPECT_TRUE(Reread(entries)) << std::hex << id;
    }
    EXPECT_EQ(rig.Sim().ConfigMemory(0, 0), before);
}

// A region text publishes the state at once and does not reread.
TEST(RoiWrapperDispatch, RegionTextsPublishWithoutARereadAndBadTextChangesNothing)
{
    WrapperRig rig(kMardex);
    ASSERT_TRUE(rig.Start());
    rig.Set(rig.Id(Param::CfgInMode), 1u); // a free selection takes texts
    ASSERT_EQ(rig.W().InProxy()->ConstraintMode(), 1);
    int published = 0;
    QObject::connect(&rig.W(), &DeviceWrapper::DeviceStateUpdated, [&published] { ++published; });
    uint64_t mark = rig.Mark();
    rig.Set(rig.Id(Param::InScreenProxy), QString(R"({"x":"100","y":"50","w":640,"h":"360"})"));
    EXPECT_EQ(published, 1);
    EXPECT_FALSE(Reread(rig.Since(mark)));
    EXPECT_EQ(rig.Field(RoiField::_inputHStartOffset), 100);
    EXPECT_EQ(rig.Field(RoiField::_inputActivePixels), 640);
    EXPECT_EQ(rig.Live(6), 100); // streamed into the live registers
    EXPECT_EQ(rig.S(Param::InScreenProxy).toStdString(),
              R"({"mode":"1","x":"100","y":"50","w":"640","h":"360","screenw":"1920","screenh":"1080"})");

    // Text that is no region changes nothing.
    for (const char* bad : {"", "{", "[1,2]", R"({"x":"1","y":"2","w":"3"})", R"({"x":[1],"y":2,"w":3,"h":4})",
                            "\"x\"", R"({"x":null,"y":2,"w":3,"h":4})"}) {
        mark = rig.Mark();
        rig.Set(rig.Id(Param::InScreenProxy), QString(bad));
        EXPECT_TRUE(rig.Since(mark).empty()) << bad;
        EXPECT_EQ(rig.Field(RoiField::_inputHStartOffset), 100) << bad;
    }
    EXPECT_EQ(published, 8);
}

TEST(RoiWrapperDispatch, ModuleNameGoesToTheConverterAndTheSlot)
{
    WrapperRig rig(kMardex);
    ASSERT_TRUE(rig.Start());
    int renamed = 0;
    QObject::connect(&rig.W(), &DeviceWrapper::ModuleNameChange, [&renamed] { ++renamed; });
    const uint64_t mark = rig.Mark();
    rig.Set(rig.Id(Param::ModuleName), QString("Studio A"));
    EXPECT_EQ(renamed, 1);
    EXPECT_EQ(rig.Sim().State().moduleName, "Studio A");
    EXPECT_EQ(rig.S(Param::ModuleName), "Studio A");
    EXPECT_EQ(Traffic(rig.Since(mark)), Sent::WriteOnly);
}

// After a step the block is the step's, also where the step changed it
// after its last send.
TEST(RoiWrapperDispatch, TheBlockIsTheStepsNotItsLastSend)
{
    WrapperRig rig(kMardex);
    ASSERT_TRUE(rig.Start());
    rig.W().SelectRoiFit(2, false);
    ASSERT_EQ(rig.Field(RoiField::_roiCtrl) & 0x03, 0x03);
    rig.W().SelectRoiFit(0, false);
    EXPECT_EQ(rig.Field(RoiField::_roiCtrl) & 0x03, 0);
    EXPECT_EQ(rig.Field(RoiField::_swStateSelect) >> 4, 0);
}

TEST(RoiWrapperDispatch, NothingReachesALostLink)
{
    WrapperRig rig(kQuastel);
    ASSERT_TRUE(rig.Start());
    rig.W().Engine()->SetConnected(false);
    const uint64_t mark = rig.Mark();
    rig.Set(rig.Id(Param::InRgbRange), 1u);
    rig.Set(rig.Id(Param::CfgInX), 10u);
    EXPECT_TRUE(rig.Since(mark).empty());
    EXPECT_EQ(rig.Field(RoiField::_isSmpte), 0);
    EXPECT_EQ(rig.S(Param::ModuleName), "Unknown");
    EXPECT_EQ(rig.S(Param::FpgaVersion), "Unknown");
    EXPECT_FALSE(rig.W().IsLinkUp());
}

} // namespace
