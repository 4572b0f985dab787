#include "configbase.h"

#include "paramlink/descriptortable.h"

namespace paramlink {

ConfigBase::ConfigBase(eConfigID_t configID, const std::string& what)
    : _configID(configID),
      _table(DescriptorRegistry::GetDescriptorTable(configID)),
      _hub(std::make_shared<ListenerHub>()),
      _events(ListenerQueue::Start(_hub, what))
{
}

ConfigBase::~ConfigBase() { stopEvents(); }

void ConfigBase::stopEvents()
{
    _hub->Close();
    _events->Stop();
}

void ConfigBase::queueChange(eParam_t id, ValueKind kind, std::int32_t intValue, const char* bytes, size_t length,
                             const timeval& when)
{
    if (!_hub->HasListeners())
        return;
    OwnedChange change;
    change.id = id;
    change.kind = kind;
    change.intValue = intValue;
    if (length)
        change.bytes.assign(bytes, length);
    change.when = when;
    _events->Push(std::move(change));
}

ParamDescriptor* ConfigBase::GetParamDescriptor(eParam_t id) { return _table->GetDescriptor(id); }

ParamDescriptor* ConfigBase::GetParamDescriptor(std::string idName) { return _table->GetDescriptor(idName); }

std::list<eParam_t>& ConfigBase::GetParamIDList()
{
    std::lock_guard<std::mutex> lock(_idListMutex);
    const std::uint64_t generation = _table->GetGeneration();
    if (generation != _idListGeneration) {
        std::vector<eParam_t> ids = _table->GetParamIDs();
        _idList.assign(ids.begin(), ids.end());
        _idListGeneration = generation;
    }
    return _idList;
}

int ConfigBase::GetIntegerValue(eParam_t id)
{
    int value = 0;
    if (!GetIntegerValue(id, value))
        return 0;
    return value;
}

bool ConfigBase::GetIntegerValue(eParam_t id, int& value)
{
    StoredValue v;
    if (!read(id, ValueKind::Integer, v))
        return false;
    value = v.intValue;
    return true;
}

bool ConfigBase::GetStringValue(eParam_t id, std::string& value)
{
    StoredValue v;
    if (!read(id, ValueKind::String, v))
        return false;
    value.swap(v.bytes);
    return true;
}

bool ConfigBase::GetDataValue(eParam_t id, std::string& bytes)
{
    StoredValue v;
    if (!read(id, ValueKind::Data, v))
        return false;
    bytes.swap(v.bytes);
    return true;
}

bool ConfigBase::SetIntegerValue(eParam_t id, int value) { return set(id, ValueKind::Integer, value, nullptr, 0); }

bool ConfigBase::SetStringValue(eParam_t id, std::string value)
{
    return set(id, ValueKind::String, 0, value.data(), value.size());
}

bool ConfigBase::SetDataValue(eParam_t id, std::string bytes)
{
    return set(id, ValueKind::Data, 0, bytes.data(), bytes.size());
}

bool ConfigBase::AddEventListener(ConfigEventListener* listener) { return _hub->Add(listener); }

bool ConfigBase::RemoveEventListener(ConfigEventListener* listener) { return _hub->Remove(listener); }

} // namespace paramlink

bool ListHeldParams(Config* config, std::vector<HeldParam>& out)
{
    out.clear();
    auto* ours = dynamic_cast<paramlink::ConfigBase*>(config);
    if (!ours || !ours->ListHeld(out)) {
        out.clear();
        return false;
    }
    return true;
}
