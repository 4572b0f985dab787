#include "convsim/wire.h"

#include <algorithm>

namespace convsim {

Bytes MakeResponse(uint8_t code, uint8_t status, const Bytes& payload)
{
    const size_t n = std::min(payload.size(), kMaxFrame - kHeaderBytes);
    const size_t total = kHeaderBytes + n;
    Bytes out;
    out.reserve(total);
    out.push_back(code);
    Put16(out, uint16_t(total));
    out.push_back(status);
    out.insert(out.end(), payload.begin(), payload.begin() + long(n));
    return out;
}

Bytes MakeCommand(uint8_t code, const Bytes& payload)
{
    const size_t n = std::min(payload.size(), kMaxFrame - kCommandHeader);
    Bytes out;
    out.reserve(kCommandHeader + n);
    out.push_back(code);
    Put16(out, uint16_t(kCommandHeader + n));
    out.insert(out.end(), payload.begin(), payload.begin() + long(n));
    return out;
}

bool IsKnownCommand(uint8_t code)
{
    // The sub-block commands have no defined layout; they are answered as
    // unknown.
    if (code == kWriteConfigSubblockCmd || code == kReadConfigSubblockCmd)
        return false;
    return code >= kReadProtocolVersionCmd && code <= kReadLongModuleNameCmd;
}

} // namespace convsim
