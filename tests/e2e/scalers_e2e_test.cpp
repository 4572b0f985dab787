// The four ROI scaler models end to end: the config-0 store, Portvane and
// one simulated converter of each model. Clients reach the converters
// through the store; the converters' memory and status change under them.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "childprocess.h"
#include "portvanerig.h"
#include "tempdir.h"
#include "paramlink/config.h"
#include "paramlink/configfactory.h"
#include "paramlink/descriptortable.h"
#include "tovikconfig/paramdescriptor.h"
#include "tovikconfig/tovikconfig.h"

using tovik::test::BuildProgram;
using tovik::test::ChildProcess;
using tovik::test::CountOf;
using tovik::test::RunAndCapture;
using tovik::test::WaitUntil;

namespace {

using Clock = std::chrono::steady_clock;

long long MsSince(Clock::time_point t)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

struct Model {
    int type;
    int number; // published as the slot's type, and the descriptor table
    const char* name;
    const char* word; // in the names of the input parameters
};

// In the order of the ports, so slot n holds kModels[n - 1].
const Model kModels[] = {
    {5, 6, "HESTRA", "Dvi"}, {14, 15, "MARDEX", "Dp"}, {18, 19, "PENDRO", "Dvi"}, {19, 20, "QUASTEL", "Hdmi"}};

// Records when string values of one config arrive.
class Recorder : public ConfigEventListener {
public:
    int StringChanged(eParam_t id, std::string& value, timeval) override
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _values[id] = value;
        _when[id] = Clock::now();
        return 0;
    }
    int IntegerChanged(eParam_t id, int value, timeval) override
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _values[id] = std::to_string(value);
        _when[id] = Clock::now();
        return 0;
    }
    bool Has(eParam_t id, const std::string& value, Clock::time_point* when = nullptr)
    {
        std::lock_guard<std::mutex> lock(_mutex);
        auto it = _values.find(id);
        if (it == _values.end() || it->second != value)
            return false;
        if (when)
            *when = _when[id];
        return true;
    }

private:
    std::mutex _mutex;
    std::map<eParam_t, std::string> _values;
    std::map<eParam_t, Clock::time_point> _when;
};

// A client of one converter config, with the model's descriptors.
class Client {
public:
    Client(int slot, int modelNumber)
    {
        const std::string url = "socket://localhost:43111?caching=true&configid=" + std::to_string(slot);
        DescriptorTable* table = DescriptorRegistry::GetDescriptorTable(slot);
        table->clear();
        tovikconfig::TovikConfig::AddParamDescriptors(table, tovikconfig::ViveRode_t(modelNumber));
        _config = ConfigFactoryImpl::GetInstance()->CreateConfig(url, "");
        if (_config)
            _config->AddEventListener(&_recorder);
    }
    ~Client()
    {
        if (_config) {
            _config->RemoveEventListener(&_recorder);
            ConfigFactoryImpl::GetInstance()->ReleaseConfig(_config);
        }
    }
    bool Ok() const { return _config != nullptr; }
    eParam_t Id(const std::string& name)
    {
        ParamDescriptor* d = _config->GetParamDescriptor(name);
        return d ? d->GetParamID() : eParam_t(0);
    }
    bool SetInt(const std::string& name, int value) { return _config->SetIntegerValue(Id(name), value); }
    std::string String(const std::string& name)
    {
        std::string value;
        _config->GetStringValue(Id(name), value);
        return value;
    }
    Recorder& Events() { return _recorder; }

private:
    Config* _config = nullptr;
    Recorder _recorder;
};

class ScalersSystemTest : public ::testing::Test {
protected:
    struct Sim {
        std::string name;
        std::unique_ptr<ChildProcess> process;
    };

