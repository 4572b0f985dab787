// A bare TCP peer for feeding a server bytes the store library never sends,
// and for reading exactly what the server answers.
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

#include "wireformat.h"

namespace storetest {

class RawPeer {
public:
    // A receive buffer size above 0 is set before connecting. source, when
    // given, is the IPv4 address the peer connects from.
    explicit RawPeer(int port, int receiveBuffer = 0, const char* address = "127.0.0.1", const char* source = nullptr)
    {
        _fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (receiveBuffer > 0)
            setsockopt(_fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
        sockaddr_in a;
        std::memset(&a, 0, sizeof a);
        a.sin_family = AF_INET;
        if (source) {
            inet_pton(AF_INET, source, &a.sin_addr);
            if (bind(_fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
                close(_fd);
                _fd = -1;
                return;
            }
        }
        a.sin_port = htons(std::uint16_t(port));
        inet_pton(AF_INET, address, &a.sin_addr);
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
    RawPeer(const RawPeer&) = delete;
    RawPeer& operator=(const RawPeer&) = delete;

    bool Connected() const { return _fd >= 0; }
    bool Send(const std::string& bytes) { return send(_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == ssize_t(bytes.size()); }

    // The next message from the server within timeoutMs; false on time-out,
    // close or a malformed frame. msg's bytes stay valid until the next
    // call.
    bool Read(paramlink::wire::Message& msg, int timeoutMs)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            const std::uint8_t* body = nullptr;
            size_t length = 0;
            std::string why;
            auto status = _in.Next(body, length, why);
            if (status == paramlink::wire::FrameBuffer::Status::Error)
                return false;
            if (status == paramlink::wire::FrameBuffer::Status::Frame) {
                _body.assign(reinterpret_cast<const char*>(body), length);
                const char* reason = nullptr;
                return paramlink::wire::ParseMessage(reinterpret_cast<const std::uint8_t*>(_body.data()),
                                                     _body.size(), msg, reason);
            }
            if (!waitReadable(deadline))
                return false;
            ssize_t n = recv(_fd, _in.WritePtr(), _in.WriteSpace(), 0);
            if (n <= 0)
                return false;
            _in.Commit(size_t(n));
        }
    }

    // True once the server has closed the connection (reading and dropping
    // whatever it sent first), within timeoutMs.
    bool ClosedByServer(int timeoutMs)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        char buf[4096];
        while (waitReadable(deadline)) {
            ssize_t n = recv(_fd, buf, sizeof buf, 0);
            if (n <= 0)
                return true;
        }
        return false;
    }
    int Fd() const { return _fd; }

private:
    bool waitReadable(std::chrono::steady_clock::time_point deadline)
    {
        for (;;) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
            if (left <= 0)
                return false;
            pollfd p{_fd, POLLIN, 0};
            if (poll(&p, 1, int(left)) > 0)
                return true;
        }
    }

    int _fd = -1;
    paramlink::wire::FrameBuffer _in{4096};
    std::string _body;
};

} // namespace storetest

#endif
