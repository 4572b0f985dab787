// What a server holds, for tests and benchmarks of the library.
#ifndef PARAMLINK_SERVERPROBE_H
#define PARAMLINK_SERVERPROBE_H

#include <cstddef>

#include "paramlink/socketserver.h"

namespace velora {
namespace stackline {
namespace config {
namespace access {

struct ServerProbe {
    // Bytes held for all clients (their buffers and queued events) at the
    // end of the server loop's last pass.
    static size_t HeldBytes(const SocketServer& server);
    // The bytes held for all clients past which the biggest holders that
    // do not take their output are closed (256 MiB unless changed).
    static void SetHeldBudget(SocketServer& server, size_t bytes);
};

} // namespace access
} // namespace config
} // namespace stackline
} // namespace velora

#endif
