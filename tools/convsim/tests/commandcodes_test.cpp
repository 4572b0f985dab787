// The simulator keeps its own list of command codes, written apart from the
// daemon's so that it checks the daemon rather than agreeing with it by
// construction. The two lists must still name every code alike.
#include <gtest/gtest.h>

#include <string>

#include "convsim/wire.h"
#include "protocol/ccommprotocol.h"
#include "protocol/commcodes.h"

namespace {

struct Code {
    const char* name;
    unsigned simulator;
    unsigned daemon;
};

#define SAME(name) Code{#name, unsigned(convsim::name), unsigned(::name)}

TEST(CommandCodesTest, SimulatorAndDaemonAgree)
{
    const Code codes[] = {
        SAME(kReadProtocolVersionCmd),
        SAME(kReadModuleInfoCmd),
        SAME(kWriteModuleInfoCmd),
        SAME(kReadModuleTypeIDCmd),
        SAME(kReadFPGAFirmwareVersionCmd),
        SAME(kSafeBootFirmwareUpdateCmd),
        SAME(kCNCAppFirmwareUpdateCmd),
        SAME(kFPGAFirmwareUpdateCmd),
        SAME(kSendDataCmd),
        SAME(kRequestDataCmd),
        SAME(kTransferCompleteCmd),
        SAME(kWriteConfigDataCmd),
        SAME(kReadConfigDataCmd),
        SAME(kWriteConfigParameterCmd),
        SAME(kReadConfigParameterCmd),
        SAME(kWriteConfigSubblockCmd),
        SAME(kReadConfigSubblockCmd),
        SAME(kAbortCmd),
        SAME(kRefreshConfigCmd),
        SAME(kWriteDeviceDataCmd),
        SAME(kReadDeviceDataCmd),
        SAME(kReadReleaseVersionCmd),
        SAME(kWriteReleaseVersionCmd),
        SAME(kReadModuleNameCmd),
        SAME(kWriteModuleNameCmd),
        SAME(kReadBoardAssemblyIDCmd),
        SAME(kWriteBoardAssemblyIDCmd),
        SAME(kReadSerialIDCmd),
        SAME(kWriteSerialIDCmd),
        SAME(kWriteDeviceDataImmediateCmd),
        SAME(kReadDeviceDataImmediateCmd),
        SAME(kWriteModuleTypeIDCmd),
        SAME(kResetCmd),
        SAME(kLUTFirmwareUpdateCmd),
        SAME(kReadLUTFirmwareVersionCmd),
    };
    for (const Code& c : codes) {
        EXPECT_EQ(c.simulator, c.daemon) << c.name;
        EXPECT_EQ(CCommProtocol::CommandName(int(c.daemon)).toStdString(), c.name) << c.name;
    }
}

#undef SAME

// The simulated converter also knows the long module name command, which the
// box never sends and has no name for.
TEST(CommandCodesTest, LongModuleNameIsTheSimulatorsAlone)
{
    EXPECT_EQ(unsigned(convsim::kReadLongModuleNameCmd), 0xA3u);
    EXPECT_EQ(CCommProtocol::CommandName(0xA3).toStdString(), "Unknown Command");
}

} // namespace
