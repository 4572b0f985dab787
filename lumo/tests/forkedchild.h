// A forked child that runs one function and reports through a pipe. The
// child touches no test framework and leaves with _exit.
#ifndef LUMO_TESTS_FORKEDCHILD_H
#define LUMO_TESTS_FORKEDCHILD_H

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

class ForkedChild {
public:
    // body gets the descriptors to write to (toParent) and read from
    // (fromParent); its result is the exit status.
    explicit ForkedChild(std::function<int(int toParent, int fromParent)> const& body)
    {
        int up[2];
        int down[2];
        if (pipe(up) != 0 || pipe(down) != 0)
            return;
        _pid = fork();
        if (_pid == 0) {
            close(up[0]);
            close(down[1]);
            _exit(body(up[1], down[0]));
        }
        close(up[1]);
        close(down[0]);
        _fromChild = up[0];
        _toChild = down[1];
    }
    ~ForkedChild()
    {
        if (_pid > 0 && !_reaped) {
            kill(_pid, SIGKILL);
            waitpid(_pid, nullptr, 0);
        }
        if (_fromChild >= 0)
            close(_fromChild);
        if (_toChild >= 0)
            close(_toChild);
    }

    pid_t pid() const { return _pid; }

    // One message from the child, waiting at most 5 s; empty on time-out.
    std::string receive()
    {
        pollfd p = {_fromChild, POLLIN, 0};
        if (poll(&p, 1, 5000) != 1)
            return std::string();
        char buffer[256];
        const ssize_t got = read(_fromChild, buffer, sizeof buffer);
        return got > 0 ? std::string(buffer, size_t(got)) : std::string();
    }
    void send(char c) { (void)!write(_toChild, &c, 1); }

    // Exit status, or -1 when the child did not exit normally within 5 s.
    int finish()
    {
        for (int i = 0; i < 500; ++i) {
            int status = 0;
            if (waitpid(_pid, &status, WNOHANG) == _pid) {
                _reaped = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            usleep(10000);
        }
        return -1;
    }

    static void tell(int fd, std::string const& text) { (void)!write(fd, text.data(), text.size()); }
    static char await(int fd)
    {
        char c = 0;
        pollfd p = {fd, POLLIN, 0};
        if (poll(&p, 1, 5000) == 1)
            (void)!read(fd, &c, 1);
        return c;
    }

private:
    pid_t _pid = -1;
    int _fromChild = -1;
    int _toChild = -1;
    bool _reaped = false;
};

#endif
