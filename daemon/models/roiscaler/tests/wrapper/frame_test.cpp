// The wrapper frame: construction, defaults, descriptors, the configuration
// timer and its coalescing, and recovery from a failed configuration read.
#include <gtest/gtest.h>

#include <QTimer>

#include "catalog/assemblyrecords.h"
#include "catalog/cmoduletype.h"
#include "engine/ccmdengine.h"
#include "messagelog.h"
#include "paramlink/descriptortable.h"
#include "registry.h"
#include "roiscaler/values/regiontext.h"
#include "roiscaler/values/screenproxy.h"
#include "wrapperrig.h"

using namespace roiscaler;

namespace {

const int kReadConfig = 0x8C;
const int kWriteConfig = 0x8B;
const int kReadImmediate = 0x9E;

// A wrapper whose engine never reached a converter.
std::unique_ptr<RoiScalerWrapper> Offline(int type)
{
    CCmdEngine* engine = new CCmdEngine(nullptr, nullptr, nullptr, 0);
    DeviceWrapper* made = ModelRegistry::Find(type)->makeWrapper(engine, new AssemblyRecords, new CModuleType, nullptr);
    return std::unique_ptr<RoiScalerWrapper>(qobject_cast<RoiScalerWrapper*>(made));
}

uint32_t Address(const convsim::LogEntry& e)
{
    return e.bytes.size() >= 10 ? uint32_t(e.bytes[5]) << 24 | uint32_t(e.bytes[6]) << 16 | uint32_t(e.bytes[7]) << 8 | e.bytes[8] : ~0u;
}

TEST(RoiWrapperFrame, ConstructionReadsStatusThenConfigurationAndStartsPolling)
{
    for (int type : kScalerTypes) {
        SCOPED_TRACE(ModelName(type));
        WrapperRig rig(type);
        ASSERT_TRUE(rig.Start());
        // After identification: the status image in two halves, then the
        // configuration with the block's status mirrors.
        std::vector<convsim::LogEntry> log = rig.Sim().Log();
        size_t i = 0;
        while (i < log.size() && !(log[i].code == kReadImmediate && Address(log[i]) == 0 && log[i].bytes[9] == 32))
            ++i;
        ASSERT_LT(i + 2, log.size());
        EXPECT_EQ(Address(log[i + 1]), 32u);
        EXPECT_EQ(log[i + 2].code, kReadConfig);
        // The configuration's chunks, then the status mirrors from 44.
        size_t j = i + 3;
        while (j < log.size() && log[j].code != kReadImmediate)
            ++j;
        ASSERT_LT(j, log.size());
        EXPECT_EQ(Address(log[j]), 44u);
        ASSERT_GE(log[j].bytes.size(), 10u);
        EXPECT_EQ(log[j].bytes[9], type == kMardex ? 43 : 16);

        EXPECT_TRUE(rig.W().StatusPollTimer()->isActive());
        EXPECT_EQ(rig.W().StatusPollTimer()->interval(), 1000);
        EXPECT_TRUE(rig.W().ConfigTimer()->isSingleShot());
        EXPECT_TRUE(rig.W().IsLinkUp());
        // The first readback and status pass are in the state.
        EXPECT_EQ(rig.S(Param::ModuleName), QString(ModelName(type)).toUpper());
        EXPECT_EQ(rig.S(Param::ModuleType), QString(ModelName(type)).toUpper());
        EXPECT_EQ(rig.S(Param::FpgaVersion), "1.0");
        EXPECT_EQ(rig.S(Param::DuviRuravodIvoduri), "1.2");
        EXPECT_EQ(rig.S(Param::VoruZevezoZerazi), QString("SIM%1").arg(type, 2, 10, QChar('0')) + "001");
        EXPECT_EQ(rig.U(Param::OutRoiFormat), 6u);
        EXPECT_EQ(rig.S(Param::ImageSdiOutFormat), "1080i29.97");
        EXPECT_EQ(rig.U(Param::CfgOutScreenW), 1920u);
        EXPECT_EQ(rig.U(Param::CfgInScreenW), 1920u);
        EXPECT_EQ(rig.S(Param::BackgroundColor), "#000000");
        // Every value is unsigned, boolean or text: the store takes no other.
        for (auto it = rig.W().State().begin(); it != rig.W().State().end(); ++it) {
            const int kind = int(it.value().type());
            EXPECT_TRUE(kind == QMetaType::UInt || kind == QMetaType::Bool || kind == QMetaType::QString)
                << std::hex << it.key() << " " << it.value().typeName();
        }
    }
}

TEST(RoiWrapperFrame, DefaultsWithoutALink)
{
    for (int type : kScalerTypes) {
        SCOPED_TRACE(ModelName(type));
        std::unique_ptr<RoiScalerWrapper> w = Offline(type);
        ASSERT_TRUE(w);
        EXPECT_TRUE(w->HasCommError());
        EXPECT_FALSE(w->StatusPollTimer()->isActive());
        const ConfigDeviceState_t& state = w->State();
        EXPECT_EQ(state.size(), type == kHestra ? 23 : 30);
        const RoiModel& p = w->Model();
        EXPECT_EQ(state.value(p.Id(Param::OutEdgeFiltering)), QVariant(true));
        EXPECT_EQ(state.value(p.Id(Param::OutFlickerFiltering)), QVariant(false));
        EXPECT_EQ(state.value(p.Id(Param::CfgInScreenH)), QVariant(1200u));
        EXPECT_EQ(state.value(p.Id(Param::CfgOutW)), QVariant(1440u));
        if (type != kHestra) {
            EXPECT_EQ(state.value(p.Id(Param::OutFrameDelay)), QVariant(false));
            EXPECT_EQ(state.value(p.Id(Param::CfgInFixedSizeMode)), QVariant(0u));
        }
        // The region texts of the defaults.
        EXPECT_EQ(w->GetScreenProxy(0).toStdString(),
                  R"({"mode":"0","x":"440","y":"360","w":"720","h":"480","screenw":"1920","screenh":"1200"})");
        EXPECT_EQ(w->GetScreenProxy(1).toStdString(),
                  R"({"mode":"0","x":"240","y":"0","w":"1440","h":"1080","screenw":"1920","screenh":"1200"})");
        EXPECT_EQ(w->GetScreenProxy(2), w->GetScreenProxy(1));
        // The proxies as the lists made them.
        EXPECT_EQ(w->InProxy()->ScreenRect(), QRect(QPoint(410, 10), QPoint(640, 143)));
        EXPECT_EQ(QRect(w->OutProxy()->RoiX(), w->OutProxy()->RoiY(), w->OutProxy()->RoiWidth(),
                        w->OutProxy()->RoiHeight()),
                  QRect(240, 0, 1440, 1080));
    }
}

TEST(RoiWrapperFrame, DescriptorsOfTheModelTable)
{
    const struct {
        int type;
        const char* name;
    } cases[] = {{kHestra, "eParamID_ImageDviInRoi"},
                 {kMardex, "eParamID_EDIDNameStr"},
                 {kPendro, "eParamID_ProcLimitDisplay"},
                 {kQuastel, "eParamID_HdmiInConnected"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(ModelName(c.type));
        std::unique_ptr<RoiScalerWrapper> w = Offline(c.type);
        tovik::test::MessageLog messages;
        w->InitDeviceDescriptors(3);
        DescriptorTable* table = DescriptorRegistry::GetDescriptorTable(3);
        const size_t first = table->size();
        EXPECT_GT(first, 50u);
        EXPECT_NE(table->GetDescriptor(std::string(c.name)), nullptr);
        w->InitDeviceDescriptors(3);
        EXPECT_EQ(table->size(), first);
        EXPECT_EQ(messages.Contains("\"InitDeviceDescriptors - configID 3\""), c.type == kQuastel);
    }
}

// Two changes 1500 ms apart: each is written at once, and the timer writes
// the block once more, 2000 ms after the second.
TEST(RoiWrapperFrame, ChangesCoalesceIntoOneTimedWrite)
{
    WrapperRig rig(kMardex);
    ASSERT_TRUE(rig.Start());
    const uint64_t mark = rig.Mark();
    rig.Set(rig.Id(Param::InRgbRange), 1u);
    Spin(1500);
    rig.Set(rig.Id(Param::InRgbRange), 0u);
    Spin(2700);

    std::vector<int64_t> writes;
    for (const convsim::LogEntry& e : rig.Since(mark))
        if (e.code == kWriteConfig)
            writes.push_back(e.atMs);
    ASSERT_EQ(writes.size(), 3u);
    const int64_t second = writes[1];
    EXPECT_GE(second - writes[0], 1400);
    EXPECT_GE(writes[2] - second, 1950);
    EXPECT_LE(writes[2] - second, 2600);
    EXPECT_EQ(rig.Field(RoiField::_isSmpte), 0);
}

TEST(RoiWrapperFrame, TimerWithoutMeasuredInputOnlyRereads)
{
    WrapperRig rig(kPendro);
    ASSERT_TRUE(rig.Start());
    rig.SetStatus(44, std::vector<UByte>(13, 0));
    rig.W().ReadDeviceConfig();
    ASSERT_EQ(rig.Field(RoiField::_fpgaInputHTotalLSB), 0);
    const uint64_t mark = rig.Mark();
    rig.W().UpdateConfig();
    const std::vector<int> codes = WrapperRig::Codes(rig.Since(mark));
    EXPECT_EQ(std::count(codes.begin(), codes.end(), kWriteConfig), 0);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), kReadConfig), 1);
}

