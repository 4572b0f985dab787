// The store tells a parameter's value kind and default from its descriptor.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "paramlink/valuekind.h"
#include "tovikconfig/descriptors.h"

namespace {

struct KindCase {
    const char* name;
    std::function<ParamDescriptor*()> make;
    ValueKind kind;
    std::int32_t integerDefault;
    const char* stringDefault;
};

TEST(ValueKind, FollowsTheDescriptorClass)
{
    const KindCase cases[] = {
        {"integer", [] { auto* d = new IntegerDescriptor; d->SetFactoryDefault(7); return d; },
         ValueKind::Integer, 7, ""},
        {"enumeration", [] { auto* d = new EnumDescriptor; d->SetFactoryDefault(2); return d; },
         ValueKind::Integer, 2, ""},
        {"decimal", [] { auto* d = new DecimalDescriptor; d->SetFactoryDefault(0xFFFFFFFFu); return d; },
         ValueKind::Integer, -1, ""},
        {"string", [] { auto* d = new StringDescriptor; d->SetFactoryDefault("abc"); return d; },
         ValueKind::String, 0, "abc"},
        {"data", [] { auto* d = new DataDescriptor; d->SetFactoryDefault(std::string("\x01\x00", 2)); return d; },
         ValueKind::Data, 0, ""},
        {"base class of string type", [] { auto* d = new ParamDescriptor; d->SetParamType(eCParam_StringValue); return d; },
         ValueKind::String, 0, ""},
        {"base class of integer type", [] { auto* d = new ParamDescriptor; d->SetParamType(eCParam_IntegerValue); return d; },
         ValueKind::Integer, 0, ""},
    };
    for (const KindCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<ParamDescriptor> descriptor(c.make());
        const DescriptorKindInfo info = ResolveDescriptorKind(descriptor.get());
        EXPECT_EQ(info.kind, c.kind);
        EXPECT_EQ(info.integerDefault, c.integerDefault);
        if (c.kind == ValueKind::Data)
            EXPECT_EQ(info.stringDefault, std::string("\x01\x00", 2));
        else
            EXPECT_EQ(info.stringDefault, c.stringDefault);
    }
    const DescriptorKindInfo none = ResolveDescriptorKind(nullptr);
    EXPECT_EQ(none.kind, ValueKind::Integer);
    EXPECT_EQ(none.integerDefault, 0);
}

} // namespace
