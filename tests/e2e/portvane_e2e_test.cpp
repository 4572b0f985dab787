#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <memory>
#include <sstream>
#include <unistd.h>

#include "childprocess.h"
#include "portvanerig.h"
#include "tempdir.h"

using tovik::test::BuildProgram;
using tovik::test::ChildProcess;
using tovik::test::CountOf;
using tovik::test::PathExists;
using tovik::test::RunAndCapture;
using tovik::test::WaitUntil;

namespace {

const char kStoreLost[] = "\"Connection to config 0 lost, reconnecting\"";
const char kStoreBack[] = "\"Connection to config 0 made again\"";

struct Sim {
    std::string name;
    std::vector<std::string> args;
    std::unique_ptr<ChildProcess> process;
    std::string link;

    // Commands received so far (the simulator logs one line per command).
    int Commands() const { return process ? CountOf(process->Output(), "\n#") : 0; }
};

class PortvaneSystemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(_dir.empty());
        StartStore();
    }

    void TearDown() override
    {
        if (_daemon.Pid() > 0)
            _daemon.Stop(SIGKILL, 5000);
        for (Sim& s : _sims)
            if (s.process)
                s.process->Stop(SIGTERM, 5000);
        _store.Stop(SIGTERM, 5000);
        if (HasFailure())
            std::fprintf(stderr, "--- daemon log ---\n%s\n", _daemon.Output().c_str());
    }

    std::string LinkPath(const std::string& name) const { return _dir + "/" + name; }

    // Declares a converter on a port; not started yet.
    Sim& AddSim(const std::string& name, const std::vector<std::string>& args)
    {
        _sims.push_back({name, args, nullptr, LinkPath(name)});
        return _sims.back();
    }

    void Plug(Sim& sim)
    {
        std::vector<std::string> argv = {BuildProgram("tovik-convsim"), "--link", sim.link, "-v"};
        argv.insert(argv.end(), sim.args.begin(), sim.args.end());
        sim.process.reset(new ChildProcess);
        ASSERT_TRUE(sim.process->Start(argv, _dir + "/" + sim.name + ".log"));
        ASSERT_TRUE(WaitUntil([&sim] { return PathExists(sim.link); }, 10000)) << sim.process->Output();
    }

    void StartStore()
    {
        ASSERT_TRUE(_store.Start({BuildProgram("tovik-configstore")}, _dir + "/store.log"));
        ASSERT_TRUE(WaitUntil([this] { return _store.Output().find("serving config 0") != std::string::npos; }, 10000))
            << _store.Output();
    }

    // A client sets a value of config 0.
    void SetBoxValue(const std::string& name, const std::string& value)
    {
        int status = -1;
        const std::string out = RunAndCapture({BuildProgram("knobctl"), "-set", name, value}, 10000, &status);
        ASSERT_EQ(status, 0) << out;
    }

    // Every command each converter received so far.
    std::vector<int> Commands() const
    {
        std::vector<int> counts;
        for (const Sim& s : _sims)
            counts.push_back(s.Commands());
        return counts;
    }

    void StartDaemon()
    {
        std::string ports;
        for (const Sim& s : _sims)
            ports += (ports.empty() ? "" : ":") + s.link;
        if (ports.empty())
            ports = LinkPath("ttyNONE");
        ASSERT_TRUE(_daemon.Start({BuildProgram("Portvane")}, _dir + "/portvane.log", {{"PORTVANE_SERIAL_PORTS", ports}}));
        // The first scan ends with a free slot: no converter gets a wrapper yet.
        ASSERT_TRUE(WaitUntil([this] { return Log().find("No mini found for pos") != std::string::npos; }, 20000))
            << Log();
    }

    // The daemon stops cleanly on SIGTERM.
    void StopDaemon()
    {
        ASSERT_TRUE(_daemon.Running()) << Log();
        EXPECT_EQ(_daemon.Stop(SIGTERM, 10000), 0) << Log();
    }

    std::string Log() const { return _daemon.Output(); }

    std::map<std::string, std::string> Dump()
    {
        int status = -1;
        std::map<std::string, std::string> values = tovik::test::StoreValues({}, &status);
        EXPECT_EQ(status, 0);
        return values;
    }

    void ExpectAllSlotsFree() { ExpectSlots(""); }

    // Slot 1 holds a converter of the published type (none when empty), the
    // others are free.
    void ExpectSlots(const std::string& slot1Type)
    {
        std::map<std::string, std::string> v = Dump();
        EXPECT_EQ(v["eParamID_DeviceCount"], slot1Type.empty() ? "0" : "1");
        if (!slot1Type.empty()) {
            EXPECT_EQ(v["eParamID_Device_1_Type"], slot1Type);
            EXPECT_EQ(v["eParamID_Device_1_CxnStatus"], "0");
        }
        for (int slot = slot1Type.empty() ? 1 : 2; slot <= 4; ++slot) {
            const std::string p = "eParamID_Device_" + std::to_string(slot) + "_";
            EXPECT_EQ(v[p + "Type"], "0") << slot;
            EXPECT_EQ(v[p + "SN"], "") << slot;
            EXPECT_EQ(v[p + "Name"], "") << slot;
            EXPECT_EQ(v[p + "CxnStatus"], "1") << slot;
        }
    }

    tovik::test::TempDir _tmp{"tovik-e2e"};
    const std::string _dir = _tmp.Path();
    ChildProcess _store;
    ChildProcess _daemon;
    std::deque<Sim> _sims;
};

