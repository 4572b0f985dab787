#include "testtable.h"

#include "paramlink/config.h"
#include "paramlink/configfactory.h"
#include "paramlink/descriptortable.h"
#include "tovikconfig/descriptors.h"

namespace storetest {

void FillTestTable(DescriptorTable* table)
{
    table->clear();
    auto* number = new IntegerDescriptor;
    number->SetParamID(kIntId);
    number->SetParamIDName("eParamID_TestInteger");
    number->SetParamType(eCParam_IntegerValue);
    number->SetMinValue(0);
    number->SetMaxValue(10);
    number->SetFactoryDefault(kIntDefault);
    table->AddDescriptor(number);

    auto* text = new StringDescriptor;
    text->SetParamID(kStringId);
    text->SetParamIDName("eParamID_TestString");
    text->SetParamType(eCParam_StringValue);
    text->SetFactoryDefault(kStringDefault);
    table->AddDescriptor(text);

    auto* data = new DataDescriptor;
    data->SetParamID(kDataId);
    data->SetParamIDName("eParamID_TestData");
    data->SetParamType(eCParam_StringValue);
    data->SetMaxLength(kDataMaxLength);
    table->AddDescriptor(data);

    auto* choice = new EnumDescriptor;
    choice->SetParamID(kEnumId);
    choice->SetParamIDName("eParamID_TestEnum");
    choice->SetParamType(eCParam_EnumValue);
    choice->AddNameValuePair(0, "Off", nullptr, "");
    choice->AddNameValuePair(1, "On", nullptr, "");
    choice->SetFactoryDefault(kEnumDefault);
    table->AddDescriptor(choice);
}

void ResetTestConfig(eConfigID_t configID)
{
    FillTestTable(DescriptorRegistry::GetDescriptorTable(configID));
    ConfigFactoryImpl* factory = ConfigFactoryImpl::GetInstance();
    Config* config = factory->CreateConfig("local://configid=" + std::to_string(configID), "");
    if (!config)
        return;
    config->SetIntegerValue(kIntId, kIntDefault);
    config->SetStringValue(kStringId, kStringDefault);
    config->SetDataValue(kDataId, std::string());
    config->SetIntegerValue(kEnumId, int(kEnumDefault));
    factory->ReleaseConfig(config);
}

} // namespace storetest
