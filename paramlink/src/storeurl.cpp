#include "storeurl.h"

#include <cctype>

namespace paramlink {

namespace {

const size_t kMaxUrlLength = 1024;

bool allDigits(const std::string& s)
{
    if (s.empty())
        return false;
    for (char c : s)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// Decimal digits only, at most max; no sign, no blanks.
bool parseBounded(const std::string& s, std::uint32_t max, std::uint32_t& out)
{
    if (!allDigits(s) || s.size() > 10)
        return false;
    std::uint64_t v = 0;
    for (char c : s)
        v = v * 10 + std::uint64_t(c - '0');
    if (v > max)
        return false;
    out = std::uint32_t(v);
    return true;
}

bool validHost(const std::string& host)
{
    if (host.empty() || host.size() > 253)
        return false;
    for (char c : host) {
        unsigned char u = static_cast<unsigned char>(c);
        if (!std::isalnum(u) && c != '.' && c != '-')
            return false;
    }
    return true;
}

bool parseQuery(const std::string& query, StoreUrl& out, std::string& error)
{
    bool haveConfig = false;
    bool haveCaching = false;
    size_t pos = 0;
    while (true) {
        size_t amp = query.find('&', pos);
        std::string pair = query.substr(pos, amp == std::string::npos ? std::string::npos : amp - pos);
        size_t eq = pair.find('=');
        if (pair.empty() || eq == std::string::npos || eq == 0) {
            error = "malformed option \"" + pair + "\"";
            return false;
        }
        std::string key = pair.substr(0, eq);
        std::string value = pair.substr(eq + 1);
        if (key == "configid") {
            std::uint32_t id = 0;
            if (haveConfig) {
                error = "configid given twice";
                return false;
            }
            if (!parseBounded(value, std::uint32_t(kMaxConfigID), id)) {
                error = "configid must be a number from 0 to " + std::to_string(kMaxConfigID);
                return false;
            }
            out.configID = std::int32_t(id);
            haveConfig = true;
        } else if (key == "caching") {
            if (haveCaching) {
                error = "caching given twice";
                return false;
            }
            if (value == "true")
                out.caching = true;
            else if (value == "false")
                out.caching = false;
            else {
                error = "caching must be true or false";
                return false;
            }
            haveCaching = true;
        } else {
            error = "unknown option \"" + key + "\"";
            return false;
        }
        if (amp == std::string::npos)
            break;
        pos = amp + 1;
    }
    if (!haveConfig) {
        error = "configid missing";
        return false;
    }
    return true;
}

} // namespace

bool ParseStoreUrl(const std::string& text, StoreUrl& out, std::string& error)
{
    out = StoreUrl();
    if (text.empty()) {
        error = "empty URL";
        return false;
    }
    if (text.size() > kMaxUrlLength) {
        error = "URL too long";
        return false;
    }
    static const std::string kLocal = "local://";
    static const std::string kSocket = "socket://";
    if (text.compare(0, kLocal.size(), kLocal) == 0) {
        out.scheme = StoreUrl::Scheme::Local;
        return parseQuery(text.substr(kLocal.size()), out, error);
    }
    if (text.compare(0, kSocket.size(), kSocket) != 0) {
        error = "unknown scheme (expected socket:// or local://)";
        return false;
    }
    out.scheme = StoreUrl::Scheme::Socket;
    std::string rest = text.substr(kSocket.size());
    size_t sep = rest.find_first_of("/?");
    if (sep == std::string::npos) {
        error = "options missing after host and port";
        return false;
    }
    std::string authority = rest.substr(0, sep);
    std::string query = rest.substr(sep + 1);
    size_t colon = authority.rfind(':');
    if (colon == std::string::npos) {
        error = "port missing";
        return false;
    }
    out.host = authority.substr(0, colon);
    if (!validHost(out.host)) {
        error = "bad host \"" + out.host + "\"";
        return false;
    }
    std::uint32_t port = 0;
    if (!parseBounded(authority.substr(colon + 1), 65535, port) || port == 0) {
        error = "port must be a number from 1 to 65535";
        return false;
    }
    out.port = std::uint16_t(port);
    return parseQuery(query, out, error);
}

} // namespace paramlink
