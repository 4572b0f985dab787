// tovik-storedump against a store in another process: it prints what that
// store holds, never a table of its own.
#include <gtest/gtest.h>

#include <csignal>

#include "childprocess.h"
#include "paramlink/paramlink.h"
#include "testtable.h"

using namespace storetest;
using tovik::test::BuildProgram;
using tovik::test::ChildProcess;
using tovik::test::RunAndCapture;

namespace {

std::string urlOf(int config)
{
    return "socket://localhost:43111?caching=true&configid=" + std::to_string(config);
}

class StoreDumpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(_server.StartPiped({BuildProgram("store_test_server"), "43111"}));
        ASSERT_TRUE(_server.WaitForLine("ready", 10000));
    }
    void TearDown() override { _server.Stop(SIGTERM, 5000); }

    std::string dump(const std::string& url, int& status)
    {
        return RunAndCapture({BuildProgram("tovik-storedump"), url}, 10000, &status);
    }

    ChildProcess _server;
};

TEST_F(StoreDumpTest, PrintsTheServersTableWithItsValues)
{
    // This process's table of config 1 differs; the dump must not care.
    DescriptorRegistry::GetDescriptorTable(1)->clear();
    Config* c = ConfigFactoryImpl::GetInstance()->CreateConfig(urlOf(1), "");
    ASSERT_NE(c, nullptr);
    std::vector<HeldParam> held;
    ASSERT_TRUE(ListHeldParams(c, held));
    ASSERT_EQ(held.size(), 4u) << "the server's four test parameters";
    EXPECT_EQ(held[0].idName, "eParamID_TestInteger");
    EXPECT_EQ(held[0].kind, ValueKind::Integer);
    EXPECT_EQ(held[0].intValue, kIntDefault);
    EXPECT_EQ(held[2].id, kDataId);
    EXPECT_EQ(held[2].kind, ValueKind::Data);
    ConfigFactoryImpl::GetInstance()->ReleaseConfig(c);

    FillTestTable(DescriptorRegistry::GetDescriptorTable(1));
    c = ConfigFactoryImpl::GetInstance()->CreateConfig(urlOf(1), "");
    ASSERT_NE(c, nullptr);
    ASSERT_TRUE(c->SetIntegerValue(kIntId, -3));
    ASSERT_TRUE(c->SetDataValue(kDataId, std::string("\0\x7f\xff", 3)));
    ConfigFactoryImpl::GetInstance()->ReleaseConfig(c);

    int status = -1;
    EXPECT_EQ(dump(urlOf(1), status), "eParamID_TestInteger=-3\n"
                                      "eParamID_TestString=abc\n"
                                      "eParamID_TestData=007FFF\n"
                                      "eParamID_TestEnum=1\n");
    EXPECT_EQ(status, 0);
}

TEST_F(StoreDumpTest, EmptyConfigPrintsNothingRefusedConfigFails)
{
    int status = -1;
    EXPECT_EQ(dump(urlOf(2), status), "") << "a converter config with no converter";
    EXPECT_EQ(status, 0);

    const std::string refused = dump(urlOf(99), status);
    EXPECT_NE(status, 0);
    EXPECT_NE(refused.find("refused the connection to config 99: no config 99 here (configs 0 to 10)"),
              std::string::npos)
        << refused;

    _server.Stop(SIGTERM, 5000);
    const std::string unreachable = dump(urlOf(1), status);
    EXPECT_NE(status, 0);
    EXPECT_NE(unreachable.find("storedump: cannot open"), std::string::npos) << unreachable;

    EXPECT_NE(dump("--model", status).find("--help"), std::string::npos);
    EXPECT_EQ(status, 2);
}

} // namespace
