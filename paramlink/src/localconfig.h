// A config of this process's own store (local://).
#ifndef PARAMLINK_LOCALCONFIG_H
#define PARAMLINK_LOCALCONFIG_H

#include <atomic>

#include "configbase.h"
#include "configstore.h"

namespace paramlink {

class LocalConfig : public ConfigBase, private EventSinkIF {
public:
    explicit LocalConfig(ConfigStore* store);
    ~LocalConfig() override;

    void Release() override;
    bool ListHeld(std::vector<HeldParam>& out) override;
    std::uint64_t WriterID() const override { return _writer; }
    // Notes where in the store's changes the listeners began hearing them.
    bool AddEventListener(ConfigEventListener* listener) override;
    ConditionalSet SetUnlessChanged(eParam_t id, ValueKind kind, std::int32_t intValue, const std::string& bytes,
                                    const Origin& lastHeard) override;

private:
    void Post(const ValueChange& change, const std::string& frame) override;
    bool set(eParam_t id, ValueKind kind, std::int32_t intValue, const char* bytes, size_t length) override;
    ReadResult read(eParam_t id, ValueKind wanted, StoredValue& out) override;
    // set, when mayWrite (see ConfigStore::SetIf) says yes.
    ConfigStore::Outcome write(eParam_t id, ValueKind kind, std::int32_t intValue, const char* bytes,
                               size_t length, const ConfigStore::ConditionFn& mayWrite);

    ConfigStore* _store;
    const std::uint64_t _writer;
    std::atomic<std::uint32_t> _sequence{0};
    // Under the store's lock: the store's count of changes when the
    // listeners last went from none to some, or the number of the newest
    // change dropped from their queue since; no earlier change is waited
    // for.
    std::uint64_t _listeningSince = 0;
};

} // namespace paramlink

#endif
