// One client of the socket server, on the server's loop thread only: it
// reads and answers the client's requests, and queues the config's changes
// for it; the loop sends what waits with one write per pass.
#ifndef PARAMLINK_SERVERCONNECTION_H
#define PARAMLINK_SERVERCONNECTION_H

#include <cstdint>
#include <string>

#include "configstore.h"
#include "outqueue.h"
#include "wireformat.h"

namespace paramlink {

class ServerChannel;
class ServerConnection;

// What a connection needs of its server.
class ConnectionHost {
public:
    virtual ~ConnectionHost() = default;
    // The server's channel of a config's changes.
    virtual ServerChannel* Channel(ConfigStore* store) = 0;
    // The queue length past which a client's events are conflated.
    virtual size_t EventLimit() const = 0;
    // The connection has something to send at the end of the pass.
    virtual void Dirty(ServerConnection* connection) = 0;
    // The bytes the connection holds changed by delta.
    virtual void Held(long long delta) = 0;
    // The connection was greeted.
    virtual void Greeted(ServerConnection* connection) = 0;
};

class ServerConnection {
public:
    // Takes the accepted, non-blocking socket.
    ServerConnection(int fd, std::string peer, ConnectionHost& host, long long now);
    // Leaves its channel, gives back what it held and closes the socket.
    ~ServerConnection();
    ServerConnection(const ServerConnection&) = delete;
    ServerConnection& operator=(const ServerConnection&) = delete;

    int Fd() const { return _fd; }
    const std::string& Peer() const { return _peer; }
    // The writer id its sets carry, also sent in its WELCOME.
    std::uint64_t ID() const { return _id; }

    // Reads and handles what the client sent; false when the connection is
    // over (the reason, if worth a line, is logged).
    bool OnReadable(long long now);
    // One send of what waits; false when the peer is gone.
    bool Flush(long long now);
    // Leaves the channel at once and stops counting what it holds (the
    // connection is being closed).
    void Detach();
    // Closing resets the connection rather than leave the kernel holding
    // output the client does not take.
    void Abort();
    // The config's changes, whole EVENT frames.
    void QueueEvents(const char* frames, size_t length, size_t limit);

    bool WantsWrite() const { return _out.Size() > 0; }
    bool Greeted() const { return _store != nullptr; }
    // Waiting for a greeting or the rest of a frame.
    bool Stalling() const { return !_store || _in.Pending() > 0; }
    long long AcceptedMs() const { return _acceptedMs; }
    long long LastProgressMs() const { return _lastProgressMs; }
    // Nothing waits for it, or it took some within the last deafMs.
    bool TakesOutput(long long now, int deafMs) const;
    // Bytes it holds: its buffers and conflated events.
    size_t Held() const { return _held; }
    bool Conflating() const { return _out.Conflating(); }
    void Closing(const std::string& why) const;

    // The loop's bookkeeping.
    std::uint64_t acceptOrder = 0;
    bool dirty = false;
    bool armed = false;
    bool stalling = true;
    bool closed = false;

    // The receive buffer starts this small and grows with what arrives.
    static constexpr size_t kInitialReadBuffer = 512;

private:
    // One message; false when the connection is to close. One function per
    // kind of message.
    bool process(const wire::Message& msg);
    bool onHello(const wire::Message& msg);
    // Answers the greeting with a refusal; false.
    bool refuseGreeting(std::uint8_t status, const std::string& reason);
    void onSet(const wire::Message& msg);
    void onGet(const wire::Message& msg);
    void onList(const wire::Message& msg);
    // Queues a frame that answers the client, after every change before it.
    void answer(const std::string& frame);
    void account();

    int _fd;
    std::string _peer;
    ConnectionHost& _host;
    const std::uint64_t _id;
    const long long _acceptedMs;
    long long _lastProgressMs;
    long long _lastOutputMs;

    wire::FrameBuffer _in{kInitialReadBuffer};
    ConfigStore* _store = nullptr;
    ServerChannel* _channel = nullptr;
    OutQueue _out;
    std::string _reply;
    size_t _held = 0;
    bool _detached = false;
    bool _warnedBehind = false;
};

} // namespace paramlink

#endif
