// The store tells a parameter's value kind and default from its descriptor.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "paramlink/valuekind.h"
#include "tovikconfig/descriptors.h"
#include "valuelimit.h"
#include "wireformat.h"

namespace {

struct KindCase {
    const char* name;
    std::function<ParamDescriptor*()> make;
    ValueKind kind;
    std::int32_t integerDefault;
    const char* stringDefault;
    bool hasMaxLength;
    std::uint32_t maxLength;
};

TEST(ValueKind, FollowsTheDescriptorClass)
{
    const KindCase cases[] = {
        {"integer", [] { auto* d = new IntegerDescriptor; d->SetFactoryDefault(7); return d; },
         ValueKind::Integer, 7, "", false, 0},
        {"enumeration", [] { auto* d = new EnumDescriptor; d->SetFactoryDefault(2); return d; },
         ValueKind::Integer, 2, "", false, 0},
        {"decimal", [] { auto* d = new DecimalDescriptor; d->SetFactoryDefault(0xFFFFFFFFu); return d; },
         ValueKind::Integer, -1, "", false, 0},
        {"string", [] { auto* d = new StringDescriptor; d->SetFactoryDefault("abc"); return d; },
         ValueKind::String, 0, "abc", true, 20},
        {"data", [] { auto* d = new DataDescriptor; d->SetFactoryDefault(std::string("\x01\x00", 2));
                      d->SetMaxLength(16384); return d; },
         ValueKind::Data, 0, "", true, 16384},
        {"base class of string type", [] { auto* d = new ParamDescriptor; d->SetParamType(eCParam_StringValue); return d; },
         ValueKind::String, 0, "", false, 0},
        {"base class of integer type", [] { auto* d = new ParamDescriptor; d->SetParamType(eCParam_IntegerValue); return d; },
         ValueKind::Integer, 0, "", false, 0},
    };
    for (const KindCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<ParamDescriptor> descriptor(c.make());
        const DescriptorKindInfo info = ResolveDescriptorKind(descriptor.get());
        EXPECT_EQ(info.kind, c.kind);
        EXPECT_EQ(info.integerDefault, c.integerDefault);
        EXPECT_EQ(info.hasMaxLength, c.hasMaxLength);
        EXPECT_EQ(info.maxLength, c.maxLength);
        if (c.kind == ValueKind::Data)
            EXPECT_EQ(info.stringDefault, std::string("\x01\x00", 2));
        else
            EXPECT_EQ(info.stringDefault, c.stringDefault);
    }
    const DescriptorKindInfo none = ResolveDescriptorKind(nullptr);
    EXPECT_EQ(none.kind, ValueKind::Integer);
    EXPECT_EQ(none.integerDefault, 0);
}

// A string or data value may be as long as its descriptor's MaxLength, and
// never less than the floor (the daemon keeps longer texts in descriptors
// left at the constructor's 20); integers and classless strings are not
// limited here.
TEST(ValueKind, LengthLimitFollowsTheDescriptorAboveTheFloor)
{
    auto info = [](ValueKind kind, bool has, std::uint32_t max) {
        DescriptorKindInfo i;
        i.kind = kind;
        i.hasMaxLength = has;
        i.maxLength = max;
        return i;
    };
    const size_t floor = paramlink::kLengthFloor;
    const size_t wireMax = paramlink::wire::kMaxValueBytes;
    const struct {
        const char* name;
        DescriptorKindInfo info;
        size_t limit;
    } cases[] = {
        {"string of MaxLength 20", info(ValueKind::String, true, 20), floor},
        {"string of MaxLength 0", info(ValueKind::String, true, 0), floor},
        {"string of MaxLength 16384", info(ValueKind::String, true, 16384), 16384},
        {"data past what the wire carries", info(ValueKind::Data, true, 0xffffffffu), wireMax},
        {"string of no descriptor class", info(ValueKind::String, false, 0), wireMax},
        {"integer", info(ValueKind::Integer, false, 0), wireMax},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(paramlink::ValueLimit(c.info), c.limit);
        EXPECT_EQ(paramlink::LengthRefusal(c.info, c.limit, eParam_t(0x01000101), 3), "");
        if (c.limit < wireMax) {
            EXPECT_EQ(paramlink::LengthRefusal(c.info, c.limit + 1, eParam_t(0x01000101), 3),
                      "a value of " + std::to_string(c.limit + 1) +
                          " bytes for parameter 0x01000101 of config 3 is too long (at most " +
                          std::to_string(c.limit) + ")");
        }
    }
}

} // namespace
