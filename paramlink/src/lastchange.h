// The last change of a stored value, and whether a set that gives way to
// changes its caller has not heard of may write over it.
#ifndef PARAMLINK_LASTCHANGE_H
#define PARAMLINK_LASTCHANGE_H

#include <cstdint>

#include "storedvalue.h"

namespace paramlink {

struct LastChange {
    // Who made it.
    Origin origin;
    // The store's count of changes once it was made: changes are numbered
    // 1, 2, ... in the store's order; 0 for a value never changed.
    std::uint64_t number = 0;
};

// What a conditional set through one config knows.
struct HeardSoFar {
    // The config's own writer id.
    std::uint64_t writer = 0;
    // The change its caller last heard of for the value (writer 0: none).
    Origin lastHeard;
    // Whether the config has listeners, and the store's count of changes
    // when they last went from none to some (or the number of the newest
    // change dropped from their queue since): no earlier change is waited
    // for.
    bool listening = false;
    std::uint64_t listeningSince = 0;
};

// True when the value's last change leaves nothing for the caller to wait
// for: it was made through the same config, it is the change the caller
// last heard of, or no event of it will ever reach the config's listeners
// (made before they listened, dropped from their queue, or never made).
// False for a change by another writer that the listeners are yet to hear
// of, or have heard of while the caller did not yet know.
bool MayWriteOver(const LastChange& last, const HeardSoFar& heard);

} // namespace paramlink

#endif
