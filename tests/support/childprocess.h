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

private:
    bool Spawn(const std::vector<std::string>& argv, const Environment& env, const std::string& logPath,
               int pipeEnd);
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

// <build>/bin/<name>, from TOVIK_BUILD_DIR.
std::string BuildProgram(const std::string& name);

// Runs a program to its end (bounded) and returns its standard output.
std::string RunAndCapture(const std::vector<std::string>& argv, int waitMs, int* exitStatus = nullptr);

// Occurrences of text in haystack.
int CountOf(const std::string& haystack, const std::string& text);

} // namespace test
} // namespace tovik

#endif
