#include "configbase.h"

#include <cstdio>

#include "logthrottle.h"
#include "paramlink/configlink.h"
#include "paramlink/descriptortable.h"

namespace paramlink {

namespace {
struct LastSet {
    const Config* config = nullptr;
    bool numbered = false;
    std::uint32_t sequence = 0;
    std::string refusal;
};
thread_local LastSet tLastSet;

LogThrottle& unreadLog()
{
    // Never destroyed: configs may be read while the process exits.
    static LogThrottle* throttle = new LogThrottle(3);
    return *throttle;
}

} // namespace

ConfigBase::ConfigBase(eConfigID_t configID, const std::string& what)
    : _configID(configID),
      _table(DescriptorRegistry::GetDescriptorTable(configID)),
      _hub(std::make_shared<ListenerHub>(this)),
      _events(ListenerQueue::Start(_hub, what))
{
}

bool ConfigBase::LastWrite(const Config* config, std::uint32_t& sequence)
{
    if (!config || tLastSet.config != config || !tLastSet.numbered)
        return false;
    sequence = tLastSet.sequence;
    return true;
}

std::string ConfigBase::LastRefusal(const Config* config)
{
    return config && tLastSet.config == config ? tLastSet.refusal : std::string();
}

void ConfigBase::noteWrite(std::uint32_t sequence) const
{
    tLastSet.config = this;
    tLastSet.numbered = true;
    tLastSet.sequence = sequence;
    tLastSet.refusal.clear();
}

void ConfigBase::noteUnsent(std::string reason) const
{
    tLastSet.config = this;
    tLastSet.numbered = false;
    tLastSet.sequence = 0;
    tLastSet.refusal = std::move(reason);
}

void ConfigBase::noteRefusal(std::string reason) const
{
    if (tLastSet.config == this)
        tLastSet.refusal = std::move(reason);
}

ConfigBase::~ConfigBase() { stopEvents(); }

void ConfigBase::stopEvents()
{
    _hub->Close();
    _events->Stop();
}

std::uint64_t ConfigBase::queueChange(const ValueChange& change, bool own)
{
    if (!_hub->HasListeners())
        return 0;
    OwnedChange copy = OwnedChange::Of(change.id, change.kind, change.intValue, change.bytes, change.length,
                                       change.when, change.origin, own);
    copy.number = change.number;
    return _events->Push(std::move(copy));
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

bool ConfigBase::readOrSay(eParam_t id, ValueKind wanted, StoredValue& out)
{
    const ReadResult result = read(id, wanted, out);
    if (result == ReadResult::Ok)
        return true;
    std::string param = _table->GetParamIDName(id);
    if (param.empty()) {
        char number[24];
        std::snprintf(number, sizeof number, "parameter 0x%08X", unsigned(id));
        param = number;
    }
    unreadLog().Log(UnreadLine(_configID, param, result), "more reads failed since the last line");
    return false;
}

int ConfigBase::GetIntegerValue(eParam_t id)
{
    // 0 stands for a value that cannot be read (readOrSay has said why).
    int value = 0;
    if (!GetIntegerValue(id, value))
        return 0;
    return value;
}

bool ConfigBase::GetIntegerValue(eParam_t id, int& value)
{
    StoredValue v;
    if (!readOrSay(id, ValueKind::Integer, v))
        return false;
    value = v.intValue;
    return true;
}

bool ConfigBase::GetStringValue(eParam_t id, std::string& value)
{
    StoredValue v;
    if (!readOrSay(id, ValueKind::String, v))
        return false;
    value.swap(v.bytes);
    return true;
}

bool ConfigBase::GetDataValue(eParam_t id, std::string& bytes)
{
    StoredValue v;
    if (!readOrSay(id, ValueKind::Data, v))
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

bool ConfigConnected(Config* config)
{
    auto* ours = dynamic_cast<paramlink::ConfigBase*>(config);
    return !ours || ours->Connected();
}

bool AddLinkListener(Config* config, ConfigLinkListener* listener)
{
    auto* ours = dynamic_cast<paramlink::ConfigBase*>(config);
    return ours && ours->AddLinkListener(listener);
}

bool RemoveLinkListener(Config* config, ConfigLinkListener* listener)
{
    auto* ours = dynamic_cast<paramlink::ConfigBase*>(config);
    return ours && ours->RemoveLinkListener(listener);
}

bool CurrentEventOrigin(EventOrigin& out)
{
    const paramlink::OwnedChange* change = paramlink::ListenerHub::Current();
    if (!change)
        return false;
    out.writer = change->origin.writer;
    out.sequence = change->origin.sequence;
    out.own = change->own;
    return true;
}

std::uint64_t ConfigWriterID(Config* config)
{
    auto* ours = dynamic_cast<paramlink::ConfigBase*>(config);
    return ours ? ours->WriterID() : 0;
}

bool LastWriteSequence(Config* config, std::uint32_t& sequence)
{
    return paramlink::ConfigBase::LastWrite(config, sequence);
}

std::string LastWriteRefusal(Config* config) { return paramlink::ConfigBase::LastRefusal(config); }

ConditionalSet SetValueUnlessChangedSince(Config* config, eParam_t id, ValueKind kind, std::int32_t intValue,
                                          const std::string& bytes, const EventOrigin& lastHeard)
{
    auto* ours = dynamic_cast<paramlink::ConfigBase*>(config);
    if (!ours)
        return ConditionalSet::Failed;
    paramlink::Origin heard;
    heard.writer = lastHeard.writer;
    heard.sequence = lastHeard.sequence;
    return ours->SetUnlessChanged(id, kind, intValue, bytes, heard);
}

ConfigLinkListener::~ConfigLinkListener() = default;

void ConfigLinkListener::LinkLost(Config*) {}

void ConfigLinkListener::LinkRestored(Config*) {}

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
