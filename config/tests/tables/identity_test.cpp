#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include <net/if.h>
#include <unistd.h>

#include "paramlink/descriptortable.h"
#include "tables/platformseam.h"
#include "tempdir.h"
#include "tovikconfig/boxparamids.h"
#include "tovikconfig/commonconfig.h"
#include "tovikconfig/descriptors.h"
#include "tovikconfig/tovikconfig.h"

using namespace tovikconfig;

namespace {

using tovik::test::TempDir;

// Writes bytes into a new file of dir and returns its path.
std::string WriteFile(const TempDir& dir, const std::string& name, const std::string& bytes)
{
    const std::string path = dir.File(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

std::string StringDefault(DescriptorTable& table, eParam_t id)
{
    auto* d = dynamic_cast<StringDescriptor*>(table.GetDescriptor(id));
    return d ? d->GetFactoryDefault() : "<missing>";
}

class IdentityTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        platform::SetSerialNumberPath("");
        platform::SetInterfaceOps(nullptr);
    }
};

struct SerialCase {
    const char* what;
    std::string bytes; // null: no file
    bool exists;
    std::string serial;
};

} // namespace

TEST_F(IdentityTest, SerialNumberFile)
{
    using namespace std::string_literals;
    const SerialCase cases[] = {
        {"missing", "", false, "RXD000000"},
        {"empty", "", true, "RXD000000"},
        {"device tree form", "ABC123456\0"s, true, "ABC123456"},
        {"no terminator", "ABC123456", true, "ABC123456"},
        {"over-long", std::string(100, 'S'), true, std::string(63, 'S')},
        {"over-long after 63 bytes", std::string(63, 'T') + "UVW\0"s, true, std::string(63, 'T')},
        {"embedded zero byte", "AB\0CD\0"s, true, "AB"},
        {"trailing newline kept", "XYZ789\n", true, "XYZ789\n"},
        {"newline then zero byte", "XYZ789\n\0"s, true, "XYZ789\n"},
        {"only a zero byte", "\0"s, true, "RXD000000"},
        {"zero byte first", "\0HIDDEN"s, true, "RXD000000"},
    };
    TempDir dir;
    ASSERT_FALSE(dir.Path().empty());
    int index = 0;
    for (const SerialCase& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string name = "serial" + std::to_string(index++);
        platform::SetSerialNumberPath(c.exists ? WriteFile(dir, name, c.bytes) : dir.Path() + "/" + name);
        EXPECT_EQ(CommonConfig::GetSerialNumber(), c.serial);
        EXPECT_EQ(CommonConfig::GetDefaultSystemName(), "velora-brisco-" + c.serial);
    }
}

TEST_F(IdentityTest, SerialNumberPathThatIsADirectory)
{
    TempDir dir;
    platform::SetSerialNumberPath(dir.Path());
    EXPECT_EQ(CommonConfig::GetSerialNumber(), "RXD000000");
}

TEST_F(IdentityTest, SerialNumberReachesTheBoxTable)
{
    using namespace std::string_literals;
    TempDir dir;
    platform::SetSerialNumberPath(WriteFile(dir, "serial", "ABC123456\0"s));
    DescriptorTable table(0);
    ASSERT_TRUE(TovikConfig::AddParamDescriptors(&table, 1));
    EXPECT_EQ(StringDefault(table, eParamID_SerialNumber), "ABC123456");
    EXPECT_EQ(StringDefault(table, eParamID_SystemName), "velora-brisco-ABC123456");
}

namespace {

// A scripted interface query that records what it was given.
struct FakeInterface {
    bool protocolFound = true;
    int socketResult = 7;
    int queryResult = 0;
    unsigned char hardwareAddress[6] = {0, 0, 0, 0, 0, 0};

