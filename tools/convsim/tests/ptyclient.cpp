#include "ptyclient.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <ftw.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace convsimtest {

namespace {

using Clock = std::chrono::steady_clock;

int LeftMs(Clock::time_point until)
{
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
    return ms < 0 ? 0 : int(ms);
}

} // namespace

Bytes H(const std::string& hex)
{
    Bytes out;
    std::string digits;
    for (char c : hex)
        if (c != ' ')
            digits += c;
    for (size_t i = 0; i + 1 < digits.size(); i += 2)
        out.push_back(uint8_t(std::strtoul(digits.substr(i, 2).c_str(), nullptr, 16)));
    return out;
}

std::string Hex(const Bytes& b)
{
    std::string s;
    char x[4];
    for (size_t i = 0; i < b.size(); ++i) {
        std::snprintf(x, sizeof x, i ? " %02X" : "%02X", b[i]);
        s += x;
    }
    return s;
}

Bytes Cmd(uint8_t code, const Bytes& payload)
{
    const size_t n = payload.size() + 3;
    Bytes out{code, uint8_t(n >> 8), uint8_t(n)};
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

Bytes Cat(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes Text(const std::string& s, size_t width)
{
    Bytes out(s.begin(), s.end());
    out.resize(width, 0);
    return out;
}

TempDir::TempDir()
{
    const char* base = std::getenv("TMPDIR");
    std::string templ = std::string(base && *base ? base : "/tmp") + "/convsim-XXXXXX";
    if (mkdtemp(&templ[0]))
        _path = templ;
}

TempDir::~TempDir()
{
    if (_path.empty())
        return;
    nftw(
        _path.c_str(),
        [](const char* p, const struct stat*, int, struct FTW*) { return ::remove(p); }, 8,
        FTW_DEPTH | FTW_PHYS);
}

PtyClient::~PtyClient() { Close(); }

bool PtyClient::Open(const std::string& path, bool makeRaw)
{
    Close();
    _fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (_fd < 0)
        return false;
    termios t{};
    if (makeRaw && tcgetattr(_fd, &t) == 0) {
        cfmakeraw(&t);
        tcsetattr(_fd, TCSANOW, &t);
    }
    return true;
}

void PtyClient::Close()
{
    if (_fd >= 0)
        ::close(_fd);
    _fd = -1;
}

bool PtyClient::Send(const Bytes& b)
{
    size_t done = 0;
    const auto until = Clock::now() + std::chrono::seconds(2);
    while (done < b.size()) {
        const ssize_t n = ::write(_fd, b.data() + done, b.size() - done);
        if (n > 0) {
            done += size_t(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        pollfd p{_fd, POLLOUT, 0};
        if (LeftMs(until) == 0)
            return false;
        poll(&p, 1, LeftMs(until));
    }
    return true;
}

int PtyClient::ReadOnce(uint8_t* buf, size_t n, int timeoutMs, int* err)
{
    pollfd p{_fd, POLLIN, 0};
    const int r = poll(&p, 1, timeoutMs);
    if (r <= 0)
        return -2;
    const ssize_t got = ::read(_fd, buf, n);
    if (got < 0 && err)
        *err = errno;
    if (got < 0 && errno == EAGAIN)
        return -2;
    return int(got);
}

Bytes PtyClient::ReadExactly(size_t n, int timeoutMs)
{
    Bytes out;
    const auto until = Clock::now() + std::chrono::milliseconds(timeoutMs);
    uint8_t buf[4096];
    while (out.size() < n) {
        const int left = LeftMs(until);
        if (left == 0)
            break;
        const size_t want = std::min(sizeof buf, n - out.size());
        const int got = ReadOnce(buf, want, left, nullptr);
        if (got == 0 || got == -1)
            break;
        if (got > 0)
            out.insert(out.end(), buf, buf + got);
    }
    return out;
}

Bytes PtyClient::ReadQuiet(int quietMs, int maxMs)
{
    Bytes out;
    const auto until = Clock::now() + std::chrono::milliseconds(maxMs);
    uint8_t buf[4096];
    for (;;) {
        const int left = LeftMs(until);
        if (left == 0)
            break;
        const int got = ReadOnce(buf, sizeof buf, std::min(quietMs, left), nullptr);
        if (got <= 0 && got != -2)
            break;
        if (got == -2)
            break;
        out.insert(out.end(), buf, buf + got);
    }
    return out;
}

Bytes PtyClient::ReadAnswer(int timeoutMs)
{
    Bytes head = ReadExactly(4, timeoutMs);
    if (head.size() < 4)
        return head;
    const size_t total = size_t(head[1]) << 8 | head[2];
    if (total <= 4)
        return head;
    return Cat(head, ReadExactly(total - 4, timeoutMs));
}

Bytes PtyClient::Exchange(const Bytes& command, int timeoutMs)
{
    if (!Send(command))
        return {};
    return ReadAnswer(timeoutMs);
}

void PtyClient::Flush()
{
    tcflush(_fd, TCIFLUSH);
}

} // namespace convsimtest
