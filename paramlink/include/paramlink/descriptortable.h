// The descriptor table of one config id, and the registry that holds one
// table per config id for the whole process.
#ifndef PARAMLINK_DESCRIPTORTABLE_H
#define PARAMLINK_DESCRIPTORTABLE_H

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "paramlink/paramlinkexport.h"
#include "paramlink/valuekind.h"
#include "tovikconfig/paramtypes.h"

class ParamDescriptor;

class PARAMLINK_EXPORT DescriptorTable {
public:
    explicit DescriptorTable(eConfigID_t configID);
    ~DescriptorTable();
    DescriptorTable(const DescriptorTable&) = delete;
    DescriptorTable& operator=(const DescriptorTable&) = delete;

    eConfigID_t GetConfigID() const { return _configID; }

    // Frees every descriptor and empties the table.
    void clear();
    // Takes ownership whether accepted or not; a refused descriptor (null,
    // an id already held, or one the refusal hook rejects) is freed at once.
    bool AddDescriptor(ParamDescriptor* descriptor);
    // The pointer stays valid until the table is cleared.
    ParamDescriptor* GetDescriptor(eParam_t const& id) const;
    // By full id name, "eParamID_" prefix included.
    ParamDescriptor* GetDescriptor(std::string const& idName) const;
    // A parameter's id name, copied under the table's lock; empty when the
    // table holds no such id.
    std::string GetParamIDName(eParam_t id) const;
    // Ids in insertion order.
    std::vector<eParam_t> GetParamIDs() const;
    size_t size() const;

    // The value kind and factory default of a parameter, copied under the
    // table's lock (taken when the descriptor was added), so the store never
    // touches a descriptor that another thread may be freeing.
    bool LookupKind(eParam_t id, DescriptorKindInfo& out) const;
    // Id, id name and value kind of every descriptor in insertion order,
    // copied under the table's lock (the name is empty for a descriptor
    // whose name another one already holds).
    struct Summary {
        eParam_t id;
        std::string idName;
        DescriptorKindInfo kind;
    };
    std::vector<Summary> Summaries() const;
    // Changes on every clear and every accepted descriptor; read without
    // the table's lock.
    std::uint64_t GetGeneration() const;

    // Test hook: a non-empty hook is asked before each descriptor is
    // accepted; returning true refuses it.
    void SetRefusalHook(std::function<bool(ParamDescriptor*)> hook);

private:
    struct Entry {
        std::uint32_t id;
        std::unique_ptr<ParamDescriptor> descriptor;
        DescriptorKindInfo kind;
    };

    eConfigID_t _configID;
    mutable std::mutex _mutex;
    std::vector<Entry> _entries;
    std::unordered_map<std::uint32_t, size_t> _byID;
    std::map<std::string, size_t> _byName;
    std::atomic<std::uint64_t> _generation{0};
    std::function<bool(ParamDescriptor*)> _refusalHook;
};

class PARAMLINK_EXPORT DescriptorRegistry {
public:
    // The one table of a config id; the same table on every call. Tables
    // live until the process ends.
    static DescriptorTable* GetDescriptorTable(eConfigID_t const& configID);
};

#endif
