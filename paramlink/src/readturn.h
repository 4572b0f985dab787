// Which thread reads a socket config's link: one at a time, the holder of
// the turn. A caller waiting for its reply takes the turn when it is free
// and reads for every waiter (leader/follower): it hands other callers
// their replies, and when its own is in, the turn to the next waiting
// caller; with none waiting, to the event thread (SocketWatch). The turn
// is taken for one connection of the link: what is read for an earlier one
// is dropped.
//
// Threads: every method with the link's mutex held, but Generation and
// Connection, which the holder reads while it holds the turn.
#ifndef PARAMLINK_READTURN_H
#define PARAMLINK_READTURN_H

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace paramlink {

class ReadTurn {
public:
    // A caller taking the turn reads without sleeping this long, while
    // replies usually come sooner.
    static constexpr long long kSpinUs = 50;

    bool Busy() const { return _busy; }
    // For the link's generation of socket and connection id.
    void Take(std::uint64_t generation, std::uint64_t connection);
    void Give();
    void WaitFree(std::unique_lock<std::mutex>& lock);
    // Those waiting for the turn look again (the link closes).
    void Wake() { _free.notify_all(); }
    std::uint64_t Generation() const { return _generation; }
    std::uint64_t Connection() const { return _connection; }

    // How long the caller taking the turn spins before it sleeps.
    int SpinUs() const;
    // A reply came us after its request left.
    void Replied(long long us);

private:
    bool _busy = false;
    std::condition_variable _free;
    std::uint64_t _generation = 0;
    std::uint64_t _connection = 0;
    // Replies' usual time in us (a moving average).
    long long _replyUs = 0;
};

} // namespace paramlink

#endif
