// Tells the parameter store which value kind each descriptor class holds,
// and its factory default. Installed when the library is loaded.
#include "paramlink/valuekind.h"
#include "tovikconfig/datadescriptor.h"
#include "tovikconfig/integerdescriptor.h"
#include "tovikconfig/stringdescriptor.h"

namespace {

bool resolveKind(ParamDescriptor* descriptor, DescriptorKindInfo& out)
{
    if (auto* data = dynamic_cast<DataDescriptor*>(descriptor)) {
        out.kind = ValueKind::Data;
        out.stringDefault = data->GetFactoryDefault();
        return true;
    }
    if (auto* text = dynamic_cast<StringDescriptor*>(descriptor)) {
        out.kind = ValueKind::String;
        out.stringDefault = text->GetFactoryDefault();
        return true;
    }
    if (auto* number = dynamic_cast<IntegerDescriptor*>(descriptor)) {
        out.kind = ValueKind::Integer;
        out.integerDefault = static_cast<std::int32_t>(number->GetFactoryDefault());
        return true;
    }
    return false;
}

struct ResolverInstaller {
    ResolverInstaller() { SetDescriptorKindResolver(&resolveKind); }
};

const ResolverInstaller installer;

} // namespace
