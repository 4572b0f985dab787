// knobctl as a program against the real stores: the config-0 store program,
// Portvane with a simulated converter, and converter configs on port 43111.
// Runs in a private network namespace (the ports are fixed).
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "childprocess.h"
#include "paramlink/config.h"
#include "paramlink/configfactory.h"
#include "paramlink/configlink.h"
#include "paramlink/descriptortable.h"
#include "paramlink/socketserver.h"
#include "tempdir.h"
#include "terminalsession.h"
#include "tovikconfig/boxparamids.h"
#include "tovikconfig/tovikconfig.h"

using tovik::test::BuildProgram;
using tovik::test::ChildProcess;
using tovik::test::ProgramResult;
using tovik::test::RunProgram;
using tovik::test::TerminalSession;
using tovik::test::WaitUntil;

namespace knobtest {
namespace {

const int kRunMs = 20000;

const char kBoxURL[] = "socket://127.0.0.1:43110/caching=false&configid=0";

const std::string kUsage =
    "Usage: knobctl [OPTION] [ARGUMENT]\n"
    "\n"
    "Operation:\n"
    "  -get      <param_id_name>         Display one param value\n"
    "  -set      <param_id_name>         Change one param value\n"
    "  -dump     <param_id_name> or <*>  Display meta-data and current value about one\n"
    "                                    or all params\n"
    "  -describe <param_id_name> or <*>  Display meta-data about one or all params\n"
    "\n"
    "Configuration:\n"
    "  --mapped                          Use mapping config (only available on Culmen)\n"
    "  --config  <config_id>             Connect to subconfig of attached Podunit\n";

struct OneShot {
    std::vector<std::string> args;
    int status;
    std::string out;
    std::string err;
};

// A private directory that serves as HOME, the config-0 store, and knobctl
// runs with that HOME.
class KnobctlSystemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(_dir.empty());
        _home = _dir + "/home";
        ASSERT_EQ(::mkdir(_home.c_str(), 0700), 0);
    }

    void TearDown() override
    {
        if (_box)
            ConfigFactoryImpl::GetInstance()->ReleaseConfig(_box);
        _store.Stop(SIGTERM, 5000);
    }

    void StartStore()
    {
        ASSERT_TRUE(_store.Start({BuildProgram("tovik-configstore")}, _dir + "/store.log"));
        ASSERT_TRUE(WaitUntil([this] { return _store.Output().find("serving config 0") != std::string::npos; }, 10000))
            << _store.Output();
    }

    // This process's own client of the box's store: "another client".
    Config* Box()
    {
        if (!_box) {
            DescriptorTable* table = DescriptorRegistry::GetDescriptorTable(0);
            table->clear();
            tovikconfig::TovikConfig::AddParamDescriptors(table, 1);
            _box = ConfigFactoryImpl::GetInstance()->CreateConfig(kBoxURL, "");
        }
        return _box;
    }

    std::string WriteConfigrc(const std::string& text)
    {
        const std::string path = _home + "/.configrc";
        std::ofstream(path) << text;
        return path;
    }

    ProgramResult Knobctl(const std::vector<std::string>& args)
    {
        std::vector<std::string> argv = {BuildProgram("knobctl")};
        argv.insert(argv.end(), args.begin(), args.end());
        return RunProgram(argv, {{"HOME", _home}, {"TERM", "dumb"}, {"INPUTRC", "/dev/null"}}, kRunMs);
    }

    void Table(const std::vector<OneShot>& rows)
    {
        for (const OneShot& row : rows) {
            std::string trace = "knobctl";
            for (const std::string& a : row.args)
                trace += " " + a;
            SCOPED_TRACE(trace);
            const ProgramResult r = Knobctl(row.args);
            EXPECT_EQ(r.status, row.status);
            EXPECT_EQ(r.out, row.out);
            EXPECT_EQ(r.err, row.err);
        }
    }

    tovik::test::TempDir _tmp{"knobctl-e2e"};
    const std::string _dir = _tmp.Path();
    std::string _home;
    ChildProcess _store;
    Config* _box = nullptr;
};

