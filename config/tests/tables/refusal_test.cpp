#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "paramlink/descriptortable.h"
#include "tovikconfig/boxparamids.h"
#include "tovikconfig/descriptors.h"
#include "tovikconfig/tovikconfig.h"

using namespace tovikconfig;

namespace {

constexpr eParam_t kNothing = eParamID_None;

bool IsSlotParam(eParam_t id)
{
    return id >= 0x02000001 && id <= 0x02000025;
}

struct RefusalCase {
    const char* what;
    ViveRode_t model;
    std::function<bool(eParam_t)> refuse;
    bool result;
    // Count of the table afterwards, from the count of an unrefused box.
    std::function<size_t(size_t)> count;
    eParam_t last; // kNothing: the table stays empty
    std::vector<eParam_t> absent;
};

std::function<bool(eParam_t)> Only(eParam_t refused)
{
    return [refused](eParam_t id) { return id == refused; };
}

size_t OneLess(size_t full)
{
    return full - 1;
}

size_t FullBoxCount()
{
    DescriptorTable table(0);
    TovikConfig::AddParamDescriptors(&table, 1);
    return table.size();
}

} // namespace

// Box-wide tables offer every descriptor and go on; the slot table and the
// connection status stop at the first refusal and keep what they added.
TEST(Refusal, EachBuilderKeepsItsRule)
{
    const size_t full = FullBoxCount();
    const RefusalCase cases[] = {
        {"network row", 1, Only(eParamID_IPAddress), true, OneLess, DeviceCxnStatusParamID(4),
         {eParamID_IPAddress}},
        {"version row", 1, Only(eParamID_FirmwareUpdateState), true, OneLess, DeviceCxnStatusParamID(4),
         {eParamID_FirmwareUpdateState}},
        {"preset name", 1, Only(PresetNameParamID(4)), true, OneLess, DeviceCxnStatusParamID(4),
         {PresetNameParamID(4)}},
        {"preset result", 1, Only(eParamID_RegisterRecallResult), true, OneLess,
         DeviceCxnStatusParamID(4), {eParamID_RegisterRecallResult}},
        {"alarm", 1, Only(eParamID_SafebootMode), true, OneLess, DeviceCxnStatusParamID(4),
         {eParamID_SafebootMode}},
        {"auth", 1, Only(eParamID_Authentication), true, OneLess, DeviceCxnStatusParamID(4),
         {eParamID_Authentication}},
        {"every box-wide row", 1, [](eParam_t id) { return !IsSlotParam(id); }, true,
         [](size_t) { return size_t(18); }, DeviceCxnStatusParamID(4), {eParamID_IPConfig}},
        {"box serial number", 1, Only(eParamID_SerialNumber), true, OneLess, DeviceCxnStatusParamID(4),
         {eParamID_SerialNumber}},
        {"device count", 1, Only(eParamID_DeviceCount), false, [](size_t f) { return f - 18; },
         eParamID_SystemPassword, {eParamID_SerialNumber, DeviceTypeParamID(1)}},
        {"slot 3 type", 1, Only(DeviceTypeParamID(3)), false, [](size_t f) { return f - 14; },
         DeviceTypeParamID(2), {DeviceTypeParamID(3), DeviceTypeParamID(4), DeviceSNParamID(1)}},
        {"slot 2 serial", 1, Only(DeviceSNParamID(2)), false, [](size_t f) { return f - 11; },
         DeviceSNParamID(1), {DeviceSNParamID(2), DeviceNameParamID(1)}},
        {"slot 4 name", 1, Only(DeviceNameParamID(4)), false, [](size_t f) { return f - 5; },
         DeviceNameParamID(3), {DeviceNameParamID(4), DeviceCxnStatusParamID(1)}},
        {"slot 3 status", 1, Only(DeviceCxnStatusParamID(3)), false, [](size_t f) { return f - 2; },
         DeviceCxnStatusParamID(2), {DeviceCxnStatusParamID(3), DeviceCxnStatusParamID(4)}},
        {"everything", 1, [](eParam_t) { return true; }, false, [](size_t) { return size_t(0); },
         kNothing, {}},
        {"converter status, no model table", 18, Only(eParamID_CxnStatus), false,
         [](size_t) { return size_t(0); }, kNothing, {}},
        {"converter status before a model table", 6, Only(eParamID_CxnStatus), false,
         [](size_t) { return size_t(0); }, kNothing, {}},
    };
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(c.what);
        DescriptorTable table(0);
        table.SetRefusalHook([&c](ParamDescriptor* d) { return c.refuse(d->GetParamID()); });
        EXPECT_EQ(TovikConfig::AddParamDescriptors(&table, c.model), c.result);
        const std::vector<eParam_t> ids = table.GetParamIDs();
        EXPECT_EQ(ids.size(), c.count(full));
        if (c.last == kNothing) {
            EXPECT_TRUE(ids.empty());
        } else if (!ids.empty()) {
            EXPECT_EQ(ids.back(), c.last) << std::hex << ids.back();
        }
        for (eParam_t id : c.absent)
            EXPECT_EQ(table.GetDescriptor(id), nullptr) << std::hex << id;
    }
}

// The box-wide tables answer true even when the table refuses every row.
TEST(Refusal, BoxWideTablesReturnTrueWhenAllRefused)
{
    DescriptorTable table(0);
    table.SetRefusalHook([](ParamDescriptor*) { return true; });
    EXPECT_TRUE(TovikConfig::AddCommonSharedParamDescriptors(&table));
    EXPECT_EQ(table.size(), 0u);
    EXPECT_FALSE(TovikConfig::AddTovikParamDescriptors(&table));
    EXPECT_FALSE(TovikConfig::AddCommonPodunitParamDescriptors(&table));
}

// A second build on a table that was not cleared offers every id again;
// the box-wide tables go on, the slot table stops at its first id.
TEST(Refusal, SecondBuildWithoutClear)
{
    DescriptorTable table(0);
    ASSERT_TRUE(TovikConfig::AddParamDescriptors(&table, 1));
    const size_t full = table.size();
    EXPECT_FALSE(TovikConfig::AddParamDescriptors(&table, 1));
    EXPECT_EQ(table.size(), full);
}
