// Connecting to a store and greeting it: how a socket config's link starts,
// and how it is made again after a loss. On the caller's thread; touches
// nothing but its arguments.
#ifndef PARAMLINK_LINKOPEN_H
#define PARAMLINK_LINKOPEN_H

#include <cstdint>
#include <string>

#include "storeurl.h"
#include "wireformat.h"

namespace paramlink {

constexpr int kConnectTimeoutMs = 2000;
// How long a greeting or a request waits for its answer.
constexpr int kReplyTimeoutMs = 3000;
// A reader waiting on a link's socket looks up this often, to see whether
// its time is up or the link is closing.
constexpr int kReadSliceMs = 100;

// Connects and greets: the socket, or -1 with a reason. in keeps what came
// after the greeting; connectionID is the one the store gave.
int OpenLink(const StoreUrl& url, wire::FrameBuffer& in, std::uint64_t& connectionID, std::string& error);

} // namespace paramlink

#endif
