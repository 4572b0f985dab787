// The descriptor tables tests give their configs: one descriptor of a class
// with an id and a name, and two small tables of every value kind: the
// store tests' (limits, defaults, an enumeration) and a plain one of the
// value forms the daemon writes. Header only, so each test links the store
// library it tests.
#ifndef TOVIK_TEST_TESTTABLES_H
#define TOVIK_TEST_TESTTABLES_H

#include "paramlink/descriptortable.h"
#include "tovikconfig/descriptors.h"

namespace tovik {
namespace test {

// A descriptor of class D with its id and name, for the caller to finish
// and add to a table.
template <class D>
D* MakeDescriptor(unsigned int id, const char* idName)
{
    D* d = new D;
    d->SetParamID(id);
    d->SetParamIDName(idName);
    return d;
}

} // namespace test
} // namespace tovik

namespace storetest {

const eParam_t kIntId = eParam_t(0x01000100);
const eParam_t kStringId = eParam_t(0x01000101);
const eParam_t kDataId = eParam_t(0x01000102);
const eParam_t kEnumId = eParam_t(0x01000103);
const eParam_t kUnknownId = eParam_t(0x0100ffff);

const int kIntDefault = 7;
// The string keeps the descriptor's MaxLength of 20 (so the store's floor
// applies); the data parameter takes the largest value the wire carries.
const unsigned kDataMaxLength = 1u << 20;
const unsigned kEnumDefault = 1;
const char* const kStringDefault = "abc";

// Clears the table and adds the four test parameters.
inline void FillTestTable(DescriptorTable* table)
{
    using tovik::test::MakeDescriptor;
    table->clear();
    auto* number = MakeDescriptor<IntegerDescriptor>(kIntId, "eParamID_TestInteger");
    number->SetParamType(eCParam_IntegerValue);
    number->SetMinValue(0);
    number->SetMaxValue(10);
    number->SetFactoryDefault(kIntDefault);
    table->AddDescriptor(number);

    auto* text = MakeDescriptor<StringDescriptor>(kStringId, "eParamID_TestString");
    text->SetParamType(eCParam_StringValue);
    text->SetFactoryDefault(kStringDefault);
    table->AddDescriptor(text);

    auto* data = MakeDescriptor<DataDescriptor>(kDataId, "eParamID_TestData");
    data->SetParamType(eCParam_StringValue);
    data->SetMaxLength(kDataMaxLength);
    table->AddDescriptor(data);

    auto* choice = MakeDescriptor<EnumDescriptor>(kEnumId, "eParamID_TestEnum");
    choice->SetParamType(eCParam_EnumValue);
    choice->AddNameValuePair(0, "Off", nullptr, "");
    choice->AddNameValuePair(1, "On", nullptr, "");
    choice->SetFactoryDefault(kEnumDefault);
    table->AddDescriptor(choice);
}

} // namespace storetest

namespace testparams {

const unsigned int kUnsigned = 0x7701;
const unsigned int kBool = 0x7702;
const unsigned int kSigned = 0x7703;
const unsigned int kText = 0x7704;
const unsigned int kBytes = 0x7705;
// Not in the table: the store refuses it.
const unsigned int kUnknown = 0x77FF;

// Fills the config's table with the plain parameters: no limits, every
// default 0 or empty.
inline DescriptorTable* Fill(int configId)
{
    using tovik::test::MakeDescriptor;
    DescriptorTable* table = DescriptorRegistry::GetDescriptorTable(configId);
    table->clear();
    table->AddDescriptor(MakeDescriptor<IntegerDescriptor>(kUnsigned, "eParamID_TestUnsigned"));
    table->AddDescriptor(MakeDescriptor<IntegerDescriptor>(kBool, "eParamID_TestBool"));
    table->AddDescriptor(MakeDescriptor<IntegerDescriptor>(kSigned, "eParamID_TestSigned"));
    table->AddDescriptor(MakeDescriptor<StringDescriptor>(kText, "eParamID_TestText"));
    table->AddDescriptor(MakeDescriptor<DataDescriptor>(kBytes, "eParamID_TestBytes"));
    return table;
}

} // namespace testparams

#endif
