// The platform reads behind the box identity texts, replaceable by tests.
// Not part of the library's public headers.
#ifndef TOVIKCONFIG_TABLES_PLATFORMSEAM_H
#define TOVIKCONFIG_TABLES_PLATFORMSEAM_H

#include <string>

struct ifreq;

namespace tovikconfig {
namespace platform {

constexpr const char* kSerialNumberPath = "/proc/device-tree/serial-number";
constexpr const char* kSerialNumberFallback = "RXD000000";
constexpr const char* kMacInterface = "eth0";

// The steps of the MAC address query, each replaceable.
struct InterfaceOps {
    // Protocol number of "tcp"; false when the protocol entry is missing.
    bool (*tcpProtocol)(int* protocol);
    // A socket of family AF_INET, type SOCK_STREAM; negative on failure.
    int (*openSocket)(int protocol);
    // SIOCGIFHWADDR on the socket; negative on failure.
    int (*queryHardwareAddress)(int socket, ifreq* request);
    void (*closeSocket)(int socket);
};

// The file the serial number is read from; empty restores the device tree.
void SetSerialNumberPath(const std::string& path);
std::string SerialNumberPath();

// Null restores the system's calls.
void SetInterfaceOps(const InterfaceOps* ops);
const InterfaceOps& CurrentInterfaceOps();

// The factory default of the MAC address parameter.
std::string MacAddressText();

} // namespace platform
} // namespace tovikconfig

#endif
