// A program started by a test: its output either in a file or on a pipe a
// test reads line by line; stopped and reaped on destruction whatever
// happened.
#ifndef TOVIK_TEST_CHILDPROCESS_H
#define TOVIK_TEST_CHILDPROCESS_H

#include <sys/types.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "testpaths.h"

namespace tovik {
namespace test {

class ChildProcess {
public:
    using Environment = std::vector<std::pair<std::string, std::string>>;

    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // argv[0] is the program's path. Standard output and error both go to
    // logPath (emptied first), standard input reads /dev/null; env entries
    // are added to (or replace) this process's environment.
    bool Start(const std::vector<std::string>& argv, const std::string& logPath, const Environment& env = {});
    // Standard output on a pipe for WaitForLine; error and input inherited.
    bool StartPiped(const std::vector<std::string>& argv);
    // In a session of its own with the terminal at terminalPath (a
    // PseudoTerminal's slave) as its controlling terminal and standard
    // input, output and error.
    bool StartOnTerminal(const std::vector<std::string>& argv, const std::string& terminalPath,
                         const Environment& env = {});

    // The first piped output line that contains text, within waitMs.
    bool WaitForLine(const std::string& text, int waitMs, std::string* line = nullptr);
    // What the program has written to its log file so far.
    std::string Output() const;

    pid_t Pid() const { return _pid; }
    bool Running();
    void Signal(int signal);
    // The exit status (128 + signal when ended by one) once the program has
    // ended, waiting up to waitMs; -1 when it is still running.
    int Wait(int waitMs);
    // Sends the signal and waits up to waitMs; then SIGKILL. The exit
    // status as Wait gives it (128 + SIGKILL when killed), -1 when never
    // started.
    int Stop(int signal, int waitMs);

    // Where the standard streams go: files by path (stdin empty: inherited;
    // err empty: with the output), the output on a descriptor when outFd is
    // set, or all three on one terminal in a new session.
    struct Streams {
        std::string in = "/dev/null";
        std::string out;
        std::string err;
        int outFd = -1;
        bool session = false;
    };
    bool Spawn(const std::vector<std::string>& argv, const Environment& env, const Streams& streams);

private:
    void CloseOutput();

    pid_t _pid = -1;
    int _status = -1;
    std::string _log;
    int _out = -1;
    std::string _pending;
};

// This process's environment with the given entries added or replaced.
std::vector<std::string> MergedEnvironment(const ChildProcess::Environment& env);
// Pointers to the strings and a final null, as exec takes them.
std::vector<char*> Pointers(std::vector<std::string>& strings);

// Polls until the condition holds or waitMs pass.
bool WaitUntil(const std::function<bool()>& condition, int waitMs);

// Runs a program to its end (killed after waitMs) and returns its standard
// output and error as written.
std::string RunAndCapture(const std::vector<std::string>& argv, int waitMs, int* exitStatus = nullptr);

struct ProgramResult {
    int status = -1; // exit status, 128 + signal when killed
    std::string out;
    std::string err;
};
// Runs a program to its end (killed after waitMs), its standard output and
// error captured apart; standard input reads /dev/null.
ProgramResult RunProgram(const std::vector<std::string>& argv, const ChildProcess::Environment& env, int waitMs);

// A whole file, empty when it cannot be read.
std::string ReadFile(const std::string& path);

// Occurrences of text in haystack.
int CountOf(const std::string& haystack, const std::string& text);

} // namespace test
} // namespace tovik

#endif
