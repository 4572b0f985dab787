// Small socket helpers.
#ifndef PARAMLINK_NETUTIL_H
#define PARAMLINK_NETUTIL_H

#include <cstddef>
#include <cstdint>
#include <string>

#include "journalstream.h"

namespace paramlink {

// A connected TCP socket with TCP_NODELAY, or -1 with a reason.
int ConnectTcp(const std::string& host, unsigned short port, int timeoutMs, std::string& error);
void SetNoDelay(int fd);
// Sends everything, waiting at most timeoutMs for room; false on error.
bool SendAll(int fd, const char* data, size_t length, int timeoutMs);
// Waits for readable data; false on time-out or error.
bool WaitReadable(int fd, int timeoutMs);
// Adds fd to the epoll set (or changes its events with op).
bool WatchFd(int epollFd, int fd, std::uint32_t events, int op);
// A line of the store on standard error, "paramlink: " first; in the
// journal with its priority.
void Log(const std::string& line, journal::Priority priority = journal::kWarning);
// Milliseconds on the monotonic clock.
long long MonotonicMs();

} // namespace paramlink

#endif
