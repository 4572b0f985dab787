// The requests of a socket config's link that wait for their replies, and
// the matching of each reply to its request by tag.
//
// Threads: every method with the link's mutex held. A waiter's own thread
// reads its done flag without the mutex while it has the reading turn;
// the rest of a waiter is its thread's once done.
#ifndef PARAMLINK_REPLYWAITERS_H
#define PARAMLINK_REPLYWAITERS_H

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <string>
#include <vector>

#include "storedvalue.h"
#include "wireformat.h"

namespace paramlink {

class ValueCache;

// One request's answer.
struct Reply {
    std::uint8_t status = 0;
    bool hasValue = false;
    StoredValue value;
    std::string reason;
    std::vector<wire::ListedParam> listing;
};

// A waiting request, on its caller's stack.
struct Waiter {
    Waiter(std::uint32_t tag, const std::uint32_t* cacheParam, Reply* reply)
        : tag(tag), cacheParam(cacheParam), reply(reply)
    {
    }
    const std::uint32_t tag;
    // The id under which the reply's value is cached; null: not cached.
    const std::uint32_t* const cacheParam;
    Reply* const reply;
    // Answered, or failed; set under the link's mutex.
    std::atomic<bool> done{false};
    bool answered = false;
    std::condition_variable wake;
};

class ReplyWaiters {
public:
    // Before the request leaves, so any reader finds its waiter.
    void Add(Waiter* waiter) { _waiters.push_back(waiter); }
    void Remove(Waiter* waiter);
    // Hands a REPLY or LISTING (listing: its entries) to the request of its
    // tag, if it still waits, and caches the value the request asked to be
    // cached before the request can see the reply, so in stream order (no
    // later event is overwritten by an older reply). A reply nobody waits
    // for is dropped.
    void Answer(const wire::Message& msg, std::vector<wire::ListedParam>& listing, ValueCache& cache);
    // Every waiting request done, unanswered (the socket dropped).
    void FailAll();
    // Wakes the first request still waiting, to read next; false when none
    // waits.
    bool WakeNext();

private:
    std::vector<Waiter*> _waiters;
};

} // namespace paramlink

#endif
