// What kind of value a descriptor's parameter holds, and its factory
// default. The store never links the descriptor classes, so the library
// that defines them installs a resolver at load time; without one, a
// descriptor of param type 12 holds a string and any other an integer.
#ifndef PARAMLINK_VALUEKIND_H
#define PARAMLINK_VALUEKIND_H

#include <cstdint>
#include <string>

class ParamDescriptor;

enum class ValueKind : std::uint8_t {
    Integer = 1,
    String = 2,
    Data = 3
};

struct DescriptorKindInfo {
    ValueKind kind = ValueKind::Integer;
    std::int32_t integerDefault = 0;
    std::string stringDefault;
};

// Fills out and returns true when it knows the descriptor; false falls back
// to the param-type rule.
typedef bool (*DescriptorKindResolver)(ParamDescriptor* descriptor, DescriptorKindInfo& out);

void SetDescriptorKindResolver(DescriptorKindResolver resolver);
DescriptorKindInfo ResolveDescriptorKind(ParamDescriptor* descriptor);

#endif
