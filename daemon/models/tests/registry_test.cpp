// The model registry against everything else that lists the models: the
// module-type catalogue, the simulator, the type codes the slots publish,
// the box's device-type items and the models' descriptor tables.
#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "blockowner.h"
#include "blocksupport/registerblock.h"
#include "catalog/cmoduletype.h"
#include "convsim/personality.h"
#include "devicewrapper.h"
#include "modelfolder.h"
#include "paramlink/descriptortable.h"
#include "registry.h"
#include "roiscaler/block/scalerblock.h"
#include "tovikconfig/boxparamids.h"
#include "tovikconfig/enumdescriptor.h"

namespace {

// "HESTRA" -> "Hestra": the name the box's device-type items show.
std::string DisplayName(const char* name)
{
    std::string text = ModelFolder(name);
    if (!text.empty())
        text[0] = char(std::toupper(static_cast<unsigned char>(text[0])));
    return text;
}

TEST(ModelRegistry, OneRowPerModuleTypeInOrder)
{
    const RowList<ModelRow> rows = ModelRegistry::Rows();
    ASSERT_EQ(rows.size, size_t(CModuleType::kModuleTypeCount));
    std::set<std::string> folders;
    for (size_t i = 0; i < rows.size; ++i) {
        EXPECT_EQ(rows.data[i].moduleType, int(i));
        EXPECT_EQ(ModelRegistry::Find(int(i)), &rows.data[i]);
        EXPECT_TRUE(folders.insert(ModelFolder(rows.data[i].name)).second) << rows.data[i].name;
    }
    EXPECT_EQ(ModelRegistry::Find(-1), nullptr);
    EXPECT_EQ(ModelRegistry::Find(CModuleType::kModuleTypeCount), nullptr);
    EXPECT_EQ(ModelFolder(ModelRegistry::Find(5)->name), "hestra");
}

TEST(ModelRegistry, NamesAreTheCataloguesAndTheSimulators)
{
    for (const ModelRow& row : ModelRegistry::Rows()) {
        SCOPED_TRACE(row.name);
        EXPECT_STREQ(CModuleType::_moduleTypeIDNames[size_t(row.moduleType)].text, row.name);
        EXPECT_EQ(ModuleTypeFromName(QString::fromLatin1(row.name)), row.moduleType);
        EXPECT_EQ(convsim::ModuleTypeName(row.moduleType), row.name);
        EXPECT_EQ(convsim::IsScalerType(row.moduleType), roiscaler::FindRoiModel(row.moduleType) != nullptr);
    }
    // The simulator knows no module type past the list.
    EXPECT_EQ(convsim::ModuleTypeName(int(ModelRegistry::Rows().size)), "");
}

TEST(ModelRegistry, TypeCodesAndModelNumbers)
{
    std::map<tovikconfig::ViveRode_t, int> models;
    for (const ModelRow& row : ModelRegistry::Rows()) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.typeCode, DeviceWrapper::TypeCodeForModuleType(row.moduleType));
        if (row.modelNumber != 0) {
            EXPECT_EQ(row.typeCode, row.modelNumber);
            EXPECT_EQ(row.modelNumber, tovikconfig::ViveRode_t(row.moduleType + 1));
            ++models[row.modelNumber];
        } else {
            EXPECT_EQ(row.typeCode, DeviceWrapper::kOtherTypeCode);
        }
    }
    // Every converter model number the dispatch knows (2 to 22) is one row;
    // 23 is the code of every other module type.
    for (tovikconfig::ViveRode_t n = 2; n < tovikconfig::kViveRodeCount - 1; ++n)
        EXPECT_EQ(models[n], 1) << n;
    EXPECT_EQ(models.size(), size_t(tovikconfig::kViveRodeCount - 3));
    EXPECT_EQ(DeviceWrapper::kOtherTypeCode, tovikconfig::kViveRodeCount - 1);
}

TEST(ModelRegistry, EveryModelNumberHasATable)
{
    for (const ModelRow& row : ModelRegistry::Rows()) {
        if (row.modelNumber == 0)
            continue;
        SCOPED_TRACE(row.name);
        DescriptorTable table(91);
        ASSERT_TRUE(tovikconfig::TovikConfig::AddParamDescriptors(&table, row.modelNumber));
        ASSERT_GE(table.size(), 1u);
        EXPECT_EQ(quint32(table.GetParamIDs().front()), quint32(tovikconfig::eParamID_CxnStatus));
    }
}

TEST(ModelRegistry, DeviceTypeItemsNameEveryModel)
{
    DescriptorTable box(92);
    ASSERT_TRUE(tovikconfig::TovikConfig::AddParamDescriptors(&box, 1));
    for (int slot = 1; slot <= tovikconfig::kDeviceSlotCount; ++slot) {
        auto* type = dynamic_cast<EnumDescriptor*>(box.GetDescriptor(tovikconfig::DeviceTypeParamID(slot)));
        ASSERT_NE(type, nullptr) << slot;
        std::map<unsigned, std::string> items;
        for (const EnumValueDescriptor& item : type->GetOrderedEnumValueDescriptors())
            items[item.value] = item.name;

        std::map<unsigned, std::string> expected = {{0, "None"}, {DeviceWrapper::kOtherTypeCode, "Unknown"}};
        for (const ModelRow& row : ModelRegistry::Rows())
            if (row.modelNumber != 0)
                expected[row.typeCode] = DisplayName(row.name);
        EXPECT_EQ(items, expected) << slot;
    }
}

TEST(ModelRegistry, BlockMakersMakeTheModelsBlock)
{
    for (const ModelRow& row : ModelRegistry::Rows()) {
        if (!row.makeBlock)
            continue;
        SCOPED_TRACE(row.name);
        CCmdEngine* owner = reinterpret_cast<CCmdEngine*>(0x10);
        std::unique_ptr<CConfigBlockIF> block(row.makeBlock(owner, 0, 0));
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(tovik::test::BlockOwner::Of(*block), owner);
        EXPECT_EQ(block->FPGAID(), 0);
        EXPECT_EQ(block->BlockID(), 0);
        auto* registers = dynamic_cast<RegisterBlock*>(block.get());
        ASSERT_NE(registers, nullptr);
        EXPECT_EQ(CheckLayout(registers->Layout()), "");
        if (auto* roi = dynamic_cast<CRoiScalerBlock*>(block.get()))
            EXPECT_EQ(roi->Model().moduleType, row.moduleType);
        else
            EXPECT_EQ(roiscaler::FindRoiModel(row.moduleType), nullptr);
    }
    for (const roiscaler::RoiModel& model : roiscaler::RoiModels())
        EXPECT_NE(ModelRegistry::Find(model.moduleType)->makeBlock, nullptr) << model.name;
}

TEST(ModelRegistry, WrapperMakersAreTheRows)
{
    const ModelRegistry registry;
    for (const ModelRow& row : ModelRegistry::Rows())
        EXPECT_EQ(registry.WrapperFor(row.moduleType), row.makeWrapper) << row.name;
    EXPECT_EQ(registry.WrapperFor(-1), nullptr);
    EXPECT_EQ(registry.WrapperFor(40), nullptr);
}

} // namespace
