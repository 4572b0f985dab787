#include "paramlink/valuekind.h"

#include <atomic>

#include "tovikconfig/paramdescriptor.h"

namespace {
// Constant-initialised, so a resolver installed by another library's static
// initialiser is never overwritten by ours.
std::atomic<DescriptorKindResolver> g_resolver{nullptr};
} // namespace

void SetDescriptorKindResolver(DescriptorKindResolver resolver)
{
    g_resolver.store(resolver, std::memory_order_release);
}

DescriptorKindInfo ResolveDescriptorKind(ParamDescriptor* descriptor)
{
    DescriptorKindInfo info;
    if (!descriptor)
        return info;
    DescriptorKindResolver resolver = g_resolver.load(std::memory_order_acquire);
    if (resolver && resolver(descriptor, info))
        return info;
    info = DescriptorKindInfo();
    if (descriptor->GetParamType() == eCParam_StringValue)
        info.kind = ValueKind::String;
    return info;
}