    int opened = 0;
    int queried = 0;
    int closed = 0;
    int closedFd = -1;
    bool requestWasCleared = false;
    std::string requestName;
};

FakeInterface* gFake = nullptr;

bool FakeProtocol(int* protocol)
{
    *protocol = 6;
    return gFake->protocolFound;
}

int FakeOpen(int protocol)
{
    EXPECT_EQ(protocol, 6);
    ++gFake->opened;
    return gFake->socketResult;
}

int FakeQuery(int, ifreq* request)
{
    ++gFake->queried;
    EXPECT_EQ(gFake->closed, 0) << "queried after close";
    gFake->requestName = request->ifr_name;
    const unsigned char* raw = reinterpret_cast<const unsigned char*>(&request->ifr_ifru);
    gFake->requestWasCleared = true;
    for (size_t i = 0; i < sizeof(request->ifr_ifru); ++i)
        gFake->requestWasCleared = gFake->requestWasCleared && raw[i] == 0;
    if (gFake->queryResult < 0) {
        // A failed query may leave anything behind.
        std::memset(request->ifr_hwaddr.sa_data, 0xA5, 6);
        return gFake->queryResult;
    }
    std::memcpy(request->ifr_hwaddr.sa_data, gFake->hardwareAddress, 6);
    return gFake->queryResult;
}

void FakeClose(int fd)
{
    ++gFake->closed;
    gFake->closedFd = fd;
}

const platform::InterfaceOps kFakeOps{&FakeProtocol, &FakeOpen, &FakeQuery, &FakeClose};

struct MacCase {
    const char* what;
    bool protocolFound;
    int socketResult;
    int queryResult;
    unsigned char bytes[6];
    std::string text;
    int queried;
    int closed;
};

} // namespace

TEST_F(IdentityTest, MacAddressText)
{
    const MacCase cases[] = {
        {"no tcp protocol entry", false, 7, 0, {1, 2, 3, 4, 5, 6}, "Proto error", 0, 0},
        {"socket fails", true, -1, 0, {1, 2, 3, 4, 5, 6}, "socket error", 0, 0},
        {"no such interface", true, 7, -1, {1, 2, 3, 4, 5, 6}, "00:00:00:00:00:00", 1, 1},
        {"hardware address", true, 7, 0, {0x02, 0x1A, 0x3B, 0x4C, 0x5D, 0x6E}, "02:1A:3B:4C:5D:6E", 1, 1},
        {"high bytes stay two digits", true, 7, 0, {0xFF, 0xFE, 0x80, 0x00, 0x7F, 0x01},
         "FF:FE:80:00:7F:01", 1, 1},
        {"socket zero is valid", true, 0, 0, {0, 0x11, 0x22, 0x33, 0x44, 0xAB}, "00:11:22:33:44:AB", 1, 1},
    };
    for (const MacCase& c : cases) {
        SCOPED_TRACE(c.what);
        FakeInterface fake;
        fake.protocolFound = c.protocolFound;
        fake.socketResult = c.socketResult;
        fake.queryResult = c.queryResult;
        std::memcpy(fake.hardwareAddress, c.bytes, 6);
        gFake = &fake;
        platform::SetInterfaceOps(&kFakeOps);
        EXPECT_EQ(platform::MacAddressText(), c.text);
        EXPECT_EQ(fake.queried, c.queried);
        EXPECT_EQ(fake.closed, c.closed);
        if (c.queried) {
            EXPECT_EQ(fake.requestName, "eth0");
            EXPECT_TRUE(fake.requestWasCleared);
            EXPECT_EQ(fake.closedFd, c.socketResult);
        }
        gFake = nullptr;
    }
}

TEST_F(IdentityTest, MacAddressReachesTheNetworkTable)
{
    FakeInterface fake;
    const unsigned char bytes[6] = {0x02, 0x1A, 0x3B, 0x4C, 0x5D, 0x6E};
    std::memcpy(fake.hardwareAddress, bytes, 6);
    gFake = &fake;
    platform::SetInterfaceOps(&kFakeOps);
    DescriptorTable table(0);
    EXPECT_TRUE(CommonConfig::NetworkConfig::AddParamDescriptors(&table));
    EXPECT_EQ(StringDefault(table, eParamID_MACAddress), "02:1A:3B:4C:5D:6E");
    gFake = nullptr;
}

// Whatever the machine has, the system query gives one of the known forms.
TEST_F(IdentityTest, SystemMacQueryGivesAFormattedText)
{
    const std::string text = platform::MacAddressText();
    if (text == "Proto error" || text == "socket error")
        return;
    ASSERT_EQ(text.size(), 17u) << text;
    for (size_t i = 0; i < text.size(); ++i) {
        if (i % 3 == 2)
            EXPECT_EQ(text[i], ':') << text;
        else
            EXPECT_TRUE(std::isxdigit(static_cast<unsigned char>(text[i])) && !std::islower(text[i])) << text;
    }
}
