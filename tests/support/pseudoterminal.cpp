#include "pseudoterminal.h"

#include "deadline.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace tovik {
namespace test {

PseudoTerminal::PseudoTerminal()
{
    _fd = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (_fd < 0)
        return;
    const char* name = ::grantpt(_fd) == 0 && ::unlockpt(_fd) == 0 ? ::ptsname(_fd) : nullptr;
    if (!name) {
        Close();
        return;
    }
    _slavePath = name;
}

PseudoTerminal::PseudoTerminal(const std::string& path, bool raw)
{
    Open(path, raw);
}

PseudoTerminal::~PseudoTerminal()
{
    Close();
}

bool PseudoTerminal::Open(const std::string& path, bool raw)
{
    Close();
    _fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (_fd < 0)
        return false;
    struct termios attributes {};
    if (raw && ::tcgetattr(_fd, &attributes) == 0) {
        ::cfmakeraw(&attributes);
        ::tcsetattr(_fd, TCSANOW, &attributes);
    }
    return true;
}

void PseudoTerminal::Close()
{
    if (_fd >= 0)
        ::close(_fd);
    _fd = -1;
    _slavePath.clear();
}

bool PseudoTerminal::Attributes(struct termios& attributes) const
{
    return ::tcgetattr(_fd, &attributes) == 0;
}

bool PseudoTerminal::SetAttributes(const struct termios& attributes)
{
    return ::tcsetattr(_fd, TCSANOW, &attributes) == 0;
}

bool PseudoTerminal::Send(const Bytes& bytes)
{
    size_t done = 0;
    const Deadline until(2000);
    while (done < bytes.size()) {
        const ssize_t n = ::write(_fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += size_t(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        if (until.LeftMs() == 0)
            return false;
        struct pollfd writable = {_fd, POLLOUT, 0};
        ::poll(&writable, 1, until.LeftMs());
    }
    return true;
}

bool PseudoTerminal::Send(const std::string& bytes)
{
    return Send(Bytes(bytes.begin(), bytes.end()));
}

void PseudoTerminal::SendChunks(const std::vector<std::string>& chunks, std::chrono::milliseconds gap)
{
    for (size_t i = 0; i < chunks.size(); ++i) {
        if (i > 0)
            std::this_thread::sleep_for(gap);
        Send(chunks[i]);
    }
}

int PseudoTerminal::ReadOnce(std::uint8_t* buffer, size_t size, int waitMs, int* error)
{
    struct pollfd readable = {_fd, POLLIN, 0};
    if (::poll(&readable, 1, waitMs) <= 0)
        return -2;
    const ssize_t n = ::read(_fd, buffer, size);
    if (n < 0 && error)
        *error = errno;
    if (n < 0 && (errno == EAGAIN || errno == EINTR))
        return -2;
    return int(n);
}

Bytes PseudoTerminal::Receive(size_t count, int waitMs)
{
    Bytes got;
    const Deadline until(waitMs);
    std::uint8_t buffer[4096];
    while (got.size() < count) {
        const int left = until.LeftMs();
        if (left == 0)
            break;
        const int n = ReadOnce(buffer, std::min(sizeof buffer, count - got.size()), left);
        if (n == 0 || n == -1)
            break;
        if (n > 0)
            got.insert(got.end(), buffer, buffer + n);
    }
    return got;
}

Bytes PseudoTerminal::ReceiveQuiet(int quietMs, int maxMs)
{
    Bytes got;
    const Deadline until(maxMs);
    std::uint8_t buffer[4096];
    for (;;) {
        const int left = until.LeftMs();
        if (left == 0)
            break;
        const int n = ReadOnce(buffer, sizeof buffer, std::min(quietMs, left));
        if (n <= 0)
            break;
        got.insert(got.end(), buffer, buffer + n);
    }
    return got;
}

void PseudoTerminal::Flush()
{
    ::tcflush(_fd, TCIFLUSH);
}

} // namespace test
} // namespace tovik
