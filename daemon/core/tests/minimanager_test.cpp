#include <gtest/gtest.h>

#include <QPointer>

#include <deque>

#include "configwrapper.h"
#include "engine/ccmdengine.h"
#include "messagelog.h"
#include "minimanager.h"
#include "myerrorreportif.h"
#include "paramlink/descriptortable.h"
#include "paramlink/socketserver.h"
#include "platform/linif.h"
#include "qtwait.h"
#include "support/probewrapper.h"
#include "support/rawclient.h"
#include "tovikconfig/boxparamids.h"
#include "tovikconfig/paramdescriptor.h"
#include "tovikconfig/tovikconfig.h"
#include "wrappersource.h"
#include "zirudodorav.h"

using namespace tovikconfig;

namespace {

using tovik::test::MessageLog;

MyErrorReportIF sErrors;

struct Converter {
    quint32 code;
    int moduleType;
    const char* serial;
    const char* name;
    // The link is gone before the wrapper is handed over.
    bool lostOnStart = false;
};

// Converters the next scans will find, in order.
std::deque<Converter> sPlugged;
// What the source says of ports that failed, and how often it heard of
// hot-plug.
qint64 sNextProbeMs = -1;
int sPortsChanged = 0;

class PluggedSource : public WrapperSource {
public:
    DeviceWrapper* CreateDeviceWrapper(quint32* code, QObject* parent) override;
    void PortsChanged() override { ++sPortsChanged; }
    qint64 NextProbeDelayMs() override { return sNextProbeMs; }
};

DeviceWrapper* PluggedSource::CreateDeviceWrapper(quint32* code, QObject* parent)
{
    if (sPlugged.empty())
        return nullptr;
    const Converter c = sPlugged.front();
    sPlugged.pop_front();
    *code = c.code;
    CCmdEngine* engine = new CCmdEngine(nullptr, &sErrors, nullptr, 0);
    engine->GetModuleType()._moduleTypeID = c.moduleType;
    engine->GetModuleType()._serialID = c.serial;
    engine->GetModuleType()._moduleName = c.name;
    engine->SetConnected(!c.lostOnStart);
    ProbeWrapper* w = new ProbeWrapper(engine, nullptr, c.lostOnStart);
    w->setParent(parent);
    return w;
}

// Records the order of config 0's changes.
class ChangeLog : public ConfigEventListener {
public:
    int IntegerChanged(eParam_t id, int, timeval) override { return Add(id); }
    int StringChanged(eParam_t id, std::string&, timeval) override { return Add(id); }
    std::vector<quint32> Ids()
    {
        QMutexLocker lock(&_mutex);
        return _ids;
    }
    void Clear()
    {
        QMutexLocker lock(&_mutex);
        _ids.clear();
    }

private:
    int Add(eParam_t id)
    {
        QMutexLocker lock(&_mutex);
        _ids.push_back(quint32(id));
        return 0;
    }
    QMutex _mutex;
    std::vector<quint32> _ids;
};

class MiniManagerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        sServer = new velora::stackline::config::access::SocketServer(ConfigWrapper::kMainConfigPort);
        ASSERT_TRUE(sServer->Initialize());
        ASSERT_TRUE(sServer->Start());
    }
    static void TearDownTestSuite() { StopStore(); }

    // The box's store, served from this process as another process would.
    static void StopStore()
    {
        delete sServer;
        sServer = nullptr;
    }
    static void StartStore()
    {
        sServer = new velora::stackline::config::access::SocketServer(ConfigWrapper::kMainConfigPort);
        ASSERT_TRUE(sServer->Initialize());
        ASSERT_TRUE(sServer->Start());
    }

    void SetUp() override
    {
        sPlugged.clear();
        sNextProbeMs = -1;
        sPortsChanged = 0;
    }
    void TearDown() override
    {
        _manager.reset();
        DescriptorRegistry::GetDescriptorTable(0)->SetRefusalHook(nullptr);
        if (!sServer)
            StartStore();
    }

    // What a store that comes back may hold: anything but the daemon's view.
    void ScrambleSlots()
    {
        _box->SetIntegerValue(eParam_t(eParamID_DeviceCount), 3);
        for (int slot = 1; slot <= 4; ++slot) {
            _box->SetStringValue(eParam_t(DeviceNameParamID(slot)), "OLD");
            _box->SetStringValue(eParam_t(DeviceSNParamID(slot)), "OLD00001");
            _box->SetIntegerValue(eParam_t(DeviceTypeParamID(slot)), 9);
            _box->SetIntegerValue(eParam_t(DeviceCxnStatusParamID(slot)), 13);
        }
    }

    void Start()
    {
        _manager.reset(new MiniManager(&_platform, &_source));
        ASSERT_TRUE(_box.ok());
        ASSERT_TRUE(_manager->IsServing());
        ASSERT_TRUE(_manager->MainConfig()->IsConnected());
    }

    bool SlotShows(int slot, int type, const std::string& serial, const std::string& name, int status,
                   int waitMs = 3000)
    {
        return WaitFor([&] {
            return _box.Integer(DeviceTypeParamID(slot)) == type && _box.Text(DeviceSNParamID(slot)) == serial &&
                   _box.Text(DeviceNameParamID(slot)) == name && _box.Integer(DeviceCxnStatusParamID(slot)) == status;
        }, waitMs);
    }
    bool CountIs(int count, int waitMs = 3000)
    {
        return WaitFor([&] { return _box.Integer(eParamID_DeviceCount) == count; }, waitMs);
    }

    static velora::stackline::config::access::SocketServer* sServer;
    MessageLog _messages;
    LinIF _platform;
    PluggedSource _source;
    std::unique_ptr<MiniManager> _manager;
    RawClient _box{0};
};

