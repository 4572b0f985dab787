// An in-process socket server on a free loopback port, serving the test
// table with fresh values.
#ifndef STORE_SERVERFIXTURE_H
#define STORE_SERVERFIXTURE_H

#include <gtest/gtest.h>

#include <memory>

#include "eventrecorder.h"
#include "paramlink/paramlink.h"
#include "testtable.h"

namespace storetest {

class ServerFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetTestConfig(_id);
        _server.reset(new velora::stackline::config::access::SocketServer(0));
        ASSERT_NE(_server->Initialize(), 0);
        ASSERT_NE(_server->Start(), 0);
        _port = _server->GetPort();
    }
    void TearDown() override
    {
        for (Config* c : _open)
            ConfigFactoryImpl::GetInstance()->ReleaseConfig(c);
        _server.reset();
    }

    std::string url(bool caching = true) const
    {
        return "socket://127.0.0.1:" + std::to_string(_port) + "/caching=" + (caching ? "true" : "false") +
               "&configid=" + std::to_string(_id);
    }
    Config* client(bool caching = true)
    {
        Config* c = ConfigFactoryImpl::GetInstance()->CreateConfig(url(caching), "");
        if (c)
            _open.push_back(c);
        return c;
    }
    Config* local()
    {
        Config* c = ConfigFactoryImpl::GetInstance()->CreateConfig("local://configid=" + std::to_string(_id), "");
        if (c)
            _open.push_back(c);
        return c;
    }
    // Releases a config opened here before TearDown.
    void release(Config* c)
    {
        for (auto it = _open.begin(); it != _open.end(); ++it)
            if (*it == c) {
                _open.erase(it);
                break;
            }
        ConfigFactoryImpl::GetInstance()->ReleaseConfig(c);
    }

    const int _id = kServedTestConfig;
    int _port = 0;
    // Outlive the configs, which TearDown releases.
    RecorderPool _recorders;
    std::unique_ptr<velora::stackline::config::access::SocketServer> _server;
    std::vector<Config*> _open;
};

} // namespace storetest

#endif
