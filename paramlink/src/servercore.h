// The socket server's one thread and everything it owns (SocketServer is
// its face): the listening socket and the admission of newcomers
// (serveraccept.cpp), and the clients, their configs' channels, the
// writes and the budget (servercore.cpp).
#ifndef PARAMLINK_SERVERCORE_H
#define PARAMLINK_SERVERCORE_H

#include <sys/socket.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "clientlimit.h"
#include "listenaddress.h"
#include "logthrottle.h"
#include "serverchannel.h"
#include "serverconnection.h"
#include "trimpacer.h"

namespace velora {
namespace stackline {
namespace config {
namespace access {

// One thread serves every client: it accepts, reads and answers requests,
// hands each config's changes to its clients, and at the end of each pass
// sends every client what waits for it with one write. It drops clients
// that do not greet in time or stall in the middle of a frame, and, when
// the bytes held for all clients pass the budget, the biggest holders that
// do not take their output.
class ServerCore : private paramlink::ConnectionHost {
public:
    explicit ServerCore(int port);
    ~ServerCore() override;

    int Initialize();
    int Start();
    int GetPort() const { return _boundPort; }
    // Before Initialize: the one address to listen on.
    void SetListenAddress(const paramlink::ListenAddress& address) { _address = address; }
    void SetStallTimeoutMs(int ms) { _stallTimeoutMs.store(ms > 0 ? ms : 1); }
    void SetMaxClients(int clients) { _limit.SetWanted(clients); }
    int GetMaxClients() const { return _limit.Allowed(); }
    size_t HeldBytes() const { return _heldReport.load(std::memory_order_relaxed); }
    void SetHeldBudget(size_t bytes) { _heldBudget.store(bytes); }

    // Bytes held for all clients past which the biggest holders that do
    // not take their output are closed.
    static constexpr size_t kMaxHeldTotal = 256u << 20;
    // A client whose output has not moved for this long does not take it.
    static constexpr int kDeafMs = 2000;
    // The bounds of one client's queue before its events are conflated.
    static constexpr size_t kMinEventLimit = 64u << 10;
    static constexpr size_t kMaxEventLimit = 1u << 20;

private:
    struct Client {
        std::unique_ptr<paramlink::ServerConnection> conn;
    };

    // ConnectionHost
    paramlink::ServerChannel* Channel(paramlink::ConfigStore* store) override;
    size_t EventLimit() const override { return _eventLimit; }
    void Dirty(paramlink::ServerConnection* connection) override;
    void Held(long long delta) override { _held += delta; }
    void Greeted(paramlink::ServerConnection* connection) override;

    void loop();
    void acceptAll(long long now);
    void admit(int fd, const sockaddr_storage& addr, long long now);
    bool evictUngreeted();
    void refuse(int fd, const std::string& peer, const std::string& reason, bool linger);
    void closeClient(int fd);
    void afterRead(paramlink::ServerConnection& conn);
    void flushDirty(long long now);
    void keepBudget(long long now);
    void updateEventLimit();
    void checkTimers(long long now);
    // Gives freed heap back once clients' queues are gone (TrimPacer).
    void trimHeap(long long now);
    // How long the loop may wait: for the timers, or a trim; -1 for ever.
    int timerMs() const;
    int checkTimerMs() const;
    void drainRefused(int fd);
    void wake();

    int _port;
    paramlink::ListenAddress _address;
    int _boundPort = 0;
    int _listenFd = -1;
    int _epollFd = -1;
    int _wakeFd = -1;
    // Given up to accept one client when no descriptor is left, so even
    // then a newcomer hears why it is refused.
    int _spareFd = -1;
    std::atomic<int> _stallTimeoutMs{10000};
    std::thread _thread;
    std::atomic<bool> _stop{false};
    std::atomic<bool> _wakePending{false};
    bool _started = false;
    paramlink::ClientLimit _limit;
    std::atomic<size_t> _heldReport{0};
    std::atomic<size_t> _heldBudget{kMaxHeldTotal};

    // Loop thread only.
    std::unordered_map<int, Client> _clients;
    std::unordered_map<int, long long> _refused; // socket -> when to give up
    std::vector<std::unique_ptr<paramlink::ServerConnection>> _closed;
    std::vector<int> _closedRefused;
    std::vector<std::unique_ptr<paramlink::ServerChannel>> _channels;
    std::vector<paramlink::ServerConnection*> _dirty;
    long long _held = 0;
    size_t _greeted = 0;
    size_t _eventLimit = kMaxEventLimit;
    int _stalling = 0;
    long long _nextCheck = 0;
    paramlink::TrimPacer _trim;
    std::uint64_t _accepted = 0;
};

// Adds fd to the epoll set (or changes its events with op).
bool WatchFd(int epollFd, int fd, std::uint32_t events, int op);
// The servers' lines about connections closed for want of a greeting.
paramlink::LogThrottle& UngreetedLog();

} // namespace access
} // namespace config
} // namespace stackline
} // namespace velora

#endif
