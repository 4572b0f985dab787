#include "programrun.h"

#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <pty.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "childprocess.h"

namespace knobtest {

namespace {

int StatusOf(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status); }

// Waits for the child up to waitMs, then kills it. Its status.
int Reap(pid_t pid, int waitMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    int status = 0;
    for (;;) {
        const pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid)
            return StatusOf(status);
        if (r < 0)
            return -1;
        if (std::chrono::steady_clock::now() > end) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return StatusOf(status);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

std::string ReadWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

ProgramResult RunProgram(const std::vector<std::string>& argv, const Environment& env, int waitMs)
{
    ProgramResult result;
    char dir[] = "/tmp/knobctl-run-XXXXXX";
    if (!::mkdtemp(dir))
        return result;
    const std::string outPath = std::string(dir) + "/out";
    const std::string errPath = std::string(dir) + "/err";
    std::vector<std::string> args = argv;
    std::vector<std::string> environment = tovik::test::MergedEnvironment(env);
    std::vector<char*> argp = tovik::test::Pointers(args);
    std::vector<char*> envp = tovik::test::Pointers(environment);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    const int rc = ::posix_spawn(&pid, argp[0], &actions, nullptr, argp.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc == 0) {
        result.status = Reap(pid, waitMs);
        result.out = ReadWhole(outPath);
        result.err = ReadWhole(errPath);
    }
    ::unlink(outPath.c_str());
    ::unlink(errPath.c_str());
    ::rmdir(dir);
    return result;
}

PtySession::~PtySession()
{
    if (_pid > 0) {
        ::kill(_pid, SIGKILL);
        Reap(_pid, 2000);
    }
    if (_master >= 0)
        ::close(_master);
}

bool PtySession::Start(const std::vector<std::string>& argv, const Environment& env)
{
    if (argv.empty() || _pid > 0)
        return false;
    // Everything the child needs is built before fork: after it, only exec.
    std::vector<std::string> args = argv;
    std::vector<std::string> environment = tovik::test::MergedEnvironment(env);
    std::vector<char*> argp = tovik::test::Pointers(args);
    std::vector<char*> envp = tovik::test::Pointers(environment);
    winsize size{};
    size.ws_row = 24;
    size.ws_col = 80;
    const pid_t pid = ::forkpty(&_master, nullptr, nullptr, &size);
    if (pid < 0)
        return false;
    if (pid == 0) {
        ::execve(argp[0], argp.data(), envp.data());
        ::_exit(127);
    }
    ::fcntl(_master, F_SETFD, FD_CLOEXEC);
    _pid = pid;
    return true;
}

void PtySession::Send(const std::string& keys)
{
    size_t done = 0;
    while (done < keys.size()) {
        const ssize_t n = ::write(_master, keys.data() + done, keys.size() - done);
        if (n <= 0)
            return;
        done += size_t(n);
    }
}

void PtySession::Pump(int waitMs)
{
    pollfd p{_master, POLLIN, 0};
    if (::poll(&p, 1, waitMs) <= 0)
        return;
    char buffer[4096];
    const ssize_t n = ::read(_master, buffer, sizeof buffer);
    if (n > 0)
        _output.append(buffer, size_t(n));
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

bool PtySession::WaitFor(const std::string& text, int waitMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        const size_t at = _output.find(text, _mark);
        if (at != std::string::npos) {
            _mark = at + text.size();
            return true;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count();
        if (left <= 0)
            return false;
        Pump(int(left));
    }
}

int PtySession::Wait(int waitMs)
{
    if (_pid <= 0)
        return _status;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    int status = 0;
    while (std::chrono::steady_clock::now() < end) {
        // Keep reading, so the program never blocks on a full terminal.
        Pump(10);
        const pid_t r = ::waitpid(_pid, &status, WNOHANG);
        if (r == _pid) {
            _pid = -1;
            _status = StatusOf(status);
            return _status;
        }
    }
    return -1;
}

} // namespace knobtest
