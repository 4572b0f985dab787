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
    // Changes dropped from a queue that fell behind never reach the
    // listeners: a conditional set does not wait for them.
    const std::uint64_t dropped = queueChange(change, change.origin.writer == _writer);
    if (dropped > _listeningSince)
        _listeningSince = dropped;
}

bool LocalConfig::AddEventListener(ConfigEventListener* listener)
{
    // Under the store's lock, so that every later change is queued for the
    // listeners and no earlier one is.
    bool added = false;
    _store->BetweenChanges([&](std::uint64_t changes) {
        const bool first = !_hub->HasListeners();
        added = ConfigBase::AddEventListener(listener);
        if (added && first)
            _listeningSince = changes;
    });
    return added;
}

ConfigStore::Outcome LocalConfig::write(eParam_t id, ValueKind kind, std::int32_t intValue, const char* bytes,
                                        size_t length, const ConfigStore::ConditionFn& mayWrite)
{
    Origin origin;
    origin.writer = _writer;
    origin.sequence = _sequence.fetch_add(1, std::memory_order_relaxed) + 1;
    noteWrite(origin.sequence);
    std::string refusal;
    const ConfigStore::Outcome outcome = _store->SetIf(id, kind, intValue, bytes, length, origin, mayWrite, &refusal);
    if (outcome == ConfigStore::Outcome::Refused)
        noteRefusal(std::move(refusal));
    return outcome;
}

bool LocalConfig::set(eParam_t id, ValueKind kind, std::int32_t intValue, const char* bytes, size_t length)
{
    return write(id, kind, intValue, bytes, length, ConfigStore::ConditionFn()) == ConfigStore::Outcome::Written;
}

ConditionalSet LocalConfig::SetUnlessChanged(eParam_t id, ValueKind kind, std::int32_t intValue,
                                             const std::string& bytes, const Origin& lastHeard)
{
    HeardSoFar heard;
    heard.writer = _writer;
    heard.lastHeard = lastHeard;
    const bool isInteger = kind == ValueKind::Integer;
    switch (write(id, kind, isInteger ? intValue : 0, isInteger ? nullptr : bytes.data(), isInteger ? 0 : bytes.size(),
                  [&](const LastChange& last) {
                      heard.listening = _hub->HasListeners();
                      heard.listeningSince = _listeningSince;
                      return MayWriteOver(last, heard);
                  })) {
    case ConfigStore::Outcome::Written:
        return ConditionalSet::Written;
    case ConfigStore::Outcome::GaveWay:
        return ConditionalSet::GaveWay;
    case ConfigStore::Outcome::Refused:
        break;
    }
    return ConditionalSet::Failed;
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
