// Behaviour of EnumDescriptor and EnumValueDescriptor: display order versus
// value order, replacement of items, default items, value names and the
// per-item extras.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tovikconfig/descriptors.h"

namespace {

void expectDefaultItem(const EnumValueDescriptor& item)
{
    EXPECT_EQ(item.value, 99999u);
    EXPECT_EQ(item.name, "Invalid");
    EXPECT_EQ(item.shortName, "Invalid");
    EXPECT_EQ(item.extra, "");
    EXPECT_TRUE(item.numericAttributes.empty());
    EXPECT_TRUE(item.stringAttributes.empty());
    EXPECT_TRUE(item.classNames.empty());
}

std::vector<unsigned> valuesOf(const std::vector<EnumValueDescriptor>& items)
{
    std::vector<unsigned> out;
    for (const EnumValueDescriptor& i : items)
        out.push_back(i.value);
    return out;
}

std::vector<std::string> namesOf(const std::vector<EnumValueDescriptor>& items)
{
    std::vector<std::string> out;
    for (const EnumValueDescriptor& i : items)
        out.push_back(i.name);
    return out;
}

std::vector<unsigned> keysOf(const std::map<unsigned, EnumValueDescriptor>& items)
{
    std::vector<unsigned> out;
    for (const auto& entry : items)
        out.push_back(entry.first);
    return out;
}

TEST(EnumValueDescriptorTest, DefaultItem)
{
    expectDefaultItem(EnumValueDescriptor());
}

TEST(EnumValueDescriptorTest, CopyIsDeep)
{
    EnumValueDescriptor original(4, "Four", "4", "x");
    original.numericAttributes["n"] = 1;
    original.stringAttributes["s"] = "t";
    original.classNames.push_back("c");
    EnumValueDescriptor copy(original);
    copy.numericAttributes["n"] = 2;
    copy.stringAttributes["s"] = "u";
    copy.classNames.push_back("d");
    copy.name = "Changed";
    EXPECT_EQ(original.name, "Four");
    EXPECT_EQ(original.numericAttributes.at("n"), 1u);
    EXPECT_EQ(original.stringAttributes.at("s"), "t");
    EXPECT_EQ(original.classNames, (std::list<std::string>{"c"}));
}

// ---------------------------------------------------------------------------
// Order of items.

struct Add {
    unsigned value;
    std::string name;
};

struct OrderCase {
    const char* title;
    std::vector<Add> adds;
    std::vector<unsigned> orderedValues;
    std::vector<std::string> orderedNames;
    std::vector<unsigned> mapKeys;
};

const std::vector<OrderCase> kOrderCases = {
    {"display order is call order, map order is value order",
     {{5, "five"}, {1, "one"}, {3, "three"}},
     {5, 1, 3}, {"five", "one", "three"}, {1, 3, 5}},
    {"a value added twice keeps one map entry with the latest item",
     {{2, "A"}, {2, "B"}},
     {2, 2}, {"B", "B"}, {2}},
    {"both listed copies show the latest item wherever they stand",
     {{2, "A"}, {7, "C"}, {2, "B"}},
     {2, 7, 2}, {"B", "C", "B"}, {2, 7}},
    {"no items", {}, {}, {}, {}},
    {"extreme values", {{0xFFFFFFFFu, "max"}, {0, "zero"}, {99999, "ninety"}},
     {0xFFFFFFFFu, 0, 99999}, {"max", "zero", "ninety"}, {0, 99999, 0xFFFFFFFFu}},
};

TEST(EnumDescriptorOrder, OrderedVersusByValue)
{
    for (const OrderCase& c : kOrderCases) {
        SCOPED_TRACE(c.title);
        EnumDescriptor d;
        for (const Add& a : c.adds)
            d.AddNameValuePair(a.value, a.name, a.name + "_s", nullptr, "");
        const std::vector<EnumValueDescriptor> ordered = d.GetOrderedEnumValueDescriptors();
        EXPECT_EQ(valuesOf(ordered), c.orderedValues);
        EXPECT_EQ(namesOf(ordered), c.orderedNames);
        EXPECT_EQ(keysOf(d.GetEnumValueDescriptors()), c.mapKeys);
        for (const auto& entry : d.GetEnumValueDescriptors())
            EXPECT_EQ(entry.second.value, entry.first);
    }
}

TEST(EnumDescriptorOrder, ReplacementOverwritesEveryField)
{
    EnumDescriptor d;
    EnumValueDescriptor::EnumValueData data;
    data.numericAttributes["n"] = 1;
    data.stringAttributes["s"] = "t";
    data.classNames.push_back("c");
    d.AddNameValuePair(2, "A", "a", &data, "first");
    d.AddNameValuePair(2, "B", "b", nullptr, "");
    const EnumValueDescriptor item = d.GetEnumValueDescriptor(2);
    EXPECT_EQ(item.value, 2u);
    EXPECT_EQ(item.name, "B");
    EXPECT_EQ(item.shortName, "b");
    EXPECT_EQ(item.extra, "");
    EXPECT_TRUE(item.numericAttributes.empty());
    EXPECT_TRUE(item.stringAttributes.empty());
    EXPECT_TRUE(item.classNames.empty());
}

// ---------------------------------------------------------------------------
// Lookups on a descriptor shaped like the connection-status parameter:
// fifteen items, values 0 to 14.

std::unique_ptr<EnumDescriptor> connectionStatusLike()
{
    std::unique_ptr<EnumDescriptor> d(new EnumDescriptor);
    for (unsigned v = 0; v < 14; ++v)
        d->AddNameValuePair(v, "Status " + std::to_string(v), "S" + std::to_string(v), nullptr, "");
    d->AddNameValuePair(14, "Unknown connection error", "Unknown", nullptr, "");
    d->SetFactoryDefault(1);
    return d;
}

TEST(EnumDescriptorLookup, GetEnumValue)
{
    struct Case {
        unsigned value;
        std::string expected;
    };
    const Case cases[] = {
        {14, "Unknown connection error"},
        {0, "Status 0"}, // present 0 is a name, not "0x0"
        {15, "0xf"},
        {255, "0xff"},
        {16, "0x10"},
        {99999, "0x1869f"},
        {0xFFFFFFFFu, "0xffffffff"},
    };
    std::unique_ptr<EnumDescriptor> d = connectionStatusLike();
    for (const Case& c : cases)
        EXPECT_EQ(d->GetEnumValue(c.value), c.expected) << c.value;
    EXPECT_EQ(d->GetEnumValueDescriptors().size(), 15u); // lookups insert nothing

    EnumDescriptor empty;
    EXPECT_EQ(empty.GetEnumValue(0), "0x0");
    EXPECT_EQ(empty.GetEnumValue(255), "0xff");
    EXPECT_TRUE(empty.GetEnumValueDescriptors().empty());
}

TEST(EnumDescriptorLookup, AbsentValueGivesDefaultItemWithoutInserting)
{
    std::unique_ptr<EnumDescriptor> d = connectionStatusLike();
    for (unsigned value : {15u, 99999u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(value);
        expectDefaultItem(d->GetEnumValueDescriptor(value));
        EXPECT_EQ(d->GetEnumValueDescriptors().size(), 15u);
        EXPECT_EQ(d->GetOrderedEnumValueDescriptors().size(), 15u);
    }
    const EnumValueDescriptor present = d->GetEnumValueDescriptor(14);
    EXPECT_EQ(present.value, 14u);
    EXPECT_EQ(present.name, "Unknown connection error");
    EXPECT_EQ(present.shortName, "Unknown");
}

TEST(EnumDescriptorLookup, IntegerFieldsAreIndependentOfItems)
{
    std::unique_ptr<EnumDescriptor> d = connectionStatusLike();
    EXPECT_EQ(d->GetFactoryDefault(), 1u);
    EXPECT_EQ(d->GetMinValue(), 0u);
    EXPECT_EQ(d->GetMaxValue(), 0u);
    d->SetFactoryDefault(1234); // not checked against the items
    EXPECT_EQ(d->GetFactoryDefault(), 1234u);
}

// ---------------------------------------------------------------------------
// The two forms of AddNameValuePair and the extras.

TEST(EnumDescriptorAdd, FourArgumentFormUsesNameAsShortName)
{
    struct Case {
        unsigned value;
        std::string name;
        std::string extra;
    };
    const Case cases[] = {{3, "X", ""}, {0, "", ""}, {7, "Connected to module", "more"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EnumDescriptor d;
        d.AddNameValuePair(c.value, c.name, nullptr, c.extra);
        const EnumValueDescriptor item = d.GetEnumValueDescriptor(c.value);
        EXPECT_EQ(item.value, c.value);
        EXPECT_EQ(item.name, c.name);
        EXPECT_EQ(item.shortName, c.name);
        EXPECT_EQ(item.extra, c.extra);
        EXPECT_EQ(valuesOf(d.GetOrderedEnumValueDescriptors()), std::vector<unsigned>{c.value});
    }
}

TEST(EnumDescriptorAdd, NullDataGivesEmptyExtras)
{
    EnumDescriptor d;
    d.AddNameValuePair(1, "One", "1", nullptr, "x");
    d.AddNameValuePair(2, "Two", nullptr, "");
    for (unsigned v : {1u, 2u}) {
        const EnumValueDescriptor item = d.GetEnumValueDescriptor(v);
        EXPECT_TRUE(item.numericAttributes.empty()) << v;
        EXPECT_TRUE(item.stringAttributes.empty()) << v;
        EXPECT_TRUE(item.classNames.empty()) << v;
    }
    EXPECT_EQ(d.GetEnumValueDescriptor(1).extra, "x");
}

TEST(EnumDescriptorAdd, DataIsCopiedNotOwned)
{
    EnumDescriptor d;
    auto* data = new EnumValueDescriptor::EnumValueData;
    data->numericAttributes["Weight"] = 7;
    data->stringAttributes["Colour"] = "red";
    data->classNames = {"b", "a", "b"};
    d.AddNameValuePair(4, "Four", "4", data, "");
    d.AddNameValuePair(5, "Five", data, "");

    // The caller keeps its record: changing and freeing it leaves the items.
    data->numericAttributes["Weight"] = 8;
    data->classNames.clear();
    delete data;

    for (unsigned v : {4u, 5u}) {
        SCOPED_TRACE(v);
        const EnumValueDescriptor item = d.GetEnumValueDescriptor(v);
        EXPECT_EQ(item.numericAttributes, (std::map<std::string, unsigned>{{"Weight", 7}}));
        EXPECT_EQ(item.stringAttributes, (std::map<std::string, std::string>{{"Colour", "red"}}));
        EXPECT_EQ(item.classNames, (std::list<std::string>{"b", "a", "b"}));
    }
}

// ---------------------------------------------------------------------------
// SetEnumValueDescriptors replaces the items but keeps the display order.

TEST(EnumDescriptorSetItems, OrderListSurvivesAReplacedMap)
{
    EnumDescriptor d;
    d.AddNameValuePair(5, "five", nullptr, "");
    d.AddNameValuePair(1, "one", nullptr, "");
    d.AddNameValuePair(3, "three", nullptr, "");

    std::map<unsigned, EnumValueDescriptor> replacement;
    replacement.emplace(5, EnumValueDescriptor(5, "FIVE", "F", ""));
    replacement.emplace(3, EnumValueDescriptor(3, "THREE", "T", ""));
    replacement.emplace(8, EnumValueDescriptor(8, "EIGHT", "E", "")); // never added
    d.SetEnumValueDescriptors(replacement);

    EXPECT_EQ(keysOf(d.GetEnumValueDescriptors()), (std::vector<unsigned>{3, 5, 8}));
    EXPECT_EQ(d.GetEnumValue(1), "0x1");

    const std::vector<EnumValueDescriptor> ordered = d.GetOrderedEnumValueDescriptors();
    ASSERT_EQ(ordered.size(), 3u);
    EXPECT_EQ(ordered[0].name, "FIVE");
    expectDefaultItem(ordered[1]); // 1 is missing from the new map
    EXPECT_EQ(ordered[2].name, "THREE");

    // The missing value gained a default entry; 8 is still not listed.
    EXPECT_EQ(keysOf(d.GetEnumValueDescriptors()), (std::vector<unsigned>{1, 3, 5, 8}));
    EXPECT_EQ(d.GetEnumValue(1), "Invalid");
    EXPECT_EQ(valuesOf(d.GetOrderedEnumValueDescriptors()), (std::vector<unsigned>{5, 99999, 3}));
}

TEST(EnumDescriptorSetItems, EmptyMapAndLaterAdds)
{
    EnumDescriptor d;
    d.AddNameValuePair(2, "two", nullptr, "");
    d.SetEnumValueDescriptors({});
    EXPECT_TRUE(d.GetEnumValueDescriptors().empty());
    d.AddNameValuePair(4, "four", nullptr, "");
    const std::vector<EnumValueDescriptor> ordered = d.GetOrderedEnumValueDescriptors();
    ASSERT_EQ(ordered.size(), 2u);
    expectDefaultItem(ordered[0]);
    EXPECT_EQ(ordered[1].name, "four");
}

// ---------------------------------------------------------------------------
// Calls that go through the virtual table.

class RecordingEnum : public EnumDescriptor {
public:
    std::vector<std::string> calls;

    using EnumDescriptor::AddNameValuePair;
    void AddNameValuePair(unsigned int value, std::string name, std::string shortName,
                          EnumValueDescriptor::EnumValueData* data, std::string extra) override
    {
        calls.push_back("add5:" + name + "/" + shortName);
        EnumDescriptor::AddNameValuePair(value, name, "short-" + shortName, data, extra);
    }

    EnumValueDescriptor GetEnumValueDescriptor(unsigned int value) override
    {
        calls.push_back("get");
        EnumValueDescriptor item = EnumDescriptor::GetEnumValueDescriptor(value);
        item.name = "[" + item.name + "]";
        return item;
    }
};

TEST(EnumDescriptorDispatch, FourArgumentAddAndGetEnumValueUseOverrides)
{
    RecordingEnum r;
    EnumDescriptor& base = r;
    base.AddNameValuePair(3, "X", nullptr, "");
    EXPECT_EQ(r.calls, (std::vector<std::string>{"add5:X/X"}));
    EXPECT_EQ(r.EnumDescriptor::GetEnumValueDescriptor(3).shortName, "short-X");

    r.calls.clear();
    EXPECT_EQ(base.GetEnumValue(3), "[X]");
    EXPECT_EQ(r.calls, (std::vector<std::string>{"get"}));

    r.calls.clear();
    EXPECT_EQ(base.GetEnumValue(4), "0x4"); // absent: no item lookup
    EXPECT_TRUE(r.calls.empty());
}

} // namespace
