#include "paramlink/socketserver.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <list>
#include <memory>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include "netutil.h"
#include "serverconnection.h"

namespace velora {
namespace stackline {
namespace config {
namespace access {

using paramlink::Log;
using paramlink::ServerConnection;

class ServerCore {
public:
    explicit ServerCore(int port) : _port(port), _wakeFd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}
    ~ServerCore();

    int Initialize();
    int Start();
    int GetPort() const { return _boundPort; }
    void SetStallTimeoutMs(int ms) { _stallTimeoutMs = ms > 0 ? ms : 1; }

    static constexpr size_t kMaxClients = 256;

private:
    void acceptLoop();
    void reap();
    void wake();

    int _port;
    int _boundPort = 0;
    int _listenFd = -1;
    int _wakeFd;
    int _stallTimeoutMs = 10000;
    std::thread _acceptThread;
    std::atomic<bool> _stop{false};
    std::mutex _mutex;
    std::list<std::unique_ptr<ServerConnection>> _connections;
};

ServerCore::~ServerCore()
{
    _stop.store(true);
    wake();
    if (_acceptThread.joinable())
        _acceptThread.join();
    std::list<std::unique_ptr<ServerConnection>> connections;
    {
        std::lock_guard<std::mutex> lock(_mutex);
        connections.swap(_connections);
    }
    for (auto& c : connections)
        c->Stop();
    connections.clear();
    if (_listenFd >= 0)
        close(_listenFd);
    if (_wakeFd >= 0)
        close(_wakeFd);
}

void ServerCore::wake()
{
    std::uint64_t one = 1;
    ssize_t ignored = write(_wakeFd, &one, sizeof one);
    (void)ignored;
}

int ServerCore::Initialize()
{
    if (_listenFd >= 0)
        return 1;
    if (_port < 0 || _port > 65535 || _wakeFd < 0)
        return 0;
    int one = 1;
    // Dual-stack where IPv6 exists, so "localhost" works either way.
    int fd = socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd >= 0) {
        int zero = 0;
        setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &zero, sizeof zero);
        sockaddr_in6 a;
        std::memset(&a, 0, sizeof a);
        a.sin6_family = AF_INET6;
        a.sin6_addr = in6addr_any;
        a.sin6_port = htons(std::uint16_t(_port));
        if (bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
            const int err = errno;
            close(fd);
            fd = -1;
            if (err == EADDRINUSE) {
                Log("port " + std::to_string(_port) + " is in use");
                return 0;
            }
        }
    }
    if (fd < 0) {
        fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0)
            return 0;
        setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in a;
        std::memset(&a, 0, sizeof a);
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_ANY);
        a.sin_port = htons(std::uint16_t(_port));
        if (bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
            Log("cannot bind port " + std::to_string(_port) + ": " + std::strerror(errno));
            close(fd);
            return 0;
        }
    }
    if (listen(fd, 128) != 0) {
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

int ServerCore::Start()
{
    if (_listenFd < 0)
        return 0;
    if (!_acceptThread.joinable())
        _acceptThread = std::thread([this] { acceptLoop(); });
    return 1;
}

static std::string peerName(const sockaddr_storage& a)
{
    char text[INET6_ADDRSTRLEN] = "?";
    unsigned port = 0;
    if (a.ss_family == AF_INET) {
        auto* v4 = reinterpret_cast<const sockaddr_in*>(&a);
        inet_ntop(AF_INET, &v4->sin_addr, text, sizeof text);
        port = ntohs(v4->sin_port);
    } else if (a.ss_family == AF_INET6) {
        auto* v6 = reinterpret_cast<const sockaddr_in6*>(&a);
        inet_ntop(AF_INET6, &v6->sin6_addr, text, sizeof text);
        port = ntohs(v6->sin6_port);
    }
    return std::string(text) + ":" + std::to_string(port);
}

void ServerCore::reap()
{
    std::list<std::unique_ptr<ServerConnection>> done;
    {
        std::lock_guard<std::mutex> lock(_mutex);
        for (auto it = _connections.begin(); it != _connections.end();) {
            if ((*it)->Finished()) {
                done.push_back(std::move(*it));
                it = _connections.erase(it);
            } else {
                ++it;
            }
        }
    }
    done.clear();
}

void ServerCore::acceptLoop()
{
    pthread_setname_np(pthread_self(), "paramlink-srv");
    while (!_stop.load()) {
        pollfd fds[2] = {{_listenFd, POLLIN, 0}, {_wakeFd, POLLIN, 0}};
        int n = poll(fds, 2, -1);
        if (n < 0 && errno != EINTR)
            break;
        if (fds[1].revents & POLLIN) {
            std::uint64_t count;
            ssize_t ignored = read(_wakeFd, &count, sizeof count);
            (void)ignored;
        }
        reap();
        if (!(fds[0].revents & POLLIN))
            continue;
        for (;;) {
            sockaddr_storage addr;
            socklen_t len = sizeof addr;
            int fd = accept4(_listenFd, reinterpret_cast<sockaddr*>(&addr), &len, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (fd < 0)
                break;
            paramlink::SetNoDelay(fd);
            std::lock_guard<std::mutex> lock(_mutex);
            if (_connections.size() >= kMaxClients) {
                Log("refusing " + peerName(addr) + ": " + std::to_string(kMaxClients) + " clients already");
                close(fd);
                continue;
            }
            auto conn = std::make_unique<ServerConnection>(fd, peerName(addr), _stallTimeoutMs, [this] { wake(); });
            conn->Start();
            _connections.push_back(std::move(conn));
        }
    }
}

SocketServer::SocketServer(int port) : _core(new ServerCore(port)) {}

SocketServer::~SocketServer() = default;

int SocketServer::Initialize() { return _core->Initialize(); }

int SocketServer::Start() { return _core->Start(); }

int SocketServer::GetPort() const { return _core->GetPort(); }

void SocketServer::SetStallTimeoutMs(int ms) { _core->SetStallTimeoutMs(ms); }

} // namespace access
} // namespace config
} // namespace stackline
} // namespace velora
