#include "admission.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>

#include "netutil.h"
#include "serverconnection.h"
#include "wireformat.h"

namespace paramlink {

namespace {

// Refused newcomers are kept open a moment after their answer, so the
// answer is read before the connection goes; at most this many at once.
const size_t kMaxLingering = 64;
const int kLingerMs = 1000;

bool isLoopback(const sockaddr_storage& a)
{
    if (a.ss_family == AF_INET)
        return (ntohl(reinterpret_cast<const sockaddr_in*>(&a)->sin_addr.s_addr) >> 24) == 127;
    if (a.ss_family == AF_INET6) {
        const in6_addr& v6 = reinterpret_cast<const sockaddr_in6*>(&a)->sin6_addr;
        if (IN6_IS_ADDR_LOOPBACK(&v6))
            return true;
        return IN6_IS_ADDR_V4MAPPED(&v6) && v6.s6_addr[12] == 127;
    }
    return false;
}

std::string peerName(const sockaddr_storage& a)
{
    char text[INET6_ADDRSTRLEN] = "?";
    unsigned port = 0;
    if (a.ss_family == AF_INET) {
        auto* v4 = reinterpret_cast<const sockaddr_in*>(&a);
        inet_ntop(AF_INET, &v4->sin_addr, text, sizeof text);
        port = ntohs(v4->sin_port);
    } else if (a.ss_family == AF_INET6) {
        auto* v6 = reinterpret_cast<const sockaddr_in6*>(&a);
        // An IPv4 client of the dual-stack socket shows as IPv4.
        if (IN6_IS_ADDR_V4MAPPED(&v6->sin6_addr))
            inet_ntop(AF_INET, &v6->sin6_addr.s6_addr[12], text, sizeof text);
        else
            inet_ntop(AF_INET6, &v6->sin6_addr, text, sizeof text);
        port = ntohs(v6->sin6_port);
    }
    return std::string(text) + ":" + std::to_string(port);
}

// A socket of the address's family bound to it, or -1: *bindError is then
// why the bind failed, or 0 when there was no socket. An IPv6 socket takes
// IPv4 clients too.
int boundSocket(const sockaddr* address, socklen_t length, int* bindError)
{
    *bindError = 0;
    const int fd = socket(address->sa_family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return -1;
    int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (address->sa_family == AF_INET6) {
        int zero = 0;
        setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &zero, sizeof zero);
    }
    if (bind(fd, address, length) == 0)
        return fd;
    *bindError = errno;
    close(fd);
    return -1;
}

} // namespace

LogThrottle& UngreetedLog()
{
    // Never destroyed, as the servers that log through it may outlive
    // statics at exit.
    static auto* throttle = new LogThrottle;
    return *throttle;
}

Admission::Admission(int port, int epollFd)
    : _port(port), _epollFd(epollFd), _spareFd(open("/dev/null", O_RDONLY | O_CLOEXEC))
{
}

Admission::~Admission()
{
    for (auto& r : _refused)
        close(r.first);
    for (int fd : {_listenFd, _spareFd})
        if (fd >= 0)
            close(fd);
}

int Admission::Listen()
{
    if (_listenFd >= 0)
        return 1;
    if (_port < 0 || _port > 65535)
        return 0;
    // Dual-stack where IPv6 exists, so "localhost" works either way; or the
    // one address asked for.
    bool failed = false;
    int fd = _address.family != AF_INET ? bindIPv6(&failed) : -1;
    if (failed || (fd < 0 && _address.family == AF_INET6))
        return 0;
    if (fd < 0)
        fd = bindIPv4();
    if (fd < 0)
        return 0;
    if (listen(fd, 512) != 0) {
        Log("cannot listen on port " + std::to_string(_port) + ": " + std::strerror(errno));
        close(fd);
        return 0;
    }
    sockaddr_storage bound;
    socklen_t len = sizeof bound;
    getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &len);
    _boundPort = bound.ss_family == AF_INET6 ? ntohs(reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port)
                                             : ntohs(reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
    _listenFd = fd;
    return 1;
}

int Admission::bindIPv6(bool* failed) const
{
    sockaddr_in6 a;
    std::memset(&a, 0, sizeof a);
    a.sin6_family = AF_INET6;
    a.sin6_addr = _address.v6;
    a.sin6_port = htons(std::uint16_t(_port));
    int err = 0;
    const int fd = boundSocket(reinterpret_cast<sockaddr*>(&a), sizeof a, &err);
    if (fd >= 0 || err == 0)
        return fd;
    if (err == EADDRINUSE) {
        Log("port " + std::to_string(_port) + " is in use");
        *failed = true;
    } else if (_address.family == AF_INET6) {
        Log("cannot bind port " + std::to_string(_port) + " on " + _address.text + ": " + std::strerror(err));
        *failed = true;
    }
    return -1;
}

int Admission::bindIPv4() const
{
    sockaddr_in a;
    std::memset(&a, 0, sizeof a);
    a.sin_family = AF_INET;
    a.sin_addr = _address.v4;
    a.sin_port = htons(std::uint16_t(_port));
    int err = 0;
    const int fd = boundSocket(reinterpret_cast<sockaddr*>(&a), sizeof a, &err);
    if (fd < 0 && err != 0)
        Log("cannot bind port " + std::to_string(_port) + (_address.family ? " on " + _address.text : "") + ": " +
            std::strerror(err));
    return fd;
}

void Admission::AcceptAll(long long now, AdmissionHost& host)
{
    for (;;) {
        sockaddr_storage addr;
        socklen_t len = sizeof addr;
        int fd = accept4(_listenFd, reinterpret_cast<sockaddr*>(&addr), &len, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd >= 0) {
            admit(fd, addr, now, host);
            continue;
        }
        if (errno == EINTR || errno == ECONNABORTED)
            continue;
        if ((errno == EMFILE || errno == ENFILE) && _spareFd >= 0) {
            // Out of descriptors: take the newcomer with the spare one and
            // tell it so, rather than leaving it queued and the listening
            // socket ready for ever.
            close(_spareFd);
            len = sizeof addr;
            fd = accept4(_listenFd, reinterpret_cast<sockaddr*>(&addr), &len, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (fd >= 0)
                refuse(fd, peerName(addr), "the server has no file descriptor left", false);
            _spareFd = open("/dev/null", O_RDONLY | O_CLOEXEC);
            if (fd >= 0)
                continue;
        }
        return;
    }
}

void Admission::admit(int fd, const sockaddr_storage& addr, long long now, AdmissionHost& host)
{
    const std::string peer = peerName(addr);
    const size_t limit = size_t(_limit.Allowed());
    // The last place is kept for this host's own programs. A full table
    // first gives up a connection that has not greeted, so such ones
    // never lock a client out.
    const size_t room = isLoopback(addr) ? limit : limit - 1;
    if (host.Connections() >= room && !evictUngreeted(host)) {
        refuse(fd, peer,
               "too many clients (" + std::to_string(host.Connections()) + " connected, at most " +
                   std::to_string(limit) + (room < limit ? ", the last place kept for this host)" : ")"),
               true);
        return;
    }
    host.Admit(fd, peer, ++_accepted, now);
}

bool Admission::evictUngreeted(AdmissionHost& host)
{
    const ServerConnection* oldest = nullptr;
    host.ForEachConnection([&oldest](const ServerConnection& conn) {
        if (!conn.Greeted() && (!oldest || conn.acceptOrder < oldest->acceptOrder))
            oldest = &conn;
    });
    if (!oldest)
        return false;
    UngreetedLog().Log("closing connection from " + oldest->Peer() + ": no greeting yet, and its place is wanted",
                       "more closed for want of a greeting since the last line");
    host.Evict(oldest->Fd());
    return true;
}

void Admission::refuse(int fd, const std::string& peer, const std::string& reason, bool linger)
{
    _limit.LogRefusal(peer, reason);
    std::string frame;
    wire::AppendRefusal(frame, wire::kServerFull, reason);
    ssize_t ignored = send(fd, frame.data(), frame.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    (void)ignored;
    shutdown(fd, SHUT_WR);
    if (linger && _refused.size() < kMaxLingering && WatchFd(_epollFd, fd, EPOLLIN, EPOLL_CTL_ADD)) {
        _refused.emplace(fd, MonotonicMs() + kLingerMs);
        return;
    }
    close(fd);
}

void Admission::DrainRefused(int fd)
{
    if (!_refused.count(fd))
        return;
    char buf[4096];
    ssize_t n;
    do
        n = recv(fd, buf, sizeof buf, MSG_DONTWAIT);
    while (n > 0);
    if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
        epoll_ctl(_epollFd, EPOLL_CTL_DEL, fd, nullptr);
        _refused.erase(fd);
        _closedRefused.push_back(fd);
    }
}

void Admission::ExpireRefused(long long now)
{
    for (auto it = _refused.begin(); it != _refused.end();) {
        if (now >= it->second) {
            epoll_ctl(_epollFd, EPOLL_CTL_DEL, it->first, nullptr);
            _closedRefused.push_back(it->first);
            it = _refused.erase(it);
        } else {
            ++it;
        }
    }
}

void Admission::CloseDropped()
{
    for (int fd : _closedRefused)
        close(fd);
    _closedRefused.clear();
}

} // namespace paramlink