TEST_F(PortvaneSystemTest, WithoutConvertersEverySlotIsFree)
{
    StartDaemon();
    ExpectAllSlotsFree();
    const std::string log = Log();
    EXPECT_NE(log.find("Server started"), std::string::npos);
    EXPECT_NE(log.find("\"Rozo deviceCount initialized to 0.\""), std::string::npos);
    EXPECT_NE(log.find("\"No mini found for pos 0\""), std::string::npos);
    EXPECT_EQ(log.find("Error connecting to main config"), std::string::npos);
    StopDaemon();
}

struct ScanCase {
    const char* name;
    std::vector<std::vector<std::string>> ports; // simulator options per port
    std::vector<std::string> logged;
    std::vector<std::string> notLogged;
    std::vector<bool> asked; // whether each port's converter was spoken to
    std::string slot1Type;   // the type published in slot 1; empty: every slot free
};

const std::vector<ScanCase>& ScanCases()
{
    static const std::vector<ScanCase> cases = {
        {"plain non-scaler is skipped", {{"--type", "7"}}, {}, {"\"Fatal Connect", "\"Non-Fatal Connect"}, {true}, ""},
        {"search goes on past non-scalers", {{"--type", "7"}, {"--type", "5"}}, {}, {"\"Fatal Connect"}, {true, true}, "6"},
        {"protocol mismatch stops the search",
         {{"--type", "7", "--protocol-version", "2"}, {"--type", "5"}},
         {"\"Fatal Connect result: -2\""},
         {},
         {true, false}, ""},
        {"silent converter stops the search",
         {{"--type", "7", "--fault", "silence,code=0x80"}, {"--type", "7"}},
         {"\"Fatal Connect result: -1\"", "\t-4        \tkTimedOut\n\"\nWanted 4 bytes, got 0.\n"},
         {},
         {true, false}, ""},
        {"unknown module type is not fatal",
         {{"--type", "40"}, {"--type", "7"}},
         {"\"Non-Fatal Connect result: -5\""},
         {"\"Fatal Connect result:"},
         {true, true},
         ""},
        {"unconfigured converter", {{"--type", "5", "--module-state", "0"}}, {}, {"\"Fatal Connect", "\"Non-Fatal Connect"}, {true}, ""},
    };
    return cases;
}

TEST_F(PortvaneSystemTest, IdentificationResultsAndSearchOrder)
{
    for (const ScanCase& c : ScanCases()) {
        SCOPED_TRACE(c.name);
        _sims.clear();
        for (size_t i = 0; i < c.ports.size(); ++i)
            Plug(AddSim("tty" + std::to_string(i), c.ports[i]));
        StartDaemon();
        const std::string log = Log();
        for (const std::string& line : c.logged)
            EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
        for (const std::string& line : c.notLogged)
            EXPECT_EQ(log.find(line), std::string::npos) << line << "\n" << log;
        for (size_t i = 0; i < c.asked.size(); ++i)
            EXPECT_EQ(_sims[i].Commands() > 0, c.asked[i]) << "port " << i;
        ExpectSlots(c.slot1Type);
        StopDaemon();
        for (Sim& s : _sims)
            s.process->Stop(SIGTERM, 5000);
    }
}

TEST_F(PortvaneSystemTest, UnpluggedMidCommandAndPluggedAgain)
{
    // The converter vanishes on its third command, in the middle of identification.
    Sim& sim = AddSim("ttyU", {"--type", "7", "--fault", "unplug,nth=3"});
    Plug(sim);
    StartDaemon();
    ASSERT_TRUE(WaitUntil([&sim] { return !sim.process->Running(); }, 10000));
    EXPECT_TRUE(_daemon.Running()) << Log();
    ExpectAllSlotsFree();

    // The port comes back: the daemon scans again and talks to it.
    const int scans = CountOf(Log(), "No mini found for pos 0");
    sim.args = {"--type", "7"};
    Plug(sim);
    ASSERT_TRUE(WaitUntil([&] { return CountOf(Log(), "No mini found for pos 0") > scans; }, 10000)) << Log();
    EXPECT_GT(sim.Commands(), 0);
    ExpectAllSlotsFree();
    StopDaemon();
}

