// The values a socket config's link has seen, by id: those of replies that
// asked to be cached and those of events, in stream order, so a cached read
// costs no round trip. Emptied whenever the link drops or is made again.
//
// Threads: Get, Put and Clear on any thread, under the cache's own mutex,
// which is taken after the link's mutex, never before it. PutEvent is the
// thread's with the link's reading turn (it alone keeps the table's ids).
#ifndef PARAMLINK_VALUECACHE_H
#define PARAMLINK_VALUECACHE_H

#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <unordered_set>

#include "storedvalue.h"

class DescriptorTable;

namespace paramlink {

class ValueCache {
public:
    // Off, it holds nothing and finds nothing.
    ValueCache(bool on, DescriptorTable* table) : _on(on), _table(table) {}
    ValueCache(const ValueCache&) = delete;
    ValueCache& operator=(const ValueCache&) = delete;

    bool On() const { return _on; }
    // The value held for the id, when it is of the kind wanted.
    bool Get(std::uint32_t id, ValueKind kind, StoredValue& out);
    // A value a reply brought.
    void Put(std::uint32_t id, const StoredValue& value);
    // A value an event brought; held only for ids of this process's table,
    // so a peer cannot grow the cache without bound.
    void PutEvent(std::uint32_t id, const ValueFields& value);
    void Clear();

private:
    // The reading thread's: this process's table holds the id.
    bool inTable(std::uint32_t id);

    const bool _on;
    DescriptorTable* const _table;
    // The reading thread's: the ids of the table as of a generation of it
    // (shared by the links of the table).
    std::shared_ptr<const std::unordered_set<std::uint32_t>> _tableIds;
    std::uint64_t _tableGeneration = ~std::uint64_t(0);

    std::mutex _mutex;
    std::unordered_map<std::uint32_t, StoredValue> _values;
};

} // namespace paramlink

#endif
