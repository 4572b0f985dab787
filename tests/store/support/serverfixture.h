// An in-process socket server on a free loopback port, serving a fresh
// config id filled with the test table.
#ifndef STORE_SERVERFIXTURE_H
#define STORE_SERVERFIXTURE_H

#include <gtest/gtest.h>

#include <memory>

#include "paramlink/paramlink.h"
#include "testtable.h"

namespace storetest {

class ServerFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        static int next = 100;
        _id = next++;
        FillTestTable(DescriptorRegistry::GetDescriptorTable(_id));
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

    int _id = 0;
    int _port = 0;
    std::unique_ptr<velora::stackline::config::access::SocketServer> _server;
    std::vector<Config*> _open;
};

} // namespace storetest

#endif
