#include "childprocess.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

ChildProcess::~ChildProcess()
{
    if (_pid > 0)
        Stop(SIGKILL, 5000);
}

bool ChildProcess::Start(const std::vector<std::string>& argv, const std::string& logPath,
                         const std::vector<std::pair<std::string, std::string>>& env)
{
    if (argv.empty() || _pid > 0)
        return false;
    _log = logPath;
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    // Emptied here, so that no reader sees the last run's output.
    const int created = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (created < 0)
        return false;
    ::close(created);

    const pid_t pid = ::fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        const int fd = ::open(logPath.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
        if (fd >= 0) {
            ::dup2(fd, STDOUT_FILENO);
            ::dup2(fd, STDERR_FILENO);
        }
        const int null = ::open("/dev/null", O_RDONLY);
        if (null >= 0)
            ::dup2(null, STDIN_FILENO);
        for (const auto& e : env)
            ::setenv(e.first.c_str(), e.second.c_str(), 1);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    _pid = pid;
    _status = -1;
    return true;
}

bool ChildProcess::Running()
{
    if (_pid <= 0)
        return false;
    int status = 0;
    const pid_t r = ::waitpid(_pid, &status, WNOHANG);
    if (r == 0)
        return true;
    if (r == _pid)
        _status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    _pid = -1;
    return false;
}

int ChildProcess::Stop(int signal, int waitMs)
{
    if (_pid <= 0)
        return _status;
    ::kill(_pid, signal);
    if (!WaitUntil([this] { return !Running(); }, waitMs)) {
        ::kill(_pid, SIGKILL);
        int status = 0;
        ::waitpid(_pid, &status, 0);
        _status = 128 + SIGKILL;
        _pid = -1;
    }
    return _status;
}

std::string ChildProcess::Output() const
{
    std::ifstream in(_log);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool WaitUntil(const std::function<bool()>& condition, int waitMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

std::string RunAndCapture(const std::vector<std::string>& argv, int waitMs, int* exitStatus)
{
    char path[] = "/tmp/tovik-e2e-capture-XXXXXX";
    const int fd = ::mkstemp(path);
    if (fd < 0)
        return std::string();
    ::close(fd);
    std::string out;
    {
        ChildProcess child;
        if (child.Start(argv, path)) {
            WaitUntil([&child] { return !child.Running(); }, waitMs);
            const int status = child.Stop(SIGKILL, 1000);
            if (exitStatus)
                *exitStatus = status;
            out = child.Output();
        }
    }
    ::unlink(path);
    return out;
}

int CountOf(const std::string& haystack, const std::string& text)
{
    int n = 0;
    for (size_t at = haystack.find(text); at != std::string::npos; at = haystack.find(text, at + text.size()))
        ++n;
    return n;
}
