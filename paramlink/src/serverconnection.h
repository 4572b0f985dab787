// One client of the socket server. The server's loop thread reads and
// answers its requests; a change of the config is sent from the thread that
// made it, without ever waiting for the client, and what the socket cannot
// take at once is left to the loop.
#ifndef PARAMLINK_SERVERCONNECTION_H
#define PARAMLINK_SERVERCONNECTION_H

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "configstore.h"
#include "wireformat.h"

namespace paramlink {

class ServerConnection : private EventSinkIF {
public:
    // Asks the loop to look at this connection (output waiting for room in
    // the socket, or the client too slow); called from any thread, the
    // loop's own included.
    typedef std::function<void(int fd)> AttentionFn;

    // Takes the accepted, non-blocking socket; built on the loop thread.
    // queuedTotal counts the bytes waiting for all clients of the server.
    ServerConnection(int fd, std::string peer, std::atomic<size_t>* queuedTotal, AttentionFn attention);
    // Stops the config's changes first, then closes the socket.
    ~ServerConnection() override;
    ServerConnection(const ServerConnection&) = delete;
    ServerConnection& operator=(const ServerConnection&) = delete;

    int Fd() const { return _fd; }
    const std::string& Peer() const { return _peer; }

    // Handles what the socket reported; false when the connection is over
    // (the reason, if worth a line, is logged).
    bool OnEvents(std::uint32_t events);
    // Takes back an attention request; false when the client is to be
    // dropped as too slow.
    bool Attend();
    // Output waits for room in the socket.
    bool WantsWrite() const { return _outPending.load(std::memory_order_acquire); }
    bool Greeted() const { return _store != nullptr; }
    // Waiting for a greeting or the rest of a frame.
    bool Stalling() const { return !_store || _in.HasPartial(); }
    long long LastProgressMs() const { return _lastProgressMs; }
    // Logs why the connection is being closed.
    void Closing(const std::string& why) const;

    // Bytes waiting for one slow client beyond this drop it; so does
    // passing the server's total.
    static constexpr size_t kMaxQueuedBytes = 8u << 20;
    static constexpr size_t kMaxQueuedTotal = 256u << 20;
    // The receive buffer starts this small, so idle clients cost little.
    static constexpr size_t kInitialReadBuffer = 4096;

private:
    bool readAvailable();
    bool process(const wire::Message& msg);
    void queue(const std::string& frame);
    void flushLocked();
    // With _outMutex held: brings the server's total in line with _out.
    void accountLocked();
    void Post(const ValueChange& change, const std::string& frame) override;

    int _fd;
    std::string _peer;
    std::atomic<size_t>* _queuedTotal;
    AttentionFn _attention;
    std::thread::id _loop;
    long long _lastProgressMs;

    wire::FrameBuffer _in{kInitialReadBuffer};
    ConfigStore* _store = nullptr;
    std::string _reply;

    std::mutex _outMutex;
    std::string _out;
    size_t _outSent = 0;
    size_t _counted = 0;
    std::atomic<bool> _outPending{false};
    bool _overflow = false;
    bool _attentionAsked = false;
    bool _deferFlush = false;
    bool _inTurn = false; // reading this connection on the loop thread
};

long long MonotonicMs();

} // namespace paramlink

#endif
