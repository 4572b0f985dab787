// Base class of every parameter descriptor: the typed metadata of one
// parameter. Every operation is virtual, and the order of declaration is
// the virtual table every library and program built against this header
// shares: append, never reorder.
#ifndef TOVIKCONFIG_PARAMDESCRIPTOR_H
#define TOVIKCONFIG_PARAMDESCRIPTOR_H

#include <map>
#include <string>
#include <vector>

#include "tovikconfig/paramtypes.h"
#include "tovikconfig/tovikexport.h"

class TOVIKDESCRIPTORS_EXPORT ParamDescriptor {
public:
    struct Relation {
        eParam_t paramID;
        unsigned int value;
    };
    typedef std::map<std::string, std::vector<Relation>> RelationMap;

    ParamDescriptor();
    virtual ~ParamDescriptor();

    virtual eParam_t GetParamID();
    virtual void SetParamID(eParam_t id);
    virtual void SetParamID(unsigned int id);
    virtual eParamType_t GetParamType();
    virtual void SetParamType(eParamType_t type);
    virtual std::string GetParamIDName();
    virtual void SetParamIDName(std::string name);
    virtual eFeature_t GetFeatureType();
    virtual void SetFeatureType(eFeature_t type);
    virtual ePersist_t GetPersistenceType();
    virtual void SetPersistenceType(ePersist_t type);
    virtual eUserRegisterData_t GetRegisterType();
    virtual void SetRegisterType(eUserRegisterData_t type);
    virtual eFactoryReset_t GetFactoryResetType();
    virtual void SetFactoryResetType(eFactoryReset_t type);
    virtual eAccess_t GetAccessType();
    virtual void SetAccessType(eAccess_t type);
    virtual std::string GetName();
    virtual void SetName(std::string name);
    virtual std::string GetShortName();
    virtual std::string GetShortName(unsigned int index);
    virtual void SetShortName(std::string name);
    virtual std::string GetRegEx();
    virtual void SetRegEx(std::string regex);
    virtual std::vector<eParam_t> GetDependentParamIDs();
    virtual void SetDependentParamIDs(std::vector<eParam_t> ids);
    virtual void AddDependentParamID(eParam_t id);
    virtual bool RemoveDependentParamID(eParam_t id);
    virtual std::vector<eParam_t> GetDependsOnParamIDs();
    virtual void SetDependsOnParamIDs(std::vector<eParam_t> ids);
    virtual void AddDependsOnParamID(eParam_t id);
    virtual bool RemoveDependsOnParamID(eParam_t id);
    virtual RelationMap& GetRelations();
    virtual std::vector<Relation>& GetRelation(std::string name);
    virtual void AddRelation(std::string name, eParam_t id, unsigned int value);
    virtual std::vector<std::string> GetClassNames();
    virtual void AddClassName(std::string name);
    virtual bool RemoveClassName(std::string name);
    virtual bool HasClassName(std::string name);
    virtual void ToggleClassName(std::string name);
    virtual void GetAttributes(std::map<std::string, unsigned int>& out);
    virtual void GetAttributes(std::map<std::string, std::string>& out);
    virtual bool GetAttribute(std::string name, unsigned int& out);
    virtual bool GetAttribute(std::string name, std::string& out);
    virtual void AddAttribute(std::string name, unsigned int value);
    virtual void AddAttribute(std::string name, std::string value);

protected:
    eParam_t _paramID;
    eParamType_t _paramType;
    std::string _paramIDName;
    eFeature_t _featureType;
    ePersist_t _persistenceType;
    eUserRegisterData_t _registerType;
    eFactoryReset_t _factoryResetType;
    eAccess_t _accessType;
    std::string _name;
    std::string _shortName;
    std::string _regEx;
    std::vector<eParam_t> _dependentParamIDs;
    std::vector<eParam_t> _dependsOnParamIDs;
    RelationMap _relations;
    std::vector<std::string> _classNames;
    std::map<std::string, unsigned int> _numericAttributes;
    std::map<std::string, std::string> _stringAttributes;
};

inline bool operator==(const ParamDescriptor::Relation& a, const ParamDescriptor::Relation& b)
{
    return a.paramID == b.paramID && a.value == b.value;
}

#endif