velora::stackline::config::access::SocketServer* MiniManagerTest::sServer = nullptr;

TEST_F(MiniManagerTest, StartWithoutConverters)
{
    Start();
    EXPECT_TRUE(CountIs(0));
    for (int slot = 1; slot <= 4; ++slot)
        EXPECT_TRUE(SlotShows(slot, 0, "", "", 1)) << slot;
    EXPECT_TRUE(_messages.Contains(QtDebugMsg, "\"No mini found for pos 0\""));
    EXPECT_TRUE(_messages.Contains(QtWarningMsg, "\"Rozo deviceCount initialized to 0.\""));
    EXPECT_TRUE(_messages.Contains(QtDebugMsg, "Server started"));
    EXPECT_FALSE(_messages.Contains("Error connecting to main config"));
    for (int slot = 0; slot < MiniManager::kSlotCount; ++slot)
        EXPECT_EQ(_manager->HandlerAt(slot), nullptr);
}

TEST_F(MiniManagerTest, ConvertersFillSlotsInOrderAndLeave)
{
    sPlugged = {{0, 5, "SIM05001", "HESTRA"}, {8, 14, "0000000", "MARDEX"}};
    Start();
    EXPECT_TRUE(SlotShows(1, 6, "SIM05001", "HESTRA", 0));
    const std::string made = _manager->HandlerAt(1)->GetSerialNumber().toStdString();
    EXPECT_EQ(made.substr(0, 2), "Sn");
    EXPECT_TRUE(SlotShows(2, 15, made, "MARDEX", 8));
    EXPECT_TRUE(SlotShows(3, 0, "", "", 1));
    EXPECT_TRUE(CountIs(2));
    EXPECT_TRUE(_messages.Contains(QtWarningMsg, "\"Rozo 0 added with config id 1\""));
    EXPECT_TRUE(_messages.Contains(QtWarningMsg, "\"Rozo 1 added with config id 2\""));
    EXPECT_TRUE(_messages.Contains(QtWarningMsg, "\"Rozo deviceCount 1\""));
    EXPECT_TRUE(_messages.Contains(QtWarningMsg, "\"Rozo deviceCount 2\""));
    EXPECT_TRUE(_messages.Contains(QtDebugMsg, "\"No mini found for pos 2\""));
    EXPECT_EQ(_manager->HandlerAt(1)->GetConfigId(), 2);

    // The converter of slot 1 is lost.
    ChangeLog changes;
    _box->AddEventListener(&changes);
    static_cast<ProbeWrapper*>(_manager->HandlerAt(1)->GetWrapper())->Lose();
    ASSERT_TRUE(WaitFor([&] { return _manager->HandlerAt(1) == nullptr; }));
    EXPECT_TRUE(SlotShows(2, 0, "", "", 1));
    EXPECT_TRUE(CountIs(1));
    EXPECT_TRUE(_messages.Contains(QtWarningMsg, "\"Rozo 1 (configid 2) left\""));
    EXPECT_EQ(_messages.Count("\"Rozo deviceCount 1\""), 2);
    ASSERT_TRUE(WaitFor([&] { return changes.Ids().size() >= 5; }));
    const std::vector<quint32> expected = {DeviceTypeParamID(2), DeviceSNParamID(2), DeviceNameParamID(2),
                                           DeviceCxnStatusParamID(2), eParamID_DeviceCount};
    EXPECT_EQ(changes.Ids(), expected);
    _box->RemoveEventListener(&changes);

    // A new converter takes the free slot; slot 0 is skipped.
    sPlugged = {{0, 19, "SIM19001", "QUASTEL"}};
    _manager->ScanMinis();
    EXPECT_TRUE(_messages.Contains(QtDebugMsg, "\"Slot 0 occupied\""));
    EXPECT_TRUE(SlotShows(2, 20, "SIM19001", "QUASTEL", 0));
    EXPECT_TRUE(CountIs(2));
}