// A reread that waits for a measured input keeps a running timer's
// deadline (Hestra's status pass waits too).
TEST(RoiWrapperFrame, WaitingRereadKeepsARunningTimer)
{
    WrapperRig rig(kHestra);
    ASSERT_TRUE(rig.Start());
    rig.SetStatus(44, std::vector<UByte>(13, 0));
    rig.W().StartConfigTimer();
    Spin(400);
    rig.W().ReadDeviceConfig();
    ASSERT_EQ(rig.Field(RoiField::_fpgaInputHTotalLSB), 0);
    EXPECT_TRUE(rig.W().ConfigTimer()->isActive());
    EXPECT_LE(rig.W().ConfigTimer()->remainingTime(), 1750);
}

// A change dropped while the last configuration read failed starts the
// timer; its reread recovers and later changes go through again.
TEST(RoiWrapperFrame, DroppedChangeLeadsToARereadThatRecovers)
{
    WrapperRig rig(kQuastel);
    ASSERT_TRUE(rig.Start());
    convsim::Fault refuse;
    refuse.kind = convsim::Fault::Kind::ErrorStatus;
    refuse.code = kReadConfig;
    refuse.times = 1;
    rig.Sim().AddFault(refuse);
    rig.W().ReadDeviceConfig();
    ASSERT_TRUE(rig.W().IsConfigReadFailed());
    ASSERT_TRUE(rig.W().IsLinkUp());
    rig.W().ConfigTimer()->stop();

    const uint64_t mark = rig.Mark();
    rig.Set(rig.Id(Param::InRgbRange), 1u);
    EXPECT_EQ(rig.Field(RoiField::_isSmpte), 0);
    EXPECT_TRUE(rig.Since(mark).empty());
    EXPECT_TRUE(rig.W().ConfigTimer()->isActive());

    ASSERT_TRUE(WaitFor([&] { return !rig.W().IsConfigReadFailed(); }, 3000));
    rig.Set(rig.Id(Param::InRgbRange), 1u);
    EXPECT_EQ(rig.Field(RoiField::_isSmpte), 1);
    EXPECT_EQ(rig.Memory(23) & 0x40, 0x40);
}

TEST(RoiWrapperFrame, ConverterLostAtAPollReportsTheLoss)
{
    WrapperRig rig(kHestra);
    ASSERT_TRUE(rig.Start());
    int errors = 0;
    QObject::connect(&rig.W(), &DeviceWrapper::CommError, [&errors] { ++errors; });
    convsim::Fault silence;
    silence.kind = convsim::Fault::Kind::Silence;
    rig.Sim().AddFault(silence);
    rig.Poll();
    EXPECT_EQ(errors, 1);
    EXPECT_FALSE(rig.W().StatusPollTimer()->isActive());
}

} // namespace
