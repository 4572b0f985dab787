// A connection to one config of the parameter store, and the listener
// interface through which it reports value changes.
#ifndef PARAMLINK_CONFIG_H
#define PARAMLINK_CONFIG_H

#include <sys/time.h>

#include <list>
#include <string>

#include "paramlink/paramlinkexport.h"
#include "tovikconfig/paramtypes.h"

class ParamDescriptor;

// Called on a thread of the store library, in the order the changes were
// made, with the time of the change. The results are not used.
class PARAMLINK_EXPORT ConfigEventListener {
public:
    virtual ~ConfigEventListener();
    virtual int IntegerChanged(eParam_t id, int value, timeval when);
    virtual int StringChanged(eParam_t id, std::string& value, timeval when);
    virtual int DataChanged(eParam_t id, std::string& bytes, timeval when);
};

// Created and released through ConfigFactoryImpl. Value kinds follow the
// descriptors of this process's table for the config id: a set of an id the
// table does not hold, or of the wrong kind, is refused. A value never set
// reads as its descriptor's factory default. A read that finds no value
// (link away, no answer, no such parameter, another kind) says why on
// standard error, a few lines a second at most.
class PARAMLINK_EXPORT Config {
public:
    virtual ~Config();

    virtual ParamDescriptor* GetParamDescriptor(eParam_t id) = 0;
    // By full id name, "eParamID_" prefix included.
    virtual ParamDescriptor* GetParamDescriptor(std::string idName) = 0;
    // The table's ids in insertion order; valid until the next call.
    virtual std::list<eParam_t>& GetParamIDList() = 0;
    virtual bool SetIntegerValue(eParam_t id, int value) = 0;
    // 0 when the value cannot be read (said on standard error).
    virtual int GetIntegerValue(eParam_t id) = 0;
    virtual bool GetIntegerValue(eParam_t id, int& value) = 0;
    virtual bool SetStringValue(eParam_t id, std::string value) = 0;
    virtual bool GetStringValue(eParam_t id, std::string& value) = 0;
    virtual bool GetDataValue(eParam_t id, std::string& bytes) = 0;
    virtual bool SetDataValue(eParam_t id, std::string bytes) = 0;
    // The listener must outlive its registration (until it is removed or
    // the config is released).
    virtual bool AddEventListener(ConfigEventListener* listener) = 0;

    // Once this returns, the listener is not called again; from inside a
    // callback it only stops later calls.
    virtual bool RemoveEventListener(ConfigEventListener* listener) = 0;
    virtual eConfigID_t GetConfigID() const = 0;
};

// A config whose ids are mapped onto another store. This library hands out
// none; clients only test for it.
class PARAMLINK_EXPORT MappingConfig : public Config {
public:
    ~MappingConfig() override;
};

#endif
