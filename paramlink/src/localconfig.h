// A config of this process's own store (local://).
#ifndef PARAMLINK_LOCALCONFIG_H
#define PARAMLINK_LOCALCONFIG_H

#include "configbase.h"
#include "configstore.h"

namespace paramlink {

class LocalConfig : public ConfigBase, private EventSinkIF {
public:
    explicit LocalConfig(ConfigStore* store);
    ~LocalConfig() override;

    bool SetIntegerValue(eParam_t id, int value) override;
    bool GetIntegerValue(eParam_t id, int& value) override;
    using ConfigBase::GetIntegerValue;
    bool SetStringValue(eParam_t id, std::string value) override;
    bool GetStringValue(eParam_t id, std::string& value) override;
    bool GetDataValue(eParam_t id, std::string& bytes) override;
    bool SetDataValue(eParam_t id, std::string bytes) override;

    void Release() override;

private:
    void Post(const ValueChange& change, const std::string& frame) override;
    bool readBytes(eParam_t id, ValueKind kind, std::string& out);

    ConfigStore* _store;
};

} // namespace paramlink

#endif
