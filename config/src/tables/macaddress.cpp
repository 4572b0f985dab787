#include "tables/platformseam.h"

#include <cstdio>
#include <cstring>

#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tovikconfig {
namespace platform {

namespace {

bool SystemTcpProtocol(int* protocol)
{
    const protoent* entry = ::getprotobyname("tcp");
    if (!entry)
        return false;
    *protocol = entry->p_proto;
    return true;
}

int SystemOpenSocket(int protocol)
{
    return ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, protocol);
}

int SystemQueryHardwareAddress(int socket, ifreq* request)
{
    return ::ioctl(socket, SIOCGIFHWADDR, request);
}

void SystemCloseSocket(int socket)
{
    ::close(socket);
}

const InterfaceOps kSystemOps{&SystemTcpProtocol, &SystemOpenSocket, &SystemQueryHardwareAddress,
                              &SystemCloseSocket};
const InterfaceOps* gOps = &kSystemOps;

} // namespace

void SetInterfaceOps(const InterfaceOps* ops)
{
    gOps = ops ? ops : &kSystemOps;
}

const InterfaceOps& CurrentInterfaceOps()
{
    return *gOps;
}

std::string MacAddressText()
{
    const InterfaceOps& ops = CurrentInterfaceOps();
    int protocol = 0;
    if (!ops.tcpProtocol(&protocol))
        return "Proto error";
    const int fd = ops.openSocket(protocol);
    if (fd < 0)
        return "socket error";

    // A cleared request: an interface that cannot be queried reads as zeros.
    ifreq request;
    std::memset(&request, 0, sizeof(request));
    std::strncpy(request.ifr_name, kMacInterface, IFNAMSIZ - 1);
    const bool queried = ops.queryHardwareAddress(fd, &request) >= 0;
    ops.closeSocket(fd);

    unsigned char bytes[6] = {0, 0, 0, 0, 0, 0};
    if (queried)
        std::memcpy(bytes, request.ifr_hwaddr.sa_data, sizeof(bytes));
    char text[18];
    std::snprintf(text, sizeof(text), "%02X:%02X:%02X:%02X:%02X:%02X", bytes[0], bytes[1], bytes[2],
                  bytes[3], bytes[4], bytes[5]);
    return text;
}

} // namespace platform
} // namespace tovikconfig
