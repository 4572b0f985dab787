// Parsing of store URLs (grammar in paramlink/configfactory.h).
#ifndef PARAMLINK_STOREURL_H
#define PARAMLINK_STOREURL_H

#include <cstdint>
#include <string>

namespace paramlink {

constexpr std::int32_t kMaxConfigID = 255;

struct StoreUrl {
    enum class Scheme { Local, Socket };
    Scheme scheme = Scheme::Local;
    std::string host;
    std::uint16_t port = 0;
    std::int32_t configID = 0;
    bool caching = true;
};

// False with a reason in error when the text is not a store URL.
bool ParseStoreUrl(const std::string& text, StoreUrl& out, std::string& error);

} // namespace paramlink

#endif
