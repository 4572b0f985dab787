// Runs a program of the build as a child with its standard output on a
// pipe, so a test can wait for its ready line and stop it.
#ifndef STORE_CHILDPROCESS_H
#define STORE_CHILDPROCESS_H

#include <sys/types.h>

#include <string>
#include <vector>

namespace storetest {

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Start(const std::string& program, const std::vector<std::string>& args);
    // The first output line that contains text, within timeoutMs.
    bool WaitForLine(const std::string& text, int timeoutMs, std::string* line = nullptr);
    // SIGTERM, then SIGKILL after timeoutMs; the exit status, or -1.
    int Stop(int timeoutMs = 5000);
    bool Running() const { return _pid > 0; }

private:
    pid_t _pid = -1;
    int _out = -1;
    std::string _pending;
};

// <build>/bin/<name>, from TOVIK_BUILD_DIR.
std::string BuildProgram(const std::string& name);

} // namespace storetest

#endif
