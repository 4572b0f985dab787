#include "paramlink/configfactory.h"

#include "paramlink/configlink.h"

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
    std::string error;
    Config* config = TryCreateConfig(url, error);
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

Config* TryCreateConfig(const std::string& url, std::string& error)
{
    StoreUrl parsed;
    std::string why;
    if (!ParseStoreUrl(url, parsed, why)) {
        error = "bad store URL \"" + url + "\": " + why;
        return nullptr;
    }
    if (parsed.scheme == StoreUrl::Scheme::Local) {
        ConfigStore* store = ConfigStore::Get(parsed.configID);
        if (!store) {
            error = "no local store for config " + std::to_string(parsed.configID);
            return nullptr;
        }
        return new LocalConfig(store);
    }
    return SocketConfig::Connect(parsed, error);
}
