// The pauses between attempts to make a lost link again: the first a
// moment after the loss, then doubled per failed attempt up to the last,
// so a store that stays away is not asked at a steady rate.
//
// Threads: the link's, with its mutex held.
#ifndef PARAMLINK_RECONNECTPAUSE_H
#define PARAMLINK_RECONNECTPAUSE_H

#include <algorithm>

namespace paramlink {

class ReconnectPause {
public:
    static constexpr int kFirstMs = 250;
    static constexpr int kMaxMs = 4000;

    // The link was lost, or made again.
    void Reset() { _ms = kFirstMs; }
    // An attempt failed: the pause before the next.
    int Failed()
    {
        _ms = std::min(_ms * 2, kMaxMs);
        return _ms;
    }

private:
    int _ms = kFirstMs;
};

} // namespace paramlink

#endif