TEST_F(MiniManagerTest, SlotParametersAreWrittenInOrder)
{
    // The box's table and slots left occupied by an earlier run of the daemon.
    DescriptorTable* table = DescriptorRegistry::GetDescriptorTable(0);
    if (table->size() == 0)
        tovikconfig::TovikConfig::AddParamDescriptors(table, 1);
    ChangeLog changes;
    _box->AddEventListener(&changes);
    std::vector<quint32> stale;
    _box->SetIntegerValue(eParam_t(eParamID_DeviceCount), 3);
    stale.push_back(eParamID_DeviceCount);
    for (int slot = 1; slot <= 4; ++slot) {
        _box->SetStringValue(eParam_t(DeviceNameParamID(slot)), "OLD");
        _box->SetStringValue(eParam_t(DeviceSNParamID(slot)), "OLD00001");
        _box->SetIntegerValue(eParam_t(DeviceTypeParamID(slot)), 9);
        _box->SetIntegerValue(eParam_t(DeviceCxnStatusParamID(slot)), 13);
        for (quint32 id : {DeviceNameParamID(slot), DeviceSNParamID(slot), DeviceTypeParamID(slot),
                           DeviceCxnStatusParamID(slot)})
            stale.push_back(id);
    }
    ASSERT_TRUE(WaitFor([&] { return changes.Ids() == stale; }));
    changes.Clear();

    // Start-up: the count first, then each slot's name, serial number, type and status.
    Start();
    ASSERT_TRUE(WaitFor([&] { return changes.Ids().size() >= stale.size(); }));
    EXPECT_EQ(changes.Ids(), stale);

    // A converter found: its slot's name, serial number, type and status, then the count.
    changes.Clear();
    sPlugged = {{0, 5, "SIM05001", "HESTRA"}};
    _manager->ScanMinis();
    const std::vector<quint32> published = {DeviceNameParamID(1), DeviceSNParamID(1), DeviceTypeParamID(1),
                                            DeviceCxnStatusParamID(1), eParamID_DeviceCount};
    ASSERT_TRUE(WaitFor([&] { return changes.Ids().size() >= published.size(); }));
    EXPECT_EQ(changes.Ids(), published);
    _box->RemoveEventListener(&changes);
}

TEST_F(MiniManagerTest, RenamedConverterIsRepublished)
{
    sPlugged = {{0, 18, "SIM18001", "PENDRO"}};
    Start();
    ASSERT_TRUE(SlotShows(1, 19, "SIM18001", "PENDRO", 0));
    ProbeWrapper* w = static_cast<ProbeWrapper*>(_manager->HandlerAt(0)->GetWrapper());
    w->SetModuleNameForTest("STAGE2");
    w->EmitModuleNameChange();
    EXPECT_TRUE(SlotShows(1, 19, "SIM18001", "STAGE2", 0));
}

