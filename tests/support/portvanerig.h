// The built programs together, for system tests and benchmarks: the box's
// config-0 store, simulated converters (tovik-convsim, each with a control
// pipe) and Portvane on their links, all in one temporary directory and
// stopped when the rig goes. The store's ports are fixed: run it in a
// network namespace of its own.
//
//   PortvaneRig rig("tovik-recovery");
//   rig.StartStore();
//   rig.Plug("a", 5);
//   rig.StartDaemon();
//   rig.WaitForDeviceCount(1, 10000);
//   rig.Tell("a", "fault silence");
#ifndef TOVIK_TEST_PORTVANERIG_H
#define TOVIK_TEST_PORTVANERIG_H

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "childprocess.h"
#include "tempdir.h"

namespace tovik {
namespace test {

// The values of a config as tovik-storedump prints them ("name=value"
// lines), name to value; config 0 of the box's store when no options. The
// dump's exit status goes to *exitStatus when given.
std::map<std::string, std::string> StoreValues(const std::vector<std::string>& options = {},
                                               int* exitStatus = nullptr);

// One line to a simulator's control pipe; false when nobody reads it.
bool WriteControlLine(const std::string& pipe, const std::string& line);

class PortvaneRig {
public:
    explicit PortvaneRig(const std::string& prefix = "tovik-portvane");
    ~PortvaneRig();
    PortvaneRig(const PortvaneRig&) = delete;
    PortvaneRig& operator=(const PortvaneRig&) = delete;

    const TempDir& Dir() const { return _dir; }

    // The config-0 store, up and serving.
    bool StartStore();
    ChildProcess& Store() { return _store; }

    // A converter of the type on the link <dir>/<name>, with further
    // options; a name plugged before is plugged again.
    bool Plug(const std::string& name, int type, const std::vector<std::string>& options = {});
    // Ends the converter's program: its link goes.
    void Unplug(const std::string& name);
    // One line to the converter's control pipe.
    bool Tell(const std::string& name, const std::string& line);
    std::string Link(const std::string& name) const { return _dir.File(name); }
    ChildProcess* Converter(const std::string& name);

    // Portvane on the links of every converter plugged so far, in order; the
    // built program, or the one at program.
    bool StartDaemon(const std::string& program = std::string());
    ChildProcess& Daemon() { return _daemon; }
    std::string DaemonLog() const { return _daemon.Output(); }

    // Config 0 as the store dump prints it, name to value.
    std::map<std::string, std::string> Box() const;
    bool WaitForDeviceCount(int count, int waitMs) const;

private:
    struct Sim {
        std::string name;
        std::unique_ptr<ChildProcess> process;
    };
    Sim* Find(const std::string& name);

    TempDir _dir;
    ChildProcess _store;
    std::deque<Sim> _sims;
    ChildProcess _daemon;
    int _daemonStarts = 0;
};

} // namespace test
} // namespace tovik

#endif
