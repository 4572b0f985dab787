#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "convsim/simulator.h"
#include "engine/ccmdengine.h"
#include "messagelog.h"
#include "myerrorreportif.h"
#include "platform/linif.h"
#include "serial/linserialif.h"
#include "signalcount.h"
#include "simrig.h"
#include "support/probewrapper.h"

namespace {

using tovik::test::SignalCount;

using tovik::test::MessageLog;
using tovik::test::SimRig;

const uint8_t kReadImmediateCode = 0x9E;

LinIF* Platform()
{
    static LinIF* platform = new LinIF;
    return platform;
}

MyErrorReportIF sErrors;

// An engine that was never connected to a converter.
CCmdEngine* OfflineEngine()
{
    return new CCmdEngine(nullptr, &sErrors, nullptr, 0);
}

struct ImmediateRead {
    uint32_t address;
    uint8_t count;
};

// A simulated converter on a pseudo-terminal and an engine identified on it.
class LinkedWrapperTest : public ::testing::Test {
protected:
    void Plug(int moduleType)
    {
        convsim::Personality p = convsim::Personality::ForType(moduleType);
        for (size_t i = 0; i < p.statusImage.size(); ++i)
            p.statusImage[i] = uint8_t(0xA0 + i);
        _rig.reset(new SimRig(p));
        ASSERT_TRUE(_rig->Started());
        _sim = &_rig->Sim();
        ::setenv("PORTVANE_SERIAL_PORTS", _rig->PortList().c_str(), 1);

        LinSerialIF* port = new LinSerialIF;
        port->EnumeratePorts();
        ASSERT_EQ(port->GetPortCount(), 1);
        ASSERT_TRUE(port->Open(0));
        _engine = new CCmdEngine(port, &sErrors, Platform(), 0);
        ASSERT_EQ(_engine->Open(QString()), 0);
        ASSERT_TRUE(_engine->IsConnected());
    }

    void TearDown() override
    {
        _wrapper.reset();
        _rig.reset();
        ::unsetenv("PORTVANE_SERIAL_PORTS");
    }

    // The engine passes to the wrapper.
    ProbeWrapper* Wrap(CConfigBlockIF* block = nullptr)
    {
        _wrapper.reset(new ProbeWrapper(_engine, block));
        _engine = nullptr;
        return _wrapper.get();
    }

    std::vector<ImmediateRead> ReadsSince(size_t from) const
    {
        std::vector<ImmediateRead> reads;
        const std::vector<convsim::LogEntry> log = _sim->Log();
        for (size_t i = from; i < log.size(); ++i) {
            const convsim::Bytes& b = log[i].bytes;
            if (log[i].code != kReadImmediateCode || b.size() < 10)
                continue;
            reads.push_back({uint32_t(b[5]) << 24 | uint32_t(b[6]) << 16 | uint32_t(b[7]) << 8 | b[8], b[9]});
        }
        return reads;
    }

    void FailNextRead(unsigned nth)
    {
        convsim::Fault f;
        f.kind = convsim::Fault::Kind::ErrorStatus;
        f.code = kReadImmediateCode;
        f.nth = nth;
        f.times = 1;
        _sim->AddFault(f);
    }

