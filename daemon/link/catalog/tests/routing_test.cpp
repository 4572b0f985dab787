// Routing of configuration-block reads and writes through the module record.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "blocks/cconfigblockif.h"
#include "catalog/cmoduletype.h"

namespace {

using Log = std::vector<std::string>;

class FakeBlock : public CConfigBlockIF {
public:
    FakeBlock(UByte fpga, UByte block, Log& log, int readResult = 41, int writeResult = 0)
        : CConfigBlockIF(fpga, block), _log(log), _readResult(readResult), _writeResult(writeResult) {}

    void Reset() override {}
    bool SaveSettings(QSettings&) override { return true; }
    bool LoadSettings(QSettings&) override { return true; }
    int ReadFromDevice(CCommProtocol&) override { _log.push_back("read " + tag()); return _readResult; }
    int WriteToDevice(CCommProtocol&) override { _log.push_back("write " + tag()); return _writeResult; }

protected:
    std::string tag() const { return std::to_string(_fpgaId) + "." + std::to_string(_blockId); }
    Log& _log;
    int _readResult;
    int _writeResult;
};

class StreamingBlock : public FakeBlock {
public:
    using FakeBlock::FakeBlock;
    int StreamOutFPGA(CCommProtocol&) const override { _log.push_back("stream " + tag()); return 0; }
    bool StreamsToFPGA() const override { return true; }
};

// The record only hands the protocol on; it is never used here.
CCommProtocol& noProtocol()
{
    alignas(16) static unsigned char storage[64];
    return *reinterpret_cast<CCommProtocol*>(storage);
}

// Module with FPGAs 0 and 2; FPGA 0 has blocks 0 and 1, FPGA 2 has block 0.
CModuleType makeModule(int type = 5)
{
    CModuleType module;
    module._moduleTypeID = type;
    for (UByte fpga : {2, 0}) {
        module._fpgas[fpga]._id = fpga;
        module._fpgas[fpga]._blocks[0]._id = 0;
    }
    module._fpgas[0]._blocks[1]._id = 1;
    return module;
}

TEST(BlockRouting, AttachFilesBlockUnderItsOwnIds)
{
    Log log;
    CModuleType module = makeModule();
    FakeBlock a(0, 1, log), b(2, 0, log), noFpga(1, 0, log), noBlock(2, 5, log);
    for (CConfigBlockIF* block : {static_cast<CConfigBlockIF*>(&a), static_cast<CConfigBlockIF*>(&b),
                                  static_cast<CConfigBlockIF*>(&noFpga), static_cast<CConfigBlockIF*>(&noBlock)})
        module.AttachBlock(block);
    module.AttachBlock(nullptr);

    EXPECT_EQ(module._fpgas[0]._blocks[1]._block, &a);
    EXPECT_EQ(module._fpgas[2]._blocks[0]._block, &b);
    EXPECT_EQ(module._fpgas[0]._blocks[0]._block, nullptr);
    EXPECT_FALSE(module.HasFPGA(1));
    EXPECT_EQ(module._fpgas[2].FindBlock(5), nullptr);

    FakeBlock replacement(0, 1, log);
    module.AttachBlock(&replacement);
    EXPECT_EQ(module._fpgas[0]._blocks[1]._block, &replacement);
    EXPECT_TRUE(log.empty());
}

TEST(BlockRouting, ReadAllVisitsInIdOrderAndStopsAtFirstFailure)
{
    struct Case {
        const char* name;
        int type;
        bool withFpgas;
        int failingRead; // index of the attached block that fails, -1 none
        bool result;
        Log reads;
    };
    const Case cases[] = {
        {"all succeed", 5, true, -1, true, {"read 0.0", "read 0.1", "read 2.0"}},
        {"first fails", 5, true, 0, false, {"read 0.0"}},
        {"middle fails", 5, true, 1, false, {"read 0.0", "read 0.1"}},
        {"last fails", 5, true, 2, false, {"read 0.0", "read 0.1", "read 2.0"}},
        {"type 0 reads nothing", 0, true, 0, true, {}},
        {"no FPGAs fails", 5, false, -1, false, {}},
        {"type 0 without FPGAs fails", 0, false, -1, false, {}},
    };
    for (const Case& c : cases) {
        Log log;
        CModuleType module = makeModule(c.type);
        if (!c.withFpgas)
            module._fpgas.clear();
        FakeBlock b20(2, 0, log, c.failingRead == 2 ? 0 : 41);
        FakeBlock b01(0, 1, log, c.failingRead == 1 ? 0 : 41);
        FakeBlock b00(0, 0, log, c.failingRead == 0 ? 0 : 41);
        module.AttachBlock(&b20);
        module.AttachBlock(&b01);
        module.AttachBlock(&b00);
        EXPECT_EQ(module.ReadAllBlocks(noProtocol()), c.result) << c.name;
        EXPECT_EQ(log, c.reads) << c.name;
    }
}

TEST(BlockRouting, UnattachedBlocksCountAsRead)
{
    Log log;
    CModuleType module = makeModule();
    FakeBlock b20(2, 0, log);
    module.AttachBlock(&b20);
    EXPECT_TRUE(module.ReadAllBlocks(noProtocol()));
    EXPECT_EQ(log, (Log{"read 2.0"}));

    CModuleType bare = makeModule();
    EXPECT_TRUE(bare.ReadAllBlocks(noProtocol()));
}

TEST(BlockRouting, SingleWritesAndStreams)
{
    Log log;
    CModuleType module = makeModule();
    FakeBlock plain(0, 0, log, 41, -7);
    StreamingBlock streaming(2, 0, log, 41, -3);
    module.AttachBlock(&plain);
    module.AttachBlock(&streaming);
    CCommProtocol& comm = noProtocol();

    struct Case { const char* name; int result; Log calls; };
    auto run = [&](int result) { Log calls = log; log.clear(); return Case{"", result, calls}; };

    // Write: 1 whatever the block answers, 0 for unknown ids.
    Case c = run(module.WriteBlock(0, 0, comm));
    EXPECT_EQ(c.result, 1);
    EXPECT_EQ(c.calls, (Log{"write 0.0"}));
    c = run(module.WriteBlock(0, 1, comm));  // no block attached
    EXPECT_EQ(c.result, 1);
    EXPECT_TRUE(c.calls.empty());
    EXPECT_EQ(module.WriteBlock(1, 0, comm), 0);
    EXPECT_EQ(module.WriteBlock(0, 9, comm), 0);

    // Status-passing write: the block's own status, 0 without a block.
    c = run(module.WriteBlockStatus(0, 0, comm));
    EXPECT_EQ(c.result, -7);
    EXPECT_EQ(c.calls, (Log{"write 0.0"}));
    c = run(module.WriteBlockStatus(2, 0, comm));
    EXPECT_EQ(c.result, -3);
    EXPECT_EQ(module.WriteBlockStatus(0, 1, comm), 0);
    EXPECT_EQ(module.WriteBlockStatus(7, 0, comm), 0);

    // Stream out: only a block that overrides it streams.
    c = run(module.StreamOutBlock(0, 0, comm));
    EXPECT_EQ(c.result, 1);
    EXPECT_TRUE(c.calls.empty());
    c = run(module.StreamOutBlock(2, 0, comm));
    EXPECT_EQ(c.result, 1);
    EXPECT_EQ(c.calls, (Log{"stream 2.0"}));
    c = run(module.StreamOutBlock(0, 1, comm));
    EXPECT_EQ(c.result, 1);
    EXPECT_TRUE(c.calls.empty());
    EXPECT_EQ(module.StreamOutBlock(3, 0, comm), 0);
    EXPECT_EQ(module.StreamOutBlock(2, 1, comm), 0);
    EXPECT_TRUE(log.empty());
}

TEST(BlockRouting, WriteAllWritesEveryAttachedBlock)
{
    Log log;
    CModuleType module = makeModule();
    FakeBlock b20(2, 0, log, 41, -1), b00(0, 0, log, 41, -1), b01(0, 1, log, 41, 0);
    module.AttachBlock(&b20);
    module.AttachBlock(&b00);
    module.AttachBlock(&b01);
    EXPECT_TRUE(module.WriteAllBlocks(noProtocol()));
    EXPECT_EQ(log, (Log{"write 0.0", "write 0.1", "write 2.0"}));

    log.clear();
    module.WriteAllBlocksStatus(noProtocol());
    EXPECT_EQ(log, (Log{"write 0.0", "write 0.1", "write 2.0"}));

    CModuleType empty;
    EXPECT_TRUE(empty.WriteAllBlocks(noProtocol()));
}

} // namespace
