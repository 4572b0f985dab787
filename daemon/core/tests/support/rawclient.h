// A plain store client of one config of this process, as another part of
// the system would use it.
#ifndef PORTVANE_CORE_TEST_RAWCLIENT_H
#define PORTVANE_CORE_TEST_RAWCLIENT_H

#include <string>

#include "paramlink/config.h"
#include "paramlink/configfactory.h"

class RawClient {
public:
    explicit RawClient(int configId)
        : _config(ConfigFactoryImpl::GetInstance()->CreateConfig(
              "local://configid=" + std::to_string(configId), ""))
    {
    }
    ~RawClient()
    {
        if (_config)
            ConfigFactoryImpl::GetInstance()->ReleaseConfig(_config);
    }
    RawClient(const RawClient&) = delete;
    RawClient& operator=(const RawClient&) = delete;

    Config* operator->() { return _config; }
    bool ok() const { return _config != nullptr; }

    int Integer(quint32 id)
    {
        int value = -1;
        _config->GetIntegerValue(eParam_t(id), value);
        return value;
    }
    std::string Text(quint32 id)
    {
        std::string value = "?";
        _config->GetStringValue(eParam_t(id), value);
        return value;
    }

private:
    Config* _config;
};

#endif
