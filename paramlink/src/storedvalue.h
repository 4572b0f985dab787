// One parameter value as the store keeps it, and one change of it.
#ifndef PARAMLINK_STOREDVALUE_H
#define PARAMLINK_STOREDVALUE_H

#include <sys/time.h>

#include <cstdint>
#include <string>

#include "paramlink/valuekind.h"
#include "tovikconfig/paramtypes.h"

namespace paramlink {

struct StoredValue {
    ValueKind kind = ValueKind::Integer;
    std::int32_t intValue = 0;
    std::string bytes;

    bool Equals(ValueKind k, std::int32_t i, const char* b, size_t n) const
    {
        if (kind != k)
            return false;
        if (k == ValueKind::Integer)
            return intValue == i;
        return bytes.size() == n && (n == 0 || bytes.compare(0, n, b, n) == 0);
    }
    void Assign(ValueKind k, std::int32_t i, const char* b, size_t n)
    {
        kind = k;
        intValue = k == ValueKind::Integer ? i : 0;
        if (k == ValueKind::Integer)
            bytes.clear();
        else
            bytes.assign(b, n);
    }
};

// Who made a change: the writer (a server connection or a config of this
// process, ids unique in the process; 0 when unknown) and the writer's
// sequence number of the write.
struct Origin {
    std::uint64_t writer = 0;
    std::uint32_t sequence = 0;
};

// A new writer id, never 0, unique in the process.
std::uint64_t NextWriterID();

// A value on its way, not owned (bytes points at a string or data value
// held elsewhere), with when and by whom it was written.
struct ValueFields {
    ValueKind kind = ValueKind::Integer;
    std::int32_t intValue = 0;
    const char* bytes = nullptr;
    size_t length = 0;
    timeval when{0, 0};
    Origin origin;
    // The store's number of the change: 1, 2, ... in its order.
    std::uint64_t number = 0;
};

// A change as the store reports it; bytes points at the stored value and
// is valid only during the call that hands the change on.
struct ValueChange : ValueFields {
    eConfigID_t configID = 0;
    eParam_t id = eParamID_None;
};

// A change that owns its bytes, for queues. own: the change was written
// through the config that delivers it. A change with a link note is none:
// it tells the link listeners that the link dropped or stands again.
enum class LinkNote : std::uint8_t { None, Lost, Restored };

struct OwnedChange {
    eParam_t id = eParamID_None;
    ValueKind kind = ValueKind::Integer;
    std::int32_t intValue = 0;
    std::string bytes;
    timeval when{0, 0};
    Origin origin;
    bool own = false;
    LinkNote link = LinkNote::None;
    // The store's number of the change, for a change of this process's
    // store (else 0).
    std::uint64_t number = 0;

    static OwnedChange Of(eParam_t id, ValueKind kind, std::int32_t intValue, const char* bytes, size_t length,
                          const timeval& when, const Origin& origin, bool own)
    {
        OwnedChange change;
        change.id = id;
        change.kind = kind;
        change.intValue = intValue;
        if (length)
            change.bytes.assign(bytes, length);
        change.when = when;
        change.origin = origin;
        change.own = own;
        return change;
    }
};

} // namespace paramlink

#endif
