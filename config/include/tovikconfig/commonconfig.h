// The box-wide parameter tables of config 0, and the box identity texts
// they use as factory defaults.
#ifndef TOVIKCONFIG_COMMONCONFIG_H
#define TOVIKCONFIG_COMMONCONFIG_H

#include <string>

#include "tovikconfig/tovikexport.h"

class DescriptorTable;

namespace CommonConfig {

// Each AddParamDescriptors offers every descriptor of its table and returns
// true whatever the table answers.
class TOVIKCONFIG_EXPORT NetworkConfig {
public:
    static bool AddParamDescriptors(DescriptorTable* table);
};

class TOVIKCONFIG_EXPORT VersionConfig {
public:
    static bool AddParamDescriptors(DescriptorTable* table);
    // One read-only version text; returns the table's answer.
    static bool CreateVersionDescriptor(DescriptorTable* table, unsigned int id,
                                        char const* idName, char const* name,
                                        char const* shortName);
};

class TOVIKCONFIG_EXPORT PersistenceConfig {
public:
    // Preset names for presets 1..GetMaxConfigID() (at most 20), then the
    // preset triggers, results, persist status and factory reset.
    static bool AddParamDescriptors(DescriptorTable* table);
    static bool CreateParamDescriptor_PresetNames(DescriptorTable* table);
};

class TOVIKCONFIG_EXPORT AlarmConfig {
public:
    static bool AddParamDescriptors(DescriptorTable* table);
};

class TOVIKCONFIG_EXPORT AuthConfig {
public:
    static bool AddParamDescriptors(DescriptorTable* table);
};

// The box serial number from the device tree, "RXD000000" when it has none.
TOVIKCONFIG_EXPORT std::string GetSerialNumber();
// "velora-brisco-" followed by the serial number.
TOVIKCONFIG_EXPORT std::string GetDefaultSystemName();

} // namespace CommonConfig

#endif
