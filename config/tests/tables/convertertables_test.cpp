// The converter models' tables through the dispatch: sizes, id plans, the
// public id constants, aggregate counts and the stop at the first refusal.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "paramlink/descriptortable.h"
#include "tovikconfig/boxparamids.h"
#include "tovikconfig/descriptors.h"
#include "tovikconfig/models/hestraparamids.h"
#include "tovikconfig/models/jastelparamids.h"
#include "tovikconfig/models/mardexparamids.h"
#include "tovikconfig/models/pendroparamids.h"
#include "tovikconfig/models/quastelparamids.h"
#include "tovikconfig/models/versiononlyparamids.h"
#include "tovikconfig/tovikconfig.h"

using namespace tovikconfig;

namespace {

struct IDNames {
    const ParamIDName* begin;
    const ParamIDName* end;
};

template <std::size_t N>
IDNames Names(const ParamIDName (&names)[N])
{
    return IDNames{names, names + N};
}

struct ModelCase {
    const char* name;
    ViveRode_t model;
    std::uint32_t base;
    IDNames constants;
    std::size_t count;
    std::uint32_t highestIndex;
};

const ModelCase kModels[] = {
    {"Arvel", 2, 0x01000000, Names(arvel::kParamIDNames), 3, 0x03},
    {"Brindo", 3, 0x01010000, Names(brindo::kParamIDNames), 3, 0x03},
    {"Cadmer", 4, 0x01020000, Names(cadmer::kParamIDNames), 3, 0x03},
    {"Gravo", 5, 0x01030000, Names(gravo::kParamIDNames), 3, 0x03},
    {"Hestra", 6, 0x01040000, Names(hestra::kParamIDNames), 55, 0x39},
    {"Dovrin", 7, 0x01050000, Names(dovrin::kParamIDNames), 3, 0x03},
    {"Estrow", 8, 0x01060000, Names(cestrow::kParamIDNames), 3, 0x03},
    {"Falcrin", 9, 0x01070000, Names(falcrin::kParamIDNames), 3, 0x03},
    {"Gesmor", 10, 0x01080000, Names(gesmor::kParamIDNames), 3, 0x03},
    {"Harvik", 11, 0x01090000, Names(harvik::kParamIDNames), 3, 0x03},
    {"Ilmaro", 12, 0x010a0000, Names(ilmaro::kParamIDNames), 3, 0x03},
    {"Jastel", 13, 0x010b0000, Names(jastel::kParamIDNames), 59, 0x3d},
    {"Kelvro", 14, 0x010c0000, Names(ckelvro::kParamIDNames), 3, 0x03},
    {"Mardex", 15, 0x010d0000, Names(mardex::kParamIDNames), 71, 0x49},
    {"Lomrik", 16, 0x010e0000, Names(clomrik::kParamIDNames), 3, 0x03},
    {"Nolvar", 17, 0x010f0000, Names(nolvar::kParamIDNames), 3, 0x03},
    {"Pendro", 19, 0x00111000, Names(pendro::kParamIDNames), 69, 0x47},
    {"Quastel", 20, 0x01120000, Names(quastel::kParamIDNames), 69, 0x47},
};

// The model's own ids in creation order (the connection status left out).
std::vector<eParam_t> ModelIDs(const DescriptorTable& table)
{
    std::vector<eParam_t> ids = table.GetParamIDs();
    EXPECT_FALSE(ids.empty());
    if (!ids.empty()) {
        EXPECT_EQ(ids.front(), eParamID_CxnStatus);
        ids.erase(ids.begin());
    }
    return ids;
}

std::vector<eParam_t> FullModelIDs(ViveRode_t model)
{
    DescriptorTable table(1);
    EXPECT_TRUE(TovikConfig::AddParamDescriptors(&table, model));
    return ModelIDs(table);
}

} // namespace

