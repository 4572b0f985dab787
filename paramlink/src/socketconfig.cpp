#include "socketconfig.h"

#include "configstore.h"
#include "linkopen.h"
#include "paramlink/configlink.h"
#include "paramlink/descriptortable.h"
#include "valuelimit.h"

namespace paramlink {

SocketConfig* SocketConfig::Connect(const StoreUrl& url, std::string& error)
{
    wire::FrameBuffer in(16 * 1024);
    std::uint64_t connectionID = 0;
    const int fd = OpenLink(url, in, connectionID, error);
    if (fd < 0)
        return nullptr;
    auto* config = new SocketConfig(url);
    config->_link = SocketLink::Start(url, config->_table, config->_events, config->_hub, fd, std::move(in),
                                      connectionID);
    return config;
}

SocketConfig::SocketConfig(const StoreUrl& url)
    : ConfigBase(url.configID, "config " + std::to_string(url.configID) + " at " + url.host + ":" +
                                   std::to_string(url.port)),
      _url(url)
{
}

SocketConfig::~SocketConfig()
{
    if (_link)
        _link->Close();
}

void SocketConfig::Release()
{
    // A callback in progress on another thread may still use the config:
    // it ends first. From inside one of our own callbacks this cannot wait
    // for the callback; the event thread holds what it still needs.
    stopEvents();
    _link->Close();
    delete this;
}

bool SocketConfig::AddEventListener(ConfigEventListener* listener)
{
    if (!ConfigBase::AddEventListener(listener))
        return false;
    _link->Watch();
    return true;
}

bool SocketConfig::AddLinkListener(ConfigLinkListener* listener)
{
    if (!ConfigBase::AddLinkListener(listener))
        return false;
    _link->Watch();
    return true;
}

bool SocketConfig::set(eParam_t id, ValueKind kind, std::int32_t intValue, const char* bytes, size_t length)
{
    const std::uint32_t tag = _link->NextTag();
    noteWrite(tag);
    // What this process's table refuses is not sent.
    DescriptorKindInfo info;
    if (!_table->LookupKind(id, info)) {
        noteRefusal(UnknownIdRefusal(id, _configID));
        return false;
    }
    if (info.kind != kind) {
        noteRefusal(WrongKindRefusal(id, _configID, info.kind));
        return false;
    }
    if (kind != ValueKind::Integer && length > wire::kMaxValueBytes) {
        noteRefusal(LengthRefusal(info, length, id, _configID));
        return false;
    }
    std::string frame;
    wire::AppendSet(frame, tag, id, kind, intValue, bytes, length);
    Reply reply;
    switch (_link->Exchange(tag, frame, reply)) {
    case SocketLink::Outcome::NotSent:
        return false;
    case SocketLink::Outcome::NoAnswer:
        // The server may have taken it: not a refusal.
        noteRefusal(kWriteOutcomeUnknown);
        return false;
    case SocketLink::Outcome::Answered:
        break;
    }
    if (reply.status == wire::kOk)
        return true;
    noteRefusal(std::move(reply.reason));
    return false;
}

ConditionalSet SocketConfig::SetUnlessChanged(eParam_t, ValueKind, std::int32_t, const std::string&, const Origin&)
{
    noteUnsent(kConditionalSetUnsupported);
    return ConditionalSet::Failed;
}

SocketLink::Outcome SocketConfig::get(eParam_t id, ValueKind kind, bool cache, Reply& reply)
{
    const std::uint32_t tag = _link->NextTag();
    std::string frame;
    wire::AppendGet(frame, tag, id, kind);
    const std::uint32_t param = std::uint32_t(id);
    return _link->Exchange(tag, frame, reply, cache ? &param : nullptr);
}

ReadResult SocketConfig::read(eParam_t id, ValueKind wanted, StoredValue& out)
{
    DescriptorKindInfo info;
    if (!_table->LookupKind(id, info))
        return ReadResult::NoSuchParameter;
    if (!KindsCompatible(wanted, info.kind))
        return ReadResult::OtherKind;
    // While the link is away nothing is answered, not even from the cache.
    if (!_link->Connected())
        return ReadResult::NotConnected;
    if (_link->Cached(id, info.kind, out))
        return ReadResult::Ok;
    Reply reply;
    switch (get(id, info.kind, true, reply)) {
    case SocketLink::Outcome::NotSent:
        return ReadResult::NotConnected;
    case SocketLink::Outcome::NoAnswer:
        return ReadResult::NoAnswer;
    case SocketLink::Outcome::Answered:
        break;
    }
    if (reply.status == wire::kOk && reply.hasValue && reply.value.kind == info.kind) {
        out = std::move(reply.value);
        return ReadResult::Ok;
    }
    if (reply.status == wire::kRefused)
        return ReadResult::OtherKind;
    // The server holds no descriptor (or another kind): nothing can have
    // been set there, so the value is this table's default.
    out.kind = info.kind;
    out.intValue = info.kind == ValueKind::Integer ? info.integerDefault : 0;
    out.bytes = info.kind == ValueKind::Integer ? std::string() : info.stringDefault;
    return ReadResult::Ok;
}

bool SocketConfig::ListHeld(std::vector<HeldParam>& out)
{
    Reply listed;
    {
        const std::uint32_t tag = _link->NextTag();
        std::string frame;
        wire::AppendList(frame, tag);
        if (_link->Exchange(tag, frame, listed) != SocketLink::Outcome::Answered || listed.status != wire::kOk)
            return false;
    }
    // Values by the server's kinds, past this process's table and cache.
    for (const auto& entry : listed.listing) {
        Reply reply;
        if (get(eParam_t(entry.id), entry.kind, false, reply) != SocketLink::Outcome::Answered)
            return false;
        if (reply.status != wire::kOk || !reply.hasValue || reply.value.kind != entry.kind)
            continue; // left the server's table meanwhile
        HeldParam held;
        held.id = eParam_t(entry.id);
        held.idName = entry.idName;
        held.kind = entry.kind;
        held.intValue = reply.value.intValue;
        held.bytes = std::move(reply.value.bytes);
        out.push_back(std::move(held));
    }
    return true;
}

} // namespace paramlink
