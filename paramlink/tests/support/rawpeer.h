// A bare TCP peer for feeding a server bytes the store library never sends.
#ifndef STORE_RAWPEER_H
#define STORE_RAWPEER_H

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <string>

namespace storetest {

class RawPeer {
public:
    // A receive buffer size above 0 is set before connecting.
    explicit RawPeer(int port, int receiveBuffer = 0)
    {
        _fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (receiveBuffer > 0)
            setsockopt(_fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
        sockaddr_in a;
        std::memset(&a, 0, sizeof a);
        a.sin_family = AF_INET;
        a.sin_port = htons(std::uint16_t(port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (connect(_fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
            close(_fd);
            _fd = -1;
        }
    }
    ~RawPeer()
    {
        if (_fd >= 0)
            close(_fd);
    }
    bool Connected() const { return _fd >= 0; }
    bool Send(const std::string& bytes) { return send(_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == ssize_t(bytes.size()); }

    // True once the server has closed the connection (reading and dropping
    // whatever it sent first), within timeoutMs.
    bool ClosedByServer(int timeoutMs)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        char buf[4096];
        for (;;) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
            if (left <= 0)
                return false;
            pollfd p{_fd, POLLIN, 0};
            if (poll(&p, 1, int(left)) <= 0)
                continue;
            ssize_t n = recv(_fd, buf, sizeof buf, 0);
            if (n <= 0)
                return true;
        }
    }
    int Fd() const { return _fd; }

private:
    int _fd = -1;
};

} // namespace storetest

#endif
