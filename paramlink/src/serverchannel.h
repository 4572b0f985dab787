// The changes of one config on their way to a server's clients of it. The
// store posts each change's EVENT frame here, from whichever thread made
// it; the server's loop hands what waits to every member connection at its
// next pass (or before it answers one of them, so a client's own change
// comes before the answer to its set), and each connection sends all of it
// with one write.
#ifndef PARAMLINK_SERVERCHANNEL_H
#define PARAMLINK_SERVERCHANNEL_H

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "configstore.h"

namespace paramlink {

class ServerConnection;

class ServerChannel : private EventSinkIF {
public:
    // Past this many bytes waiting for the loop (writers of this process
    // far ahead of it), only the latest change of each parameter waits.
    static constexpr size_t kMaxWaiting = 64u << 20;

    // Made on the loop thread; wake asks the loop for a pass, from
    // another thread.
    ServerChannel(ConfigStore* store, std::function<void()> wake);
    ~ServerChannel() override;
    ServerChannel(const ServerChannel&) = delete;
    ServerChannel& operator=(const ServerChannel&) = delete;

    ConfigStore* Store() const { return _store; }

    // The loop thread's.
    void Join(ServerConnection* connection);
    void Leave(ServerConnection* connection);
    bool Waiting() const { return _waiting.load(std::memory_order_acquire); }
    // Hands every waiting change to every member; limit as in OutQueue.
    void Drain(size_t limit);
    // Bytes waiting for the loop.
    size_t WaitingBytes();

private:
    void Post(const ValueChange& change, const std::string& frame) override;

    ConfigStore* _store;
    std::function<void()> _wake;
    std::thread::id _loop;
    std::atomic<int> _memberCount{0};
    std::atomic<bool> _waiting{false};

    std::mutex _mutex;
    std::string _pending;

    // Loop thread only.
    std::string _taken;
    std::vector<ServerConnection*> _members;
};

} // namespace paramlink

#endif
