// A program started by a test, with its output in a file; stopped and
// reaped on destruction whatever happened.
#ifndef TOVIK_E2E_CHILDPROCESS_H
#define TOVIK_E2E_CHILDPROCESS_H

#include <sys/types.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Standard output and error both go to logPath. env entries are
    // added to (or replace) this process's environment.
    bool Start(const std::vector<std::string>& argv, const std::string& logPath,
               const std::vector<std::pair<std::string, std::string>>& env = {});
    pid_t Pid() const { return _pid; }
    bool Running();
    // Sends the signal and waits up to waitMs; then SIGKILL. The exit
    // status, 128 + signal when killed by one, -1 when not started.
    int Stop(int signal, int waitMs);
    std::string Output() const;

private:
    pid_t _pid = -1;
    int _status = -1;
    std::string _log;
};

// Polls until the condition holds or waitMs pass.
bool WaitUntil(const std::function<bool()>& condition, int waitMs);

// Runs a program to its end (bounded) and returns its standard output.
std::string RunAndCapture(const std::vector<std::string>& argv, int waitMs, int* exitStatus = nullptr);

// Occurrences of text in haystack.
int CountOf(const std::string& haystack, const std::string& text);

#endif