    void SetUp() override
    {
        ASSERT_FALSE(_dir.empty());
        ASSERT_TRUE(_store.Start({BuildProgram("tovik-configstore")}, _dir + "/store.log"));
        ASSERT_TRUE(WaitUntil([this] { return _store.Output().find("serving config 0") != std::string::npos; }, 10000));
        for (const Model& m : kModels) {
            _sims.push_back({std::string("tty") + m.name, nullptr});
            Plug(_sims.back(), m.type);
        }
        std::string ports;
        for (const Sim& s : _sims)
            ports += (ports.empty() ? "" : ":") + Link(s.name);
        ASSERT_TRUE(_daemon.Start({BuildProgram("Portvane")}, _dir + "/portvane.log", {{"PORTVANE_SERIAL_PORTS", ports}}));
        ASSERT_TRUE(WaitUntil([this] { return Box()["eParamID_DeviceCount"] == "4"; }, 30000)) << _daemon.Output();
    }

    void TearDown() override
    {
        if (_daemon.Pid() > 0)
            _daemon.Stop(SIGKILL, 5000);
        for (Sim& s : _sims)
            s.process.reset();
        _store.Stop(SIGTERM, 5000);
        if (HasFailure())
            std::fprintf(stderr, "--- Portvane log ---\n%s\n", _daemon.Output().c_str());
    }

    std::string Link(const std::string& name) const { return _dir + "/" + name; }
    std::string Pipe(const std::string& name) const { return _dir + "/" + name + ".control"; }

    void Plug(Sim& sim, int type)
    {
        sim.process.reset(new ChildProcess);
        ASSERT_TRUE(sim.process->Start({BuildProgram("tovik-convsim"), "--link", Link(sim.name), "--type",
                                        std::to_string(type), "--control", Pipe(sim.name), "--dump"},
                                       _dir + "/" + sim.name + ".log"));
        ASSERT_TRUE(WaitUntil([&] { return ::access(Link(sim.name).c_str(), F_OK) == 0; }, 10000));
    }

    bool Tell(const Sim& sim, const std::string& line) { return tovik::test::WriteControlLine(Pipe(sim.name), line); }

    // The converter's configuration memory as its last dump line shows it.
    std::vector<int> Memory(const Sim& sim)
    {
        const std::string out = sim.process->Output();
        const size_t at = out.rfind("config 0/0: ");
        std::vector<int> bytes;
        if (at == std::string::npos)
            return bytes;
        std::istringstream hex(out.substr(at + 12, out.find('\n', at) - at - 12));
        std::string word;
        while (hex >> word)
            bytes.push_back(std::stoi(word, nullptr, 16));
        return bytes;
    }

    std::map<std::string, std::string> Box() { return tovik::test::StoreValues(); }

    tovik::test::TempDir _tmp{"tovik-scalers"};
    const std::string _dir = _tmp.Path();
    ChildProcess _store;
    ChildProcess _daemon;
    std::vector<Sim> _sims;
};

