#include "valuecache.h"

#include "paramlink/descriptortable.h"

namespace paramlink {

namespace {

// The ids a table holds, one set per table and generation for all the
// links of its config.
std::shared_ptr<const std::unordered_set<std::uint32_t>> tableIds(DescriptorTable* table, std::uint64_t generation)
{
    struct Known {
        std::uint64_t generation;
        std::shared_ptr<const std::unordered_set<std::uint32_t>> ids;
    };
    // Never destroyed: links may look tables up while the process exits.
    static std::mutex* mutex = new std::mutex;
    static auto* known = new std::unordered_map<DescriptorTable*, Known>;
    std::lock_guard<std::mutex> lock(*mutex);
    Known& entry = (*known)[table];
    if (!entry.ids || entry.generation != generation) {
        auto ids = std::make_shared<std::unordered_set<std::uint32_t>>();
        for (eParam_t id : table->GetParamIDs())
            ids->insert(std::uint32_t(id));
        entry.ids = std::move(ids);
        entry.generation = generation;
    }
    return entry.ids;
}

} // namespace

bool ValueCache::Get(std::uint32_t id, ValueKind kind, StoredValue& out)
{
    std::lock_guard<std::mutex> lock(_mutex);
    auto it = _values.find(id);
    if (it == _values.end() || it->second.kind != kind)
        return false;
    out = it->second;
    return true;
}

void ValueCache::Put(std::uint32_t id, const StoredValue& value)
{
    if (!_on)
        return;
    std::lock_guard<std::mutex> lock(_mutex);
    _values[id] = value;
}

void ValueCache::PutEvent(std::uint32_t id, const ValueFields& value)
{
    if (!_on || !inTable(id))
        return;
    std::lock_guard<std::mutex> lock(_mutex);
    _values[id].Assign(value.kind, value.intValue, value.bytes, value.length);
}

void ValueCache::Clear()
{
    std::lock_guard<std::mutex> lock(_mutex);
    _values.clear();
}

bool ValueCache::inTable(std::uint32_t id)
{
    // Looked up again only when the table changed, not per event.
    const std::uint64_t generation = _table->GetGeneration();
    if (generation != _tableGeneration) {
        _tableIds = tableIds(_table, generation);
        _tableGeneration = generation;
    }
    return _tableIds->count(id) > 0;
}

} // namespace paramlink
