// Serves this process's configs to other processes over TCP.
#ifndef PARAMLINK_SOCKETSERVER_H
#define PARAMLINK_SOCKETSERVER_H

#include <memory>
#include <string>

#include "paramlink/paramlinkexport.h"

namespace paramlink {
class ServerCore;
} // namespace paramlink

namespace velora {
namespace stackline {
namespace config {
namespace access {

struct ServerProbe;

// Each client's changes are queued for it and sent with one write per pass
// of the server's loop; a client that falls behind is sent only the latest
// value of each parameter until it catches up. When the bytes held for all
// clients pass 256 MiB, the biggest holders among the clients that do not
// take their output are closed; a client that reads is never closed for
// another's sake.
class PARAMLINK_EXPORT SocketServer {
public:
    // Port 0 picks a free port (see GetPort).
    explicit SocketServer(int port);
    virtual ~SocketServer();
    SocketServer(const SocketServer&) = delete;
    SocketServer& operator=(const SocketServer&) = delete;

    // Before Initialize: listen on this one numeric IPv4 or IPv6 address
    // instead of every address; false (and every address still) when
    // address is not one.
    bool SetListenAddress(const std::string& address);
    // Whether SetListenAddress takes address.
    static bool IsListenAddress(const std::string& address);

    // Binds and listens; 0 when the port cannot be had.
    int Initialize();
    // Starts accepting clients; 0 unless Initialize succeeded.
    int Start();

    // The bound port, 0 before Initialize.
    int GetPort() const;
    // How long a client has from its connection to its greeting (however
    // its bytes trickle in), and how long a greeted one may sit in the
    // middle of a frame, before it is dropped (default 10000 ms). Before
    // its greeting no frame may be longer than a greeting.
    void SetStallTimeoutMs(int ms);
    // Clients held at once (default 1024); the last place is kept for
    // clients on this host (loopback), and when the table is full a
    // connection that has not greeted yet makes way for a newcomer; past
    // that, newcomers are told why and closed. Start raises the process's
    // file-descriptor limit for them as far as the hard limit allows, else
    // holds fewer (and logs it).
    void SetMaxClients(int clients);
    // The clients allowed now.
    int GetMaxClients() const;

private:
    friend struct ServerProbe;
    std::unique_ptr<paramlink::ServerCore> _core;
};

} // namespace access
} // namespace config
} // namespace stackline
} // namespace velora

#endif
