#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "paramlink/descriptortable.h"
#include "tovikconfig/descriptors.h"

namespace {

std::atomic<int> g_alive{0};

// Counts live instances, so a refused or cleared descriptor is seen freed.
class CountedDescriptor : public IntegerDescriptor {
public:
    CountedDescriptor(std::uint32_t id, const std::string& name)
    {
        ++g_alive;
        SetParamID(id);
        SetParamIDName(name);
    }
    ~CountedDescriptor() override { --g_alive; }
};

class DescriptorTableTest : public ::testing::Test {
protected:
    void SetUp() override { g_alive = 0; }
    DescriptorTable _table{99};
};

TEST_F(DescriptorTableTest, KeepsInsertionOrderAndFindsByIdAndName)
{
    const std::uint32_t ids[] = {30, 10, 20};
    for (auto id : ids)
        ASSERT_TRUE(_table.AddDescriptor(new CountedDescriptor(id, "eParamID_P" + std::to_string(id))));
    auto list = _table.GetParamIDs();
    ASSERT_EQ(list.size(), 3u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(list[i], eParam_t(ids[i]));
    EXPECT_EQ(_table.GetDescriptor(eParam_t(10))->GetParamIDName(), "eParamID_P10");
    EXPECT_EQ(_table.GetDescriptor(std::string("eParamID_P20"))->GetParamID(), eParam_t(20));
    EXPECT_EQ(_table.GetDescriptor(eParam_t(11)), nullptr);
    EXPECT_EQ(_table.GetDescriptor(std::string("P20")), nullptr) << "the prefix is part of the name";
}

TEST_F(DescriptorTableTest, RefusedDescriptorsAreFreed)
{
    ASSERT_TRUE(_table.AddDescriptor(new CountedDescriptor(1, "eParamID_A")));
    EXPECT_FALSE(_table.AddDescriptor(new CountedDescriptor(1, "eParamID_Again")));
    EXPECT_FALSE(_table.AddDescriptor(nullptr));
    _table.SetRefusalHook([](ParamDescriptor* d) { return d->GetParamID() == 2; });
    EXPECT_FALSE(_table.AddDescriptor(new CountedDescriptor(2, "eParamID_B")));
    EXPECT_TRUE(_table.AddDescriptor(new CountedDescriptor(3, "eParamID_C")));
    EXPECT_EQ(g_alive, 2);
    EXPECT_EQ(_table.size(), 2u);
    EXPECT_EQ(_table.GetDescriptor(std::string("eParamID_Again")), nullptr);
    EXPECT_EQ(_table.GetDescriptor(eParam_t(1))->GetParamIDName(), "eParamID_A");
}

TEST_F(DescriptorTableTest, ClearFreesEverythingAndAllowsRefill)
{
    ASSERT_TRUE(_table.AddDescriptor(new CountedDescriptor(1, "eParamID_A")));
    const auto before = _table.GetGeneration();
    _table.clear();
    EXPECT_EQ(g_alive, 0);
    EXPECT_EQ(_table.size(), 0u);
    EXPECT_NE(_table.GetGeneration(), before);
    EXPECT_TRUE(_table.AddDescriptor(new CountedDescriptor(1, "eParamID_A")));
}

TEST(DescriptorRegistryTest, OneTablePerConfigId)
{
    DescriptorTable* a = DescriptorRegistry::GetDescriptorTable(7);
    EXPECT_EQ(a, DescriptorRegistry::GetDescriptorTable(7));
    EXPECT_NE(a, DescriptorRegistry::GetDescriptorTable(8));
    EXPECT_EQ(a->GetConfigID(), 7);
}

TEST(DescriptorKindTest, KindAndDefaultFollowTheDescriptorClass)
{
    DescriptorTable table(98);
    auto* number = new IntegerDescriptor;
    number->SetParamID(1u);
    number->SetFactoryDefault(0xFFFFFFFEu);
    auto* choice = new EnumDescriptor;
    choice->SetParamID(2u);
    choice->SetFactoryDefault(3);
    auto* text = new StringDescriptor;
    text->SetParamID(3u);
    text->SetFactoryDefault("hello");
    auto* data = new DataDescriptor;
    data->SetParamID(4u);
    data->SetFactoryDefault(std::string("a\0b", 3));
    auto* bare = new ParamDescriptor;
    bare->SetParamID(5u);
    bare->SetParamType(eCParam_StringValue);
    auto* bareNumber = new ParamDescriptor;
    bareNumber->SetParamID(6u);
    for (ParamDescriptor* d : {static_cast<ParamDescriptor*>(number), static_cast<ParamDescriptor*>(choice),
                               static_cast<ParamDescriptor*>(text), static_cast<ParamDescriptor*>(data), bare,
                               bareNumber})
        ASSERT_TRUE(table.AddDescriptor(d));

    struct Case {
        std::uint32_t id;
        ValueKind kind;
        std::int32_t intDefault;
        std::string stringDefault;
    } cases[] = {
        {1, ValueKind::Integer, -2, ""},
        {2, ValueKind::Integer, 3, ""},
        {3, ValueKind::String, 0, "hello"},
        {4, ValueKind::Data, 0, std::string("a\0b", 3)},
        {5, ValueKind::String, 0, ""},
        {6, ValueKind::Integer, 0, ""},
    };
    for (const auto& c : cases) {
        DescriptorKindInfo info;
        ASSERT_TRUE(table.LookupKind(eParam_t(c.id), info)) << c.id;
        EXPECT_EQ(info.kind, c.kind) << c.id;
        EXPECT_EQ(info.integerDefault, c.intDefault) << c.id;
        EXPECT_EQ(info.stringDefault, c.stringDefault) << c.id;
    }
    DescriptorKindInfo none;
    EXPECT_FALSE(table.LookupKind(eParam_t(7), none));
}

// Lookups on other threads while the table is cleared and refilled must
// never reach freed memory (AddressSanitizer watches).
TEST(DescriptorTableConcurrencyTest, LookupsDuringRefill)
{
    DescriptorTable table(97);
    std::atomic<bool> stop{false};
    std::vector<std::thread> readers;
    for (int t = 0; t < 4; ++t)
        readers.emplace_back([&] {
            DescriptorKindInfo info;
            while (!stop.load()) {
                for (std::uint32_t id = 1; id <= 50; ++id) {
                    table.LookupKind(eParam_t(id), info);
                    table.GetParamIDs();
                    table.GetDescriptor(std::string("eParamID_X"));
                }
            }
        });
    for (int round = 0; round < 200; ++round) {
        table.clear();
        for (std::uint32_t id = 1; id <= 50; ++id) {
            auto* s = new StringDescriptor;
            s->SetParamID(id);
            s->SetFactoryDefault(std::string(64, 'x'));
            table.AddDescriptor(s);
        }
    }
    stop = true;
    for (auto& r : readers)
        r.join();
    EXPECT_EQ(table.size(), 50u);
}

} // namespace
