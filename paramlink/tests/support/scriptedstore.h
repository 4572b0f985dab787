// A stand-in for a store that greets its clients and then behaves in one
// way: it never answers, closes at the first request, closes right after
// the greeting, or answers requests in pairs at set times. Serves any
// number of clients on a free loopback port until it is destroyed.
#ifndef STORE_SCRIPTEDSTORE_H
#define STORE_SCRIPTEDSTORE_H

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <map>
#include <thread>
#include <vector>

#include "wireformat.h"

namespace storetest {

class ScriptedStore {
public:
    enum class Behaviour {
        // Reads requests and answers none.
        Silent,
        // Closes the connection once a request has come.
        CloseAtRequest,
        // Closes the connection right after the greeting.
        CloseAfterGreeting,
        // Holds each request until the next one has come; then answers the
        // first 50 ms later and the second 300 ms after that (a set
        // accepted, a read with the value 1).
        Paired
    };

    explicit ScriptedStore(Behaviour behaviour) : _behaviour(behaviour)
    {
        _listen = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a;
        std::memset(&a, 0, sizeof a);
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof a;
        if (bind(_listen, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(_listen, 16) != 0 ||
            getsockname(_listen, reinterpret_cast<sockaddr*>(&a), &length) != 0)
            return;
        _port = ntohs(a.sin_port);
        _thread = std::thread([this] { run(); });
    }
    ~ScriptedStore()
    {
        _stop = true;
        if (_thread.joinable())
            _thread.join();
        for (auto& peer : _peers)
            close(peer.first);
        close(_listen);
    }
    ScriptedStore(const ScriptedStore&) = delete;
    ScriptedStore& operator=(const ScriptedStore&) = delete;

    // 0 when it could not listen.
    int Port() const { return _port; }
    // Requests received, all clients together.
    int Requests() const { return _requests; }

private:
    void run()
    {
        while (!_stop) {
            std::vector<pollfd> fds{{_listen, POLLIN, 0}};
            for (auto& peer : _peers)
                fds.push_back({peer.first, POLLIN, 0});
            sendDue();
            if (poll(fds.data(), fds.size(), 10) <= 0)
                continue;
            if (fds[0].revents & POLLIN) {
                const int fd = accept4(_listen, nullptr, nullptr, SOCK_CLOEXEC);
                if (fd >= 0)
                    _peers.emplace(fd, paramlink::wire::FrameBuffer(4096));
            }
            for (size_t i = 1; i < fds.size(); ++i)
                if (fds[i].revents && !serve(fds[i].fd)) {
                    close(fds[i].fd);
                    _peers.erase(fds[i].fd);
                }
        }
    }
    // Reads what came; false when the connection is to go.
    bool serve(int fd)
    {
        paramlink::wire::FrameBuffer& in = _peers.at(fd);
        const ssize_t n = recv(fd, in.WritePtr(), in.WriteSpace(), MSG_DONTWAIT);
        if (n <= 0)
            return false;
        in.Commit(size_t(n));
        for (;;) {
            const std::uint8_t* body = nullptr;
            size_t length = 0;
            std::string why;
            const auto status = in.Next(body, length, why);
            if (status != paramlink::wire::FrameBuffer::Status::Frame)
                return status == paramlink::wire::FrameBuffer::Status::NeedMore;
            if (paramlink::wire::MsgType(body[0]) == paramlink::wire::MsgType::Hello) {
                std::string welcome;
                paramlink::wire::AppendWelcome(welcome, 7);
                if (send(fd, welcome.data(), welcome.size(), MSG_NOSIGNAL) != ssize_t(welcome.size()))
                    return false;
                if (_behaviour == Behaviour::CloseAfterGreeting)
                    return false;
                continue;
            }
            ++_requests;
            if (_behaviour == Behaviour::CloseAtRequest)
                return false;
            if (_behaviour == Behaviour::Paired)
                hold(fd, body, length);
        }
    }
    void hold(int fd, const std::uint8_t* body, size_t length)
    {
        paramlink::wire::Message msg;
        const char* reason = nullptr;
        if (!paramlink::wire::ParseMessage(body, length, msg, reason))
            return;
        std::string answer;
        if (msg.type == paramlink::wire::MsgType::Get)
            paramlink::wire::AppendReplyValue(answer, msg.tag, msg.kind, 1, "1", 1);
        else
            paramlink::wire::AppendReply(answer, msg.tag, paramlink::wire::kOk);
        _held.push_back(Answer{fd, std::move(answer), {}});
        if (_held.size() < 2)
            return;
        const auto now = std::chrono::steady_clock::now();
        _held[0].due = now + std::chrono::milliseconds(50);
        _held[1].due = now + std::chrono::milliseconds(350);
        _due.insert(_due.end(), _held.begin(), _held.end());
        _held.clear();
    }
    void sendDue()
    {
        const auto now = std::chrono::steady_clock::now();
        for (auto it = _due.begin(); it != _due.end();) {
            if (it->due > now) {
                ++it;
                continue;
            }
            if (_peers.count(it->fd))
                send(it->fd, it->frame.data(), it->frame.size(), MSG_NOSIGNAL);
            it = _due.erase(it);
        }
    }

    struct Answer {
        int fd;
        std::string frame;
        std::chrono::steady_clock::time_point due;
    };

    const Behaviour _behaviour;
    int _listen = -1;
    int _port = 0;
    std::atomic<bool> _stop{false};
    std::atomic<int> _requests{0};
    std::map<int, paramlink::wire::FrameBuffer> _peers;
    std::vector<Answer> _held;
    std::vector<Answer> _due;
    std::thread _thread;
};

} // namespace storetest

#endif
