// A program driven through a pseudo-terminal as a user at a terminal would
// drive it (line editing, prompts): keys in, screen output collected.
#ifndef TOVIK_TEST_TERMINALSESSION_H
#define TOVIK_TEST_TERMINALSESSION_H

#include <string>
#include <vector>

#include "childprocess.h"
#include "pseudoterminal.h"

namespace tovik {
namespace test {

class TerminalSession {
public:
    TerminalSession() = default;
    ~TerminalSession();
    TerminalSession(const TerminalSession&) = delete;
    TerminalSession& operator=(const TerminalSession&) = delete;

    // Starts the program on a fresh 80x24 terminal.
    bool Start(const std::vector<std::string>& argv, const ChildProcess::Environment& env = {});
    void Send(const std::string& keys);
    // Waits until the output after the last match holds text; the next
    // search starts after it.
    bool WaitFor(const std::string& text, int waitMs);
    // Everything the program wrote to the terminal.
    const std::string& Output() const { return _output; }
    // The exit status once the program ends, -1 after waitMs.
    int Wait(int waitMs);

private:
    void Pump(int waitMs);

    PseudoTerminal _terminal;
    ChildProcess _program;
    std::string _output;
    size_t _mark = 0;
};

} // namespace test
} // namespace tovik

#endif
