#include "childprocess.h"

#include "deadline.h"
#include "tempdir.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace tovik {
namespace test {

namespace {

int StatusOf(int status)
{
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

} // namespace

std::vector<std::string> MergedEnvironment(const ChildProcess::Environment& env)
{
    std::vector<std::string> merged;
    for (char** e = environ; *e; ++e) {
        const std::string entry(*e);
        bool replaced = false;
        for (const auto& kv : env)
            replaced = replaced || entry.compare(0, kv.first.size() + 1, kv.first + "=") == 0;
        if (!replaced)
            merged.push_back(entry);
    }
    for (const auto& kv : env)
        merged.push_back(kv.first + "=" + kv.second);
    return merged;
}

std::vector<char*> Pointers(std::vector<std::string>& strings)
{
    std::vector<char*> pointers;
    for (std::string& s : strings)
        pointers.push_back(&s[0]);
    pointers.push_back(nullptr);
    return pointers;
}

ChildProcess::~ChildProcess()
{
    Stop(SIGTERM, 2000);
    CloseOutput();
}

bool ChildProcess::Start(const std::vector<std::string>& argv, const std::string& logPath, const Environment& env)
{
    // Emptied here, so that no reader sees the last run's output.
    const int created = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (created < 0)
        return false;
    ::close(created);
    _log = logPath;
    Streams streams;
    streams.out = logPath;
    return Spawn(argv, env, streams);
}

bool ChildProcess::StartPiped(const std::vector<std::string>& argv)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return false;
    Streams streams;
    streams.in.clear();
    streams.outFd = fds[1];
    const bool started = Spawn(argv, {}, streams);
    ::close(fds[1]);
    if (!started) {
        ::close(fds[0]);
        return false;
    }
    CloseOutput();
    _out = fds[0];
    return true;
}

bool ChildProcess::StartOnTerminal(const std::vector<std::string>& argv, const std::string& terminalPath,
                                   const Environment& env)
{
    Streams streams;
    streams.in = terminalPath;
    streams.out = terminalPath;
    streams.session = true;
    return Spawn(argv, env, streams);
}

bool ChildProcess::Spawn(const std::vector<std::string>& argv, const Environment& env, const Streams& streams)
{
    if (argv.empty() || _pid > 0)
        return false;
    std::vector<std::string> args = argv;
    std::vector<std::string> environment = MergedEnvironment(env);
    std::vector<char*> argp = Pointers(args);
    std::vector<char*> envp = Pointers(environment);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    if (streams.session) {
        // A session of its own, whose first terminal opened (standard
        // input) becomes its controlling terminal.
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, streams.in.c_str(), O_RDWR, 0);
        posix_spawn_file_actions_adddup2(&actions, STDIN_FILENO, STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, STDIN_FILENO, STDERR_FILENO);
    } else {
        if (!streams.in.empty())
            posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, streams.in.c_str(), O_RDONLY, 0);
        if (streams.outFd >= 0)
            posix_spawn_file_actions_adddup2(&actions, streams.outFd, STDOUT_FILENO);
        else
            posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, streams.out.c_str(), O_WRONLY | O_APPEND, 0);
        if (!streams.err.empty())
            posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, streams.err.c_str(), O_WRONLY | O_APPEND, 0);
        else if (streams.outFd < 0)
            posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    }
    pid_t pid = -1;
    const int rc = ::posix_spawn(&pid, argp[0], &actions, &attributes, argp.data(), envp.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return false;
    _pid = pid;
    _status = -1;
    return true;
}

void ChildProcess::CloseOutput()
{
    if (_out >= 0)
        ::close(_out);
    _out = -1;
    _pending.clear();
}

bool ChildProcess::WaitForLine(const std::string& text, int waitMs, std::string* line)
{
    const Deadline deadline(waitMs);
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
        const int left = deadline.LeftMs();
        if (left == 0 || _out < 0)
            return false;
        pollfd p{_out, POLLIN, 0};
        if (::poll(&p, 1, left) <= 0)
            continue;
        char buf[512];
        const ssize_t n = ::read(_out, buf, sizeof buf);
        if (n <= 0)
            return false;
        _pending.append(buf, size_t(n));
    }
}

std::string ChildProcess::Output() const
{
    return ReadFile(_log);
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
        _status = StatusOf(status);
    _pid = -1;
    return false;
}

void ChildProcess::Signal(int signal)
{
    if (_pid > 0)
        ::kill(_pid, signal);
}

int ChildProcess::Wait(int waitMs)
{
    if (!WaitUntil([this] { return !Running(); }, waitMs))
        return -1;
    return _status;
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

bool WaitUntil(const std::function<bool()>& condition, int waitMs)
{
    const Deadline end(waitMs);
    while (!condition()) {
        if (end.Passed())
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

namespace {

// Runs a program to its end (killed after waitMs), its standard output in
// a file and its standard error in another, or with the output when errName
// is empty. The exit status.
int RunToFiles(const std::vector<std::string>& argv, const ChildProcess::Environment& env, int waitMs,
               const TempDir& dir, const std::string& errName)
{
    for (const std::string& name : {std::string("out"), errName}) {
        if (name.empty())
            continue;
        const int created = ::open(dir.File(name).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (created < 0)
            return -1;
        ::close(created);
    }
    ChildProcess child;
    const std::string err = errName.empty() ? std::string() : dir.File(errName);
    if (!child.Spawn(argv, env, {"/dev/null", dir.File("out"), err, -1, false}))
        return -1;
    const int status = child.Wait(waitMs);
    return status >= 0 ? status : child.Stop(SIGKILL, 1000);
}

} // namespace

ProgramResult RunProgram(const std::vector<std::string>& argv, const ChildProcess::Environment& env, int waitMs)
{
    ProgramResult result;
    TempDir dir("tovik-run");
    result.status = RunToFiles(argv, env, waitMs, dir, "err");
    result.out = ReadFile(dir.File("out"));
    result.err = ReadFile(dir.File("err"));
    return result;
}

std::string RunAndCapture(const std::vector<std::string>& argv, int waitMs, int* exitStatus)
{
    TempDir dir("tovik-run");
    const int status = RunToFiles(argv, {}, waitMs, dir, std::string());
    if (exitStatus)
        *exitStatus = status;
    return ReadFile(dir.File("out"));
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

int CountOf(const std::string& haystack, const std::string& text)
{
    int n = 0;
    for (size_t at = haystack.find(text); at != std::string::npos; at = haystack.find(text, at + text.size()))
        ++n;
    return n;
}

} // namespace test
} // namespace tovik
