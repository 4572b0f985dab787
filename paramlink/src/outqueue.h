// What waits to be sent to one client of a server: whole frames, in order.
// While the client keeps up, events are queued as they come. Once its
// queue passes the limit it is given, later events are conflated: only the
// latest event of each parameter is kept (in the order each parameter
// first changed) until the queue is below half the limit again, when they
// follow. Replies are never dropped and keep their place after the events
// before them.
#ifndef PARAMLINK_OUTQUEUE_H
#define PARAMLINK_OUTQUEUE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace paramlink {

class OutQueue {
public:
    // frames holds whole EVENT frames back to back.
    void AppendEvents(const char* frames, size_t length, size_t limit);
    // One whole frame that is not an event.
    void AppendReply(const std::string& frame);

    const char* Data() const { return _out.data() + _sent; }
    size_t Size() const { return _out.size() - _sent; }
    // n bytes of Data() have gone out.
    void Consumed(size_t n, size_t limit);

    // Bytes held: waiting to be sent and conflated.
    size_t Held() const { return _out.capacity() + _latestBytes; }
    bool Conflating() const { return !_latest.empty(); }
    // Events replaced by a later one of the same parameter, all told.
    std::uint64_t Replaced() const { return _replaced; }

private:
    void conflate(const char* frame, size_t length);
    void releaseConflated();

    std::string _out;
    size_t _sent = 0;
    std::vector<std::string> _latest;
    std::unordered_map<std::uint32_t, size_t> _latestIndex;
    size_t _latestBytes = 0;
    std::uint64_t _replaced = 0;
};

// Keeps only the last of the whole EVENT frames in blob for each
// parameter, in the order of those last ones.
void ConflateEvents(std::string& blob);

} // namespace paramlink

#endif