TEST_F(MiniManagerTest, ConverterLostWhileBeingTakenFreesItsSlot)
{
    sPlugged = {{0, 5, "SIM05001", "HESTRA", true}, {0, 14, "SIM14001", "MARDEX"}};
    Start();
    // The scan goes on past the lost converter; its slot is freed afterwards.
    EXPECT_TRUE(_messages.Contains(QtWarningMsg, "\"Rozo 1 added with config id 2\""));
    ASSERT_TRUE(WaitFor([&] { return _manager->HandlerAt(0) == nullptr; }));
    EXPECT_TRUE(_messages.Contains(QtWarningMsg, "\"Rozo 0 (configid 1) left\""));
    EXPECT_TRUE(SlotShows(1, 0, "", "", 1));
    EXPECT_TRUE(SlotShows(2, 15, "SIM14001", "MARDEX", 0));
    EXPECT_TRUE(CountIs(1));

    // The next scan takes the free slot again.
    sPlugged = {{0, 19, "SIM19001", "QUASTEL"}};
    _manager->ScanMinis();
    EXPECT_TRUE(SlotShows(1, 20, "SIM19001", "QUASTEL", 0));
    EXPECT_TRUE(_messages.Contains(QtDebugMsg, "\"Slot 1 occupied\""));
    EXPECT_TRUE(CountIs(2));
}

TEST_F(MiniManagerTest, PlatformHotPlugEventsRunAScan)
{
    sPlugged = {{0, 5, "SIM05001", "HESTRA"}};
    Start();
    ASSERT_TRUE(SlotShows(1, 6, "SIM05001", "HESTRA", 0));

    // A removal alone changes no slot; an arrival scans the free slots.
    sPlugged = {{0, 19, "SIM19001", "QUASTEL"}};
    emit _platform.DeviceRemovedSignal();
    QCoreApplication::processEvents();
    EXPECT_EQ(_manager->HandlerAt(1), nullptr);
    emit _platform.DeviceAddedSignal();
    EXPECT_TRUE(SlotShows(2, 20, "SIM19001", "QUASTEL", 0));
    EXPECT_TRUE(CountIs(2));
}

TEST_F(MiniManagerTest, HotPlugTellsTheSourceBeforeTheScan)
{
    Start();
    EXPECT_EQ(sPortsChanged, 0);
    sPlugged = {{0, 5, "SIM05001", "HESTRA"}};
    emit _platform.DeviceAddedSignal();
    EXPECT_EQ(sPortsChanged, 1);
    EXPECT_TRUE(SlotShows(1, 6, "SIM05001", "HESTRA", 0));
}

// A port whose converter failed is scanned again when the source says it
// is due, without any hot-plug event, while a slot is free.
TEST_F(MiniManagerTest, LostConverterComesBackWhenItsPortIsDue)
{
    sPlugged = {{0, 5, "SIM05001", "HESTRA", true}};
    sNextProbeMs = 50;
    Start();
    ASSERT_TRUE(WaitFor([&] { return _messages.Contains(QtWarningMsg, "\"Rozo 0 (configid 1) left\""); }));

    sPlugged = {{0, 5, "SIM05001", "HESTRA"}};
    EXPECT_TRUE(SlotShows(1, 6, "SIM05001", "HESTRA", 0));
    EXPECT_TRUE(CountIs(1));
    EXPECT_EQ(sPortsChanged, 0);

    // With every slot taken nothing is scanned, whatever is due.
    sPlugged = {{0, 14, "SIM14001", "MARDEX"}, {0, 18, "SIM18001", "PENDRO"}, {0, 19, "SIM19001", "QUASTEL"}};
    _manager->ScanMinis();
    ASSERT_TRUE(CountIs(4));
    sPlugged = {{0, 7, "SIM07001", "ESTROW"}};
    const int scans = _messages.Count(QStringLiteral("\"Slot 0 occupied\""));
    Spin(300);
    EXPECT_EQ(_messages.Count(QStringLiteral("\"Slot 0 occupied\"")), scans);
    EXPECT_EQ(sPlugged.size(), 1u);
}

