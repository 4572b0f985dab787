#include "localconfig.h"

namespace paramlink {

LocalConfig::LocalConfig(ConfigStore* store)
    : ConfigBase(store->GetConfigID(), "config " + std::to_string(store->GetConfigID()) + " (local)"),
      _store(store),
      _writer(NextWriterID())
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
    queueChange(change, change.origin.writer == _writer);
}

bool LocalConfig::set(eParam_t id, ValueKind kind, std::int32_t intValue, const char* bytes, size_t length)
{
    Origin origin;
    origin.writer = _writer;
    origin.sequence = _sequence.fetch_add(1, std::memory_order_relaxed) + 1;
    noteWrite(origin.sequence);
    std::string refusal;
    if (_store->Set(id, kind, intValue, bytes, length, origin, &refusal))
        return true;
    noteRefusal(std::move(refusal));
    return false;
}

ReadResult LocalConfig::read(eParam_t id, ValueKind wanted, StoredValue& out)
{
    switch (_store->Read(id, wanted, out)) {
    case ConfigStore::Lookup::Ok:
        return ReadResult::Ok;
    case ConfigStore::Lookup::UnknownId:
        return ReadResult::NoSuchParameter;
    case ConfigStore::Lookup::WrongKind:
        break;
    }
    return ReadResult::OtherKind;
}

} // namespace paramlink
