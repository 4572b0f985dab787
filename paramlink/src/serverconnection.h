// One client of the socket server, served by its own thread: it reads and
// answers the client's requests and forwards the config's changes to it.
#ifndef PARAMLINK_SERVERCONNECTION_H
#define PARAMLINK_SERVERCONNECTION_H

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "configstore.h"
#include "wireformat.h"

namespace paramlink {

class ServerConnection : private EventSinkIF {
public:
    // Takes the accepted, non-blocking socket. onFinished runs on the
    // connection's thread as its last act.
    ServerConnection(int fd, std::string peer, int stallTimeoutMs, std::function<void()> onFinished);
    ~ServerConnection() override;

    void Start();
    // Asks the thread to end; Join waits for it.
    void Stop();
    void Join();
    bool Finished() const { return _finished.load(std::memory_order_acquire); }

    // Bytes waiting for a slow client beyond this drop it.
    static constexpr size_t kMaxQueuedBytes = 8u << 20;

private:
    void run();
    bool readAvailable();
    bool process(const wire::Message& msg);
    void queue(const std::string& frame);
    void flushLocked();
    void flush();
    void wake();
    void Post(const ValueChange& change, const std::string& frame) override;
    void close(const std::string& why);

    int _fd;
    int _wakeFd;
    std::string _peer;
    int _stallTimeoutMs;
    std::function<void()> _onFinished;
    std::thread _thread;
    std::thread::id _self;
    std::atomic<bool> _stop{false};
    std::atomic<bool> _finished{false};

    wire::FrameBuffer _in;
    ConfigStore* _store = nullptr;
    std::string _reply;

    std::mutex _outMutex;
    std::string _out;
    size_t _outSent = 0;
    std::atomic<bool> _outPending{false};
    bool _overflow = false;
    bool _deferFlush = false;
};

} // namespace paramlink

#endif
