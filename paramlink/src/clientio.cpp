#include "clientio.h"

#include <pthread.h>
#include <sys/epoll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>
#include <vector>

#include "netutil.h"
#include "socketlink.h"

namespace paramlink {

ClientIO& ClientIO::Instance()
{
    // Never destroyed: its threads run while the process exits.
    static ClientIO* instance = new ClientIO;
    return *instance;
}

ClientIO::ClientIO() : _epoll(epoll_create1(EPOLL_CLOEXEC))
{
    if (_epoll < 0)
        Log(std::string("cannot make the event reader's epoll set: ") + std::strerror(errno));
    std::thread([this] { readLoop(); }).detach();
}

std::uint64_t ClientIO::Register(const std::shared_ptr<SocketLink>& link)
{
    std::lock_guard<std::mutex> lock(_mutex);
    const std::uint64_t key = _nextKey++;
    _links.emplace(key, link);
    return key;
}

void ClientIO::Unregister(std::uint64_t key)
{
    std::lock_guard<std::mutex> lock(_mutex);
    _links.erase(key);
}

bool ClientIO::control(int op, int fd, std::uint64_t key, std::uint32_t events)
{
    epoll_event e;
    std::memset(&e, 0, sizeof e);
    e.events = events;
    e.data.u64 = key;
    return epoll_ctl(_epoll, op, fd, &e) == 0;
}

bool ClientIO::Watch(int fd, std::uint64_t key)
{
    return control(EPOLL_CTL_ADD, fd, key, EPOLLIN | EPOLLRDHUP | EPOLLET);
}

bool ClientIO::Arm(int fd, std::uint64_t key) { return control(EPOLL_CTL_MOD, fd, key, EPOLLIN | EPOLLRDHUP | EPOLLET); }

void ClientIO::Disarm(int fd, std::uint64_t key) { control(EPOLL_CTL_MOD, fd, key, 0); }

void ClientIO::Forget(int fd) { epoll_ctl(_epoll, EPOLL_CTL_DEL, fd, nullptr); }

void ClientIO::readLoop()
{
    pthread_setname_np(pthread_self(), "paramlink-rx");
    std::vector<epoll_event> events(256);
    for (;;) {
        const int n = epoll_wait(_epoll, events.data(), int(events.size()), -1);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            Log(std::string("the event reader stopped: ") + std::strerror(errno));
            return;
        }
        for (int i = 0; i < n; ++i) {
            std::shared_ptr<SocketLink> link;
            {
                std::lock_guard<std::mutex> lock(_mutex);
                auto it = _links.find(events[i].data.u64);
                if (it != _links.end())
                    link = it->second.lock();
            }
            // A link released since the event was reported is gone.
            if (link)
                link->OnReadable();
        }
    }
}

void ClientIO::ReconnectLater(const std::shared_ptr<SocketLink>& link, int delayMs)
{
    std::lock_guard<std::mutex> lock(_retryMutex);
    _retries.emplace(std::chrono::steady_clock::now() + std::chrono::milliseconds(delayMs), link);
    if (!_retrying) {
        _retrying = true;
        std::thread([this] { reconnectLoop(); }).detach();
    }
    _retryWake.notify_one();
}

void ClientIO::reconnectLoop()
{
    pthread_setname_np(pthread_self(), "paramlink-link");
    std::unique_lock<std::mutex> lock(_retryMutex);
    for (;;) {
        if (_retries.empty()) {
            _retryWake.wait(lock);
            continue;
        }
        auto first = _retries.begin();
        if (std::chrono::steady_clock::now() < first->first) {
            _retryWake.wait_until(lock, first->first);
            continue;
        }
        std::shared_ptr<SocketLink> link = first->second.lock();
        _retries.erase(first);
        if (!link)
            continue;
        lock.unlock();
        const int again = link->Reconnect();
        lock.lock();
        if (again > 0)
            _retries.emplace(std::chrono::steady_clock::now() + std::chrono::milliseconds(again), link);
    }
}

} // namespace paramlink
