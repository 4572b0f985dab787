// Replays every daemon/models/<model>/replay/<case>.script (case
// <model>/<case>): the config-0 store, simulated converters and Portvane run
// as in the field, the script's client actions reach the store, and what
// tovik-storedump shows of the named configs must equal <case>.chk. With
// TOVIK_REPLAY_REBUILD=1 the output is written to the .chk instead
// (rebuild.sh).
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "childprocess.h"
#include "paramlink/config.h"
#include "paramlink/configfactory.h"
#include "paramlink/descriptortable.h"
#include "paramlink/valuekind.h"
#include "replayscript.h"
#include "tempdir.h"
#include "tovikconfig/paramdescriptor.h"
#include "tovikconfig/tovikconfig.h"

using tovik::test::BuildProgram;
using tovik::test::ChildProcess;
using tovik::test::PathExists;
using tovik::test::ReadFile;
using tovik::test::RunAndCapture;
using tovik::test::SourceDir;
using tovik::test::TempDir;
using tovik::test::WaitUntil;

namespace {

// Bound of every wait a script implies (sanitizer builds are slow).
const int kWaitMs = 20000;

std::string ModelsDir()
{
    return SourceDir() + "/daemon/models";
}

// A model's cases: <model>/replay/.
std::string ReplayDir(const std::string& model)
{
    return ModelsDir() + "/" + model + "/replay";
}

std::vector<std::string> Entries(const std::string& dir)
{
    std::vector<std::string> names;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (dirent* e = ::readdir(d))
            if (e->d_name[0] != '.')
                names.push_back(e->d_name);
        ::closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool IsDirectory(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}


struct Case {
    std::string model;
    std::string name;
    std::string Path() const { return ReplayDir(model) + "/" + name; }
};

std::vector<Case> Cases()
{
    std::vector<Case> cases;
    for (const std::string& model : Entries(ModelsDir())) {
        if (!IsDirectory(ReplayDir(model)))
            continue;
        for (const std::string& file : Entries(ReplayDir(model))) {
            const size_t dot = file.rfind(".script");
            if (dot != std::string::npos && dot + 7 == file.size())
                cases.push_back({model, file.substr(0, dot)});
        }
    }
    return cases;
}

std::string TestName(const ::testing::TestParamInfo<Case>& info)
{
    std::string name = info.param.model + "_" + info.param.name;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return name;
}

// "idname=value" lines of tovik-storedump, by id name, in its order.
using Values = std::vector<std::pair<std::string, std::string>>;

Values ParseDump(const std::string& text)
{
    Values values;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t eq = line.find('=');
        if (eq != std::string::npos && line.compare(0, 9, "eParamID_") == 0)
            values.emplace_back(line.substr(0, eq), line.substr(eq + 1));
    }
    return values;
}

class ReplayTest : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(_dir.empty());
    }

    void TearDown() override
    {
        if (_daemon.Pid() > 0)
            _daemon.Stop(SIGKILL, 5000);
        for (auto& c : _converters)
            c.second.process.reset();
        _store.Stop(SIGTERM, 5000);
        if (HasFailure())
            std::fprintf(stderr, "--- Portvane log ---\n%s\n", _daemon.Output().c_str());
    }

    struct Converter {
        std::vector<std::string> options;
        std::unique_ptr<ChildProcess> process;
    };

    std::string Link(const std::string& name) const { return _dir + "/" + name; }
    std::string ControlPipe(const std::string& name) const { return _dir + "/" + name + ".control"; }

    // The converter's status image changes from a register on.
    ::testing::AssertionResult SetStatus(const replay::Step& step)
    {
        std::string line = "reg";
        for (const std::string& word : step.args)
            line += " " + word;
        line += "\n";
        const int fd = ::open(ControlPipe(step.name).c_str(), O_WRONLY | O_NONBLOCK);
        const bool sent = fd >= 0 && ::write(fd, line.data(), line.size()) == ssize_t(line.size());
        if (fd >= 0)
            ::close(fd);
        if (!sent)
            return ::testing::AssertionFailure() << step.name << " is not plugged in";
        return ::testing::AssertionSuccess();
    }

    ::testing::AssertionResult Plug(const std::string& name, const std::vector<std::string>& options)
    {
        Converter& c = _converters[name];
        if (!options.empty())
            c.options = options;
        c.process.reset(new ChildProcess);
        std::vector<std::string> argv = {BuildProgram("tovik-convsim"), "--link", Link(name), "--control",
                                         ControlPipe(name)};
        argv.insert(argv.end(), c.options.begin(), c.options.end());
        if (!c.process->Start(argv, _dir + "/" + name + ".log"))
            return ::testing::AssertionFailure() << "cannot start the simulator of " << name;
        if (!WaitUntil([&] { return PathExists(Link(name)) || !c.process->Running(); }, kWaitMs) || !PathExists(Link(name)))
            return ::testing::AssertionFailure() << name << " did not come up: " << c.process->Output();
        return ::testing::AssertionSuccess();
    }

    ::testing::AssertionResult Unplug(const std::string& name)
    {
        Converter& c = _converters[name];
        if (c.process)
            c.process->Stop(SIGTERM, 5000);
        c.process.reset();
        if (!WaitUntil([&] { return !PathExists(Link(name)); }, kWaitMs))
            return ::testing::AssertionFailure() << name << " is still there";
        return ::testing::AssertionSuccess();
    }

    ::testing::AssertionResult StartDaemon()
    {
        if (!_store.Start({BuildProgram("tovik-configstore")}, _dir + "/store.log")
            || !WaitUntil([this] { return _store.Output().find("serving config 0") != std::string::npos; }, kWaitMs))
            return ::testing::AssertionFailure() << "the config-0 store did not start: " << _store.Output();
        std::string ports;
        for (const std::string& name : _order)
            ports += (ports.empty() ? "" : ":") + Link(name);
        if (ports.empty())
            ports = Link("ttyNONE");
        if (!_daemon.Start({BuildProgram("Portvane")}, _dir + "/portvane.log", {{"PORTVANE_SERIAL_PORTS", ports}}))
            return ::testing::AssertionFailure() << "cannot start Portvane";
        // The first scan ends at a free slot, or with the four slots taken.
        const bool scanned = WaitUntil(
            [this] {
                const std::string log = _daemon.Output();
                return log.find("No mini found for pos") != std::string::npos
                       || log.find("Rozo 3 added with config id 4") != std::string::npos;
            },
            kWaitMs);
        if (!scanned)
            return ::testing::AssertionFailure() << "Portvane did not finish its first scan";
        // wait-log looks at what the daemon writes from here on.
        _logSeen = _daemon.Output().size();
        return ::testing::AssertionSuccess();
    }

    ::testing::AssertionResult WaitForLog(const std::string& text)
    {
        size_t at = std::string::npos;
        WaitUntil(
            [&] {
                at = _daemon.Output().find(text, _logSeen);
                return at != std::string::npos;
            },
            kWaitMs);
        if (at == std::string::npos)
            return ::testing::AssertionFailure() << "no \"" << text << "\" in the log";
        _logSeen = at + text.size();
        return ::testing::AssertionSuccess();
    }

    // The store URL and model number of a config: the box, or the converter
    // model config 0 shows in the slot.
    std::string Url(int config) const
    {
        return config == 0 ? "socket://localhost:43110?caching=true&configid=0"
                           : "socket://localhost:43111?caching=true&configid=" + std::to_string(config);
    }

    int ModelOf(int config)
    {
        if (config == 0)
            return 1;
        const std::string type = "eParamID_Device_" + std::to_string(config) + "_Type";
        for (const auto& v : ParseDump(RunAndCapture({BuildProgram("tovik-storedump")}, kWaitMs)))
            if (v.first == type)
                return std::atoi(v.second.c_str());
        return 0;
    }

    Values Dump(int config, int* model = nullptr)
    {
        const int number = ModelOf(config);
        if (model)
            *model = number;
        int status = -1;
        const std::string out = RunAndCapture(
            {BuildProgram("tovik-storedump"), Url(config)}, kWaitMs, &status);
        EXPECT_EQ(status, 0) << out;
        return ParseDump(out);
    }

    ::testing::AssertionResult Set(const replay::Step& step)
    {
        const int model = ModelOf(step.config);
        Config* config = ConfigFactoryImpl::GetInstance()->CreateConfig(Url(step.config), "");
        if (!config)
            return ::testing::AssertionFailure() << "cannot connect to config " << step.config;
        DescriptorTable* table = DescriptorRegistry::GetDescriptorTable(config->GetConfigID());
        table->clear();
        tovikconfig::ViveRode_t number = tovikconfig::ViveRode_t(model);
        tovikconfig::TovikConfig::AddParamDescriptors(table, number);
        ParamDescriptor* descriptor = table->GetDescriptor(step.name);
        bool done = false;
        if (descriptor) {
            const eParam_t id = descriptor->GetParamID();
            switch (ResolveDescriptorKind(descriptor).kind) {
            case ValueKind::Integer:
                done = config->SetIntegerValue(id, std::atoi(step.value.c_str()));
                break;
            case ValueKind::String:
                done = config->SetStringValue(id, step.value);
                break;
            case ValueKind::Data:
                done = config->SetDataValue(id, step.value);
                break;
            }
        }
        ConfigFactoryImpl::GetInstance()->ReleaseConfig(config);
        if (!descriptor)
            return ::testing::AssertionFailure() << "config " << step.config << " (model " << model << ") has no "
                                                 << step.name;
        if (!done)
            return ::testing::AssertionFailure() << "the store refused " << step.name << "=" << step.value;
        return ::testing::AssertionSuccess();
    }

    ::testing::AssertionResult WaitForValue(const replay::Step& step)
    {
        std::string last = "(none)";
        const bool seen = WaitUntil(
            [&] {
                for (const auto& v : Dump(step.config))
                    if (v.first == step.name) {
                        last = v.second;
                        return v.second == step.value;
                    }
                return false;
            },
            kWaitMs);
        if (!seen)
            return ::testing::AssertionFailure() << step.name << " stays " << last << ", not " << step.value;
        return ::testing::AssertionSuccess();
    }

    void Run(const replay::Script& script, std::string& output)
    {
        for (const replay::Step& step : script.steps) {
            SCOPED_TRACE("script line " + std::to_string(step.line));
            switch (step.kind) {
            case replay::Step::Kind::Converter:
                _order.push_back(step.name);
                ASSERT_TRUE(Plug(step.name, step.args));
                break;
            case replay::Step::Kind::Plug:
                ASSERT_TRUE(Plug(step.name, step.args));
                break;
            case replay::Step::Kind::Unplug:
                ASSERT_TRUE(Unplug(step.name));
                break;
            case replay::Step::Kind::Start:
                ASSERT_TRUE(StartDaemon());
                break;
            case replay::Step::Kind::Wait:
                std::this_thread::sleep_for(std::chrono::milliseconds(step.ms));
                break;
            case replay::Step::Kind::WaitLog:
                ASSERT_TRUE(WaitForLog(step.value));
                break;
            case replay::Step::Kind::Set:
                ASSERT_TRUE(Set(step));
                break;
            case replay::Step::Kind::WaitValue:
                ASSERT_TRUE(WaitForValue(step));
                break;
            case replay::Step::Kind::Status:
                ASSERT_TRUE(SetStatus(step));
                break;
            case replay::Step::Kind::Dump: {
                int model = 0;
                const Values values = Dump(step.config, &model);
                output += "# config " + std::to_string(step.config) + " (model " + std::to_string(model) + ")\n";
                for (const auto& v : values) {
                    bool wanted = step.args.empty();
                    for (const std::string& pattern : step.args)
                        wanted = wanted || replay::NameMatches(pattern, v.first);
                    if (wanted)
                        output += v.first + "=" + v.second + "\n";
                }
                break;
            }
            }
        }
        // The daemon is still up and stops cleanly.
        ASSERT_TRUE(_daemon.Running()) << "Portvane ended during the script";
        EXPECT_EQ(_daemon.Stop(SIGTERM, kWaitMs), 0);
    }

    TempDir _tmp{"tovik-replay"};
    const std::string _dir = _tmp.Path();
    ChildProcess _store;
    ChildProcess _daemon;
    std::map<std::string, Converter> _converters;
    std::vector<std::string> _order;
    size_t _logSeen = 0;
};

TEST_P(ReplayTest, Case)
{
    const Case& c = GetParam();
    replay::Script script;
    std::string error;
    ASSERT_TRUE(replay::ParseScript(ReadFile(c.Path() + ".script"), script, &error)) << c.Path() << ".script " << error;
    std::string output;
    Run(script, output);
    if (HasFatalFailure())
        return;
    const std::string check = c.Path() + ".chk";
    const char* rebuild = std::getenv("TOVIK_REPLAY_REBUILD");
    if (rebuild && std::string(rebuild) == "1") {
        std::ofstream(check, std::ios::binary) << output;
        std::printf("wrote %s\n", check.c_str());
        return;
    }
    ASSERT_TRUE(PathExists(check)) << check << " is missing; tests/replay/rebuild.sh writes it";
    EXPECT_EQ(output, ReadFile(check)) << "differs from " << check;
}

INSTANTIATE_TEST_SUITE_P(Replay, ReplayTest, ::testing::ValuesIn(Cases()), TestName);

} // namespace
