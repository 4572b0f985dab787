#include "connection.h"

#include <cstdio>

#include "paramlink/config.h"
#include "paramlink/configfactory.h"
#include "paramlink/descriptortable.h"
#include "tovikconfig/boxparamids.h"
#include "tovikconfig/enumdescriptor.h"
#include "tovikconfig/tovikconfig.h"

namespace {

const char kBoxURL[] = "socket://localhost:43110?caching=true&configid=0";
const char kConverterURL[] = "socket://localhost:43111?caching=true&configid=%d";
const char kBoxModelName[] = "BRISCO";
const tovikconfig::ViveRode_t kBoxModel = 1;

} // namespace

std::string ConfigURL(int configID)
{
    if (configID == 0)
        return kBoxURL;
    char url[80];
    std::snprintf(url, sizeof url, kConverterURL, configID);
    return url;
}

bool ConnectConfig(int configID, std::string& modelName, DescriptorTable*& table, Config*& config,
                   Config*& eventsConfig)
{
    tovikconfig::ViveRode_t model = kBoxModel;
    if (configID == 0) {
        modelName = kBoxModelName;
    } else {
        // The slot's model comes from the box's store.
        std::string boxName;
        DescriptorTable* boxTable = nullptr;
        Config* box = nullptr;
        Config* boxEvents = nullptr;
        ConnectConfig(0, boxName, boxTable, box, boxEvents);
        if (!box)
            return false;
        ParamDescriptor* type = box->GetParamDescriptor(tovikconfig::DeviceTypeParamID(configID));
        if (!type) {
            std::fprintf(stderr, "GetParamDescriptor() returned null.\n");
            ConfigFactoryImpl::GetInstance()->ReleaseConfig(box);
            return false;
        }
        if (EnumDescriptor* types = dynamic_cast<EnumDescriptor*>(type)) {
            const int value = box->GetIntegerValue(types->GetParamID());
            model = tovikconfig::ViveRode_t(value);
            modelName = types->GetEnumValueDescriptor(unsigned(value)).name;
        }
        ConfigFactoryImpl::GetInstance()->ReleaseConfig(box);
    }
    table = DescriptorRegistry::GetDescriptorTable(configID);
    table->clear();
    tovikconfig::TovikConfig::AddParamDescriptors(table, model);
    config = ConfigFactoryImpl::GetInstance()->CreateConfig(ConfigURL(configID), "");
    eventsConfig = config;
    return true;
}
