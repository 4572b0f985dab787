#include "portvanerig.h"

#include <csignal>
#include <fcntl.h>
#include <sstream>
#include <unistd.h>

namespace tovik {
namespace test {

PortvaneRig::PortvaneRig(const std::string& prefix) : _dir(prefix) {}

PortvaneRig::~PortvaneRig()
{
    _daemon.Stop(SIGKILL, 5000);
    for (Sim& sim : _sims)
        sim.process.reset();
    _store.Stop(SIGTERM, 5000);
}

bool PortvaneRig::StartStore()
{
    return _store.Start({BuildProgram("tovik-configstore")}, _dir.File("store.log")) &&
           WaitUntil([this] { return _store.Output().find("serving config 0") != std::string::npos; }, 10000);
}

PortvaneRig::Sim* PortvaneRig::Find(const std::string& name)
{
    for (Sim& sim : _sims)
        if (sim.name == name)
            return &sim;
    return nullptr;
}

ChildProcess* PortvaneRig::Converter(const std::string& name)
{
    Sim* sim = Find(name);
    return sim ? sim->process.get() : nullptr;
}

bool PortvaneRig::Plug(const std::string& name, int type, const std::vector<std::string>& options)
{
    Sim* sim = Find(name);
    if (!sim) {
        _sims.push_back({name, nullptr});
        sim = &_sims.back();
    }
    std::vector<std::string> argv = {BuildProgram("tovik-convsim"), "--link", Link(name), "--type",
                                     std::to_string(type), "--control", _dir.File(name + ".control")};
    argv.insert(argv.end(), options.begin(), options.end());
    sim->process.reset(new ChildProcess);
    return sim->process->Start(argv, _dir.File(name + ".log")) &&
           WaitUntil([this, &name] { return ::access(Link(name).c_str(), F_OK) == 0; }, 10000);
}

void PortvaneRig::Unplug(const std::string& name)
{
    if (Sim* sim = Find(name))
        sim->process.reset();
}

bool WriteControlLine(const std::string& pipe, const std::string& line)
{
    const int fd = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    const std::string text = line + "\n";
    const bool ok = ::write(fd, text.data(), text.size()) == ssize_t(text.size());
    ::close(fd);
    return ok;
}

bool PortvaneRig::Tell(const std::string& name, const std::string& line)
{
    return WriteControlLine(_dir.File(name + ".control"), line);
}

bool PortvaneRig::StartDaemon(const std::string& program)
{
    std::string ports;
    for (const Sim& sim : _sims)
        ports += (ports.empty() ? "" : ":") + Link(sim.name);
    if (ports.empty())
        ports = _dir.File("ttyNONE");
    const std::string log = _dir.File("portvane" + std::to_string(++_daemonStarts) + ".log");
    return _daemon.Start({program.empty() ? BuildProgram("Portvane") : program}, log,
                         {{"PORTVANE_SERIAL_PORTS", ports}});
}

std::map<std::string, std::string> StoreValues(const std::vector<std::string>& options, int* exitStatus)
{
    std::vector<std::string> argv = {BuildProgram("tovik-storedump")};
    argv.insert(argv.end(), options.begin(), options.end());
    std::map<std::string, std::string> values;
    std::istringstream lines(RunAndCapture(argv, 10000, exitStatus));
    std::string line;
    while (std::getline(lines, line)) {
        const size_t eq = line.find('=');
        if (eq != std::string::npos)
            values[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return values;
}

std::map<std::string, std::string> PortvaneRig::Box() const
{
    return StoreValues();
}

bool PortvaneRig::WaitForDeviceCount(int count, int waitMs) const
{
    const std::string wanted = std::to_string(count);
    return WaitUntil([&] { return Box()["eParamID_DeviceCount"] == wanted; }, waitMs);
}

} // namespace test
} // namespace tovik
