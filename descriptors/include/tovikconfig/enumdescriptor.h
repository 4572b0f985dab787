// An enumerated integer parameter: one named item per allowed value, listed
// in the order the table author added them.
#ifndef TOVIKCONFIG_ENUMDESCRIPTOR_H
#define TOVIKCONFIG_ENUMDESCRIPTOR_H

#include <list>
#include <map>
#include <string>
#include <vector>

#include "tovikconfig/integerdescriptor.h"

class TOVIKDESCRIPTORS_EXPORT EnumValueDescriptor {
public:
    // Optional per-item extras handed to AddNameValuePair; copied, not owned.
    struct EnumValueData {
        std::map<std::string, unsigned int> numericAttributes;
        std::map<std::string, std::string> stringAttributes;
        std::list<std::string> classNames;
    };

    EnumValueDescriptor();
    EnumValueDescriptor(unsigned int value, std::string name, std::string shortName,
                        std::string extra);
    EnumValueDescriptor(const EnumValueDescriptor& other);
    EnumValueDescriptor& operator=(const EnumValueDescriptor& other);
    ~EnumValueDescriptor();

    unsigned int value;
    std::string name;
    std::string shortName;
    std::string extra;
    std::map<std::string, unsigned int> numericAttributes;
    std::map<std::string, std::string> stringAttributes;
    std::list<std::string> classNames;
};

class TOVIKDESCRIPTORS_EXPORT EnumDescriptor : public IntegerDescriptor {
public:
    EnumDescriptor();
    ~EnumDescriptor() override;

    virtual std::map<unsigned int, EnumValueDescriptor> GetEnumValueDescriptors();
    virtual std::vector<EnumValueDescriptor> GetOrderedEnumValueDescriptors();
    virtual EnumValueDescriptor GetEnumValueDescriptor(unsigned int value);
    virtual void SetEnumValueDescriptors(std::map<unsigned int, EnumValueDescriptor> items);
    virtual void AddNameValuePair(unsigned int value, std::string name,
                                  EnumValueDescriptor::EnumValueData* data, std::string extra);
    virtual void AddNameValuePair(unsigned int value, std::string name, std::string shortName,
                                  EnumValueDescriptor::EnumValueData* data, std::string extra);
    virtual std::string GetEnumValue(unsigned int value);

protected:
    std::map<unsigned int, EnumValueDescriptor> _items;
    std::vector<unsigned int> _order;
};

#endif
