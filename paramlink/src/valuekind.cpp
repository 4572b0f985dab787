#include "paramlink/valuekind.h"

#include "tovikconfig/datadescriptor.h"
#include "tovikconfig/integerdescriptor.h"
#include "tovikconfig/stringdescriptor.h"

DescriptorKindInfo ResolveDescriptorKind(ParamDescriptor* descriptor)
{
    DescriptorKindInfo info;
    if (!descriptor)
        return info;
    if (auto* data = dynamic_cast<DataDescriptor*>(descriptor)) {
        info.kind = ValueKind::Data;
        info.stringDefault = data->GetFactoryDefault();
    } else if (auto* text = dynamic_cast<StringDescriptor*>(descriptor)) {
        info.kind = ValueKind::String;
        info.stringDefault = text->GetFactoryDefault();
    } else if (auto* number = dynamic_cast<IntegerDescriptor*>(descriptor)) {
        info.integerDefault = static_cast<std::int32_t>(number->GetFactoryDefault());
    } else if (descriptor->GetParamType() == eCParam_StringValue) {
        info.kind = ValueKind::String;
    }
    return info;
}
