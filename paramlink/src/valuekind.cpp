#include "paramlink/valuekind.h"

#include "tovikconfig/datadescriptor.h"
#include "tovikconfig/integerdescriptor.h"
#include "tovikconfig/stringdescriptor.h"

DescriptorKindInfo ResolveDescriptorKind(ParamDescriptor* descriptor)
{
    DescriptorKindInfo info;
    if (!descriptor)
        return info;
    if (auto* text = dynamic_cast<StringDescriptor*>(descriptor)) {
        // A data descriptor is a string descriptor holding bytes.
        info.kind = dynamic_cast<DataDescriptor*>(descriptor) ? ValueKind::Data : ValueKind::String;
        info.stringDefault = text->GetFactoryDefault();
        info.hasMaxLength = true;
        info.maxLength = text->GetMaxLength();
    } else if (auto* number = dynamic_cast<IntegerDescriptor*>(descriptor)) {
        info.integerDefault = static_cast<std::int32_t>(number->GetFactoryDefault());
    } else if (descriptor->GetParamType() == eCParam_StringValue) {
        info.kind = ValueKind::String;
    }
    return info;
}
