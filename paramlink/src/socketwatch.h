// The event thread's watch of a socket config's link (ClientIO): on while
// the config has listeners and no caller holds the reading turn, so what
// comes is read at once; edge-triggered, and off while a caller reads.
//
// Threads: every method with the link's mutex held, but Register and
// Unregister, at the link's start and end.
#ifndef PARAMLINK_SOCKETWATCH_H
#define PARAMLINK_SOCKETWATCH_H

#include <cstdint>
#include <memory>

namespace paramlink {

class WatchedLink;

class SocketWatch {
public:
    // The link whose OnReadable the event thread calls.
    void Register(const std::shared_ptr<WatchedLink>& link);
    void Unregister();

    // The config has listeners: once on, the watch stays wanted.
    bool Wanted() const { return _wanted; }
    void Want() { _wanted = true; }
    // The event thread reads next, when wanted: the watch goes on (data
    // already waiting is reported), or is asked again (rearm: a reader
    // stopped with data maybe left).
    void Hand(int fd, bool rearm);
    // A caller reads: no reports meanwhile.
    void Disarm(int fd);
    // The socket is dropped.
    void Forget(int fd);
    // A new socket replaces the dropped one.
    void Reset() { _inSet = _armed = false; }

private:
    std::uint64_t _key = 0;
    bool _wanted = false;
    // The socket is in the event thread's set, and reported on.
    bool _inSet = false;
    bool _armed = false;
};

} // namespace paramlink

#endif
