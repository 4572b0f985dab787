#include "valuelimit.h"

#include <algorithm>
#include <cstdio>

#include "wireformat.h"

namespace paramlink {

size_t ValueLimit(const DescriptorKindInfo& info)
{
    if (info.kind == ValueKind::Integer)
        return wire::kMaxValueBytes;
    if (!info.hasMaxLength)
        return wire::kMaxValueBytes;
    return std::min(wire::kMaxValueBytes, std::max(kLengthFloor, size_t(info.maxLength)));
}

std::string LengthRefusal(const DescriptorKindInfo& info, size_t length, eParam_t id, eConfigID_t configID)
{
    const size_t limit = ValueLimit(info);
    if (info.kind == ValueKind::Integer || length <= limit)
        return std::string();
    char text[160];
    std::snprintf(text, sizeof text, "a value of %zu bytes for parameter 0x%08X of config %d is too long (at most %zu)",
                  length, unsigned(id), int(configID), limit);
    return text;
}

} // namespace paramlink