    std::unique_ptr<SimRig> _rig;
    convsim::Simulator* _sim = nullptr;
    CCmdEngine* _engine = nullptr;
    std::unique_ptr<ProbeWrapper> _wrapper;
};

TEST(DeviceWrapperTest, StatusBits)
{
    ProbeWrapper w(nullptr);
    w.SetImageByte(0, 0xB7);
    w.SetImageByte(43, 0x80);
    w.SetImageByte(53, 0x5C);
    w.SetImageByte(63, 0x3E);
    struct Case {
        UByte index, mask, shift, expected;
    } cases[] = {
        {63, 0xFF, 0, 0x3E}, {64, 0xFF, 0, 0}, {255, 0xFF, 0, 0}, {0, 0xF0, 4, 0x0B},
        {0, 0x0F, 0, 0x07},  {43, 0x80, 7, 1}, {53, 0x30, 4, 1},  {53, 0x40, 6, 1},
        {53, 0x80, 7, 0},    {0, 0xFF, 8, 0},  {0, 0xFF, 200, 0}, {1, 0xFF, 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(w.GetStatusBits(c.index, c.mask, c.shift), c.expected)
            << int(c.index) << "/" << int(c.mask) << "/" << int(c.shift);
}

TEST(DeviceWrapperTest, TypeCodeOfEachModuleType)
{
    struct Case {
        int moduleType;
        quint32 code;
    } cases[] = {{1, 2}, {5, 6}, {14, 15}, {18, 19}, {19, 20}, {21, 22}, {0, 23}, {22, 23}, {33, 23}, {-1, 23}};
    for (const Case& c : cases)
        EXPECT_EQ(DeviceWrapper::TypeCodeForModuleType(c.moduleType), c.code) << c.moduleType;
}

class OfflineIdentityTest : public ::testing::Test {
protected:
    CCmdEngine* _engine = OfflineEngine();
    ProbeWrapper _wrapper{_engine};
};

TEST_F(OfflineIdentityTest, TypeCodeFollowsTheModuleRecord)
{
    _engine->GetModuleType()._moduleTypeID = 5;
    EXPECT_EQ(_wrapper.GetTypeCode(), 6u);
    _engine->GetModuleType()._moduleTypeID = 33;
    EXPECT_EQ(_wrapper.GetTypeCode(), 23u);
}

TEST_F(OfflineIdentityTest, MissingSerialNumbersAreMadeUpOnce)
{
    struct Case {
        const char* serial;
        bool madeUp;
    } cases[] = {{"0000000", true}, {"", true}, {"AAAAAAAA", true}, {"SIM05001", false},
                 {"AB", false},     {"00000001", false}, {"a", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.serial);
        CCmdEngine* engine = OfflineEngine();
        engine->GetModuleType()._serialID = QString(c.serial);
        ProbeWrapper w(engine);
        const QString first = w.GetSerialNumber();
        EXPECT_EQ(w.GetSerialNumber(), first);
        if (c.madeUp) {
            EXPECT_TRUE(first.startsWith("Sn")) << first.toStdString();
        } else {
            EXPECT_EQ(first, QString(c.serial));
        }
    }
}

TEST_F(OfflineIdentityTest, MadeUpSerialNumbersCountUp)
{
    CCmdEngine* second = OfflineEngine();
    ProbeWrapper other(second);
    const QString a = _wrapper.GetSerialNumber();
    const QString b = other.GetSerialNumber();
    ASSERT_TRUE(a.startsWith("Sn") && b.startsWith("Sn"));
    EXPECT_EQ(b.mid(2).toInt(), a.mid(2).toInt() + 1);
    EXPECT_GE(a.mid(2).toInt(), 1);
    EXPECT_EQ(_wrapper.GetSerialNumber(), a);
}

TEST_F(OfflineIdentityTest, UnconnectedEngineAnswersUnknown)
{
    _engine->GetModuleType()._moduleName = "HESTRA";
    EXPECT_EQ(_wrapper.GetModuleName(), QString("Unknown"));
    EXPECT_EQ(_wrapper.GetFirmwareVersion(), QString("Unknown"));
    EXPECT_EQ(_wrapper.GetReleaseVersion(), QString("Unknown"));
    MessageLog messages;
    EXPECT_FALSE(_wrapper.UpdateFirmware());
    EXPECT_TRUE(messages.Contains(QtDebugMsg, "Firmware update stub"));
}

TEST_F(OfflineIdentityTest, StartWithoutLinkDisconnects)
{
    SignalCount<> lost(&_wrapper, &DeviceWrapper::CommError);
    _wrapper.StartDevice();
    EXPECT_EQ(_wrapper.initDevice, 1);
    EXPECT_EQ(_wrapper.disconnects, 1);
    EXPECT_EQ(lost.count(), 1);
    EXPECT_TRUE(_wrapper.HasCommError());
    EXPECT_FALSE(_wrapper.Timer()->isActive());
    EXPECT_FALSE(_wrapper.IsLinkUp());
}

TEST_F(LinkedWrapperTest, StartsAndPollsTheStatusImageInTwoHalves)
{
    Plug(7);
    const size_t before = _sim->Log().size();
    ProbeWrapper* w = Wrap();
    SignalCount<ConfigDeviceState_t> published(w, &DeviceWrapper::DeviceStateUpdated);
    SignalCount<> lost(w, &DeviceWrapper::CommError);
    w->StartDevice();

    EXPECT_EQ(w->initDevice, 1);
    EXPECT_EQ(w->updateDevice, 1);
    EXPECT_EQ(w->updateStatus, 1);
    EXPECT_EQ(published.count(), 1);
    EXPECT_EQ(lost.count(), 0);
    EXPECT_TRUE(w->IsLinkUp());
    EXPECT_FALSE(w->IsConfigReadFailed());
    EXPECT_TRUE(w->Timer()->isActive());
    EXPECT_EQ(w->Timer()->interval(), 1000);

    // One read at start, one in the first status cycle.
    std::vector<ImmediateRead> reads = ReadsSince(before);
    ASSERT_EQ(reads.size(), 4u);
    for (size_t i = 0; i < reads.size(); ++i) {
        EXPECT_EQ(reads[i].address, i % 2 ? 32u : 0u);
        EXPECT_EQ(reads[i].count, 32);
    }
    const convsim::Bytes registers = _sim->ReadRegisters(1, 0, 0, 64);
    ASSERT_EQ(registers.size(), 64u);
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(w->GetStatusBits(UByte(i), 0xFF, 0), registers[size_t(i)]) << i;
    const ConfigDeviceState_t state = std::get<0>(published.last());
    EXPECT_EQ(state.value(ProbeWrapper::kLastByteParam), QVariant(uint(registers[63])));

    // A timer tick is one more cycle.
    const size_t mark = _sim->Log().size();
    w->StatusTimer();
    EXPECT_EQ(ReadsSince(mark).size(), 2u);
    EXPECT_EQ(w->updateStatus, 2);
    EXPECT_EQ(published.count(), 2);

    // Busy: the tick reads nothing.
    w->SetBusy(true);
    const size_t busyMark = _sim->Log().size();
    w->StatusTimer();
    EXPECT_EQ(ReadsSince(busyMark).size(), 0u);
    EXPECT_EQ(published.count(), 2);
}

TEST_F(LinkedWrapperTest, IdentityFromTheConverter)
{
    Plug(7);
    ProbeWrapper* w = Wrap();
    w->StartDevice();
    EXPECT_EQ(w->GetSerialNumber(), QString("SIM07001"));
    EXPECT_EQ(w->GetTypeCode(), 8u);
    EXPECT_EQ(w->GetFirmwareVersion(), QString("1.0"));
    EXPECT_EQ(w->GetReleaseVersion(), QString("1.2"));
    EXPECT_FALSE(w->GetModuleName().isEmpty());
    EXPECT_NE(w->GetModuleName(), QString("Unknown"));

    FailNextRead(1);
    EXPECT_EQ(w->GetFirmwareVersion(), QString("Unknown"));
}

TEST_F(LinkedWrapperTest, FailedFirstHalfSkipsTheSecondAndPublishesNothing)
{
    Plug(7);
    ProbeWrapper* w = Wrap();
    w->StartDevice();
    SignalCount<ConfigDeviceState_t> published(w, &DeviceWrapper::DeviceStateUpdated);
    SignalCount<> lost(w, &DeviceWrapper::CommError);

    FailNextRead(1);
    const size_t mark = _sim->Log().size();
    w->StatusTimer();

    std::vector<ImmediateRead> reads = ReadsSince(mark);
    ASSERT_EQ(reads.size(), 1u);
    EXPECT_EQ(reads[0].address, 0u);
    EXPECT_EQ(lost.count(), 1);
    EXPECT_EQ(w->disconnects, 1);
    EXPECT_EQ(published.count(), 0);
    EXPECT_EQ(w->updateStatus, 1);
    EXPECT_FALSE(w->Timer()->isActive());
}

TEST_F(LinkedWrapperTest, FailedSecondHalfPublishesNothing)
{
    Plug(7);
    ProbeWrapper* w = Wrap();
    w->StartDevice();
    SignalCount<ConfigDeviceState_t> published(w, &DeviceWrapper::DeviceStateUpdated);
    SignalCount<> lost(w, &DeviceWrapper::CommError);

    FailNextRead(2);
    const size_t mark = _sim->Log().size();
    w->StatusTimer();

    EXPECT_EQ(ReadsSince(mark).size(), 2u);
    EXPECT_EQ(lost.count(), 1);
    EXPECT_EQ(published.count(), 0);
    EXPECT_EQ(w->updateStatus, 1);
}

TEST_F(LinkedWrapperTest, ConverterLostOnTheWayUpIsNotPolled)
{
    Plug(7);
    ProbeWrapper* w = Wrap();
    SignalCount<ConfigDeviceState_t> published(w, &DeviceWrapper::DeviceStateUpdated);
    SignalCount<> lost(w, &DeviceWrapper::CommError);
    FailNextRead(1);
    const size_t mark = _sim->Log().size();
    w->StartDevice();

    EXPECT_EQ(lost.count(), 1);
    EXPECT_TRUE(w->HasCommError());
    EXPECT_FALSE(w->Timer()->isActive());
    EXPECT_EQ(published.count(), 0);
    EXPECT_EQ(w->updateDevice, 0);
    // Nothing more is sent after the failed first half.
    EXPECT_EQ(_sim->Log().size(), mark + 1);
}

TEST_F(LinkedWrapperTest, FailedConfigurationReadKeepsRunningWithItsFlag)
{
    Plug(5);
    ProbeBlock* block = new ProbeBlock(true);
    ProbeWrapper* w = Wrap(block);
    SignalCount<> lost(w, &DeviceWrapper::CommError);
    w->StartDevice();

    EXPECT_GE(block->reads, 1);
    EXPECT_TRUE(w->IsConfigReadFailed());
    EXPECT_TRUE(w->IsLinkUp());
    EXPECT_TRUE(w->Timer()->isActive());
    EXPECT_EQ(lost.count(), 0);
    EXPECT_EQ(w->updateDevice, 1);
    EXPECT_EQ(w->updateStatus, 1);
}

TEST_F(LinkedWrapperTest, GoodConfigurationReadClearsTheFlag)
{
    Plug(5);
    ProbeBlock* block = new ProbeBlock(false);
    ProbeWrapper* w = Wrap(block);
    w->StartDevice();
    EXPECT_GE(block->reads, 1);
    EXPECT_FALSE(w->IsConfigReadFailed());
    EXPECT_TRUE(w->IsLinkUp());
}

TEST_F(LinkedWrapperTest, ConfigurationReadResults)
{
    Plug(7);
    ProbeWrapper* w = Wrap();
    w->StartDevice();
    struct Case {
        int result;
        bool running;
        bool readFailed;
    } cases[] = {{0, true, false}, {-3, true, true}, {-9, true, true}, {-8, true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.result);
        w->ApplyConfigReadResult(c.result);
        EXPECT_EQ(w->IsLinkUp(), c.running);
        EXPECT_EQ(w->IsConfigReadFailed(), c.readFailed);
        EXPECT_FALSE(w->HasCommError());
    }
}

TEST_F(LinkedWrapperTest, FatalConfigurationReadStopsTheDevice)
{
    for (int result : {-7, -10, -11, -1}) {
        SCOPED_TRACE(result);
        Plug(7);
        ProbeWrapper* w = Wrap();
        w->StartDevice();
        SignalCount<> lost(w, &DeviceWrapper::CommError);
        const int cycles = w->updateStatus;
        w->ApplyConfigReadResult(result);
        EXPECT_EQ(lost.count(), 1);
        EXPECT_FALSE(w->IsLinkUp());
        EXPECT_FALSE(w->Timer()->isActive());
        EXPECT_EQ(w->updateStatus, cycles);
        // A later tick does nothing.
        w->StatusTimer();
        EXPECT_EQ(w->updateStatus, cycles);
        TearDown();
    }
}

TEST_F(LinkedWrapperTest, LostEngineLinkDisconnectsOnTheNextCycle)
{
    Plug(7);
    ProbeWrapper* w = Wrap();
    w->StartDevice();
    SignalCount<> lost(w, &DeviceWrapper::CommError);
    // The timer tick needs the link; a cycle called directly notices it is gone.
    _sim->Stop();
    w->PollStatus();
    EXPECT_EQ(lost.count(), 1);
    EXPECT_EQ(w->disconnects, 1);
}

} // namespace
