#include "paramlink/descriptortable.h"

#include "tovikconfig/paramdescriptor.h"

DescriptorTable::DescriptorTable(eConfigID_t configID) : _configID(configID) {}

DescriptorTable::~DescriptorTable() = default;

void DescriptorTable::clear()
{
    std::vector<Entry> doomed;
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _byID.clear();
        _byName.clear();
        doomed.swap(_entries);
        ++_generation;
    }
    // Descriptors are freed outside the lock; nothing inside the library
    // holds their pointers.
}

bool DescriptorTable::AddDescriptor(ParamDescriptor* descriptor)
{
    std::unique_ptr<ParamDescriptor> owned(descriptor);
    if (!owned)
        return false;
    // Read the descriptor before it is shared with other threads.
    const std::uint32_t id = owned->GetParamID();
    std::string name = owned->GetParamIDName();
    DescriptorKindInfo kind = ResolveDescriptorKind(owned.get());

    std::function<bool(ParamDescriptor*)> hook;
    {
        std::lock_guard<std::mutex> lock(_mutex);
        hook = _refusalHook;
    }
    if (hook && hook(owned.get()))
        return false;

    std::lock_guard<std::mutex> lock(_mutex);
    if (_byID.count(id))
        return false;
    const size_t index = _entries.size();
    _entries.push_back(Entry{id, std::move(owned), std::move(kind)});
    _byID.emplace(id, index);
    _byName.emplace(std::move(name), index);
    ++_generation;
    return true;
}

ParamDescriptor* DescriptorTable::GetDescriptor(eParam_t const& id) const
{
    std::lock_guard<std::mutex> lock(_mutex);
    auto it = _byID.find(id);
    return it == _byID.end() ? nullptr : _entries[it->second].descriptor.get();
}

ParamDescriptor* DescriptorTable::GetDescriptor(std::string const& idName) const
{
    std::lock_guard<std::mutex> lock(_mutex);
    auto it = _byName.find(idName);
    return it == _byName.end() ? nullptr : _entries[it->second].descriptor.get();
}

std::string DescriptorTable::GetParamIDName(eParam_t id) const
{
    std::lock_guard<std::mutex> lock(_mutex);
    auto it = _byID.find(id);
    return it == _byID.end() ? std::string() : _entries[it->second].descriptor->GetParamIDName();
}

std::vector<eParam_t> DescriptorTable::GetParamIDs() const
{
    std::lock_guard<std::mutex> lock(_mutex);
    std::vector<eParam_t> ids;
    ids.reserve(_entries.size());
    for (const auto& entry : _entries)
        ids.push_back(eParam_t(entry.id));
    return ids;
}

size_t DescriptorTable::size() const
{
    std::lock_guard<std::mutex> lock(_mutex);
    return _entries.size();
}

bool DescriptorTable::LookupKind(eParam_t id, DescriptorKindInfo& out) const
{
    std::lock_guard<std::mutex> lock(_mutex);
    auto it = _byID.find(id);
    if (it == _byID.end())
        return false;
    out = _entries[it->second].kind;
    return true;
}

std::vector<DescriptorTable::Summary> DescriptorTable::Summaries() const
{
    std::lock_guard<std::mutex> lock(_mutex);
    std::vector<Summary> out;
    out.reserve(_entries.size());
    for (const auto& entry : _entries)
        out.push_back(Summary{eParam_t(entry.id), std::string(), entry.kind});
    for (const auto& named : _byName)
        out[named.second].idName = named.first;
    return out;
}

std::uint64_t DescriptorTable::GetGeneration() const { return _generation.load(std::memory_order_acquire); }

void DescriptorTable::SetRefusalHook(std::function<bool(ParamDescriptor*)> hook)
{
    std::lock_guard<std::mutex> lock(_mutex);
    _refusalHook = std::move(hook);
}

DescriptorTable* DescriptorRegistry::GetDescriptorTable(eConfigID_t const& configID)
{
    // Never destroyed: store threads may still look tables up while the
    // process exits.
    static std::mutex* mutex = new std::mutex;
    static auto* tables = new std::map<eConfigID_t, std::unique_ptr<DescriptorTable>>;
    std::lock_guard<std::mutex> lock(*mutex);
    auto& slot = (*tables)[configID];
    if (!slot)
        slot.reset(new DescriptorTable(configID));
    return slot.get();
}
