// The box's store restarted under Portvane: once the link is back, the
// daemon writes back only what it owns (the device slots and the count),
// never what it merely heard from other clients; a value another client
// wrote to the new store first stays.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <map>
#include <string>
#include <thread>

#include "childprocess.h"
#include "paramlink/config.h"
#include "paramlink/configfactory.h"
#include "paramlink/descriptortable.h"
#include "portvanerig.h"
#include "tovikconfig/paramdescriptor.h"
#include "tovikconfig/tovikconfig.h"

namespace {

using tovik::test::CountOf;
using tovik::test::PortvaneRig;
using tovik::test::WaitUntil;

const char kStoreLost[] = "Connection to config 0 lost, reconnecting";
const char kStoreBack[] = "Connection to config 0 made again";

// A client of config 0 sets a string, as knobctl -set would.
bool SetBoxString(const std::string& name, const std::string& value)
{
    DescriptorTable* table = DescriptorRegistry::GetDescriptorTable(0);
    if (!table->GetDescriptor(name)) {
        table->clear();
        tovikconfig::TovikConfig::AddParamDescriptors(table, 1);
    }
    ParamDescriptor* descriptor = table->GetDescriptor(name);
    Config* config = ConfigFactoryImpl::GetInstance()->CreateConfig("socket://localhost:43110?configid=0", "");
    if (!config || !descriptor)
        return false;
    const bool accepted = config->SetStringValue(descriptor->GetParamID(), value);
    ConfigFactoryImpl::GetInstance()->ReleaseConfig(config);
    return accepted;
}

TEST(StoreRestartTest, OnlyTheDaemonsOwnValuesComeBack)
{
    PortvaneRig rig("tovik-storerestart");
    ASSERT_TRUE(rig.StartStore());
    ASSERT_TRUE(rig.Plug("ttyA", 5));
    ASSERT_TRUE(rig.StartDaemon());
    ASSERT_TRUE(rig.WaitForDeviceCount(1, 30000)) << rig.DaemonLog();
    const std::map<std::string, std::string> before = rig.Box();
    const std::string defaultMask = before.at("eParamID_SubnetMask");
    ASSERT_NE(defaultMask, "255.0.0.0");

    ASSERT_TRUE(SetBoxString("eParamID_SystemName", "before-restart"));
    ASSERT_TRUE(SetBoxString("eParamID_SubnetMask", "255.0.0.0"));
    // Heard by the daemon.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));

    ASSERT_EQ(rig.Store().Stop(SIGTERM, 5000), 0);
    ASSERT_TRUE(WaitUntil([&] { return CountOf(rig.DaemonLog(), kStoreLost) == 1; }, 10000)) << rig.DaemonLog();
    // Long enough for the daemon's pause between attempts to reach its
    // longest (4 s): the client below is first on the new store.
    std::this_thread::sleep_for(std::chrono::seconds(5));
    ASSERT_TRUE(rig.StartStore());
    ASSERT_TRUE(SetBoxString("eParamID_SystemName", "newer-written-first"));
    ASSERT_TRUE(WaitUntil([&] { return CountOf(rig.DaemonLog(), kStoreBack) == 1; }, 15000)) << rig.DaemonLog();

    // The slots and the count are back, as the daemon knows them.
    ASSERT_TRUE(rig.WaitForDeviceCount(1, 5000)) << rig.DaemonLog();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    std::map<std::string, std::string> box = rig.Box();
    EXPECT_EQ(box["eParamID_Device_1_Type"], "6");
    EXPECT_EQ(box["eParamID_Device_1_CxnStatus"], "0");
    EXPECT_EQ(box["eParamID_Device_1_Name"], before.at("eParamID_Device_1_Name"));
    EXPECT_EQ(box["eParamID_Device_1_SN"], before.at("eParamID_Device_1_SN"));
    for (int slot = 2; slot <= 4; ++slot)
        EXPECT_EQ(box["eParamID_Device_" + std::to_string(slot) + "_CxnStatus"], "1") << slot;
    // Nothing the daemon only heard comes back.
    EXPECT_EQ(box["eParamID_SystemName"], "newer-written-first");
    EXPECT_EQ(box["eParamID_SubnetMask"], defaultMask);
    EXPECT_TRUE(rig.Daemon().Running());
}

} // namespace
