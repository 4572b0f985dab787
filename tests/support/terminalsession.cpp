#include "terminalsession.h"

#include "deadline.h"

#include <chrono>
#include <csignal>
#include <thread>

#include <sys/ioctl.h>

namespace tovik {
namespace test {

TerminalSession::~TerminalSession()
{
    _program.Stop(SIGKILL, 2000);
}

bool TerminalSession::Start(const std::vector<std::string>& argv, const ChildProcess::Environment& env)
{
    if (!_terminal.Ok())
        return false;
    struct winsize size {};
    size.ws_row = 24;
    size.ws_col = 80;
    ::ioctl(_terminal.Fd(), TIOCSWINSZ, &size);
    return _program.StartOnTerminal(argv, _terminal.SlavePath(), env);
}

void TerminalSession::Send(const std::string& keys)
{
    _terminal.Send(keys);
}

void TerminalSession::Pump(int waitMs)
{
    std::uint8_t buffer[4096];
    const int n = _terminal.ReadOnce(buffer, sizeof buffer, waitMs);
    if (n > 0)
        _output.append(reinterpret_cast<const char*>(buffer), size_t(n));
    else if (n != -2)
        std::this_thread::sleep_for(std::chrono::milliseconds(5)); // no slave open (yet or any more)
}

bool TerminalSession::WaitFor(const std::string& text, int waitMs)
{
    const Deadline until(waitMs);
    for (;;) {
        const size_t at = _output.find(text, _mark);
        if (at != std::string::npos) {
            _mark = at + text.size();
            return true;
        }
        const int left = until.LeftMs();
        if (left == 0)
            return false;
        Pump(left);
    }
}

int TerminalSession::Wait(int waitMs)
{
    const Deadline until(waitMs);
    for (;;) {
        // Keep reading, so the program never blocks on a full terminal.
        Pump(10);
        const int status = _program.Wait(0);
        if (status >= 0 || until.LeftMs() == 0)
            return status;
    }
}

} // namespace test
} // namespace tovik
