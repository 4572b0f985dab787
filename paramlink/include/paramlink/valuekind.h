// What kind of value a descriptor's parameter holds, and its factory
// default, told from the descriptor's class.
#ifndef PARAMLINK_VALUEKIND_H
#define PARAMLINK_VALUEKIND_H

#include <cstdint>
#include <string>

#include "paramlink/paramlinkexport.h"

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
    // A string or data descriptor's MaxLength; hasMaxLength is false for
    // descriptors of other classes.
    bool hasMaxLength = false;
    std::uint32_t maxLength = 0;
};

// Data and string descriptors hold bytes, integer and enumeration
// descriptors an integer; a descriptor of another class holds a string
// when its param type is 12, else an integer, with no default and no
// length limit.
PARAMLINK_EXPORT DescriptorKindInfo ResolveDescriptorKind(ParamDescriptor* descriptor);

#endif
