#include <gtest/gtest.h>

#include "paramlink/configfactory.h"
#include "storeurl.h"

using paramlink::ParseStoreUrl;
using paramlink::StoreUrl;

namespace {

TEST(StoreUrlTest, AcceptedForms)
{
    struct Case {
        const char* url;
        StoreUrl::Scheme scheme;
        const char* host;
        int port;
        int configID;
        bool caching;
    } cases[] = {
        {"socket://127.0.0.1:43110/caching=true&configid=0", StoreUrl::Scheme::Socket, "127.0.0.1", 43110, 0, true},
        {"socket://localhost:43110?caching=true&configid=0", StoreUrl::Scheme::Socket, "localhost", 43110, 0, true},
        {"socket://localhost:43111?caching=true&configid=4", StoreUrl::Scheme::Socket, "localhost", 43111, 4, true},
        {"socket://localhost:43111?configid=2&caching=false", StoreUrl::Scheme::Socket, "localhost", 43111, 2, false},
        {"socket://box-1.example:1/configid=255", StoreUrl::Scheme::Socket, "box-1.example", 1, 255, true},
        {"local://configid=3", StoreUrl::Scheme::Local, "", 0, 3, true},
        {"local://caching=false&configid=0", StoreUrl::Scheme::Local, "", 0, 0, false},
    };
    for (const auto& c : cases) {
        StoreUrl url;
        std::string error;
        ASSERT_TRUE(ParseStoreUrl(c.url, url, error)) << c.url << ": " << error;
        EXPECT_EQ(url.scheme, c.scheme) << c.url;
        EXPECT_EQ(url.host, c.host) << c.url;
        EXPECT_EQ(url.port, c.port) << c.url;
        EXPECT_EQ(url.configID, c.configID) << c.url;
        EXPECT_EQ(url.caching, c.caching) << c.url;
    }
}

// Every malformed class is refused with a reason, and CreateConfig gives
// null with a message on standard error.
TEST(StoreUrlTest, MalformedFormsAreRefused)
{
    const std::string cases[] = {
        "",
        "configid=0",
        "127.0.0.1:43110/configid=0",
        "tcp://127.0.0.1:43110/configid=0",
        "SOCKET://127.0.0.1:43110/configid=0",
        "socket://",
        "socket://127.0.0.1:43110",
        "socket://127.0.0.1/configid=0",
        "socket://:43110/configid=0",
        "socket://127.0.0.1:/configid=0",
        "socket://127.0.0.1:0/configid=0",
        "socket://127.0.0.1:65536/configid=0",
        "socket://127.0.0.1:99999999999/configid=0",
        "socket://127.0.0.1:-1/configid=0",
        "socket://127.0.0.1:43x10/configid=0",
        "socket://127.0.0.1:+43110/configid=0",
        "socket://127 0.0.1:43110/configid=0",
        "socket://127.0.0.1:43110/caching=true",
        "socket://127.0.0.1:43110/",
        "socket://127.0.0.1:43110?",
        "socket://127.0.0.1:43110/configid=",
        "socket://127.0.0.1:43110/configid=x",
        "socket://127.0.0.1:43110/configid=-1",
        "socket://127.0.0.1:43110/configid=+1",
        "socket://127.0.0.1:43110/configid=256",
        "socket://127.0.0.1:43110/configid=4294967296",
        "socket://127.0.0.1:43110/configid=99999999999999999999",
        "socket://127.0.0.1:43110/configid=0junk",
        "socket://127.0.0.1:43110/configid=0 ",
        "socket://127.0.0.1:43110/configid=0&",
        "socket://127.0.0.1:43110/configid=0&&caching=true",
        "socket://127.0.0.1:43110/configid=0&configid=1",
        "socket://127.0.0.1:43110/configid=0&caching=yes",
        "socket://127.0.0.1:43110/configid=0&colour=red",
        "socket://127.0.0.1:43110/configid",
        "socket://127.0.0.1:43110/=0",
        "local://",
        "local://configid",
        "local://configid=abc",
        "local://configid=1/extra",
        "local:/configid=1",
        std::string("local://configid=1\0", 19),
        std::string(5000, 'a'),
        "socket://" + std::string(300, 'h') + ":1/configid=0",
    };
    for (const auto& text : cases) {
        StoreUrl url;
        std::string error;
        EXPECT_FALSE(ParseStoreUrl(text, url, error)) << "accepted: " << text;
        EXPECT_FALSE(error.empty()) << text;

        testing::internal::CaptureStderr();
        Config* config = ConfigFactoryImpl::GetInstance()->CreateConfig(text, "");
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(config, nullptr) << text;
        EXPECT_NE(said.find("bad store URL"), std::string::npos) << text << " said: " << said;
    }
}

} // namespace
