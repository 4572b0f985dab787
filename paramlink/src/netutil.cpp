#include "netutil.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace paramlink {

void Log(const std::string& line, journal::Priority priority)
{
    journal::Write(stderr, priority, "paramlink: " + line + "\n");
}

long long MonotonicMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch()).count();
}

void SetNoDelay(int fd)
{
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

bool WaitReadable(int fd, int timeoutMs)
{
    pollfd p{fd, POLLIN, 0};
    for (;;) {
        int r = poll(&p, 1, timeoutMs);
        if (r < 0 && errno == EINTR)
            continue;
        return r > 0;
    }
}

bool WatchFd(int epollFd, int fd, std::uint32_t events, int op)
{
    epoll_event e;
    std::memset(&e, 0, sizeof e);
    e.events = events;
    e.data.fd = fd;
    return epoll_ctl(epollFd, op, fd, &e) == 0;
}

static bool connectOne(const addrinfo* ai, int timeoutMs, int& fdOut, std::string& error)
{
    int fd = socket(ai->ai_family, ai->ai_socktype | SOCK_CLOEXEC, ai->ai_protocol);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    int flags = fcntl(fd, F_GETFL, 0);
    fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    int r = connect(fd, ai->ai_addr, ai->ai_addrlen);
    if (r < 0 && errno != EINPROGRESS) {
        error = std::strerror(errno);
        close(fd);
        return false;
    }
    if (r < 0) {
        pollfd p{fd, POLLOUT, 0};
        int n;
        do
            n = poll(&p, 1, timeoutMs);
        while (n < 0 && errno == EINTR);
        if (n <= 0) {
            error = n == 0 ? "connection timed out" : std::strerror(errno);
            close(fd);
            return false;
        }
        int soError = 0;
        socklen_t len = sizeof soError;
        getsockopt(fd, SOL_SOCKET, SO_ERROR, &soError, &len);
        if (soError) {
            error = std::strerror(soError);
            close(fd);
            return false;
        }
    }
    fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    SetNoDelay(fd);
    fdOut = fd;
    return true;
}

int ConnectTcp(const std::string& host, unsigned short port, int timeoutMs, std::string& error)
{
    addrinfo hints;
    std::memset(&hints, 0, sizeof hints);
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    const std::string service = std::to_string(port);
    int rc = getaddrinfo(host.c_str(), service.c_str(), &hints, &list);
    if (rc != 0) {
        error = gai_strerror(rc);
        return -1;
    }
    int fd = -1;
    error = "no address";
    for (addrinfo* ai = list; ai && fd < 0; ai = ai->ai_next)
        connectOne(ai, timeoutMs, fd, error);
    freeaddrinfo(list);
    return fd;
}

bool SendAll(int fd, const char* data, size_t length, int timeoutMs)
{
    while (length > 0) {
        ssize_t n = send(fd, data, length, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            data += n;
            length -= size_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd p{fd, POLLOUT, 0};
            int r = poll(&p, 1, timeoutMs);
            if (r < 0 && errno == EINTR)
                continue;
            if (r <= 0)
                return false;
            continue;
        }
        return false;
    }
    return true;
}

} // namespace paramlink
