// A config of another process's store, reached over TCP (socket://): the
// typed calls over the connection (SocketLink), which reads replies and
// events, keeps the read cache and remakes a lost link by itself.
#ifndef PARAMLINK_SOCKETCONFIG_H
#define PARAMLINK_SOCKETCONFIG_H

#include <memory>

#include "configbase.h"
#include "socketlink.h"
#include "storeurl.h"

namespace paramlink {

class SocketConfig : public ConfigBase {
public:
    // Connected and greeted, or null with a reason.
    static SocketConfig* Connect(const StoreUrl& url, std::string& error);
    ~SocketConfig() override;

    void Release() override;
    bool ListHeld(std::vector<HeldParam>& out) override;
    // An unwatched link reads what waited, so a lost one is noticed.
    bool Connected() const override { return _link->Refresh(); }
    // A config with listeners has its socket read as data comes.
    bool AddEventListener(ConfigEventListener* listener) override;
    bool AddLinkListener(ConfigLinkListener* listener) override;
    std::uint64_t WriterID() const override { return _link->ConnectionID(); }
    // Failed, nothing sent: the store that would decide is another process.
    ConditionalSet SetUnlessChanged(eParam_t id, ValueKind kind, std::int32_t intValue, const std::string& bytes,
                                    const Origin& lastHeard) override;

private:
    explicit SocketConfig(const StoreUrl& url);

    bool set(eParam_t id, ValueKind kind, std::int32_t intValue, const char* bytes, size_t length) override;
    ReadResult read(eParam_t id, ValueKind wanted, StoredValue& out) override;
    // A GET of the wanted kind; the reply is cached when cache is set.
    SocketLink::Outcome get(eParam_t id, ValueKind kind, bool cache, Reply& reply);

    StoreUrl _url;
    std::shared_ptr<SocketLink> _link;
};

} // namespace paramlink

#endif