// Every model of 2..20 but 18 has its own table after the connection
// status; the ids are the model's base ORed with an index.
TEST(ConverterTables, SizesAndIdPlansThroughTheDispatch)
{
    for (const ModelCase& c : kModels) {
        SCOPED_TRACE(c.name);
        DescriptorTable table(1);
        ASSERT_TRUE(TovikConfig::AddParamDescriptors(&table, c.model));
        EXPECT_EQ(table.size(), c.count + 1);
        const std::vector<eParam_t> ids = ModelIDs(table);
        std::set<std::uint32_t> indices;
        for (eParam_t id : ids) {
            EXPECT_EQ(id & ~0xFFFu, c.base) << std::hex << id;
            indices.insert(id & 0xFFFu);
        }
        EXPECT_EQ(indices.size(), ids.size()) << "an id twice";
        ASSERT_FALSE(indices.empty());
        EXPECT_EQ(*indices.begin(), 1u);
        EXPECT_EQ(*indices.rbegin(), c.highestIndex);
        // The first three are the identity strings, in this order.
        ASSERT_GE(ids.size(), 3u);
        EXPECT_EQ(ids[0], ParamID(c.base | kFpgaVersionIndex));
        EXPECT_EQ(ids[1], ParamID(c.base | kReleaseVersionIndex));
        EXPECT_EQ(ids[2], ParamID(c.base | kSerialNumberIndex));
    }
}

// Indices no model uses: 0x0b and 0x16 in the ROI scalers, 0x3b and 0x3c in
// the Jastel; every other index up to the highest is taken.
TEST(ConverterTables, IndexGaps)
{
    struct GapCase {
        ViveRode_t model;
        std::uint32_t base;
        std::set<std::uint32_t> gaps;
    };
    const GapCase cases[] = {
        {6, 0x01040000, {0x0b, 0x16}},
        {15, 0x010d0000, {0x0b, 0x16}},
        {19, 0x00111000, {0x0b, 0x16}},
        {20, 0x01120000, {0x0b, 0x16}},
        {13, 0x010b0000, {0x3b, 0x3c}},
    };
    for (const GapCase& c : cases) {
        SCOPED_TRACE(c.model);
        DescriptorTable table(1);
        ASSERT_TRUE(TovikConfig::AddParamDescriptors(&table, c.model));
        const std::vector<eParam_t> ids = ModelIDs(table);
        for (std::uint32_t index = 1; index <= ids.size() + c.gaps.size(); ++index) {
            const bool present = table.GetDescriptor(ParamID(c.base | index)) != nullptr;
            EXPECT_EQ(present, c.gaps.count(index) == 0) << std::hex << index;
        }
    }
}

// The public constants name exactly the table's descriptors: the same ids
// under the same id names, none missing, none extra.
TEST(ConverterTables, IdConstantsMatchTheTables)
{
    for (const ModelCase& c : kModels) {
        SCOPED_TRACE(c.name);
        DescriptorTable table(1);
        ASSERT_TRUE(TovikConfig::AddParamDescriptors(&table, c.model));
        std::set<eParam_t> named;
        for (const ParamIDName* p = c.constants.begin; p != c.constants.end; ++p) {
            ParamDescriptor* d = table.GetDescriptor(p->id);
            ASSERT_NE(d, nullptr) << p->name;
            EXPECT_EQ(d->GetParamIDName(), p->name);
            EXPECT_EQ(table.GetDescriptor(std::string(p->name)), d);
            EXPECT_EQ(p->id & ~0xFFFu, c.base) << p->name;
            named.insert(p->id);
        }
        EXPECT_EQ(named.size(), std::size_t(c.constants.end - c.constants.begin)) << "a constant twice";
        for (eParam_t id : ModelIDs(table))
            EXPECT_EQ(named.count(id), 1u) << "no constant for " << table.GetDescriptor(id)->GetParamIDName();
    }
    EXPECT_EQ(ConverterParamID(9, kSerialNumberIndex), falcrin::eParamID_VoruZevezoZerazi);
    EXPECT_EQ(ConverterParamID(17, kFpgaVersionIndex), ParamID(0x010F0001));
}

