#include "configstore.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <map>
#include <memory>

#include "paramlink/descriptortable.h"
#include "paramlink/maxconfigid.h"
#include "logthrottle.h"
#include "storeurl.h"
#include "valuelimit.h"
#include "wireformat.h"

namespace paramlink {

std::uint64_t NextWriterID()
{
    static std::atomic<std::uint64_t> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
}

namespace {

std::string idText(eParam_t id)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", unsigned(id));
    return text;
}

const char* kindName(ValueKind kind)
{
    switch (kind) {
    case ValueKind::Integer:
        return "an integer";
    case ValueKind::String:
        return "a string";
    case ValueKind::Data:
        return "data";
    }
    return "?";
}

// Over-long values are refused with a line in this process's log, one a
// second at most whoever sends them.
LogThrottle& lengthRefusals()
{
    static LogThrottle* throttle = new LogThrottle;
    return *throttle;
}

} // namespace

std::string UnknownIdRefusal(eParam_t id, eConfigID_t configID)
{
    return "config " + std::to_string(configID) + " has no parameter " + idText(id);
}

std::string WrongKindRefusal(eParam_t id, eConfigID_t configID, ValueKind held)
{
    return "parameter " + idText(id) + " of config " + std::to_string(configID) + " holds " + kindName(held);
}

bool KindsCompatible(ValueKind wanted, ValueKind held)
{
    if (wanted == ValueKind::Integer || held == ValueKind::Integer)
        return wanted == held;
    return true;
}

ConfigStore::ConfigStore(eConfigID_t configID)
    : _configID(configID), _table(DescriptorRegistry::GetDescriptorTable(configID))
{
}

ConfigStore* ConfigStore::Get(eConfigID_t configID)
{
    if (configID < 0 || configID > kMaxConfigID)
        return nullptr;
    // Never destroyed: library threads may use a store while the process
    // exits.
    static std::mutex* mutex = new std::mutex;
    static auto* stores = new std::map<eConfigID_t, std::unique_ptr<ConfigStore>>;
    std::lock_guard<std::mutex> lock(*mutex);
    auto& slot = (*stores)[configID];
    if (!slot)
        slot.reset(new ConfigStore(configID));
    return slot.get();
}

bool ConfigStore::Served(eConfigID_t configID) { return configID >= 0 && configID <= GetMaxConfigID(); }

std::string ConfigStore::Refusal(eConfigID_t configID)
{
    return "no config " + std::to_string(configID) + " here (configs 0 to " + std::to_string(GetMaxConfigID()) + ")";
}

bool ConfigStore::Set(eParam_t id, ValueKind kind, std::int32_t intValue, const char* bytes, size_t length,
                      const Origin& origin, std::string* refusal)
{
    return SetIf(id, kind, intValue, bytes, length, origin, ConditionFn(), refusal) != Outcome::Refused;
}

ConfigStore::Outcome ConfigStore::SetIf(eParam_t id, ValueKind kind, std::int32_t intValue, const char* bytes,
                                        size_t length, const Origin& origin, const ConditionFn& mayWrite,
                                        std::string* refusal)
{
    DescriptorKindInfo info;
    if (!_table->LookupKind(id, info)) {
        if (refusal)
            *refusal = UnknownIdRefusal(id, _configID);
        return Outcome::Refused;
    }
    if (info.kind != kind) {
        if (refusal)
            *refusal = WrongKindRefusal(id, _configID, info.kind);
        return Outcome::Refused;
    }
    if (kind != ValueKind::Integer) {
        std::string why = LengthRefusal(info, length, id, _configID);
        if (!why.empty()) {
            lengthRefusals().Log("refused " + why);
            if (refusal)
                refusal->swap(why);
            return Outcome::Refused;
        }
    }

    std::lock_guard<std::mutex> lock(_mutex);
    auto it = _values.find(id);
    if (mayWrite && !mayWrite(it == _values.end() ? LastChange() : it->second.last))
        return Outcome::GaveWay;
    if (it == _values.end()) {
        // A first set of the default value changes nothing visible.
        const bool isDefault = kind == ValueKind::Integer
                                   ? intValue == info.integerDefault
                                   : info.stringDefault.size() == length &&
                                         (length == 0 || info.stringDefault.compare(0, length, bytes, length) == 0);
        it = _values.emplace(std::uint32_t(id), Held()).first;
        it->second.value.Assign(kind, intValue, bytes, length);
        if (isDefault)
            return Outcome::Written;
    } else {
        if (it->second.value.Equals(kind, intValue, bytes, length))
            return Outcome::Written;
        it->second.value.Assign(kind, intValue, bytes, length);
    }
    it->second.last.origin = origin;
    it->second.last.number = ++_changes;
    if (_sinks.empty())
        return Outcome::Written;

    const StoredValue& value = it->second.value;
    ValueChange change;
    change.configID = _configID;
    change.id = id;
    change.kind = kind;
    change.intValue = value.intValue;
    change.bytes = value.bytes.data();
    change.length = value.bytes.size();
    gettimeofday(&change.when, nullptr);
    change.origin = origin;
    change.number = it->second.last.number;
    _frame.clear();
    wire::AppendEvent(_frame, id, kind, change.when, origin, change.intValue, change.bytes, change.length);
    for (EventSinkIF* sink : _sinks)
        sink->Post(change, _frame);
    return Outcome::Written;
}