TEST_F(MiniManagerTest, UnknownObjectLeavingChangesNoSlot)
{
    sPlugged = {{0, 5, "SIM05001", "HESTRA"}};
    Start();
    QObject stranger;
    _manager->MiniLeft(&stranger);
    EXPECT_TRUE(_messages.Contains(QtWarningMsg, "Strange: Handler disappeared that wasn't in the list!"));
    EXPECT_NE(_manager->HandlerAt(0), nullptr);
    EXPECT_TRUE(CountIs(1));
}

// Long enough for the store library's pauses between attempts (at most 4 s).
const int kReconnectWaitMs = 3000 + 2 * ConfigWrapper::kMaxRetryMs;
const QString kLost = "\"Connection to config 0 lost, reconnecting\"";
const QString kBack = "\"Connection to config 0 made again\"";

TEST_F(MiniManagerTest, StoreStoppedAndStartedAgainGetsEverySlotBack)
{
    sPlugged = {{0, 5, "SIM05001", "HESTRA"}, {8, 14, "SIM14001", "MARDEX"}, {0, 19, "SIM19001", "QUASTEL"}};
    Start();
    ASSERT_TRUE(SlotShows(3, 20, "SIM19001", "QUASTEL", 0));
    ASSERT_TRUE(CountIs(3));
    // Another client's value, which the daemon hears.
    ASSERT_TRUE(_box->SetStringValue(eParam_t(eParamID_SystemName), "before-restart"));
    Spin(100);

    StopStore();
    ASSERT_TRUE(WaitFor([&] { return _messages.Contains(QtWarningMsg, kLost); }, kReconnectWaitMs));
    // While the store is away a converter leaves and the daemon goes on.
    static_cast<ProbeWrapper*>(_manager->HandlerAt(1)->GetWrapper())->Lose();
    ASSERT_TRUE(WaitFor([&] { return _manager->HandlerAt(1) == nullptr; }));
    EXPECT_TRUE(_messages.Contains(QtWarningMsg, "\"Rozo deviceCount 2\""));
    // The store comes back holding other values, one of them written by a
    // client before the daemon is back.
    ScrambleSlots();
    ASSERT_TRUE(_box->SetStringValue(eParam_t(eParamID_SystemName), "newer-written-first"));
    Spin(2 * ConfigWrapper::kFirstRetryMs);
    StartStore();

    EXPECT_TRUE(SlotShows(1, 6, "SIM05001", "HESTRA", 0, kReconnectWaitMs));
    EXPECT_TRUE(SlotShows(2, 0, "", "", 1));
    EXPECT_TRUE(SlotShows(3, 20, "SIM19001", "QUASTEL", 0));
    EXPECT_TRUE(SlotShows(4, 0, "", "", 1));
    EXPECT_TRUE(CountIs(2));
    EXPECT_EQ(_box.Text(eParamID_SystemName), "newer-written-first") << "only the daemon's own values come back";
    EXPECT_EQ(_messages.Count(kLost), 1) << "logged once";
    EXPECT_EQ(_messages.Count(kBack), 1);
    EXPECT_TRUE(_manager->MainConfig()->IsConnected());

    // Writes go on as before.
    sPlugged = {{0, 18, "SIM18001", "PENDRO"}};
    _manager->ScanMinis();
    EXPECT_TRUE(SlotShows(2, 19, "SIM18001", "PENDRO", 0));
    EXPECT_TRUE(CountIs(3));
}

// A store restarted at once, before anything of the daemon noticed: the
// library's link comes back and the daemon writes its slots back.
TEST_F(MiniManagerTest, StoreRestartedAtOnceGetsEverySlotBack)
{
    sPlugged = {{0, 5, "SIM05001", "HESTRA"}, {0, 19, "SIM19001", "QUASTEL"}};
    Start();
    ASSERT_TRUE(SlotShows(2, 20, "SIM19001", "QUASTEL", 0));
    ASSERT_TRUE(CountIs(2));

    StopStore();
    ScrambleSlots();
    StartStore();
    EXPECT_TRUE(SlotShows(1, 6, "SIM05001", "HESTRA", 0, kReconnectWaitMs));
    EXPECT_TRUE(SlotShows(2, 20, "SIM19001", "QUASTEL", 0));
    for (int slot = 3; slot <= 4; ++slot)
        EXPECT_TRUE(SlotShows(slot, 0, "", "", 1)) << slot;
    EXPECT_TRUE(CountIs(2));
    EXPECT_TRUE(WaitFor([&] { return _messages.Count(kBack) == 1; }));
    EXPECT_EQ(_messages.Count(kLost), 1);
}

