#include "tovikconfig/paramdescriptor.h"

#include <algorithm>

namespace {

bool removeFirst(std::vector<eParam_t>& list, eParam_t id)
{
    auto it = std::find(list.begin(), list.end(), id);
    if (it == list.end())
        return false;
    list.erase(it);
    return true;
}

} // namespace

ParamDescriptor::ParamDescriptor()
    : _paramID(eParam_t(0)),
      _paramType(eParamType_t(0)),
      _featureType(eFeature_t(3)),
      _persistenceType(ePersist_t(0)),
      _registerType(eUserRegisterData_t(0)),
      _factoryResetType(eFactoryReset_t(1)),
      _accessType(eAccess_t(0))
{
}

ParamDescriptor::~ParamDescriptor() = default;

eParam_t ParamDescriptor::GetParamID() { return _paramID; }
void ParamDescriptor::SetParamID(eParam_t id) { _paramID = id; }
void ParamDescriptor::SetParamID(unsigned int id) { SetParamID(eParam_t(id)); }
eParamType_t ParamDescriptor::GetParamType() { return _paramType; }
void ParamDescriptor::SetParamType(eParamType_t type) { _paramType = type; }
std::string ParamDescriptor::GetParamIDName() { return _paramIDName; }
void ParamDescriptor::SetParamIDName(std::string name) { _paramIDName = std::move(name); }
eFeature_t ParamDescriptor::GetFeatureType() { return _featureType; }
void ParamDescriptor::SetFeatureType(eFeature_t type) { _featureType = type; }
ePersist_t ParamDescriptor::GetPersistenceType() { return _persistenceType; }
void ParamDescriptor::SetPersistenceType(ePersist_t type) { _persistenceType = type; }
eUserRegisterData_t ParamDescriptor::GetRegisterType() { return _registerType; }
void ParamDescriptor::SetRegisterType(eUserRegisterData_t type) { _registerType = type; }
eFactoryReset_t ParamDescriptor::GetFactoryResetType() { return _factoryResetType; }
void ParamDescriptor::SetFactoryResetType(eFactoryReset_t type) { _factoryResetType = type; }
eAccess_t ParamDescriptor::GetAccessType() { return _accessType; }
void ParamDescriptor::SetAccessType(eAccess_t type) { _accessType = type; }
std::string ParamDescriptor::GetName() { return _name; }
void ParamDescriptor::SetName(std::string name) { _name = std::move(name); }
std::string ParamDescriptor::GetShortName() { return _shortName; }
std::string ParamDescriptor::GetShortName(unsigned int) { return _shortName; }
void ParamDescriptor::SetShortName(std::string name) { _shortName = std::move(name); }
std::string ParamDescriptor::GetRegEx() { return _regEx; }
void ParamDescriptor::SetRegEx(std::string regex) { _regEx = std::move(regex); }

std::vector<eParam_t> ParamDescriptor::GetDependentParamIDs() { return _dependentParamIDs; }
void ParamDescriptor::SetDependentParamIDs(std::vector<eParam_t> ids) { _dependentParamIDs = std::move(ids); }

void ParamDescriptor::AddDependentParamID(eParam_t id)
{
    RemoveDependentParamID(id);
    _dependentParamIDs.push_back(id);
}

bool ParamDescriptor::RemoveDependentParamID(eParam_t id) { return removeFirst(_dependentParamIDs, id); }

std::vector<eParam_t> ParamDescriptor::GetDependsOnParamIDs() { return _dependsOnParamIDs; }
void ParamDescriptor::SetDependsOnParamIDs(std::vector<eParam_t> ids) { _dependsOnParamIDs = std::move(ids); }

void ParamDescriptor::AddDependsOnParamID(eParam_t id)
{
    RemoveDependsOnParamID(id);
    _dependsOnParamIDs.push_back(id);
}

bool ParamDescriptor::RemoveDependsOnParamID(eParam_t id) { return removeFirst(_dependsOnParamIDs, id); }

ParamDescriptor::RelationMap& ParamDescriptor::GetRelations() { return _relations; }

std::vector<ParamDescriptor::Relation>& ParamDescriptor::GetRelation(std::string name)
{
    return _relations[name];
}

void ParamDescriptor::AddRelation(std::string name, eParam_t id, unsigned int value)
{
    _relations[name].push_back(Relation{id, value});
}

std::vector<std::string> ParamDescriptor::GetClassNames() { return _classNames; }

void ParamDescriptor::AddClassName(std::string name)
{
    RemoveClassName(name);
    _classNames.push_back(std::move(name));
}

bool ParamDescriptor::RemoveClassName(std::string name)
{
    auto it = std::find(_classNames.begin(), _classNames.end(), name);
    if (it == _classNames.end())
        return false;
    _classNames.erase(it);
    return true;
}

bool ParamDescriptor::HasClassName(std::string name)
{
    return std::find(_classNames.begin(), _classNames.end(), name) != _classNames.end();
}

void ParamDescriptor::ToggleClassName(std::string name)
{
    if (HasClassName(name))
        RemoveClassName(name);
    else
        AddClassName(name);
}

void ParamDescriptor::GetAttributes(std::map<std::string, unsigned int>& out) { out = _numericAttributes; }
void ParamDescriptor::GetAttributes(std::map<std::string, std::string>& out) { out = _stringAttributes; }

bool ParamDescriptor::GetAttribute(std::string name, unsigned int& out)
{
    auto it = _numericAttributes.find(name);
    if (it == _numericAttributes.end())
        return false;
    out = it->second;
    return true;
}

bool ParamDescriptor::GetAttribute(std::string name, std::string& out)
{
    auto it = _stringAttributes.find(name);
    if (it == _stringAttributes.end())
        return false;
    out = it->second;
    return true;
}

void ParamDescriptor::AddAttribute(std::string name, unsigned int value) { _numericAttributes[name] = value; }
void ParamDescriptor::AddAttribute(std::string name, std::string value) { _stringAttributes[name] = std::move(value); }
