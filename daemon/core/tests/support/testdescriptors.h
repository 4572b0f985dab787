// Fills a config's descriptor table with a few parameters of each kind.
#ifndef PORTVANE_CORE_TEST_TESTDESCRIPTORS_H
#define PORTVANE_CORE_TEST_TESTDESCRIPTORS_H

#include <string>

#include "paramlink/descriptortable.h"
#include "tovikconfig/datadescriptor.h"
#include "tovikconfig/integerdescriptor.h"
#include "tovikconfig/stringdescriptor.h"

namespace testparams {

const quint32 kUnsigned = 0x7701;
const quint32 kBool = 0x7702;
const quint32 kSigned = 0x7703;
const quint32 kText = 0x7704;
const quint32 kBytes = 0x7705;
// Not in the table: the store refuses it.
const quint32 kUnknown = 0x77FF;

template <class D>
inline void Add(DescriptorTable* table, quint32 id, const char* name)
{
    D* d = new D;
    d->SetParamID(static_cast<unsigned int>(id));
    d->SetParamIDName(name);
    table->AddDescriptor(d);
}

inline DescriptorTable* Fill(int configId)
{
    DescriptorTable* table = DescriptorRegistry::GetDescriptorTable(configId);
    table->clear();
    Add<IntegerDescriptor>(table, kUnsigned, "eParamID_TestUnsigned");
    Add<IntegerDescriptor>(table, kBool, "eParamID_TestBool");
    Add<IntegerDescriptor>(table, kSigned, "eParamID_TestSigned");
    Add<StringDescriptor>(table, kText, "eParamID_TestText");
    Add<DataDescriptor>(table, kBytes, "eParamID_TestBytes");
    return table;
}

}

#endif
