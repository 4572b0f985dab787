// The library thread that reads the sockets of this process's socket
// configs while no caller is waiting on them (edge-triggered epoll), and
// the thread that makes lost links again. Both live until the process ends.
#ifndef PARAMLINK_CLIENTIO_H
#define PARAMLINK_CLIENTIO_H

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace paramlink {

class SocketLink;

class ClientIO {
public:
    static ClientIO& Instance();

    // A key for the link's socket events.
    std::uint64_t Register(const std::shared_ptr<SocketLink>& link);
    void Unregister(std::uint64_t key);
    // Reading by this thread on (Watch: first time), off, or the socket
    // forgotten. Data already waiting is reported when turned on.
    bool Watch(int fd, std::uint64_t key);
    bool Arm(int fd, std::uint64_t key);
    void Disarm(int fd, std::uint64_t key);
    void Forget(int fd);

    // Calls link->Reconnect() after delayMs, and again after the delay it
    // returns until it returns 0; the link may go meanwhile.
    void ReconnectLater(const std::shared_ptr<SocketLink>& link, int delayMs);

private:
    ClientIO();
    bool control(int op, int fd, std::uint64_t key, std::uint32_t events);
    void readLoop();
    void reconnectLoop();

    int _epoll = -1;
    std::mutex _mutex;
    std::uint64_t _nextKey = 1;
    std::unordered_map<std::uint64_t, std::weak_ptr<SocketLink>> _links;

    std::mutex _retryMutex;
    std::condition_variable _retryWake;
    std::multimap<std::chrono::steady_clock::time_point, std::weak_ptr<SocketLink>> _retries;
    bool _retrying = false;
};

} // namespace paramlink

#endif
