// The socket server's one thread and everything it owns (SocketServer is
// its face): who gets in (Admission), and the clients, their configs'
// channels, the writes and the budget.
//
// Threads: the constructor, SetListenAddress, Initialize and Start on the
// owner's thread, in this order; the setters and getters below on any
// thread; everything else on the loop thread, which the destructor ends
// first.
#ifndef PARAMLINK_SERVERCORE_H
#define PARAMLINK_SERVERCORE_H

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "admission.h"
#include "listenaddress.h"
#include "serverchannel.h"
#include "serverconnection.h"
#include "trimpacer.h"

namespace paramlink {

// One thread serves every client: it accepts, reads and answers requests,
// hands each config's changes to its clients, and at the end of each pass
// sends every client what waits for it with one write. It drops clients
// that do not greet in time or stall in the middle of a frame, and, when
// the bytes held for all clients pass the budget, the biggest holders that
// do not take their output.
class ServerCore : private ConnectionHost, private AdmissionHost {
public:
    explicit ServerCore(int port);
    ~ServerCore() override;

    int Initialize();
    int Start();
    int GetPort() const { return _admission.Port(); }
    // Before Initialize: the one address to listen on.
    void SetListenAddress(const ListenAddress& address) { _admission.SetAddress(address); }
    void SetStallTimeoutMs(int ms) { _stallTimeoutMs.store(ms > 0 ? ms : 1); }
    void SetMaxClients(int clients) { _admission.SetMaxClients(clients); }
    int GetMaxClients() const { return _admission.MaxClients(); }
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
        std::unique_ptr<ServerConnection> conn;
    };

    // ConnectionHost
    ServerChannel* Channel(ConfigStore* store) override;
    size_t EventLimit() const override { return _eventLimit; }
    void Dirty(ServerConnection* connection) override;
    void Held(long long delta) override { _held += delta; }
    void Greeted(ServerConnection* connection) override;

    // AdmissionHost
    size_t Connections() const override { return _clients.size(); }
    void ForEachConnection(const std::function<void(const ServerConnection&)>& visit) const override;
    void Admit(int fd, const std::string& peer, std::uint64_t order, long long now) override;
    void Evict(int fd) override { closeClient(fd); }

    void loop();
    // One socket the loop's wait reported.
    void onEvent(int fd, std::uint32_t events, long long now);
    void closeClient(int fd);
    void afterRead(ServerConnection& conn);
    void flushDirty(long long now);
    void keepBudget(long long now);
    void updateEventLimit();
    void checkTimers(long long now);
    // Closes the clients that did not greet in time or stall in the middle
    // of a frame.
    void closeStalled(long long now, int stallMs);
    // Gives freed heap back once clients' queues are gone (TrimPacer).
    void trimHeap(long long now);
    // How long the loop may wait: for the timers, or a trim; -1 for ever.
    int timerMs() const;
    int checkTimerMs() const;
    void wake();

    int _epollFd = -1;
    int _wakeFd = -1;
    Admission _admission;
    std::atomic<int> _stallTimeoutMs{10000};
    std::thread _thread;
    std::atomic<bool> _stop{false};
    std::atomic<bool> _wakePending{false};
    bool _started = false;
    std::atomic<size_t> _heldReport{0};
    std::atomic<size_t> _heldBudget{kMaxHeldTotal};

    // Loop thread only.
    std::unordered_map<int, Client> _clients;
    std::vector<std::unique_ptr<ServerConnection>> _closed;
    std::vector<std::unique_ptr<ServerChannel>> _channels;
    std::vector<ServerConnection*> _dirty;
    long long _held = 0;
    size_t _greeted = 0;
    size_t _eventLimit = kMaxEventLimit;
    int _stalling = 0;
    long long _nextCheck = 0;
    TrimPacer _trim;
};

} // namespace paramlink

#endif
