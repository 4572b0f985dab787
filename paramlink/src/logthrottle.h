// Keeps a kind of log line to one a second, so a flood of like events
// cannot flood the log; the next line counts the ones left out.
#ifndef PARAMLINK_LOGTHROTTLE_H
#define PARAMLINK_LOGTHROTTLE_H

#include <mutex>
#include <string>

#include "netutil.h"

namespace paramlink {

class LogThrottle {
public:
    // Logs line now, or counts it when a line went out less than a second
    // ago; more words the count ("N more since the last line").
    void Log(const std::string& line, const char* more = "more since the last line")
    {
        const long long now = MonotonicMs();
        unsigned long unlogged;
        {
            std::lock_guard<std::mutex> lock(_mutex);
            if (_lastMs && now - _lastMs < 1000) {
                ++_unlogged;
                return;
            }
            _lastMs = now;
            unlogged = _unlogged;
            _unlogged = 0;
        }
        paramlink::Log(line + (unlogged ? " (" + std::to_string(unlogged) + " " + more + ")" : std::string()));
    }

private:
    std::mutex _mutex;
    long long _lastMs = 0;
    unsigned long _unlogged = 0;
};

} // namespace paramlink

#endif
