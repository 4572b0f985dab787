#include "localconfig.h"

namespace paramlink {

LocalConfig::LocalConfig(ConfigStore* store)
    : ConfigBase(store->GetConfigID(), "config " + std::to_string(store->GetConfigID()) + " (local)"),
      _store(store)
{
    _store->Subscribe(this);
}

LocalConfig::~LocalConfig() { _store->Unsubscribe(this); }

void LocalConfig::Release()
{
    _store->Unsubscribe(this);
    // From inside one of our own callbacks this cannot wait for the
    // callback; the queue's thread holds what it still needs.
    stopEvents();
    delete this;
}

bool LocalConfig::ListHeld(std::vector<HeldParam>& out)
{
    _store->List(out);
    return true;
}

// Called under the store's lock: copies the change and never blocks.
void LocalConfig::Post(const ValueChange& change, const std::string&)
{
    queueChange(change.id, change.kind, change.intValue, change.bytes, change.length, change.when);
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
