#include "listenaddress.h"

#include <arpa/inet.h>
#include <sys/socket.h>

namespace paramlink {

bool ParseListenAddress(const std::string& text, ListenAddress* address)
{
    ListenAddress parsed;
    parsed.text = text;
    if (text.find('\0') != std::string::npos)
        return false;
    if (inet_pton(AF_INET, text.c_str(), &parsed.v4) == 1)
        parsed.family = AF_INET;
    else if (inet_pton(AF_INET6, text.c_str(), &parsed.v6) == 1)
        parsed.family = AF_INET6;
    else
        return false;
    *address = parsed;
    return true;
}

} // namespace paramlink
