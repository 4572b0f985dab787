#include "localconfig.h"

#include "localdispatcher.h"

namespace paramlink {

LocalConfig::LocalConfig(ConfigStore* store) : ConfigBase(store->GetConfigID()), _store(store)
{
    LocalDispatcher::Instance();
    _store->Subscribe(this);
}

LocalConfig::~LocalConfig() { _store->Unsubscribe(this); }

void LocalConfig::Release()
{
    _store->Unsubscribe(this);
    // From inside one of our own callbacks Close cannot wait; the hub is
    // shared with the dispatcher, so freeing the config here is still safe.
    _hub->Close();
    delete this;
}

void LocalConfig::Post(const ValueChange& change, const std::string&)
{
    if (_hub->HasListeners())
        LocalDispatcher::Instance().Post(_hub, change);
}

bool LocalConfig::SetIntegerValue(eParam_t id, int value)
{
    return _store->Set(id, ValueKind::Integer, value, nullptr, 0);
}

bool LocalConfig::GetIntegerValue(eParam_t id, int& value)
{
    StoredValue v;
    if (_store->Read(id, ValueKind::Integer, v) != ConfigStore::Lookup::Ok)
        return false;
    value = v.intValue;
    return true;
}

bool LocalConfig::SetStringValue(eParam_t id, std::string value)
{
    return _store->Set(id, ValueKind::String, 0, value.data(), value.size());
}

bool LocalConfig::SetDataValue(eParam_t id, std::string bytes)
{
    return _store->Set(id, ValueKind::Data, 0, bytes.data(), bytes.size());
}

bool LocalConfig::readBytes(eParam_t id, ValueKind kind, std::string& out)
{
    StoredValue v;
    if (_store->Read(id, kind, v) != ConfigStore::Lookup::Ok)
        return false;
    out.swap(v.bytes);
    return true;
}

bool LocalConfig::GetStringValue(eParam_t id, std::string& value) { return readBytes(id, ValueKind::String, value); }

bool LocalConfig::GetDataValue(eParam_t id, std::string& bytes) { return readBytes(id, ValueKind::Data, bytes); }

} // namespace paramlink
