#include "paramlink/descriptortable.h"

#include "tovikconfig/paramdescriptor.h"

DescriptorTable::DescriptorTable(eConfigID_t configID) : _configID(configID) {}

DescriptorTable::~DescriptorTable() = default;

void DescriptorTable::clear()
{
    std::lock_guard<std::mutex> lock(_mutex);
    _byID.clear();
    _byName.clear();
    _descriptors.clear();
}

bool DescriptorTable::AddDescriptor(ParamDescriptor* descriptor)
{
    std::unique_ptr<ParamDescriptor> owned(descriptor);
    if (!owned)
        return false;
    std::lock_guard<std::mutex> lock(_mutex);
    if (_refusalHook && _refusalHook(owned.get()))
        return false;
    const std::uint32_t id = owned->GetParamID();
    if (_byID.count(id))
        return false;
    ParamDescriptor* raw = owned.get();
    _byID[id] = raw;
    _byName.emplace(raw->GetParamIDName(), raw);
    _descriptors.push_back(std::move(owned));
    return true;
}

ParamDescriptor* DescriptorTable::GetDescriptor(eParam_t const& id) const
{
    std::lock_guard<std::mutex> lock(_mutex);
    auto it = _byID.find(id);
    return it == _byID.end() ? nullptr : it->second;
}

ParamDescriptor* DescriptorTable::GetDescriptor(std::string const& idName) const
{
    std::lock_guard<std::mutex> lock(_mutex);
    auto it = _byName.find(idName);
    return it == _byName.end() ? nullptr : it->second;
}

std::vector<eParam_t> DescriptorTable::GetParamIDs() const
{
    std::lock_guard<std::mutex> lock(_mutex);
    std::vector<eParam_t> ids;
    ids.reserve(_descriptors.size());
    for (const auto& d : _descriptors)
        ids.push_back(d->GetParamID());
    return ids;
}

size_t DescriptorTable::size() const
{
    std::lock_guard<std::mutex> lock(_mutex);
    return _descriptors.size();
}

void DescriptorTable::SetRefusalHook(std::function<bool(ParamDescriptor*)> hook)
{
    std::lock_guard<std::mutex> lock(_mutex);
    _refusalHook = std::move(hook);
}

DescriptorTable* DescriptorRegistry::GetDescriptorTable(eConfigID_t const& configID)
{
    static std::mutex mutex;
    static std::map<eConfigID_t, std::unique_ptr<DescriptorTable>> tables;
    std::lock_guard<std::mutex> lock(mutex);
    auto& slot = tables[configID];
    if (!slot)
        slot.reset(new DescriptorTable(configID));
    return slot.get();
}
