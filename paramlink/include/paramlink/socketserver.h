// Serves this process's configs to other processes over TCP.
#ifndef PARAMLINK_SOCKETSERVER_H
#define PARAMLINK_SOCKETSERVER_H

#include <memory>

#include "paramlink/paramlinkexport.h"

namespace velora {
namespace stackline {
namespace config {
namespace access {

class ServerCore;

class PARAMLINK_EXPORT SocketServer {
public:
    // Port 0 picks a free port (see GetPort).
    explicit SocketServer(int port);
    virtual ~SocketServer();
    SocketServer(const SocketServer&) = delete;
    SocketServer& operator=(const SocketServer&) = delete;

    // Binds and listens; 0 when the port cannot be had.
    int Initialize();
    // Starts accepting clients; 0 unless Initialize succeeded.
    int Start();

    // The bound port, 0 before Initialize.
    int GetPort() const;
    // How long a peer may sit in the middle of a frame, or silent before
    // its greeting, before it is dropped (default 10000 ms).
    void SetStallTimeoutMs(int ms);
    // Clients held at once (default 1024); the last place is kept for
    // clients on this host (loopback), and newcomers past the limit are told
    // why and closed. Start raises the process's file-descriptor limit for
    // them as far as the hard limit allows, else holds fewer (and logs it).
    void SetMaxClients(int clients);
    // The clients allowed now.
    int GetMaxClients() const;

private:
    std::unique_ptr<ServerCore> _core;
};

} // namespace access
} // namespace config
} // namespace stackline
} // namespace velora

#endif
