#include "convsim/controlchannel.h"

#include "convsim/fault.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace convsim {

namespace {

bool ParseNumber(const std::string& text, unsigned long max, unsigned long& out)
{
    if (text.empty() || text[0] == '-' || text[0] == '+')
        return false;
    errno = 0;
    char* end = nullptr;
    const unsigned long v = std::strtoul(text.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || v > max)
        return false;
    out = v;
    return true;
}

} // namespace

bool RunControlCommand(Simulator& sim, const std::string& line, std::string* error)
{
    std::istringstream in(line);
    std::string command;
    in >> command;
    if (command == "reg") {
        std::string word;
        unsigned long addr = 0;
        if (!(in >> word) || !ParseNumber(word, 0xFFFFFFFFul, addr)) {
            *error = "reg: expected an address";
            return false;
        }
        Bytes bytes;
        while (in >> word) {
            unsigned long v = 0;
            if (!ParseNumber(word, 0xFF, v)) {
                *error = "reg: not a byte: " + word;
                return false;
            }
            bytes.push_back(uint8_t(v));
        }
        if (bytes.empty()) {
            *error = "reg: expected bytes";
            return false;
        }
        if (!sim.WriteRegisters(1, 0, uint32_t(addr), bytes)) {
            *error = "reg: register space full";
            return false;
        }
        return true;
    }
    if (command == "fault") {
        std::string text;
        Fault f;
        if (!(in >> text) || !ParseFault(text, f, error)) {
            if (error->empty())
                *error = "fault: expected a fault";
            return false;
        }
        sim.AddFault(f);
        return true;
    }
    if (command == "clearfaults") {
        sim.ClearFaults();
        return true;
    }
    if (command == "replug") {
        std::string word;
        unsigned long pauseMs = 0;
        if (in >> word && !ParseNumber(word, kMaxReplugPauseMs, pauseMs)) {
            *error = "replug: not a pause in ms up to " + std::to_string(kMaxReplugPauseMs) + ": " + word;
            return false;
        }
        // The same converter on a fresh pseudo-terminal at the same link.
        const std::string link = sim.LinkPath();
        sim.Stop();
        if (pauseMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
        return sim.Start(link, error);
    }
    *error = "unknown command: " + command;
    return false;
}

ControlChannel::~ControlChannel()
{
    Close();
}

bool ControlChannel::Open(const std::string& path, std::string* error)
{
    Close();
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0 && S_ISFIFO(st.st_mode))
        ::unlink(path.c_str());
    if (::mkfifo(path.c_str(), 0600) != 0) {
        *error = "cannot make " + path + ": " + std::strerror(errno);
        return false;
    }
    _fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (_fd >= 0)
        _keepOpen = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (_fd < 0 || _keepOpen < 0) {
        *error = "cannot open " + path + ": " + std::strerror(errno);
        Close();
        ::unlink(path.c_str());
        return false;
    }
    _path = path;
    return true;
}

void ControlChannel::Close()
{
    if (_fd >= 0)
        ::close(_fd);
    if (_keepOpen >= 0)
        ::close(_keepOpen);
    if (!_path.empty())
        ::unlink(_path.c_str());
    _fd = -1;
    _keepOpen = -1;
    _path.clear();
    _pending.clear();
    _discarding = false;
}

void ControlChannel::Poll(Simulator& sim)
{
    if (_fd < 0)
        return;
    char buffer[1024];
    for (;;) {
        const ssize_t n = ::read(_fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        for (ssize_t i = 0; i < n; ++i) {
            const char c = buffer[i];
            if (c != '\n') {
                if (_pending.size() >= kMaxLine) {
                    _pending.clear();
                    _discarding = true;
                }
                if (!_discarding)
                    _pending.push_back(c);
                continue;
            }
            if (_discarding) {
                std::fprintf(stderr, "tovik-convsim: control line too long, dropped\n");
            } else if (_pending.find_first_not_of(" \t\r") != std::string::npos) {
                std::string error;
                if (!RunControlCommand(sim, _pending, &error))
                    std::fprintf(stderr, "tovik-convsim: control: %s\n", error.c_str());
            }
            _pending.clear();
            _discarding = false;
        }
    }
}

} // namespace convsim
