#include "tovikconfig/enumdescriptor.h"

#include <cstdio>

EnumValueDescriptor::EnumValueDescriptor()
    : value(99999), name("Invalid"), shortName("Invalid")
{
}

EnumValueDescriptor::EnumValueDescriptor(unsigned int v, std::string n, std::string s, std::string e)
    : value(v), name(std::move(n)), shortName(std::move(s)), extra(std::move(e))
{
}

EnumValueDescriptor::EnumValueDescriptor(const EnumValueDescriptor& other) = default;
EnumValueDescriptor& EnumValueDescriptor::operator=(const EnumValueDescriptor& other) = default;
EnumValueDescriptor::~EnumValueDescriptor() = default;

EnumDescriptor::EnumDescriptor() = default;
EnumDescriptor::~EnumDescriptor() = default;

std::map<unsigned int, EnumValueDescriptor> EnumDescriptor::GetEnumValueDescriptors() { return _items; }

std::vector<EnumValueDescriptor> EnumDescriptor::GetOrderedEnumValueDescriptors()
{
    std::vector<EnumValueDescriptor> result;
    result.reserve(_order.size());
    for (unsigned int v : _order)
        result.push_back(_items[v]); // a missing value gains the default item
    return result;
}

EnumValueDescriptor EnumDescriptor::GetEnumValueDescriptor(unsigned int value)
{
    auto it = _items.find(value);
    return it == _items.end() ? EnumValueDescriptor() : it->second;
}

void EnumDescriptor::SetEnumValueDescriptors(std::map<unsigned int, EnumValueDescriptor> items)
{
    _items = std::move(items);
}

void EnumDescriptor::AddNameValuePair(unsigned int value, std::string name,
                                      EnumValueDescriptor::EnumValueData* data, std::string extra)
{
    AddNameValuePair(value, name, name, data, std::move(extra));
}

void EnumDescriptor::AddNameValuePair(unsigned int value, std::string name, std::string shortName,
                                      EnumValueDescriptor::EnumValueData* data, std::string extra)
{
    EnumValueDescriptor item(value, std::move(name), std::move(shortName), std::move(extra));
    if (data) {
        item.numericAttributes = data->numericAttributes;
        item.stringAttributes = data->stringAttributes;
        item.classNames = data->classNames;
    }
    _items[value] = item;
    _order.push_back(value);
}

std::string EnumDescriptor::GetEnumValue(unsigned int value)
{
    if (_items.find(value) == _items.end()) {
        char text[16];
        std::snprintf(text, sizeof(text), "0x%x", value);
        return text;
    }
    return GetEnumValueDescriptor(value).name;
}
