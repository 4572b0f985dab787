#include "paramlink/socketserver.h"

#include "servercore.h"
#include "serverprobe.h"

namespace velora {
namespace stackline {
namespace config {
namespace access {

SocketServer::SocketServer(int port) : _core(new paramlink::ServerCore(port)) {}

SocketServer::~SocketServer() = default;

bool SocketServer::SetListenAddress(const std::string& address)
{
    paramlink::ListenAddress parsed;
    if (!paramlink::ParseListenAddress(address, &parsed))
        return false;
    _core->SetListenAddress(parsed);
    return true;
}

bool SocketServer::IsListenAddress(const std::string& address)
{
    paramlink::ListenAddress parsed;
    return paramlink::ParseListenAddress(address, &parsed);
}

int SocketServer::Initialize() { return _core->Initialize(); }

int SocketServer::Start() { return _core->Start(); }

int SocketServer::GetPort() const { return _core->GetPort(); }

void SocketServer::SetStallTimeoutMs(int ms) { _core->SetStallTimeoutMs(ms); }

void SocketServer::SetMaxClients(int clients) { _core->SetMaxClients(clients); }

int SocketServer::GetMaxClients() const { return _core->GetMaxClients(); }

size_t ServerProbe::HeldBytes(const SocketServer& server) { return server._core->HeldBytes(); }

void ServerProbe::SetHeldBudget(SocketServer& server, size_t bytes) { server._core->SetHeldBudget(bytes); }

} // namespace access
} // namespace config
} // namespace stackline
} // namespace velora
