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

bool LocalConfig::set(eParam_t id, ValueKind kind, std::int32_t intValue, const char* bytes, size_t length)
{
    return _store->Set(id, kind, intValue, bytes, length);
}

bool LocalConfig::read(eParam_t id, ValueKind wanted, StoredValue& out)
{
    return _store->Read(id, wanted, out) == ConfigStore::Lookup::Ok;
}

} // namespace paramlink
