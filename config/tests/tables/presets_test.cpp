#include <gtest/gtest.h>

#include <string>

#include "paramlink/descriptortable.h"
#include "paramlink/maxconfigid.h"
#include "tables/persistenceinternal.h"
#include "tovikconfig/boxparamids.h"
#include "tovikconfig/commonconfig.h"
#include "tovikconfig/descriptors.h"

using namespace tovikconfig;

namespace {

struct PresetCase {
    int count;        // what the store reports
    int presets;      // preset names made
    unsigned triggerMax;
};

const eParam_t kTriggers[] = {eParamID_RegisterRecall, eParamID_RegisterSave, eParamID_RegisterLoad,
                              eParamID_RegisterStore};

} // namespace

TEST(Presets, CountDecidesNamesAndTriggerRange)
{
    const PresetCase cases[] = {
        {0, 0, 0}, {-3, 0, 0}, {1, 1, 1}, {4, 4, 4}, {10, 10, 10}, {20, 20, 20}, {21, 20, 20}, {25, 20, 20},
    };
    for (const PresetCase& c : cases) {
        SCOPED_TRACE("count " + std::to_string(c.count));
        DescriptorTable table(0);
        EXPECT_TRUE(CommonConfig::internal::AddPersistenceDescriptors(&table, c.count));
        EXPECT_EQ(table.size(), static_cast<size_t>(c.presets) + 12u);

        for (int n = 1; n <= kPresetNameCount + 1; ++n) {
            const std::string number = std::to_string(n);
            auto* d = dynamic_cast<StringDescriptor*>(table.GetDescriptor(PresetNameParamID(n)));
            if (n > c.presets) {
                EXPECT_EQ(d, nullptr) << n;
                EXPECT_EQ(table.GetDescriptor("eParamID_PresetName_" + number), nullptr) << n;
                continue;
            }
            ASSERT_NE(d, nullptr) << n;
            EXPECT_EQ(d->GetParamIDName(), "eParamID_PresetName_" + number);
            EXPECT_EQ(d->GetName(), "Preset #" + number);
            EXPECT_EQ(d->GetFactoryDefault(), "Preset " + number);
            std::string menu;
            EXPECT_TRUE(d->GetAttribute("menu_number", menu));
            EXPECT_EQ(menu, "0." + number);
        }
        for (eParam_t id : kTriggers) {
            auto* t = dynamic_cast<IntegerDescriptor*>(table.GetDescriptor(id));
            ASSERT_NE(t, nullptr) << std::hex << id;
            EXPECT_EQ(t->GetMinValue(), 1u);
            EXPECT_EQ(t->GetMaxValue(), c.triggerMax);
        }
    }
}

TEST(Presets, PresetNameIds)
{
    EXPECT_EQ(PresetNameParamID(1), static_cast<eParam_t>(0x65000100));
    EXPECT_EQ(PresetNameParamID(10), static_cast<eParam_t>(0x65000a00));
    EXPECT_EQ(PresetNameParamID(20), static_cast<eParam_t>(0x65001400));
}

// The public operations take the count from the store.
TEST(Presets, PublicOperationsUseTheStoreCount)
{
    const int presets = CommonConfig::internal::UsablePresetCount(GetMaxConfigID());
    DescriptorTable names(0);
    EXPECT_TRUE(CommonConfig::PersistenceConfig::CreateParamDescriptor_PresetNames(&names));
    EXPECT_EQ(names.size(), static_cast<size_t>(presets));
    DescriptorTable all(0);
    EXPECT_TRUE(CommonConfig::PersistenceConfig::AddParamDescriptors(&all));
    EXPECT_EQ(all.size(), static_cast<size_t>(presets) + 12u);
}