// Counts of each table: descriptors by class, enumeration items, numeric
// and string attributes, class names, descriptors with access type 1 and
// with a "ParamGroup".
TEST(ConverterTables, AggregateCounts)
{
    struct Counts {
        std::size_t strings, integers, enums, items, numberAttrs, textAttrs, classNames, access1, grouped;
    };
    struct CountCase {
        ViveRode_t model;
        Counts expected;
    };
    const CountCase cases[] = {
        {6, {21, 16, 18, 76, 83, 36, 10, 17, 28}},
        {15, {24, 16, 31, 101, 106, 51, 11, 20, 35}},
        {19, {23, 16, 30, 101, 104, 51, 11, 19, 35}},
        {20, {23, 16, 30, 101, 104, 51, 11, 19, 35}},
        {13, {13, 1, 45, 142, 84, 12, 14, 38, 25}},
        {2, {3, 0, 0, 0, 3, 0, 0, 3, 0}},
        {17, {3, 0, 0, 0, 3, 0, 0, 3, 0}},
    };
    for (const CountCase& c : cases) {
        SCOPED_TRACE(c.model);
        DescriptorTable table(1);
        ASSERT_TRUE(TovikConfig::AddParamDescriptors(&table, c.model));
        Counts n{};
        for (eParam_t id : ModelIDs(table)) {
            ParamDescriptor* d = table.GetDescriptor(id);
            if (auto* e = dynamic_cast<EnumDescriptor*>(d)) {
                ++n.enums;
                n.items += e->GetOrderedEnumValueDescriptors().size();
            } else if (dynamic_cast<IntegerDescriptor*>(d)) {
                ++n.integers;
            } else if (dynamic_cast<StringDescriptor*>(d)) {
                ++n.strings;
            }
            std::map<std::string, unsigned int> numbers;
            std::map<std::string, std::string> texts;
            d->GetAttributes(numbers);
            d->GetAttributes(texts);
            n.numberAttrs += numbers.size();
            n.textAttrs += texts.size();
            n.classNames += d->GetClassNames().size();
            n.access1 += d->GetAccessType() == 1;
            n.grouped += numbers.count("ParamGroup");
            // Every converter descriptor: feature 3, the constructor's
            // persistence, register and reset types, no relations.
            EXPECT_EQ(d->GetFeatureType(), 3u);
            EXPECT_EQ(d->GetPersistenceType(), ePersist_Persists);
            EXPECT_EQ(d->GetRegisterType(), eUserRegister_Included);
            EXPECT_EQ(d->GetFactoryResetType(), eFactoryReset_WarmFuzzy);
            EXPECT_TRUE(d->GetDependentParamIDs().empty());
            EXPECT_TRUE(d->GetRelations().empty());
            EXPECT_EQ(numbers.count("DisplayType"), 1u) << d->GetParamIDName();
            const bool integer = dynamic_cast<IntegerDescriptor*>(d) && !dynamic_cast<EnumDescriptor*>(d);
            EXPECT_EQ(d->GetRegEx(), integer ? "*" : "") << d->GetParamIDName();
        }
        EXPECT_EQ(n.strings, c.expected.strings);
        EXPECT_EQ(n.integers, c.expected.integers);
        EXPECT_EQ(n.enums, c.expected.enums);
        EXPECT_EQ(n.items, c.expected.items);
        EXPECT_EQ(n.numberAttrs, c.expected.numberAttrs);
        EXPECT_EQ(n.textAttrs, c.expected.textAttrs);
        EXPECT_EQ(n.classNames, c.expected.classNames);
        EXPECT_EQ(n.access1, c.expected.access1);
        EXPECT_EQ(n.grouped, c.expected.grouped);
    }
}

// A refusal stops the model's table at once: the table keeps what came
// before, nothing after it is even built, and the dispatch answers false.
// The last descriptor's answer is the table's answer.
TEST(ConverterTables, RefusalAtTheFirstAMiddleAndTheLastDescriptor)
{
    for (const ModelCase& c : kModels) {
        SCOPED_TRACE(c.name);
        const std::vector<eParam_t> full = FullModelIDs(c.model);
        ASSERT_EQ(full.size(), c.count);
        for (std::size_t k : {std::size_t(0), full.size() / 2, full.size() - 1}) {
            SCOPED_TRACE("refused " + std::to_string(k));
            DescriptorTable table(1);
            std::size_t offered = 0;
            table.SetRefusalHook([&](ParamDescriptor* d) {
                ++offered;
                return d->GetParamID() == full[k];
            });
            EXPECT_FALSE(TovikConfig::AddParamDescriptors(&table, c.model));
            EXPECT_EQ(offered, k + 2) << "the connection status, then positions 1 to k + 1";
            const std::vector<eParam_t> kept = ModelIDs(table);
            EXPECT_EQ(kept, std::vector<eParam_t>(full.begin(), full.begin() + k));
        }
    }
}
