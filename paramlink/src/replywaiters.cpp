#include "replywaiters.h"

#include <algorithm>

#include "valuecache.h"

namespace paramlink {

void ReplyWaiters::Remove(Waiter* waiter) { _waiters.erase(std::find(_waiters.begin(), _waiters.end(), waiter)); }

void ReplyWaiters::Answer(const wire::Message& msg, std::vector<wire::ListedParam>& listing, ValueCache& cache)
{
    for (Waiter* w : _waiters) {
        if (w->tag != msg.tag || w->done.load(std::memory_order_relaxed))
            continue;
        Reply& reply = *w->reply;
        reply.status = msg.status;
        reply.hasValue = msg.hasValue;
        reply.listing.swap(listing);
        if (msg.hasValue) {
            reply.value.Assign(msg.kind, msg.intValue, msg.bytes, msg.length);
            if (w->cacheParam)
                cache.Put(*w->cacheParam, reply.value);
        } else if (msg.status == wire::kRefused && msg.length) {
            reply.reason.assign(msg.bytes, msg.length);
        }
        w->answered = true;
        w->done.store(true, std::memory_order_release);
        w->wake.notify_one();
        return;
    }
}

void ReplyWaiters::FailAll()
{
    for (Waiter* w : _waiters) {
        w->done.store(true, std::memory_order_release);
        w->wake.notify_one();
    }
}

bool ReplyWaiters::WakeNext()
{
    for (Waiter* w : _waiters)
        if (!w->done.load(std::memory_order_relaxed)) {
            w->wake.notify_one();
            return true;
        }
    return false;
}

} // namespace paramlink
