// What every Config of this library shares: its config id, descriptor
// lookups in this process's table, the id list and the listeners.
#ifndef PARAMLINK_CONFIGBASE_H
#define PARAMLINK_CONFIGBASE_H

#include <cstdint>
#include <memory>
#include <mutex>

#include "listenerhub.h"
#include "paramlink/config.h"

class DescriptorTable;

namespace paramlink {

class ConfigBase : public Config {
public:
    explicit ConfigBase(eConfigID_t configID);

    ParamDescriptor* GetParamDescriptor(eParam_t id) override;
    ParamDescriptor* GetParamDescriptor(std::string idName) override;
    std::list<eParam_t>& GetParamIDList() override;
    int GetIntegerValue(eParam_t id) override;
    using Config::GetIntegerValue;
    bool AddEventListener(ConfigEventListener* listener) override;
    bool RemoveEventListener(ConfigEventListener* listener) override;
    eConfigID_t GetConfigID() const override { return _configID; }

    // Ends event delivery and frees the config (ReleaseConfig).
    virtual void Release() = 0;

protected:
    eConfigID_t _configID;
    DescriptorTable* _table;
    std::shared_ptr<ListenerHub> _hub;

private:
    std::mutex _idListMutex;
    std::list<eParam_t> _idList;
    std::uint64_t _idListGeneration = ~std::uint64_t(0);
};

} // namespace paramlink

#endif