// The store, Portvane and one simulated converter that gets no wrapper, so
// every device slot stays empty.
class BoxSystemTest : public KnobctlSystemTest {
protected:
    void SetUp() override
    {
        KnobctlSystemTest::SetUp();
        StartStore();
        const std::string link = _dir + "/ttyCONV0";
        ASSERT_TRUE(_sim.Start({BuildProgram("tovik-convsim"), "--link", link, "--type", "7"}, _dir + "/sim.log"));
        ASSERT_TRUE(WaitUntil([&link] {
            struct stat st;
            return ::stat(link.c_str(), &st) == 0;
        }, 10000)) << _sim.Output();
        ASSERT_TRUE(_daemon.Start({BuildProgram("Portvane")}, _dir + "/portvane.log", {{"PORTVANE_SERIAL_PORTS", link}}));
        ASSERT_TRUE(WaitUntil([this] { return _daemon.Output().find("No mini found for pos") != std::string::npos; },
                              20000))
            << _daemon.Output();
    }

    void TearDown() override
    {
        if (HasFailure())
            std::fprintf(stderr, "--- Portvane ---\n%s\n", _daemon.Output().c_str());
        _daemon.Stop(SIGTERM, 10000);
        _sim.Stop(SIGTERM, 5000);
        KnobctlSystemTest::TearDown();
    }

    ChildProcess _sim;
    ChildProcess _daemon;
};

TEST_F(BoxSystemTest, OneShotTable)
{
    Table({
        {{"-get", "eParamID_DeviceCount"}, 0, "0\n", ""},
        {{"-get", "DeviceCount"}, 1, "", ""},
        {{"-get", "eParamID_Device_1_CxnStatus"}, 0, "1\n", ""},
        {{"-get", "eParamID_IPAddress"}, 0, "192.168.0.2\n", ""},
        {{"-set", "eParamID_IPConfig", "0x2"}, 0, "true\n", ""},
        {{"-get", "eParamID_IPConfig"}, 0, "2\n", ""},
        {{"-dump", "eParamID_IPConfig"}, 0, "eParamID_IPConfig == 2 (Static Addr)\n", ""},
        {{"-set", "eParamID_SystemName", "box a"}, 0, "true\n", ""},
        {{"-get", "eParamID_SystemName"}, 0, "box a\n", ""},
        {{"-set", "eParamID_IPConfig", "010"}, 0, "true\n", ""},
        {{"-get", "eParamID_IPConfig"}, 0, "8\n", ""},
        {{"-set", "eParamID_IPConfig", "twelve"}, 2, "false\n", "Invalid value twelve\n"},
        {{"-set", "IPConfig", "1"}, 1, "", ""},
        {{"-get"}, 255, "", ""},
        {{"-get", "a", "b"}, 255, "", ""},
        {{"-set", "eParamID_IPConfig"}, 255, "", ""},
        {{"-describe", "eParamID_DeviceCount"}, 0,
         "param: Device Count (eParamID_DeviceCount)\n"
         "min: 0\n"
         "max: 4\n"
         "default: 0\n"
         "adjust: 1\n"
         "scale: 1\n"
         "offset: 0\n"
         "precision: 0\n"
         "units: \n"
         "persistence: ephemeral\n"
         "presets: excluded\n"
         "factory reset: excluded\n"
         "classname: readonly\n",
         ""},
        {{"-describe", "Nope"}, 0, "Invalid paramID eParamID_Nope\n", ""},
        {{"-dump", "Nope"}, 0, "Invalid paramID eParamID_Nope\n", ""},
        {{"-h"}, 0, kUsage, ""},
        {{"--config", "5"}, 234, "", "Invalid config_id.  Range is 0 (main config) or 1..4\n"},
        {{"--config", "-1"}, 234, "", "Invalid config_id.  Range is 0 (main config) or 1..4\n"},
        {{"--mapped"}, 255, "", "main: --mapped requested, no mapper available\n"},
    });
}

TEST_F(BoxSystemTest, DumpOfEveryParameter)
{
    // With no name, or two words after it, every parameter is dumped.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"-dump"}, std::vector<std::string>{"-dump", "a", "b"}}) {
        SCOPED_TRACE(args.size());
        const ProgramResult r = Knobctl(args);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.out.find("eParamID_IPConfig == 1 (DHCP)\n"), 0u) << r.out;
        EXPECT_NE(r.out.find("\neParamID_DeviceCount == 0 \n"), std::string::npos);
        EXPECT_NE(r.out.find("\neParamID_Device_4_CxnStatus == 1 (No Device)\n"), std::string::npos);
    }
}

TEST_F(BoxSystemTest, StartupFileRunsBeforeTheOneShot)
{
    WriteConfigrc("hex\n");
    Table({{{"-get", "eParamID_Device_1_CxnStatus"}, 0, "hex\n0x1\n", ""}});
    // Its failures are reported, and the one-shot still runs.
    const std::string path = WriteConfigrc("bogus\nhex\n");
    Table({{{"-get", "eParamID_DeviceCount"},
            0,
            "bogus\nUnknown command bogus\n" + path + ":1: error: failed command bogus\n0\n",
            ""}});
}

