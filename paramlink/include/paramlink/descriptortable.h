// The descriptor table of one config id, and the registry that holds one
// table per config id for the whole process.
#ifndef PARAMLINK_DESCRIPTORTABLE_H
#define PARAMLINK_DESCRIPTORTABLE_H

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "tovikconfig/paramtypes.h"

class ParamDescriptor;

class DescriptorTable {
public:
    explicit DescriptorTable(eConfigID_t configID);
    ~DescriptorTable();
    DescriptorTable(const DescriptorTable&) = delete;
    DescriptorTable& operator=(const DescriptorTable&) = delete;

    eConfigID_t GetConfigID() const { return _configID; }

    // Frees every descriptor and empties the table.
    void clear();
    // Takes ownership whether accepted or not; a refused descriptor (an id
    // already held, or one the refusal hook rejects) is freed at once.
    bool AddDescriptor(ParamDescriptor* descriptor);
    ParamDescriptor* GetDescriptor(eParam_t const& id) const;
    // By full id name, "eParamID_" prefix included.
    ParamDescriptor* GetDescriptor(std::string const& idName) const;
    // Ids in insertion order.
    std::vector<eParam_t> GetParamIDs() const;
    size_t size() const;

    // Test hook: a non-empty hook is asked before each descriptor is
    // accepted; returning true refuses it.
    void SetRefusalHook(std::function<bool(ParamDescriptor*)> hook);

private:
    eConfigID_t _configID;
    mutable std::mutex _mutex;
    std::vector<std::unique_ptr<ParamDescriptor>> _descriptors;
    std::map<std::uint32_t, ParamDescriptor*> _byID;
    std::map<std::string, ParamDescriptor*> _byName;
    std::function<bool(ParamDescriptor*)> _refusalHook;
};

class DescriptorRegistry {
public:
    // The one table of a config id; the same table on every call.
    static DescriptorTable* GetDescriptorTable(eConfigID_t const& configID);
};

#endif