// The port stays where it is while its link is replaced by one rename: the
// converter behind it is new, and the daemon scans again.
TEST_F(PortvaneSystemTest, LinkReplacedByOneRenameIsScannedAgain)
{
    Sim& sim = AddSim("ttyR", {"--type", "7", "--fault", "silence,nth=3"});
    Plug(sim);
    StartDaemon();
    const int scans = CountOf(Log(), "No mini found for pos 0");
    const int asked = sim.Commands();

    Sim& fresh = AddSim("ttyR.new", {"--type", "7"});
    Plug(fresh);
    ASSERT_EQ(::rename(fresh.link.c_str(), sim.link.c_str()), 0);
    ASSERT_TRUE(WaitUntil([&] { return CountOf(Log(), "No mini found for pos 0") > scans; }, 10000)) << Log();
    EXPECT_GT(fresh.Commands(), 0);
    EXPECT_EQ(sim.Commands(), asked) << "the converter whose link went is not asked again";
    ExpectAllSlotsFree();
    StopDaemon();
}

TEST_F(PortvaneSystemTest, StoreStoppedAndStartedAgain)
{
    Plug(AddSim("ttyA", {"--type", "7"}));
    // A converter without a wrapper: the slots stay free.
    Plug(AddSim("ttyB", {"--type", "8"}));
    StartDaemon();
    ExpectAllSlotsFree();

    ASSERT_EQ(_store.Stop(SIGTERM, 5000), 0);
    ASSERT_TRUE(WaitUntil([&] { return Log().find(kStoreLost) != std::string::npos; }, 10000)) << Log();
    ::usleep(500 * 1000);
    StartStore();
    ASSERT_TRUE(WaitUntil([&] { return Log().find(kStoreBack) != std::string::npos; }, 15000)) << Log();
    ExpectAllSlotsFree();
    EXPECT_EQ(CountOf(Log(), kStoreLost), 1);
    EXPECT_TRUE(_daemon.Running());

    // The converters are still watched: one going and coming back is scanned.
    const int scans = CountOf(Log(), "No mini found for pos 0");
    _sims[0].process->Stop(SIGTERM, 5000);
    Plug(_sims[0]);
    ASSERT_TRUE(WaitUntil([&] { return CountOf(Log(), "No mini found for pos 0") > scans; }, 10000)) << Log();
    ExpectAllSlotsFree();
    StopDaemon();
}

TEST_F(PortvaneSystemTest, StoreStartedAfterTheDaemon)
{
    ASSERT_EQ(_store.Stop(SIGTERM, 5000), 0);
    Plug(AddSim("ttyA", {"--type", "7"}));
    // A converter without a wrapper: the slots stay free.
    Plug(AddSim("ttyB", {"--type", "8"}));
    StartDaemon();
    EXPECT_EQ(CountOf(Log(), "Error connecting to main config"), 1);
    EXPECT_EQ(Log().find("Not found param"), std::string::npos) << Log();
    EXPECT_GT(_sims[0].Commands(), 0);

    StartStore();
    ASSERT_TRUE(WaitUntil([&] { return Log().find(kStoreBack) != std::string::npos; }, 15000)) << Log();
    ExpectAllSlotsFree();
    EXPECT_EQ(Log().find(kStoreLost), std::string::npos);
    StopDaemon();
}

TEST_F(PortvaneSystemTest, SecondDaemonExitsAndLeavesTheFirstAlone)
{
    Plug(AddSim("ttyA", {"--type", "7"}));
    // A converter without a wrapper: the slots stay free.
    Plug(AddSim("ttyB", {"--type", "8"}));
    StartDaemon();
    // A count the second daemon would reset, had it gone on.
    SetBoxValue("eParamID_DeviceCount", "2");
    ASSERT_EQ(Dump()["eParamID_DeviceCount"], "2");
    const std::vector<int> asked = Commands();

    ChildProcess second;
    std::string ports;
    for (const Sim& s : _sims)
        ports += (ports.empty() ? "" : ":") + s.link;
    ASSERT_TRUE(second.Start({BuildProgram("Portvane")}, _dir + "/second.log", {{"PORTVANE_SERIAL_PORTS", ports}}));
    EXPECT_EQ(second.Wait(10000), 1) << second.Output();
    EXPECT_NE(second.Output().find("Cannot serve the converters' configs on port 43111"), std::string::npos)
        << second.Output();
    EXPECT_EQ(second.Output().find("Rozo deviceCount"), std::string::npos) << second.Output();

    EXPECT_TRUE(_daemon.Running());
    EXPECT_EQ(Dump()["eParamID_DeviceCount"], "2");
    EXPECT_EQ(Commands(), asked) << "no converter was spoken to";
    StopDaemon();
}

TEST_F(PortvaneSystemTest, ConverterAppearingLaterStartsAScan)
{
    Sim& sim = AddSim("ttyLate", {"--type", "7"});
    StartDaemon();
    EXPECT_EQ(CountOf(Log(), "No mini found for pos 0"), 1);
    Plug(sim);
    ASSERT_TRUE(WaitUntil([&] { return CountOf(Log(), "No mini found for pos 0") >= 2; }, 10000)) << Log();
    EXPECT_GT(sim.Commands(), 0);
    EXPECT_TRUE(_daemon.Running());
    StopDaemon();
}

} // namespace