TEST_F(MiniManagerTest, StoreStartedAfterTheDaemon)
{
    StopStore();
    sPlugged = {{0, 5, "SIM05001", "HESTRA"}};
    _manager.reset(new MiniManager(&_platform, &_source));
    ASSERT_TRUE(_manager->IsServing());
    EXPECT_FALSE(_manager->MainConfig()->IsConnected());
    EXPECT_EQ(_messages.Count("Error connecting to main config"), 1);
    for (const QString& m : _messages.Lines())
        EXPECT_FALSE(m.contains("Not found param")) << m.toStdString();
    // The converter is taken all the same.
    ASSERT_NE(_manager->HandlerAt(0), nullptr);
    EXPECT_TRUE(_messages.Contains(QtWarningMsg, "\"Rozo deviceCount 1\""));

    ScrambleSlots();
    StartStore();
    EXPECT_TRUE(SlotShows(1, 6, "SIM05001", "HESTRA", 0, kReconnectWaitMs));
    for (int slot = 2; slot <= 4; ++slot)
        EXPECT_TRUE(SlotShows(slot, 0, "", "", 1)) << slot;
    EXPECT_TRUE(CountIs(1));
    EXPECT_EQ(_messages.Count(kBack), 1);
    EXPECT_EQ(_messages.Count(kLost), 0);
}

TEST_F(MiniManagerTest, SecondDaemonStopsBeforeTouchingAnything)
{
    sPlugged = {{0, 5, "SIM05001", "HESTRA"}};
    Start();
    ASSERT_TRUE(SlotShows(1, 6, "SIM05001", "HESTRA", 0));
    ASSERT_TRUE(CountIs(1));
    ChangeLog changes;
    _box->AddEventListener(&changes);

    sPlugged = {{0, 19, "SIM19001", "QUASTEL"}};
    {
        MiniManager second(&_platform, &_source);
        EXPECT_FALSE(second.IsServing());
        EXPECT_EQ(second.MainConfig(), nullptr);
        EXPECT_TRUE(_messages.Contains(QtWarningMsg, "Cannot serve the converters' configs on port 43111; is "
                                                     "another Portvane running? Stopping."));
        second.ScanMinis();
        Spin(100);
    }
    EXPECT_EQ(sPlugged.size(), 1u) << "no converter was looked for";
    EXPECT_TRUE(changes.Ids().empty()) << "config 0 untouched";
    _box->RemoveEventListener(&changes);
    EXPECT_TRUE(SlotShows(1, 6, "SIM05001", "HESTRA", 0));
    EXPECT_TRUE(CountIs(1));
    EXPECT_NE(_manager->HandlerAt(0), nullptr);
}

// Last: the slot ids of config 0 are resolved once per process, and without
// the count the rest of the device-slot table is not built either.
TEST_F(MiniManagerTest, MissingCountParameterIsLeftAlone)
{
    DescriptorRegistry::GetDescriptorTable(0)->SetRefusalHook(
        [](ParamDescriptor* d) { return d->GetParamID() == eParamID_DeviceCount; });
    sPlugged = {{0, 5, "SIM05001", "HESTRA"}};
    Start();
    EXPECT_TRUE(_messages.Contains(QtDebugMsg, "\"Not found param: eParamID_DeviceCount\""));
    EXPECT_FALSE(_messages.Contains("\"Rozo deviceCount initialized to 0.\""));
    // The converter is still taken.
    EXPECT_NE(_manager->HandlerAt(0), nullptr);
    EXPECT_TRUE(_messages.Contains("\"Rozo 0 added with config id 1\""));
    for (const QString& m : _messages.Lines())
        EXPECT_FALSE(m.startsWith("\"Rozo deviceCount ")) << m.toStdString();
}

} // namespace
