// The address a server listens on: every address (the default), or one
// numeric IPv4 ("127.0.0.1") or IPv6 ("::1") address.
#ifndef PARAMLINK_LISTENADDRESS_H
#define PARAMLINK_LISTENADDRESS_H

#include <netinet/in.h>

#include <string>

namespace paramlink {

struct ListenAddress {
    // 0: every address (IPv6 and IPv4 where IPv6 exists, else IPv4);
    // AF_INET or AF_INET6: that one address.
    int family = 0;
    in_addr v4{htonl(INADDR_ANY)};
    in6_addr v6 = IN6ADDR_ANY_INIT;
    std::string text;
};

// Reads a numeric IPv4 or IPv6 address (no host name, brackets, port or
// scope); false, leaving *address as it was, for anything else.
bool ParseListenAddress(const std::string& text, ListenAddress* address);

} // namespace paramlink

#endif
