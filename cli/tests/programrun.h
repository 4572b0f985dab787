// Runs a program to its end with its standard output and error captured
// apart, or drives it through a pseudo-terminal as a user would.
#ifndef KNOBCTL_TEST_PROGRAMRUN_H
#define KNOBCTL_TEST_PROGRAMRUN_H

#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

namespace knobtest {

// Entries added to (or replacing) this process's environment.
using Environment = std::vector<std::pair<std::string, std::string>>;

struct ProgramResult {
    int status = -1;  // exit status, 128 + signal when killed
    std::string out;
    std::string err;
};

// Standard input reads /dev/null; env entries are added to (or replace)
// this process's environment. Killed after waitMs.
ProgramResult RunProgram(const std::vector<std::string>& argv, const Environment& env, int waitMs);

class PtySession {
public:
    PtySession() = default;
    ~PtySession();
    PtySession(const PtySession&) = delete;
    PtySession& operator=(const PtySession&) = delete;

    bool Start(const std::vector<std::string>& argv, const Environment& env);
    void Send(const std::string& keys);
    // Waits until the terminal output after the last match holds text; the
    // next search starts after it.
    bool WaitFor(const std::string& text, int waitMs);
    // Everything the program wrote to the terminal.
    const std::string& Output() const { return _output; }
    // The exit status once the program ends, -1 after waitMs.
    int Wait(int waitMs);

private:
    void Pump(int waitMs);

    pid_t _pid = -1;
    int _master = -1;
    int _status = -1;
    std::string _output;
    size_t _mark = 0;
};

} // namespace knobtest

#endif
