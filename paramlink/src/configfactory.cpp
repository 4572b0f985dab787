#include "paramlink/configfactory.h"

#include "configstore.h"
#include "localconfig.h"
#include "netutil.h"
#include "socketconfig.h"
#include "storeurl.h"

using namespace paramlink;

ConfigFactoryImpl* ConfigFactoryImpl::GetInstance()
{
    static ConfigFactoryImpl* instance = new ConfigFactoryImpl;
    return instance;
}

Config* ConfigFactoryImpl::CreateConfig(std::string url, std::string)
{
    StoreUrl parsed;
    std::string error;
    if (!ParseStoreUrl(url, parsed, error)) {
        Log("bad store URL \"" + url + "\": " + error);
        return nullptr;
    }
    if (parsed.scheme == StoreUrl::Scheme::Local) {
        ConfigStore* store = ConfigStore::Get(parsed.configID);
        if (!store) {
            Log("no local store for config " + std::to_string(parsed.configID));
            return nullptr;
        }
        return new LocalConfig(store);
    }
    Config* config = SocketConfig::Connect(parsed, error);
    if (!config)
        Log(error);
    return config;
}

void ConfigFactoryImpl::ReleaseConfig(Config* config)
{
    if (!config)
        return;
    if (auto* ours = dynamic_cast<ConfigBase*>(config)) {
        ours->Release();
        return;
    }
    delete config;
}