TEST_F(BoxSystemTest, ConfigOptionWithMoreArgumentsOpensTheShellOnTheBox)
{
    const ProgramResult r = Knobctl({"--config", "2", "-get"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.find("config 0 (BRISCO)# "), 0u) << r.out;
}

TEST_F(BoxSystemTest, EmptySlotIsServedByPortvaneWithNoParameters)
{
    // The start-up file stops at the failing get; the shell then starts.
    const std::string path = WriteConfigrc("params\nget CxnStatus\nexit\n");
    Table({{{"--config", "1"},
            0,
            "params\nget CxnStatus\nInvalid paramID eParamID_CxnStatus\n" + path +
                ":2: error: failed command get CxnStatus\nconfig 1 (None)# ",
            ""}});
}

// A readline session on a terminal: prompt, completion of names and of
// enumeration items, history, and a watch event from another client.
TEST_F(BoxSystemTest, InteractiveSessionOnATerminal)
{
    TerminalSession shell;
    ASSERT_TRUE(shell.Start({BuildProgram("knobctl")}, {{"HOME", _home}, {"TERM", "dumb"}, {"INPUTRC", "/dev/null"}}));
    const int wait = 10000;
    ASSERT_TRUE(shell.WaitFor("config 0 (BRISCO)# ", wait)) << shell.Output();

    shell.Send("get DeviceCou\t");
    ASSERT_TRUE(shell.WaitFor("DeviceCount ", wait)) << shell.Output();
    shell.Send("\r");
    ASSERT_TRUE(shell.WaitFor("eParamID_DeviceCount == 0 ", wait)) << shell.Output();
    ASSERT_TRUE(shell.WaitFor("config 0 (BRISCO)# ", wait)) << shell.Output();

    // Ctrl-P brings the last line back.
    shell.Send("\x10\r");
    ASSERT_TRUE(shell.WaitFor("eParamID_DeviceCount == 0 ", wait)) << shell.Output();

    shell.Send("set IPConfig \t\t");
    ASSERT_TRUE(shell.WaitFor("1 (DHCP)", wait)) << shell.Output();
    ASSERT_TRUE(shell.WaitFor("2 (Static Addr)", wait)) << shell.Output();
    shell.Send("2\t");
    ASSERT_TRUE(shell.WaitFor(" (Static Addr) ", wait)) << shell.Output();
    shell.Send("\r");
    ASSERT_TRUE(shell.WaitFor("eParamID_IPConfig = 2", wait)) << shell.Output();

    shell.Send("watch SystemName\r");
    shell.Send("iswatched SystemName\r");
    ASSERT_TRUE(shell.WaitFor("eParamID_SystemName is watched", wait)) << shell.Output();
    ASSERT_NE(Box(), nullptr);
    ASSERT_TRUE(Box()->SetStringValue(tovikconfig::eParamID_SystemName, "changed elsewhere"));
    ASSERT_TRUE(shell.WaitFor("event: eParamID_SystemName = \"changed elsewhere\"", wait)) << shell.Output();

    shell.Send("exit\r");
    EXPECT_EQ(shell.Wait(wait), 0) << shell.Output();
}

// A script piped into the shell across a store outage: while the store is
// away a read still prints what it always printed (0, ""), exit status
// included, but each says on standard error that the value is unknown.
TEST_F(KnobctlSystemTest, PipedShellAcrossAStoreOutage)
{
    StartStore();
    ASSERT_NE(Box(), nullptr);
    ASSERT_TRUE(Box()->SetIntegerValue(tovikconfig::eParamID_DeviceCount, 3));
    ASSERT_TRUE(Box()->SetStringValue(tovikconfig::eParamID_SystemName, "before"));

    const std::string fifo = _dir + "/commands";
    const std::string out = _dir + "/knobctl.out";
    const std::string err = _dir + "/knobctl.err";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::ofstream(out).flush();
    std::ofstream(err).flush();
    // Opened for both ends, so the shell's open never waits for a writer.
    const int commands = ::open(fifo.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(commands, 0);
    ChildProcess shell;
    ASSERT_TRUE(shell.Spawn({BuildProgram("knobctl")}, {{"HOME", _home}, {"TERM", "dumb"}, {"INPUTRC", "/dev/null"}},
                            {fifo, out, err, -1, false}));
    const auto send = [commands](const std::string& lines) {
        return ::write(commands, lines.data(), lines.size()) == ssize_t(lines.size());
    };
    const auto written = [](const std::string& path, const std::string& text) {
        return WaitUntil([&] { return tovik::test::ReadFile(path).find(text) != std::string::npos; }, 10000);
    };
    const std::string reads = "get DeviceCount\nget SystemName\n";

    ASSERT_TRUE(send(reads));
    ASSERT_TRUE(written(out, "eParamID_SystemName == \"before\"\n")) << tovik::test::ReadFile(out);
    EXPECT_NE(tovik::test::ReadFile(out).find("eParamID_DeviceCount == 3 \n"), std::string::npos);

    _store.Stop(SIGTERM, 5000);
    ASSERT_TRUE(written(err, "(config 0) lost")) << tovik::test::ReadFile(err);
    const size_t before = tovik::test::ReadFile(out).size();
    ASSERT_TRUE(send(reads));
    ASSERT_TRUE(written(err, "paramlink: config 0 is not connected; eParamID_SystemName unknown\n"))
        << tovik::test::ReadFile(err);
    EXPECT_NE(tovik::test::ReadFile(err).find("paramlink: config 0 is not connected; eParamID_DeviceCount unknown\n"),
              std::string::npos);
    ASSERT_TRUE(written(out, "eParamID_SystemName == \"\"\n"));
    const std::string away = tovik::test::ReadFile(out).substr(before);
    const std::string asBefore = "get DeviceCount\neParamID_DeviceCount == 0 \n"
                                 "config 0 (BRISCO)# get SystemName\neParamID_SystemName == \"\"\n";
    const size_t echoed = away.find("get DeviceCount\n");
    ASSERT_NE(echoed, std::string::npos) << away;
    EXPECT_EQ(away.substr(echoed, asBefore.size()), asBefore) << "what the shell printed before the library said more";

    // A new store: the shell's link comes back and reads it.
    StartStore();
    ASSERT_TRUE(written(err, "(config 0) made again")) << tovik::test::ReadFile(err);
    ASSERT_TRUE(WaitUntil([this] { return ConfigConnected(Box()); }, 10000));
    ASSERT_TRUE(Box()->SetStringValue(tovikconfig::eParamID_SystemName, "after"));
    const std::string said = tovik::test::ReadFile(err);
    ASSERT_TRUE(send("get SystemName\n"));
    ASSERT_TRUE(written(out, "eParamID_SystemName == \"after\"\n")) << tovik::test::ReadFile(out);
    EXPECT_EQ(tovik::test::ReadFile(err), said) << "nothing more is unknown";

    ::close(commands);
    EXPECT_EQ(shell.Wait(10000), 0) << "the end of the script ends the shell as before";
}

class NoStoreTest : public KnobctlSystemTest {};

TEST_F(NoStoreTest, ConnectionFailures)
{
    for (const OneShot& row : std::vector<OneShot>{
             {{"-get", "eParamID_DeviceCount"}, 234, "", "Unable to connect to config # 0\n"},
             {{"--config", "1"}, 234, "", "Unable to connect to config # 1\n"},
             // The missing mapper is reported before the missing connection.
             {{"--mapped"}, 255, "", "main: --mapped requested, no mapper available\n"},
         }) {
        const ProgramResult r = Knobctl(row.args);
        EXPECT_EQ(r.status, row.status) << row.args[0];
        EXPECT_EQ(r.out, row.out) << row.args[0];
        // After the store library's own line about the refused connection.
        ASSERT_GE(r.err.size(), row.err.size()) << r.err;
        EXPECT_EQ(r.err.substr(r.err.size() - row.err.size()), row.err);
    }
}

TEST_F(NoStoreTest, ConverterStoreUnreachable)
{
    StartStore();
    ASSERT_NE(Box(), nullptr);
    ASSERT_TRUE(Box()->SetIntegerValue(tovikconfig::DeviceTypeParamID(2), 20));
    const ProgramResult r = Knobctl({"--config", "2"});
    EXPECT_EQ(r.status, 234);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("Unable to connect to config # 2\n"), std::string::npos) << r.err;
}

// Where a converter's config comes from: each backend serves config 1 on
// port 43111 and publishes the slot's type in the box's store. A
// Portvane-backed converter joins the list once the daemon builds
// wrappers for a model.
class ConverterBackend {
public:
    virtual ~ConverterBackend() = default;
    virtual void Start(Config* box) = 0;
    virtual tovikconfig::ViveRode_t Model() const = 0;
    virtual std::string ModelName() const = 0;
    // Makes the converter's own store forget its parameters, so it refuses
    // every set.
    virtual void ForgetParameters() = 0;
};

// libparamlink's server in this process, with the model's table.
class TestServerBackend : public ConverterBackend {
public:
    void Start(Config* box) override
    {
        Fill(Model());
        _server.reset(new velora::stackline::config::access::SocketServer(43111));
        ASSERT_TRUE(_server->Initialize());
        ASSERT_TRUE(_server->Start());
        ASSERT_TRUE(box->SetIntegerValue(tovikconfig::DeviceTypeParamID(1), int(Model())));
    }
    tovikconfig::ViveRode_t Model() const override { return 20; }
    std::string ModelName() const override { return "Quastel"; }
    void ForgetParameters() override { Fill(0); }

private:
    static void Fill(tovikconfig::ViveRode_t model)
    {
        DescriptorTable* table = DescriptorRegistry::GetDescriptorTable(1);
        table->clear();
        tovikconfig::TovikConfig::AddParamDescriptors(table, model);
    }

    std::unique_ptr<velora::stackline::config::access::SocketServer> _server;
};

std::unique_ptr<ConverterBackend> MakeBackend(const std::string& name)
{
    if (name == "TestServer")
        return std::unique_ptr<ConverterBackend>(new TestServerBackend);
    return nullptr;
}

class ConverterConfigTest : public KnobctlSystemTest, public ::testing::WithParamInterface<std::string> {
protected:
    void SetUp() override
    {
        KnobctlSystemTest::SetUp();
        StartStore();
        ASSERT_NE(Box(), nullptr);
        _backend = MakeBackend(GetParam());
        ASSERT_NE(_backend, nullptr);
        _backend->Start(Box());
    }

    void TearDown() override
    {
        _backend.reset();
        KnobctlSystemTest::TearDown();
    }

    std::unique_ptr<ConverterBackend> _backend;
};

TEST_P(ConverterConfigTest, ConfigrcDrivesTheConverterConfig)
{
    WriteConfigrc(
        "get CxnStatus\n"
        "set CxnStatus 3\n"
        "get eParamID_CxnStatus\n"
        "hex\n"
        "get CxnStatus\n"
        "exit\n"
        "get CxnStatus\n");
    Table({{{"--config", "1"},
            0,
            "get CxnStatus\n"
            "eParamID_CxnStatus == 1 (No Device)\n"
            "set CxnStatus 3\n"
            "eParamID_CxnStatus = 3\n"
            "get eParamID_CxnStatus\n"
            "eParamID_CxnStatus == 3 (Connection to module failed: (Unknown device))\n"
            "hex\n"
            "get CxnStatus\n"
            "eParamID_CxnStatus == 0x3 (Connection to module failed: (Unknown device))\n"
            "exit\n",
            ""}});
    // The box's store is untouched by the converter's set.
    EXPECT_EQ(Box()->GetIntegerValue(tovikconfig::DeviceCxnStatusParamID(1)), 1);
}

TEST_P(ConverterConfigTest, ThePromptNamesTheModel)
{
    const ProgramResult r = Knobctl({"--config", "1"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.find("config 1 (" + _backend->ModelName() + ")# "), 0u) << r.out;
}

TEST_P(ConverterConfigTest, DescribeAndWatchThroughTheStartupFile)
{
    WriteConfigrc("describe CxnStatus\nwatch CxnStatus\nwatches\nexit\n");
    const ProgramResult r = Knobctl({"--config", "1"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.find("describe CxnStatus\nparam: Device Connection Status (eParamID_CxnStatus)\n"), 0u)
        << r.out;
    EXPECT_NE(r.out.find("enum count: 15\nenum: Connected to module (0)\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\nwatch CxnStatus\nwatches\nwatching eParamID_CxnStatus\nexit\n"), std::string::npos)
        << r.out;
}

TEST_P(ConverterConfigTest, AStoreThatRefusesTheSet)
{
    _backend->ForgetParameters();
    const std::string path = WriteConfigrc("set CxnStatus 3\n");
    const ProgramResult r = Knobctl({"--config", "1"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.find("set CxnStatus 3\nset failed\n" + path + ":1: error: failed command set CxnStatus 3\n"),
              0u)
        << r.out;
}

INSTANTIATE_TEST_SUITE_P(Backends, ConverterConfigTest, ::testing::Values("TestServer"));

} // namespace
} // namespace knobtest