void ConfigStore::BetweenChanges(const std::function<void(std::uint64_t changes)>& fn)
{
    std::lock_guard<std::mutex> lock(_mutex);
    fn(_changes);
}

ConfigStore::Lookup ConfigStore::readLocked(eParam_t id, ValueKind wanted, const DescriptorKindInfo* info,
                                            StoredValue& out)
{
    if (!info)
        return Lookup::UnknownId;
    if (!KindsCompatible(wanted, info->kind))
        return Lookup::WrongKind;
    auto it = _values.find(id);
    // A value of another kind was left by an earlier table of this id.
    if (it != _values.end() && it->second.value.kind == info->kind) {
        out = it->second.value;
        return Lookup::Ok;
    }
    out.kind = info->kind;
    out.intValue = info->kind == ValueKind::Integer ? info->integerDefault : 0;
    out.bytes = info->kind == ValueKind::Integer ? std::string() : info->stringDefault;
    return Lookup::Ok;
}

ConfigStore::Lookup ConfigStore::Read(eParam_t id, ValueKind wanted, StoredValue& out)
{
    DescriptorKindInfo info;
    const bool known = _table->LookupKind(id, info);
    std::lock_guard<std::mutex> lock(_mutex);
    return readLocked(id, wanted, known ? &info : nullptr, out);
}

void ConfigStore::ReadInOrder(eParam_t id, ValueKind wanted, const AnswerFn& answer)
{
    DescriptorKindInfo info;
    const bool known = _table->LookupKind(id, info);
    StoredValue value;
    std::lock_guard<std::mutex> lock(_mutex);
    const Lookup result = readLocked(id, wanted, known ? &info : nullptr, value);
    answer(result, value);
}

void ConfigStore::List(std::vector<HeldParam>& out)
{
    const std::vector<DescriptorTable::Summary> entries = _table->Summaries();
    out.clear();
    out.reserve(entries.size());
    std::lock_guard<std::mutex> lock(_mutex);
    for (const auto& entry : entries) {
        StoredValue value;
        readLocked(entry.id, entry.kind.kind, &entry.kind, value);
        HeldParam held;
        held.id = entry.id;
        held.idName = entry.idName;
        held.kind = entry.kind.kind;
        held.intValue = value.intValue;
        held.bytes = std::move(value.bytes);
        out.push_back(std::move(held));
    }
}

void ConfigStore::Subscribe(EventSinkIF* sink)
{
    std::lock_guard<std::mutex> lock(_mutex);
    if (std::find(_sinks.begin(), _sinks.end(), sink) == _sinks.end())
        _sinks.push_back(sink);
}

void ConfigStore::Unsubscribe(EventSinkIF* sink)
{
    std::lock_guard<std::mutex> lock(_mutex);
    _sinks.erase(std::remove(_sinks.begin(), _sinks.end(), sink), _sinks.end());
}

} // namespace paramlink
