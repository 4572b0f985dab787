#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "paramlink/descriptortable.h"
#include "tovikconfig/boxparamids.h"
#include "tovikconfig/descriptors.h"
#include "tovikconfig/tovikconfig.h"

using tovikconfig::TovikConfig;
using tovikconfig::ViveRode_t;

namespace {

enum class Expect { Empty, CxnOnly, CxnFirst, Box };

struct DispatchCase {
    ViveRode_t model;
    bool result;
    Expect content;
};

void ExpectCxnStatus(ParamDescriptor* d)
{
    auto* e = dynamic_cast<EnumDescriptor*>(d);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->GetParamID(), tovikconfig::eParamID_CxnStatus);
    EXPECT_EQ(e->GetParamIDName(), "eParamID_CxnStatus");
    EXPECT_EQ(e->GetName(), "Device Connection Status");
    EXPECT_EQ(e->GetShortName(), "DevCxn");
    EXPECT_EQ(e->GetOrderedEnumValueDescriptors().size(), 15u);
    EXPECT_EQ(e->GetFactoryDefault(), 1u);
    EXPECT_EQ(e->GetAccessType(), static_cast<eAccess_t>(1));
    EXPECT_EQ(e->GetEnumValue(14), "Unknown connection error");
    EXPECT_EQ(e->GetEnumValue(15), "0xf");
}

} // namespace

TEST(Dispatch, NullTableFailsForEveryModel)
{
    for (ViveRode_t model : {0u, 1u, 6u, 18u, 24u})
        EXPECT_FALSE(TovikConfig::AddParamDescriptors(nullptr, model)) << model;
}

TEST(Dispatch, ModelNumbers)
{
    const DispatchCase cases[] = {
        {0, true, Expect::Empty},         {1, true, Expect::Box},
        {2, true, Expect::CxnFirst},      {6, true, Expect::CxnFirst},
        {15, true, Expect::CxnFirst},     {17, true, Expect::CxnFirst},
        {18, true, Expect::CxnOnly},      {19, true, Expect::CxnFirst},
        {20, true, Expect::CxnFirst},     {21, true, Expect::CxnOnly},
        {22, true, Expect::CxnOnly},      {23, true, Expect::CxnOnly},
        {24, false, Expect::Empty},       {25, false, Expect::Empty},
        {0x80000000u, false, Expect::Empty}, {0xFFFFFFFFu, false, Expect::Empty},
    };
    for (const DispatchCase& c : cases) {
        SCOPED_TRACE("model " + std::to_string(c.model));
        DescriptorTable table(1);
        EXPECT_EQ(TovikConfig::AddParamDescriptors(&table, c.model), c.result);
        const std::vector<eParam_t> ids = table.GetParamIDs();
        switch (c.content) {
        case Expect::Empty:
            EXPECT_TRUE(ids.empty());
            break;
        case Expect::CxnOnly:
            ASSERT_EQ(ids.size(), 1u);
            ExpectCxnStatus(table.GetDescriptor(ids[0]));
            break;
        case Expect::CxnFirst:
            ASSERT_FALSE(ids.empty());
            ExpectCxnStatus(table.GetDescriptor(ids[0]));
            break;
        case Expect::Box:
            ASSERT_FALSE(ids.empty());
            EXPECT_EQ(ids.front(), tovikconfig::eParamID_IPConfig);
            EXPECT_EQ(ids.back(), tovikconfig::DeviceCxnStatusParamID(4));
            EXPECT_EQ(table.GetDescriptor(tovikconfig::eParamID_CxnStatus), nullptr);
            break;
        }
    }
}

TEST(Dispatch, BoxTablesComeInOrderWithTheSlotTableLast)
{
    DescriptorTable table(0);
    ASSERT_TRUE(TovikConfig::AddParamDescriptors(&table, 1));
    const std::vector<eParam_t> ids = table.GetParamIDs();

    // First id of each box-wide table, in dispatch order, then the slots.
    const eParam_t groupStarts[] = {
        tovikconfig::eParamID_IPConfig, tovikconfig::eParamID_CurrentlyRunningImageVersion,
        tovikconfig::PresetNameParamID(1), tovikconfig::eParamID_SafebootMode,
        tovikconfig::eParamID_Authentication, tovikconfig::eParamID_DeviceCount};
    size_t last = 0;
    for (eParam_t id : groupStarts) {
        auto it = std::find(ids.begin(), ids.end(), id);
        ASSERT_NE(it, ids.end()) << std::hex << id;
        const size_t at = static_cast<size_t>(it - ids.begin());
        EXPECT_GE(at, last) << std::hex << id;
        last = at;
    }

    // The slot table: count, serial, then four groups of four, slot 1 first.
    const std::vector<eParam_t> slotIDs(ids.end() - 18, ids.end());
    std::vector<eParam_t> expected = {tovikconfig::eParamID_DeviceCount, tovikconfig::eParamID_SerialNumber};
    for (std::uint32_t base : {tovikconfig::kDeviceTypeBase, tovikconfig::kDeviceSNBase,
                               tovikconfig::kDeviceNameBase, tovikconfig::kDeviceCxnStatusBase})
        for (int slot = 1; slot <= 4; ++slot)
            expected.push_back(static_cast<eParam_t>(base + slot));
    EXPECT_EQ(slotIDs, expected);
}

TEST(Dispatch, SlotParametersAreFoundByTheirIdNames)
{
    DescriptorTable table(0);
    ASSERT_TRUE(TovikConfig::AddParamDescriptors(&table, 1));
    for (int slot = 1; slot <= 4; ++slot) {
        const std::string n = std::to_string(slot);
        struct { std::string idName; eParam_t id; } lookups[] = {
            {"eParamID_Device_" + n + "_Type", tovikconfig::DeviceTypeParamID(slot)},
            {"eParamID_Device_" + n + "_SN", tovikconfig::DeviceSNParamID(slot)},
            {"eParamID_Device_" + n + "_Name", tovikconfig::DeviceNameParamID(slot)},
            {"eParamID_Device_" + n + "_CxnStatus", tovikconfig::DeviceCxnStatusParamID(slot)},
        };
        for (const auto& l : lookups) {
            ParamDescriptor* d = table.GetDescriptor(l.idName);
            ASSERT_NE(d, nullptr) << l.idName;
            EXPECT_EQ(d->GetParamID(), l.id) << l.idName;
        }
    }
    auto* type3 = dynamic_cast<EnumDescriptor*>(table.GetDescriptor(std::string("eParamID_Device_3_Type")));
    ASSERT_NE(type3, nullptr);
    EXPECT_EQ(type3->GetParamID(), static_cast<eParam_t>(0x0200000C));
    EXPECT_EQ(type3->GetOrderedEnumValueDescriptors().size(), 23u);
    EXPECT_EQ(type3->GetEnumValue(1), "0x1");
    EXPECT_EQ(type3->GetEnumValue(9), "Falcrin");
}

TEST(Dispatch, CompleteCxnStatusOfNullFails)
{
    EXPECT_FALSE(TovikConfig::CompleteCxnStatusDescriptor(nullptr));
}

TEST(Dispatch, ComponentOperationsRejectNullTable)
{
    EXPECT_FALSE(TovikConfig::AddCommonPodunitParamDescriptors(nullptr));
    EXPECT_FALSE(TovikConfig::AddTovikParamDescriptors(nullptr));
}
