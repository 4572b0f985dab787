// Model wrappers built on simulated converters for tests: a converter on a
// pseudo-terminal with an identified engine for the wrapper to own, the
// wrapper's pending state, flags and timer in reach, and the register
// commands the converter received.
#ifndef PORTVANE_MODELS_TESTS_WRAPPERTESTING_H
#define PORTVANE_MODELS_TESTS_WRAPPERTESTING_H

#include <functional>
#include <memory>
#include <vector>

#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include "catalog/assemblyrecords.h"
#include "catalog/cmoduletype.h"
#include "convsim/personality.h"
#include "convsim/simulator.h"
#include "devicewrapper.h"
#include "engine/ccmdengine.h"
#include "modeldirectory.h"
#include "linkrig.h"

namespace wrappertesting {

using tovik::test::CopyShippedTypes;
using tovik::test::EngineRig;

// The protected inside of any model wrapper.
class Inside : public DeviceWrapper {
public:
    static ConfigDeviceState_t& State(DeviceWrapper* w) { return w->*(&Inside::_state); }
    static bool& Busy(DeviceWrapper* w) { return w->*(&Inside::_busy); }
    static bool& Connected(DeviceWrapper* w) { return w->*(&Inside::_connected); }
    static QTimer* Timer(DeviceWrapper* w) { return w->*(&Inside::_statusTimer); }
    static CConfigBlockIF* Block(DeviceWrapper* w) { return w->*(&Inside::_configBlock); }
    static CCmdEngine* Engine(DeviceWrapper* w) { return w->*(&Inside::_engine); }
};

// Builds a wrapper class as the device factory would.
template <class W>
DeviceWrapper* Make(CCmdEngine* engine, AssemblyRecords* records, CModuleType* moduleRecord, QObject* parent)
{
    return new W(engine, records, moduleRecord, parent);
}

// One simulated converter, an engine identified on it and the wrapper built
// on that engine; the wrapper goes before the converter.
class LinkedWrapper {
public:
    explicit LinkedWrapper(const convsim::Personality& personality)
        : _rig(TypesOf(personality.moduleType)), _sim(&_rig.Add(personality))
    {
        _opened = _rig.Engine().Open(QString());
    }

    // 0 when the engine identified the converter.
    int OpenResult() const { return _opened; }
    convsim::Simulator& Sim() { return *_sim; }

    // Builds the wrapper, which takes the engine and starts the device.
    DeviceWrapper* Build(WrapperMaker make)
    {
        _wrapper.reset(make(_rig.ReleaseEngine(), new AssemblyRecords, new CModuleType, nullptr));
        return _wrapper.get();
    }
    template <class W>
    W* Build()
    {
        return static_cast<W*>(Build(&Make<W>));
    }
    DeviceWrapper* Wrapper() const { return _wrapper.get(); }

private:
    // A resource folder with the converter's own type files only: the
    // engine reads every description it finds.
    QString TypesOf(int moduleType)
    {
        const QString folder = QString::fromStdString(convsim::ModuleTypeName(moduleType)).toLower();
        EXPECT_TRUE(_types.isValid() && CopyShippedTypes(_types.path(), QStringList{folder})) << moduleType;
        return _types.path();
    }

    QTemporaryDir _types;
    EngineRig _rig;
    convsim::Simulator* _sim;
    int _opened = -1;
    std::unique_ptr<DeviceWrapper> _wrapper;
};

// The update guard: busy, not connected, or the engine's link closed, the
// update runs with no converter command and no change to the pending state.
// The flags are set back to idle and connected afterwards.
inline void ExpectUpdateGuarded(DeviceWrapper* w, const convsim::Simulator& sim, const std::function<void()>& update)
{
    const ConfigDeviceState_t before = Inside::State(w);
    const struct {
        const char* name;
        bool busy, connected, engineLink;
    } guards[] = {{"busy", true, true, true}, {"not connected", false, false, true}, {"link closed", false, true, false}};
    for (const auto& g : guards) {
        SCOPED_TRACE(g.name);
        Inside::Busy(w) = g.busy;
        Inside::Connected(w) = g.connected;
        Inside::Engine(w)->SetConnected(g.engineLink);
        const size_t commands = sim.Log().size();
        update();
        EXPECT_EQ(Inside::State(w), before);
        EXPECT_EQ(sim.Log().size(), commands);
    }
    Inside::Busy(w) = false;
    Inside::Connected(w) = true;
    Inside::Engine(w)->SetConnected(true);
}

// One register read (0x9E) or write (0x9D) a converter received.
struct RegisterCommand {
    bool write;
    uint32_t address;
    unsigned count;
    convsim::Bytes data; // what a write carried
    bool refused;        // answered with a failure
};

inline std::vector<RegisterCommand> RegisterCommands(const std::vector<convsim::LogEntry>& log)
{
    std::vector<RegisterCommand> commands;
    for (const convsim::LogEntry& e : log) {
        const convsim::Bytes& b = e.bytes;
        if ((e.code != 0x9D && e.code != 0x9E) || b.size() < 10)
            continue;
        RegisterCommand c;
        c.write = e.code == 0x9D;
        c.address = uint32_t(b[5]) << 24 | uint32_t(b[6]) << 16 | uint32_t(b[7]) << 8 | b[8];
        c.count = b[9];
        if (c.write)
            c.data.assign(b.begin() + 10, b.end());
        c.refused = e.answer.size() < 4 || e.answer[3] != 0;
        commands.push_back(c);
    }
    return commands;
}

// The codes of the commands after the first from entries of the log.
inline std::vector<int> CodesSince(const convsim::Simulator& sim, size_t from)
{
    std::vector<int> codes;
    const std::vector<convsim::LogEntry> log = sim.Log();
    for (size_t i = from; i < log.size(); ++i)
        codes.push_back(log[i].code);
    return codes;
}

inline std::vector<convsim::LogEntry> LogSince(const convsim::Simulator& sim, size_t from)
{
    const std::vector<convsim::LogEntry> log = sim.Log();
    return std::vector<convsim::LogEntry>(log.begin() + long(std::min(from, log.size())), log.end());
}

} // namespace wrappertesting

#endif
