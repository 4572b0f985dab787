#include "testtable.h"

#include "paramlink/config.h"
#include "paramlink/configfactory.h"
#include "paramlink/descriptortable.h"

namespace storetest {

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
