#include "clientio.h"

#include <pthread.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>
#include <vector>

#include "eventdispatcher.h"
#include "netutil.h"

namespace paramlink {

ClientIO& ClientIO::Instance()
{
    // Never destroyed: its threads run while the process exits.
    static ClientIO* instance = new ClientIO;
    return *instance;
}

namespace {
// The key of the wake-up descriptor; links' keys start at 1.
const std::uint64_t kWakeKey = 0;
} // namespace

ClientIO::ClientIO() : _epoll(epoll_create1(EPOLL_CLOEXEC)), _wake(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC))
{
    if (_epoll < 0 || _wake < 0 || !control(EPOLL_CTL_ADD, _wake, kWakeKey, EPOLLIN))
        Log(std::string("cannot watch the configs' sockets: ") + std::strerror(errno));
}

std::uint64_t ClientIO::Register(const std::shared_ptr<WatchedLink>& link)
{
    std::uint64_t key;
    {
        std::lock_guard<std::mutex> lock(_mutex);
        key = _nextKey++;
        _links.emplace(key, link);
    }
    // Someone must read the socket.
    EventDispatcher::Instance().Start();
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

void ClientIO::WakePoller()
{
    std::uint64_t one = 1;
    ssize_t ignored = write(_wake, &one, sizeof one);
    (void)ignored;
}

void ClientIO::Poll(int timeoutMs)
{
    epoll_event events[256];
    const int n = epoll_wait(_epoll, events, 256, timeoutMs);
    if (n < 0) {
        if (errno != EINTR) {
            Log(std::string("cannot wait for the configs' sockets: ") + std::strerror(errno));
            std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
        }
        return;
    }
    {
        std::lock_guard<std::mutex> lock(_mutex);
        for (int i = 0; i < n; ++i) {
            if (events[i].data.u64 == kWakeKey) {
                std::uint64_t count;
                ssize_t ignored = read(_wake, &count, sizeof count);
                (void)ignored;
                continue;
            }
            auto it = _links.find(events[i].data.u64);
            // A link released since the event was reported is gone.
            std::shared_ptr<WatchedLink> link = it == _links.end() ? nullptr : it->second.lock();
            if (link)
                _ready.push_back(std::move(link));
        }
    }
    for (auto& link : _ready)
        link->OnReadable();
    _ready.clear();
}

void ClientIO::ReconnectLater(const std::shared_ptr<WatchedLink>& link, int delayMs)
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
        std::shared_ptr<WatchedLink> link = first->second.lock();
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
