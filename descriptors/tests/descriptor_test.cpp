// Behaviour of ParamDescriptor and its integer, string, decimal and data
// subclasses: id lists, class names, relations, attributes, defaults,
// virtual dispatch and the fatal string-type check.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tovikconfig/descriptors.h"

namespace {

std::vector<eParam_t> ids(std::initializer_list<unsigned> values)
{
    std::vector<eParam_t> out;
    for (unsigned v : values)
        out.push_back(eParam_t(v));
    return out;
}

// ---------------------------------------------------------------------------
// Id lists: the dependent list and the depends-on list behave alike, so every
// case runs against both.

struct IdListOps {
    const char* name;
    void (ParamDescriptor::*add)(eParam_t);
    bool (ParamDescriptor::*remove)(eParam_t);
    void (ParamDescriptor::*set)(std::vector<eParam_t>);
    std::vector<eParam_t> (ParamDescriptor::*get)();
};

const IdListOps kIdLists[] = {
    {"Dependent", &ParamDescriptor::AddDependentParamID, &ParamDescriptor::RemoveDependentParamID,
     &ParamDescriptor::SetDependentParamIDs, &ParamDescriptor::GetDependentParamIDs},
    {"DependsOn", &ParamDescriptor::AddDependsOnParamID, &ParamDescriptor::RemoveDependsOnParamID,
     &ParamDescriptor::SetDependsOnParamIDs, &ParamDescriptor::GetDependsOnParamIDs},
};

struct IdOp {
    enum Kind { Add, Remove, Set } kind;
    std::vector<eParam_t> arg; // one id for Add/Remove, the whole list for Set
    bool expected;             // result of Remove
};

struct IdListCase {
    const char* title;
    std::vector<IdOp> ops;
    std::vector<eParam_t> expected;
};

const std::vector<IdListCase> kIdListCases = {
    {"re-adding moves an id to the end",
     {{IdOp::Add, ids({5}), false}, {IdOp::Add, ids({6}), false}, {IdOp::Add, ids({5}), false}},
     ids({6, 5})},
    {"adding keeps insertion order",
     {{IdOp::Add, ids({9}), false}, {IdOp::Add, ids({1}), false}, {IdOp::Add, ids({4}), false}},
     ids({9, 1, 4})},
    {"remove from an empty list is false",
     {{IdOp::Remove, ids({7}), false}},
     ids({})},
    {"remove of an absent id is false and changes nothing",
     {{IdOp::Add, ids({1}), false}, {IdOp::Add, ids({2}), false}, {IdOp::Remove, ids({9}), false}},
     ids({1, 2})},
    {"remove of a present id closes the gap",
     {{IdOp::Add, ids({1}), false}, {IdOp::Add, ids({2}), false}, {IdOp::Add, ids({3}), false},
      {IdOp::Remove, ids({2}), true}},
     ids({1, 3})},
    {"remove takes only the first of duplicates",
     {{IdOp::Set, ids({4, 5, 4, 6}), false}, {IdOp::Remove, ids({4}), true}},
     ids({5, 4, 6})},
    {"add over duplicates drops only the first",
     {{IdOp::Set, ids({4, 5, 4}), false}, {IdOp::Add, ids({4}), false}},
     ids({5, 4, 4})},
    {"second remove of the same id is false",
     {{IdOp::Add, ids({1}), false}, {IdOp::Remove, ids({1}), true}, {IdOp::Remove, ids({1}), false}},
     ids({})},
    {"set replaces the whole list",
     {{IdOp::Add, ids({1}), false}, {IdOp::Set, ids({8, 9}), false}},
     ids({8, 9})},
    {"full 32-bit ids",
     {{IdOp::Add, ids({0xFFFFFFFFu}), false}, {IdOp::Add, ids({0}), false},
      {IdOp::Remove, ids({0xFFFFFFFFu}), true}},
     ids({0})},
};

TEST(ParamDescriptorIdLists, Operations)
{
    for (const IdListOps& list : kIdLists) {
        for (const IdListCase& c : kIdListCases) {
            SCOPED_TRACE(std::string(list.name) + ": " + c.title);
            ParamDescriptor d;
            for (const IdOp& op : c.ops) {
                switch (op.kind) {
                case IdOp::Add:
                    (d.*list.add)(op.arg.at(0));
                    break;
                case IdOp::Remove:
                    EXPECT_EQ((d.*list.remove)(op.arg.at(0)), op.expected) << "remove " << op.arg.at(0);
                    break;
                case IdOp::Set:
                    (d.*list.set)(op.arg);
                    break;
                }
            }
            EXPECT_EQ((d.*list.get)(), c.expected);
        }
    }
}

TEST(ParamDescriptorIdLists, ListsAreIndependent)
{
    ParamDescriptor d;
    d.AddDependentParamID(eParam_t(1));
    d.AddDependsOnParamID(eParam_t(2));
    EXPECT_FALSE(d.RemoveDependentParamID(eParam_t(2)));
    EXPECT_FALSE(d.RemoveDependsOnParamID(eParam_t(1)));
    EXPECT_EQ(d.GetDependentParamIDs(), ids({1}));
    EXPECT_EQ(d.GetDependsOnParamIDs(), ids({2}));
}

// ---------------------------------------------------------------------------
// Class names.

struct NameOp {
    enum Kind { Add, Remove, Toggle, Has } kind;
    std::string name;
    bool expected; // result of Remove / Has
};

struct ClassNameCase {
    const char* title;
    std::vector<NameOp> ops;
    std::vector<std::string> expected;
};

const std::vector<ClassNameCase> kClassNameCases = {
    {"re-add moves the name to the end and keeps one copy",
     {{NameOp::Add, "readonly", false}, {NameOp::Add, "hidden", false}, {NameOp::Add, "readonly", false}},
     {"hidden", "readonly"}},
    {"toggle appends an absent name",
     {{NameOp::Add, "readonly", false}, {NameOp::Toggle, "hidden_param", false},
      {NameOp::Has, "hidden_param", true}},
     {"readonly", "hidden_param"}},
    {"second toggle removes it again",
     {{NameOp::Toggle, "hidden_param", false}, {NameOp::Toggle, "hidden_param", false},
      {NameOp::Has, "hidden_param", false}},
     {}},
    {"toggle off and on again moves the name to the end",
     {{NameOp::Add, "a", false}, {NameOp::Add, "b", false}, {NameOp::Toggle, "a", false},
      {NameOp::Toggle, "a", false}},
     {"b", "a"}},
    {"remove of an absent name is false",
     {{NameOp::Add, "a", false}, {NameOp::Remove, "x", false}},
     {"a"}},
    {"remove on an empty list is false",
     {{NameOp::Remove, "readonly", false}, {NameOp::Has, "readonly", false}},
     {}},
    {"remove keeps the order of the rest",
     {{NameOp::Add, "a", false}, {NameOp::Add, "b", false}, {NameOp::Add, "c", false},
      {NameOp::Remove, "b", true}},
     {"a", "c"}},
    {"matching is case-sensitive",
     {{NameOp::Add, "ReadOnly", false}, {NameOp::Has, "readonly", false},
      {NameOp::Remove, "readonly", false}, {NameOp::Has, "ReadOnly", true}},
     {"ReadOnly"}},
    {"matching needs equal length",
     {{NameOp::Add, "read", false}, {NameOp::Has, "readonly", false}, {NameOp::Has, "rea", false},
      {NameOp::Remove, "readonly", false}, {NameOp::Remove, "rea", false}},
     {"read"}},
    {"empty name is an ordinary name",
     {{NameOp::Add, "", false}, {NameOp::Has, "", true}, {NameOp::Add, "x", false},
      {NameOp::Remove, "", true}},
     {"x"}},
    {"embedded zero byte counts",
     {{NameOp::Add, std::string("a\0b", 3), false}, {NameOp::Has, "a", false},
      {NameOp::Has, std::string("a\0b", 3), true}},
     {std::string("a\0b", 3)}},
};

TEST(ParamDescriptorClassNames, Operations)
{
    for (const ClassNameCase& c : kClassNameCases) {
        SCOPED_TRACE(c.title);
        ParamDescriptor d;
        for (const NameOp& op : c.ops) {
            switch (op.kind) {
            case NameOp::Add:
                d.AddClassName(op.name);
                break;
            case NameOp::Remove:
                EXPECT_EQ(d.RemoveClassName(op.name), op.expected) << "remove " << op.name;
                break;
            case NameOp::Toggle:
                d.ToggleClassName(op.name);
                break;
            case NameOp::Has:
                EXPECT_EQ(d.HasClassName(op.name), op.expected) << "has " << op.name;
                break;
            }
        }
        EXPECT_EQ(d.GetClassNames(), c.expected);
    }
}

// ---------------------------------------------------------------------------
// Relations.

TEST(ParamDescriptorRelations, GetRelationInsertsAnEmptyList)
{
    ParamDescriptor d;
    EXPECT_TRUE(d.GetRelation("x").empty());
    ASSERT_EQ(d.GetRelations().size(), 1u);
    EXPECT_EQ(d.GetRelations().count("x"), 1u);
    EXPECT_TRUE(d.GetRelations().at("x").empty());
}

TEST(ParamDescriptorRelations, ReferencesReachTheDescriptor)
{
    ParamDescriptor d;
    d.GetRelation("x").push_back(ParamDescriptor::Relation{eParam_t(4), 2});
    d.GetRelations()["y"].push_back(ParamDescriptor::Relation{eParam_t(5), 3});
    ASSERT_EQ(d.GetRelation("x").size(), 1u);
    EXPECT_EQ(d.GetRelation("x")[0], (ParamDescriptor::Relation{eParam_t(4), 2}));
    ASSERT_EQ(d.GetRelation("y").size(), 1u);
    EXPECT_EQ(d.GetRelation("y")[0], (ParamDescriptor::Relation{eParam_t(5), 3}));
}

struct RelationAdd {
    std::string name;
    unsigned id;
    unsigned value;
};

struct RelationCase {
    const char* title;
    std::vector<RelationAdd> adds;
    std::vector<std::string> expectedKeys; // map order
    std::string probe;
    std::vector<std::pair<unsigned, unsigned>> expectedProbe;
};

const std::vector<RelationCase> kRelationCases = {
    {"equal pairs stay side by side", {{"x", 7, 1}, {"x", 7, 1}}, {"x"}, "x", {{7, 1}, {7, 1}}},
    {"pairs append in call order", {{"x", 9, 0}, {"x", 2, 5}, {"x", 9, 1}}, {"x"}, "x",
     {{9, 0}, {2, 5}, {9, 1}}},
    {"names keep separate lists", {{"b", 1, 1}, {"a", 2, 2}, {"b", 3, 3}}, {"a", "b"}, "b",
     {{1, 1}, {3, 3}}},
    {"keys ordered byte-wise", {{"a", 1, 1}, {"B", 2, 2}, {"_", 3, 3}}, {"B", "_", "a"}, "_",
     {{3, 3}}},
    {"names are case-sensitive", {{"x", 1, 1}, {"X", 2, 2}}, {"X", "x"}, "x", {{1, 1}}},
};

TEST(ParamDescriptorRelations, AddRelation)
{
    for (const RelationCase& c : kRelationCases) {
        SCOPED_TRACE(c.title);
        ParamDescriptor d;
        for (const RelationAdd& a : c.adds)
            d.AddRelation(a.name, eParam_t(a.id), a.value);
        std::vector<std::string> keys;
        for (const auto& entry : d.GetRelations())
            keys.push_back(entry.first);
        EXPECT_EQ(keys, c.expectedKeys);
        std::vector<std::pair<unsigned, unsigned>> got;
        for (const ParamDescriptor::Relation& r : d.GetRelation(c.probe))
            got.emplace_back(unsigned(r.paramID), r.value);
        EXPECT_EQ(got, c.expectedProbe);
    }
}

// ---------------------------------------------------------------------------
// Attributes.

TEST(ParamDescriptorAttributes, NumericAttributes)
{
    struct Case {
        const char* title;
        std::vector<std::pair<std::string, unsigned>> adds;
        std::string lookup;
        bool found;
        unsigned expected; // value of out afterwards (sentinel when not found)
    };
    const unsigned sentinel = 0xDEADBEEF;
    const Case cases[] = {
        {"empty map gives false", {}, "DisplayType", false, sentinel},
        {"absent name gives false", {{"ParamGroup", 3}}, "DisplayType", false, sentinel},
        {"present name", {{"DisplayType", 8194}}, "DisplayType", true, 8194},
        {"overwrite keeps the last value", {{"ParamGroup", 3}, {"ParamGroup", 4}}, "ParamGroup", true, 4},
        {"zero is a value", {{"ParamGroup", 0}}, "ParamGroup", true, 0},
        {"case-sensitive lookup", {{"ParamGroup", 3}}, "paramgroup", false, sentinel},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        ParamDescriptor d;
        for (const auto& a : c.adds)
            d.AddAttribute(a.first, a.second);
        unsigned out = sentinel;
        EXPECT_EQ(d.GetAttribute(c.lookup, out), c.found);
        EXPECT_EQ(out, c.expected);
    }
}

TEST(ParamDescriptorAttributes, StringAttributes)
{
    struct Case {
        const char* title;
        std::vector<std::pair<std::string, std::string>> adds;
        std::string lookup;
        bool found;
        std::string expected;
    };
    const std::string sentinel = "untouched";
    const Case cases[] = {
        {"empty map gives false", {}, "DataAttribute", false, sentinel},
        {"absent name gives false", {{"Other", "v"}}, "DataAttribute", false, sentinel},
        {"present name", {{"DataAttribute", "inputmode"}}, "DataAttribute", true, "inputmode"},
        {"overwrite keeps the last value", {{"k", "one"}, {"k", "two"}}, "k", true, "two"},
        {"empty text is a value", {{"k", ""}}, "k", true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        ParamDescriptor d;
        for (const auto& a : c.adds)
            d.AddAttribute(a.first, a.second);
        std::string out = sentinel;
        EXPECT_EQ(d.GetAttribute(c.lookup, out), c.found);
        EXPECT_EQ(out, c.expected);
    }
}

TEST(ParamDescriptorAttributes, KindsAreSeparateAndGetAttributesReplacesTheCallersMap)
{
    ParamDescriptor d;
    d.AddAttribute("ParamGroup", 4u);
    d.AddAttribute("ParamGroup", 3u);
    d.AddAttribute("DataAttribute", std::string("inputmode"));

    std::string text = "untouched";
    EXPECT_FALSE(d.GetAttribute("ParamGroup", text));
    EXPECT_EQ(text, "untouched");
    unsigned number = 77;
    EXPECT_FALSE(d.GetAttribute("DataAttribute", number));
    EXPECT_EQ(number, 77u);

    std::map<std::string, unsigned> numeric = {{"stale", 1}};
    d.GetAttributes(numeric);
    EXPECT_EQ(numeric, (std::map<std::string, unsigned>{{"ParamGroup", 3}}));
    std::map<std::string, std::string> strings = {{"stale", "x"}};
    d.GetAttributes(strings);
    EXPECT_EQ(strings, (std::map<std::string, std::string>{{"DataAttribute", "inputmode"}}));

    ParamDescriptor empty;
    empty.GetAttributes(numeric);
    EXPECT_TRUE(numeric.empty());
}

// ---------------------------------------------------------------------------
// Scalar fields.

TEST(ParamDescriptorFields, ShortNameIgnoresIndex)
{
    ParamDescriptor d;
    d.SetShortName("DevCount");
    for (unsigned index : {0u, 1u, 7u, 0xFFFFFFFFu}) {
        EXPECT_EQ(d.GetShortName(index), d.GetShortName()) << index;
        EXPECT_EQ(d.GetShortName(index), "DevCount") << index;
    }
}

TEST(ParamDescriptorFields, TextFieldsAreIndependent)
{
    ParamDescriptor d;
    d.SetParamIDName("eParamID_DeviceCount");
    d.SetName("Device Count");
    d.SetShortName("DevCount");
    d.SetRegEx("*");
    EXPECT_EQ(d.GetParamIDName(), "eParamID_DeviceCount");
    EXPECT_EQ(d.GetName(), "Device Count");
    EXPECT_EQ(d.GetShortName(), "DevCount");
    EXPECT_EQ(d.GetRegEx(), "*");
}

TEST(ParamDescriptorFields, EnumerationFieldsStoreAnyValue)
{
    // Values outside the named ones are stored as given (readers print
    // "invalid" for them).
    ParamDescriptor d;
    d.SetParamID(eParam_t(0xFFFFFFFFu));
    d.SetParamType(eParamType_t(0xFFFFFFFFu));
    d.SetFeatureType(eFeature_t(2));
    d.SetPersistenceType(ePersist_t(9));
    d.SetRegisterType(eUserRegisterData_t(9));
    d.SetFactoryResetType(eFactoryReset_t(9));
    d.SetAccessType(eAccess_t(1));
    EXPECT_EQ(unsigned(d.GetParamID()), 0xFFFFFFFFu);
    EXPECT_EQ(unsigned(d.GetParamType()), 0xFFFFFFFFu);
    EXPECT_EQ(unsigned(d.GetFeatureType()), 2u);
    EXPECT_EQ(unsigned(d.GetPersistenceType()), 9u);
    EXPECT_EQ(unsigned(d.GetRegisterType()), 9u);
    EXPECT_EQ(unsigned(d.GetFactoryResetType()), 9u);
    EXPECT_EQ(unsigned(d.GetAccessType()), 1u);
}

// ---------------------------------------------------------------------------
// Fresh descriptors of every class.

struct FreshCase {
    const char* title;
    std::function<ParamDescriptor*()> make;
};

const FreshCase kFreshCases[] = {
    {"ParamDescriptor", [] { return new ParamDescriptor; }},
    {"IntegerDescriptor", [] { return new IntegerDescriptor; }},
    {"StringDescriptor", [] { return new StringDescriptor; }},
    {"EnumDescriptor", [] { return new EnumDescriptor; }},
    {"DecimalDescriptor", [] { return new DecimalDescriptor; }},
    {"DataDescriptor", [] { return new DataDescriptor; }},
};

TEST(DescriptorDefaults, CommonFields)
{
    for (const FreshCase& c : kFreshCases) {
        SCOPED_TRACE(c.title);
        std::unique_ptr<ParamDescriptor> d(c.make()); // deleted through the base
        EXPECT_EQ(unsigned(d->GetParamID()), 0u);
        EXPECT_EQ(unsigned(d->GetParamType()), 0u);
        EXPECT_EQ(d->GetParamIDName(), "");
        EXPECT_EQ(unsigned(d->GetFeatureType()), 3u);
        EXPECT_EQ(unsigned(d->GetPersistenceType()), 0u);
        EXPECT_EQ(unsigned(d->GetRegisterType()), 0u);
        EXPECT_EQ(unsigned(d->GetFactoryResetType()), 1u);
        EXPECT_EQ(unsigned(d->GetAccessType()), 0u);
        EXPECT_EQ(d->GetName(), "");
        EXPECT_EQ(d->GetShortName(), "");
        EXPECT_EQ(d->GetRegEx(), "");
        EXPECT_TRUE(d->GetDependentParamIDs().empty());
        EXPECT_TRUE(d->GetDependsOnParamIDs().empty());
        EXPECT_TRUE(d->GetRelations().empty());
        EXPECT_TRUE(d->GetClassNames().empty());
        std::map<std::string, unsigned> numeric = {{"stale", 1}};
        d->GetAttributes(numeric);
        EXPECT_TRUE(numeric.empty());
        std::map<std::string, std::string> strings = {{"stale", "x"}};
        d->GetAttributes(strings);
        EXPECT_TRUE(strings.empty());
    }
}

TEST(DescriptorDefaults, IntegerFields)
{
    for (const FreshCase& c : kFreshCases) {
        std::unique_ptr<ParamDescriptor> base(c.make());
        auto* d = dynamic_cast<IntegerDescriptor*>(base.get());
        if (!d)
            continue;
        SCOPED_TRACE(c.title);
        EXPECT_EQ(d->GetMinValue(), 0u);
        EXPECT_EQ(d->GetMaxValue(), 0u);
        EXPECT_EQ(d->GetFactoryDefault(), 0u);
        EXPECT_EQ(d->GetAdjustBy(), 1u);
        EXPECT_EQ(d->GetScaleBy(), 1u);
        EXPECT_EQ(d->GetOffsetBy(), 0u);
        EXPECT_EQ(d->GetDisplayPrecision(), 0u);
        EXPECT_EQ(d->GetUnits(), "");
        EXPECT_EQ(d->GetUnits2(), "");
    }
}

TEST(DescriptorDefaults, StringFields)
{
    for (const FreshCase& c : kFreshCases) {
        std::unique_ptr<ParamDescriptor> base(c.make());
        auto* d = dynamic_cast<StringDescriptor*>(base.get());
        if (!d)
            continue;
        SCOPED_TRACE(c.title);
        EXPECT_EQ(d->GetMinLength(), 0u);
        EXPECT_EQ(d->GetMaxLength(), 20u);
        EXPECT_EQ(d->GetMinIndex(), 0u);
        EXPECT_EQ(d->GetMaxIndex(), 19u);
        EXPECT_EQ(d->GetFactoryDefault(), "");
    }
}

TEST(DescriptorDefaults, DecimalPrecision)
{
    DecimalDescriptor d;
    EXPECT_EQ(d.GetDecimalPrecision(), 0u);
    d.SetDecimalPrecision(3);
    EXPECT_EQ(d.GetDecimalPrecision(), 3u);
    EXPECT_EQ(d.GetDisplayPrecision(), 0u); // a separate field
}

// Which classes each descriptor is (and is not).
TEST(DescriptorClasses, DynamicCastRelationships)
{
    struct Case {
        const char* title;
        std::function<ParamDescriptor*()> make;
        bool isInteger, isString, isEnum, isDecimal, isData;
    };
    const Case cases[] = {
        {"ParamDescriptor", [] { return new ParamDescriptor; }, false, false, false, false, false},
        {"IntegerDescriptor", [] { return new IntegerDescriptor; }, true, false, false, false, false},
        {"StringDescriptor", [] { return new StringDescriptor; }, false, true, false, false, false},
        {"EnumDescriptor", [] { return new EnumDescriptor; }, true, false, true, false, false},
        {"DecimalDescriptor", [] { return new DecimalDescriptor; }, true, false, false, true, false},
        {"DataDescriptor", [] { return new DataDescriptor; }, false, true, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        std::unique_ptr<ParamDescriptor> d(c.make());
        EXPECT_EQ(dynamic_cast<IntegerDescriptor*>(d.get()) != nullptr, c.isInteger);
        EXPECT_EQ(dynamic_cast<StringDescriptor*>(d.get()) != nullptr, c.isString);
        EXPECT_EQ(dynamic_cast<EnumDescriptor*>(d.get()) != nullptr, c.isEnum);
        EXPECT_EQ(dynamic_cast<DecimalDescriptor*>(d.get()) != nullptr, c.isDecimal);
        EXPECT_EQ(dynamic_cast<DataDescriptor*>(d.get()) != nullptr, c.isData);
    }
}

// ---------------------------------------------------------------------------
// Operations that must go through the virtual table.

class RecordingDescriptor : public ParamDescriptor {
public:
    std::vector<std::string> calls;

    void SetParamID(eParam_t id) override
    {
        calls.push_back("SetParamID(eParam_t)");
        ParamDescriptor::SetParamID(eParam_t(id + 1)); // visible difference
    }
    using ParamDescriptor::SetParamID;

    bool RemoveDependentParamID(eParam_t id) override
    {
        calls.push_back("RemoveDependentParamID");
        return ParamDescriptor::RemoveDependentParamID(id);
    }
    bool RemoveDependsOnParamID(eParam_t id) override
    {
        calls.push_back("RemoveDependsOnParamID");
        return ParamDescriptor::RemoveDependsOnParamID(id);
    }
    void AddClassName(std::string name) override
    {
        calls.push_back("AddClassName");
        ParamDescriptor::AddClassName(name);
    }
    bool RemoveClassName(std::string name) override
    {
        calls.push_back("RemoveClassName");
        return ParamDescriptor::RemoveClassName(name);
    }
    bool HasClassName(std::string name) override
    {
        calls.push_back("HasClassName");
        return ParamDescriptor::HasClassName(name);
    }
};

TEST(DescriptorDispatch, OperationsCallThroughTheVirtualTable)
{
    struct Case {
        const char* title;
        std::function<void(ParamDescriptor&)> prepare;
        std::function<void(ParamDescriptor&)> act; // called through the base class
        std::vector<std::string> expectedCalls;
    };
    const Case cases[] = {
        {"SetParamID(unsigned) forwards to SetParamID(eParam_t)", nullptr,
         [](ParamDescriptor& d) { d.SetParamID(41u); }, {"SetParamID(eParam_t)"}},
        {"AddDependentParamID removes first", nullptr,
         [](ParamDescriptor& d) { d.AddDependentParamID(eParam_t(3)); }, {"RemoveDependentParamID"}},
        {"AddDependsOnParamID removes first", nullptr,
         [](ParamDescriptor& d) { d.AddDependsOnParamID(eParam_t(3)); }, {"RemoveDependsOnParamID"}},
        {"AddClassName removes first", nullptr, [](ParamDescriptor& d) { d.AddClassName("x"); },
         {"AddClassName", "RemoveClassName"}},
        {"ToggleClassName of an absent name adds", nullptr,
         [](ParamDescriptor& d) { d.ToggleClassName("x"); },
         {"HasClassName", "AddClassName", "RemoveClassName"}},
        {"ToggleClassName of a present name removes",
         [](ParamDescriptor& d) { d.AddClassName("y"); },
         [](ParamDescriptor& d) { d.ToggleClassName("y"); }, {"HasClassName", "RemoveClassName"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        RecordingDescriptor r;
        ParamDescriptor& base = r;
        if (c.prepare)
            c.prepare(base);
        r.calls.clear();
        c.act(base);
        EXPECT_EQ(r.calls, c.expectedCalls);
    }
}

TEST(DescriptorDispatch, ForwardedParamIDReachesTheOverride)
{
    RecordingDescriptor r;
    ParamDescriptor& base = r;
    base.SetParamID(41u);
    EXPECT_EQ(unsigned(base.GetParamID()), 42u);
}

// ---------------------------------------------------------------------------
// StringDescriptor::SetParamType accepts only the string value type; anything
// else is fatal, even when called through the base class.

const char kStringTypeError[] =
    "StringDescriptor::SetParamType - ERROR: Invalid paramType - must be eCParam_StringValue";
static_assert(sizeof(kStringTypeError) - 1 == 87, "message length");

TEST(StringDescriptorType, AcceptsStringValue)
{
    for (auto make : {std::function<StringDescriptor*()>([] { return new StringDescriptor; }),
                      std::function<StringDescriptor*()>([] { return new DataDescriptor; })}) {
        std::unique_ptr<ParamDescriptor> d(make());
        d->SetParamType(eCParam_StringValue);
        EXPECT_EQ(d->GetParamType(), eCParam_StringValue);
        d->SetParamType(eParamType_t(12));
        EXPECT_EQ(unsigned(d->GetParamType()), 12u);
    }
}

TEST(StringDescriptorTypeDeathTest, OtherTypesEndTheProcess)
{
    const std::string pattern = std::string("^") + kStringTypeError + "$";
    const unsigned badTypes[] = {3, 0, 4, 11, 13, 0xFFFFFFFFu};
    for (unsigned type : badTypes) {
        SCOPED_TRACE(type);
        EXPECT_EXIT(
            {
                StringDescriptor d;
                d.SetParamType(eParamType_t(type));
            },
            ::testing::ExitedWithCode(255), pattern);
    }
}

TEST(StringDescriptorTypeDeathTest, FatalThroughBaseClassAndSubclass)
{
    const std::string pattern = std::string("^") + kStringTypeError + "$";
    EXPECT_EXIT(
        {
            StringDescriptor s;
            ParamDescriptor& base = s;
            base.SetParamType(eParamType_t(3));
        },
        ::testing::ExitedWithCode(255), pattern);
    EXPECT_EXIT(
        {
            DataDescriptor data;
            ParamDescriptor& base = data;
            base.SetParamType(eCParam_IntegerValue);
        },
        ::testing::ExitedWithCode(255), pattern);
}

TEST(StringDescriptorTypeDeathTest, MessageBytesAreExact)
{
    // The whole of stderr, compared byte for byte: no line end, no
    // terminating zero, nothing else.
    EXPECT_EXIT(
        {
            StringDescriptor d;
            d.SetParamType(eParamType_t(3));
        },
        ::testing::ExitedWithCode(255),
        ::testing::Eq(std::string(kStringTypeError, sizeof(kStringTypeError) - 1)));
}

TEST(StringDescriptorType, OtherClassesStoreAnyType)
{
    for (const FreshCase& c : kFreshCases) {
        std::unique_ptr<ParamDescriptor> d(c.make());
        if (dynamic_cast<StringDescriptor*>(d.get()))
            continue;
        SCOPED_TRACE(c.title);
        d->SetParamType(eParamType_t(3));
        EXPECT_EQ(unsigned(d->GetParamType()), 3u);
    }
}

} // namespace
