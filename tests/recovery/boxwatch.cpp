#include "boxwatch.h"

#include "paramlink/configfactory.h"
#include "paramlink/descriptortable.h"
#include "tovikconfig/paramdescriptor.h"
#include "tovikconfig/tovikconfig.h"

BoxWatch::BoxWatch(const std::vector<int>& slots)
{
    DescriptorTable* table = DescriptorRegistry::GetDescriptorTable(0);
    table->clear();
    tovikconfig::TovikConfig::AddParamDescriptors(table, 1);
    _config = ConfigFactoryImpl::GetInstance()->CreateConfig("socket://localhost:43110?caching=true&configid=0", "");
    if (!_config)
        return;
    for (int slot : slots) {
        for (const char* field : {"Type", "SN", "Name", "CxnStatus"}) {
            const std::string name = "eParamID_Device_" + std::to_string(slot) + "_" + field;
            if (ParamDescriptor* d = _config->GetParamDescriptor(name))
                _watched.insert(d->GetParamID());
        }
    }
    _config->AddEventListener(this);
}

BoxWatch::~BoxWatch()
{
    if (!_config)
        return;
    _config->RemoveEventListener(this);
    ConfigFactoryImpl::GetInstance()->ReleaseConfig(_config);
}

std::vector<std::string> BoxWatch::Changes()
{
    std::lock_guard<std::mutex> lock(_mutex);
    return _changes;
}

void BoxWatch::Record(eParam_t id, const std::string& value)
{
    if (!_watched.count(id))
        return;
    ParamDescriptor* d = _config->GetParamDescriptor(id);
    std::lock_guard<std::mutex> lock(_mutex);
    _changes.push_back((d ? d->GetParamIDName() : std::to_string(id)) + "=" + value);
}

int BoxWatch::IntegerChanged(eParam_t id, int value, timeval)
{
    Record(id, std::to_string(value));
    return 0;
}

int BoxWatch::StringChanged(eParam_t id, std::string& value, timeval)
{
    Record(id, value);
    return 0;
}