TEST_F(ScalersSystemTest, SlotsRegionsStatusAndLoss)
{
    // Every converter has its slot, published in config 0.
    std::map<std::string, std::string> box = Box();
    for (int slot = 1; slot <= 4; ++slot) {
        const Model& m = kModels[slot - 1];
        const std::string p = "eParamID_Device_" + std::to_string(slot) + "_";
        EXPECT_EQ(box[p + "Type"], std::to_string(m.number)) << slot;
        char serial[16];
        std::snprintf(serial, sizeof serial, "SIM%02d001", m.type);
        EXPECT_EQ(box[p + "SN"], serial) << slot;
        EXPECT_EQ(box[p + "Name"], m.name) << slot;
        EXPECT_EQ(box[p + "CxnStatus"], "0") << slot;
    }

    std::vector<std::unique_ptr<Client>> clients;
    for (int slot = 1; slot <= 4; ++slot) {
        clients.emplace_back(new Client(slot, kModels[slot - 1].number));
        ASSERT_TRUE(clients.back()->Ok()) << slot;
    }

    // A region coordinate a client sets reaches the converter's memory, once
    // the selection is free. Pendro's fit step only streams into the live
    // registers, so its fit falls back to Auto Scale at the reread that
    // follows the change, and the selection shows free again only after the
    // configuration timer's reread.
    for (int slot = 1; slot <= 4; ++slot) {
        SCOPED_TRACE(kModels[slot - 1].name);
        Client& c = *clients[slot - 1];
        ASSERT_TRUE(c.SetInt("eParamID_CfgInMode", 1));
        if (kModels[slot - 1].type == 18)
            ::usleep(2500 * 1000);
        else
            ASSERT_TRUE(WaitUntil([&] { return c.Events().Has(c.Id("eParamID_CfgOutMode"), "1"); }, 5000));
        ASSERT_TRUE(c.Events().Has(c.Id("eParamID_CfgInMode"), "1"));
        const Clock::time_point set = Clock::now();
        ASSERT_TRUE(c.SetInt("eParamID_CfgInX", 100));
        // Register 6 holds the low byte of the input region's left edge.
        const bool reached = WaitUntil(
            [&] {
                const std::vector<int> memory = Memory(_sims[size_t(slot - 1)]);
                return memory.size() == 41 && memory[3] == 100 && (memory[4] >> 4) == 0;
            },
            5000);
        EXPECT_TRUE(reached);
        EXPECT_LE(MsSince(set), 2500);
    }

    // A status change on a converter reaches the clients.
    for (int slot = 1; slot <= 4; ++slot) {
        SCOPED_TRACE(kModels[slot - 1].name);
        Client& c = *clients[slot - 1];
        const eParam_t id = c.Id(std::string("eParamID_Image") + kModels[slot - 1].word + "InEnabled");
        ASSERT_NE(id, eParam_t(0));
        const Clock::time_point changed = Clock::now();
        ASSERT_TRUE(Tell(_sims[size_t(slot - 1)], "reg 43 0x00"));
        Clock::time_point seen;
        ASSERT_TRUE(WaitUntil([&] { return c.Events().Has(id, "Disconnected", &seen); }, 5000));
        EXPECT_LE(std::chrono::duration_cast<std::chrono::milliseconds>(seen - changed).count(), 2000);
        ASSERT_TRUE(Tell(_sims[size_t(slot - 1)], "reg 43 0x80"));
    }

    // Unplugged, a converter frees its slot; plugged in again, it is bound
    // again.
    _sims[1].process->Stop(SIGTERM, 5000);
    ASSERT_TRUE(WaitUntil([this] { return Box()["eParamID_DeviceCount"] == "3"; }, 10000)) << _daemon.Output();
    box = Box();
    EXPECT_EQ(box["eParamID_Device_2_Type"], "0");
    EXPECT_EQ(box["eParamID_Device_2_SN"], "");
    EXPECT_EQ(box["eParamID_Device_1_Type"], "6");
    Plug(_sims[1], kModels[1].type);
    ASSERT_TRUE(WaitUntil([this] { return Box()["eParamID_DeviceCount"] == "4"; }, 15000)) << _daemon.Output();
    box = Box();
    EXPECT_EQ(box["eParamID_Device_2_Type"], "15");
    EXPECT_EQ(box["eParamID_Device_2_Name"], "MARDEX");

    // A converter that stops answering in the middle of its polling is let
    // go; the others are still served.
    ASSERT_TRUE(Tell(_sims[2], "fault silence"));
    ASSERT_TRUE(WaitUntil([this] { return Box()["eParamID_DeviceCount"] == "3"; }, 15000)) << _daemon.Output();
    EXPECT_EQ(Box()["eParamID_Device_3_Type"], "0");
    EXPECT_TRUE(_daemon.Running());
    Client& quastel = *clients[3];
    const eParam_t ref = quastel.Id("eParamID_RefImageInputStatus");
    ASSERT_TRUE(Tell(_sims[3], "reg 42 0xC5"));
    EXPECT_TRUE(WaitUntil([&] { return quastel.Events().Has(ref, "1080p25"); }, 5000));

    ASSERT_TRUE(_daemon.Running());
    EXPECT_EQ(_daemon.Stop(SIGTERM, 10000), 0) << _daemon.Output();
}

} // namespace
