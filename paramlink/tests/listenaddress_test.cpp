// The address a server listens on: numeric addresses read, anything else
// refused; a server on one address is reached there and not through the
// box's other addresses; by default it is reached through any.
#include "listenaddress.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "paramlink/socketserver.h"

using velora::stackline::config::access::SocketServer;

namespace {

TEST(ListenAddress, NumericAddressesOnly)
{
    struct Case {
        const char* text;
        int family; // 0: refused
    } const cases[] = {
        {"127.0.0.1", AF_INET},
        {"0.0.0.0", AF_INET},
        {"192.168.1.20", AF_INET},
        {"::1", AF_INET6},
        {"::", AF_INET6},
        {"fe80::1", AF_INET6},
        {"::ffff:127.0.0.1", AF_INET6},
        {"", 0},
        {"localhost", 0},
        {"box.local", 0},
        {"256.0.0.1", 0},
        {"127.0.0", 0},
        {"127.0.0.1:43110", 0},
        {"[::1]", 0},
        {"fe80::1%eth0", 0},
        {" 127.0.0.1", 0},
        {"127.0.0.1 ", 0},
        {"::1::2", 0},
    };
    for (const Case& c : cases) {
        paramlink::ListenAddress address;
        EXPECT_EQ(paramlink::ParseListenAddress(c.text, &address), c.family != 0) << c.text;
        EXPECT_EQ(address.family, c.family) << c.text;
        EXPECT_EQ(SocketServer::IsListenAddress(c.text), c.family != 0) << c.text;
    }
    paramlink::ListenAddress address;
    ASSERT_TRUE(paramlink::ParseListenAddress("10.1.2.3", &address));
    EXPECT_EQ(ntohl(address.v4.s_addr), 0x0a010203u);
    EXPECT_EQ(address.text, "10.1.2.3");
    EXPECT_FALSE(paramlink::ParseListenAddress(std::string("127.0.0.1\0x", 11), &address));
    EXPECT_EQ(address.text, "10.1.2.3") << "a refused text leaves the address as it was";
}

// Whether a TCP connection to address:port is accepted.
bool Connects(const char* address, int port)
{
    sockaddr_storage a;
    std::memset(&a, 0, sizeof a);
    socklen_t length = 0;
    auto* v4 = reinterpret_cast<sockaddr_in*>(&a);
    auto* v6 = reinterpret_cast<sockaddr_in6*>(&a);
    if (inet_pton(AF_INET, address, &v4->sin_addr) == 1) {
        v4->sin_family = AF_INET;
        v4->sin_port = htons(std::uint16_t(port));
        length = sizeof *v4;
    } else if (inet_pton(AF_INET6, address, &v6->sin6_addr) == 1) {
        v6->sin6_family = AF_INET6;
        v6->sin6_port = htons(std::uint16_t(port));
        length = sizeof *v6;
    } else {
        return false;
    }
    const int fd = socket(a.ss_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool connected = connect(fd, reinterpret_cast<sockaddr*>(&a), length) == 0;
    close(fd);
    return connected;
}

// Whether this host has IPv6 loopback.
bool HasIPv6Loopback()
{
    SocketServer probe(0);
    return probe.SetListenAddress("::1") && probe.Initialize();
}

// Which local addresses reach a server listening on one address, or on
// every address (no address given, or a refused one).
TEST(ListenAddress, ServerIsReachedThroughItsAddressOnly)
{
    struct Case {
        const char* listen; // null: none given
        bool ipv6;          // the case needs IPv6 loopback
        std::vector<const char*> reached;
        std::vector<const char*> unreached;
    } const cases[] = {
        {"127.0.0.1", false, {"127.0.0.1"}, {"127.0.0.2"}}, // another loopback address of the box
        {"127.0.0.1", true, {}, {"::1"}},
        {"::1", true, {"::1"}, {"127.0.0.1"}},
        {nullptr, false, {"127.0.0.1", "127.0.0.2"}, {}},
        {"localhost", false, {"127.0.0.1", "127.0.0.2"}, {}}, // refused: every address still
    };
    const bool ipv6 = HasIPv6Loopback();
    for (const Case& c : cases) {
        if (c.ipv6 && !ipv6)
            continue;
        const std::string name = c.listen ? c.listen : "(none)";
        SocketServer server(0);
        if (c.listen) {
            EXPECT_EQ(server.SetListenAddress(c.listen), SocketServer::IsListenAddress(c.listen)) << name;
        }
        ASSERT_TRUE(server.Initialize()) << name;
        ASSERT_TRUE(server.Start()) << name;
        ASSERT_GT(server.GetPort(), 0);
        for (const char* address : c.reached)
            EXPECT_TRUE(Connects(address, server.GetPort())) << name << " through " << address;
        for (const char* address : c.unreached)
            EXPECT_FALSE(Connects(address, server.GetPort())) << name << " through " << address;
    }
}

TEST(ListenAddress, AnAddressTheBoxDoesNotHaveCannotBeServed)
{
    // Addresses set aside for documentation: no interface holds them.
    std::vector<const char*> absent = {"192.0.2.1"};
    if (HasIPv6Loopback())
        absent.push_back("2001:db8::1");
    for (const char* address : absent) {
        SocketServer server(0);
        ASSERT_TRUE(server.SetListenAddress(address));
        testing::internal::CaptureStderr();
        EXPECT_FALSE(server.Initialize()) << address;
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find(std::string("paramlink: cannot bind port 0 on ") + address + ": "), std::string::npos)
            << said;
    }
}

} // namespace
