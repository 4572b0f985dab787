#include "childprocess.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace storetest {

std::string BuildProgram(const std::string& name)
{
    const char* dir = std::getenv("TOVIK_BUILD_DIR");
    return std::string(dir ? dir : ".") + "/bin/" + name;
}

ChildProcess::~ChildProcess() { Stop(2000); }

bool ChildProcess::Start(const std::string& program, const std::vector<std::string>& args)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (rc != 0) {
        close(fds[0]);
        return false;
    }
    _pid = pid;
    _out = fds[0];
    return true;
}

bool ChildProcess::WaitForLine(const std::string& text, int timeoutMs, std::string* line)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        size_t nl;
        while ((nl = _pending.find('\n')) != std::string::npos) {
            std::string l = _pending.substr(0, nl);
            _pending.erase(0, nl + 1);
            if (l.find(text) != std::string::npos) {
                if (line)
                    *line = l;
                return true;
            }
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0 || _out < 0)
            return false;
        pollfd p{_out, POLLIN, 0};
        if (poll(&p, 1, int(left)) <= 0)
            continue;
        char buf[512];
        ssize_t n = read(_out, buf, sizeof buf);
        if (n <= 0)
            return false;
        _pending.append(buf, size_t(n));
    }
}

int ChildProcess::Stop(int timeoutMs)
{
    if (_pid <= 0)
        return -1;
    kill(_pid, SIGTERM);
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    pid_t r = 0;
    while ((r = waitpid(_pid, &status, WNOHANG)) == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (r == 0) {
        kill(_pid, SIGKILL);
        waitpid(_pid, &status, 0);
        status = -1;
    }
    _pid = -1;
    if (_out >= 0)
        close(_out);
    _out = -1;
    if (status == -1)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace storetest
