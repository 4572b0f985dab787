// The sockets of this process's socket configs, watched (edge-triggered)
// while no caller is waiting on them: the event threads (EventDispatcher)
// wait for their data in Poll and read it. And the thread that makes lost
// links again. All live until the process ends.
#ifndef PARAMLINK_CLIENTIO_H
#define PARAMLINK_CLIENTIO_H

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace paramlink {

// What ClientIO calls of a socket config's link (SocketLink).
class WatchedLink {
public:
    virtual ~WatchedLink() = default;
    // The socket has data, or the reader thread is to retry.
    virtual void OnReadable() = 0;
    // Tries once to make the lost link again: 0 when done (or the link
    // closed), else the pause before the next attempt.
    virtual int Reconnect() = 0;
};

class ClientIO {
public:
    static ClientIO& Instance();

    // A key for the link's socket events.
    std::uint64_t Register(const std::shared_ptr<WatchedLink>& link);
    void Unregister(std::uint64_t key);
    // Reading by this thread on (Watch: first time), off, or the socket
    // forgotten. Data already waiting is reported when turned on.
    bool Watch(int fd, std::uint64_t key);
    bool Arm(int fd, std::uint64_t key);
    void Disarm(int fd, std::uint64_t key);
    void Forget(int fd);

    // Waits up to timeoutMs for socket data (or WakePoller) and reads it.
    void Poll(int timeoutMs);
    // Ends a Poll in progress.
    void WakePoller();

    // Calls link->Reconnect() after delayMs, and again after the delay it
    // returns until it returns 0; the link may go meanwhile.
    void ReconnectLater(const std::shared_ptr<WatchedLink>& link, int delayMs);

private:
    ClientIO();
    bool control(int op, int fd, std::uint64_t key, std::uint32_t events);
    void reconnectLoop();

    int _epoll = -1;
    int _wake = -1;
    std::mutex _mutex;
    std::uint64_t _nextKey = 1;
    std::unordered_map<std::uint64_t, std::weak_ptr<WatchedLink>> _links;
    // Poll's: one thread polls at a time.
    std::vector<std::shared_ptr<WatchedLink>> _ready;

    std::mutex _retryMutex;
    std::condition_variable _retryWake;
    std::multimap<std::chrono::steady_clock::time_point, std::weak_ptr<WatchedLink>> _retries;
    bool _retrying = false;
};

} // namespace paramlink

#endif
