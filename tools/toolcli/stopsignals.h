// How our long-running tools stop: SIGTERM and SIGINT are blocked in the
// calling thread (and every thread it starts after), so only the thread
// that waits for them with sigwait or sigtimedwait takes them.
#ifndef TOOLCLI_STOPSIGNALS_H
#define TOOLCLI_STOPSIGNALS_H

#include <csignal>

namespace toolcli {

// Call in main before any thread starts; returns the set to wait on.
sigset_t BlockStopSignals();

} // namespace toolcli

#endif
