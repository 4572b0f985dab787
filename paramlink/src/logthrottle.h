// Keeps a kind of log line to a few a second (one by default), so a flood
// of like events cannot flood the log; the next line counts the ones left
// out.
#ifndef PARAMLINK_LOGTHROTTLE_H
#define PARAMLINK_LOGTHROTTLE_H

#include <mutex>
#include <string>

#include "netutil.h"

namespace paramlink {

class LogThrottle {
public:
    explicit LogThrottle(unsigned linesPerSecond = 1) : _perSecond(linesPerSecond ? linesPerSecond : 1) {}

    // Logs line now, or counts it when the second's lines went out
    // already; more words the count ("N more since the last line").
    void Log(const std::string& line, const char* more = "more since the last line")
    {
        const long long now = MonotonicMs();
        unsigned long unlogged;
        {
            std::lock_guard<std::mutex> lock(_mutex);
            if (!_secondMs || now - _secondMs >= 1000) {
                _secondMs = now;
                _logged = 0;
            }
            if (_logged >= _perSecond) {
                ++_unlogged;
                return;
            }
            ++_logged;
            unlogged = _unlogged;
            _unlogged = 0;
        }
        paramlink::Log(line + (unlogged ? " (" + std::to_string(unlogged) + " " + more + ")" : std::string()));
    }

private:
    const unsigned _perSecond;
    std::mutex _mutex;
    // When the second of the lines counted in _logged began.
    long long _secondMs = 0;
    unsigned _logged = 0;
    unsigned long _unlogged = 0;
};

} // namespace paramlink

#endif
