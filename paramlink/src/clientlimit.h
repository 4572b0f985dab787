// How many clients a socket server holds at once, the file descriptors they
// need, and the server log's lines about newcomers it turns away.
#ifndef PARAMLINK_CLIENTLIMIT_H
#define PARAMLINK_CLIENTLIMIT_H

#include <atomic>
#include <mutex>
#include <string>

#include "logthrottle.h"

namespace paramlink {

class ClientLimit {
public:
    static constexpr int kDefaultClients = 1024;
    // Descriptors left for everything else the process opens.
    static constexpr int kReservedFds = 256;

    // Takes effect at Apply, or at once after it.
    void SetWanted(int clients);
    // Raises the process's soft file-descriptor limit as far as the wanted
    // clients need and the hard limit allows; when it cannot, fewer clients
    // are allowed and the log says so.
    void Apply();
    int Allowed() const { return _allowed.load(std::memory_order_relaxed); }

    // One line a second at most; the next line counts those left out.
    void LogRefusal(const std::string& peer, const std::string& reason);

private:
    std::atomic<int> _wanted{kDefaultClients};
    std::atomic<int> _allowed{kDefaultClients};
    std::mutex _mutex;
    bool _applied = false;
    LogThrottle _refusals;
};

} // namespace paramlink

#endif
