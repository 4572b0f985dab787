// Refreshing configuration blocks on the converter and reading them back
// through the module record.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "blocks/cconfigblockif.h"
#include "catalog/cmoduletype.h"
#include "linkrig.h"
#include "scriptedlink.h"

namespace {

using tovik::test::Bytes;
using tovik::test::Response;
using tovik::test::ScriptedLink;
using tovik::test::ScriptedSerial;
using tovik::test::SimLink;

using Log = std::vector<std::string>;

// Records each read together with the number of packets sent before it.
class CountingBlock : public CConfigBlockIF {
public:
    CountingBlock(UByte fpga, UByte block, Log& log, const ScriptedSerial& port, int readResult = 41)
        : CConfigBlockIF(fpga, block), _log(log), _port(port), _readResult(readResult)
    {
    }
    void Reset() override {}
    bool SaveSettings(QSettings&) override { return true; }
    bool LoadSettings(QSettings&) override { return true; }
    int ReadFromDevice(CCommProtocol&) override
    {
        _log.push_back("read " + std::to_string(_fpgaId) + "." + std::to_string(_blockId) +
                       " after " + std::to_string(_port._writes.size()));
        return _readResult;
    }
    int WriteToDevice(CCommProtocol&) override { return 0; }

private:
    Log& _log;
    const ScriptedSerial& _port;
    int _readResult;
};

// FPGAs 0 and 2; FPGA 0 has blocks 0 and 1, FPGA 2 has block 0.
CModuleType MakeModule()
{
    CModuleType module;
    module._moduleTypeID = 5;
    for (UByte fpga : {0, 2}) {
        module._fpgas[fpga]._id = fpga;
        module._fpgas[fpga]._blocks[0]._id = 0;
    }
    module._fpgas[0]._blocks[1]._id = 1;
    return module;
}

Bytes Refresh(UByte fpga, UByte block)
{
    return {0x92, 0x00, 0x05, fpga, block};
}

TEST(RefreshAndRead, OneBlock)
{
    const struct {
        const char* name;
        UByte fpga, block;
        bool attach;
        std::vector<Bytes> replies;
        int readResult;
        bool result;
        std::vector<Bytes> sent;
        Log log;
    } cases[] = {
        {"refreshed, then read", 2, 0, true, {Response(0xD2, 0)}, 41, true, {Refresh(2, 0)},
         {"read 2.0 after 1"}},
        {"refresh refused: not read", 0, 1, true, {Response(0xD2, 17)}, 41, false,
         {Refresh(0, 1)}, {}},
        {"refresh unanswered: not read", 0, 1, true, {}, 41, false, {Refresh(0, 1)}, {}},
        {"read fails", 0, 0, true, {Response(0xD2, 0)}, 0, false, {Refresh(0, 0)},
         {"read 0.0 after 1"}},
        {"no block attached: nothing sent", 0, 1, false, {}, 41, true, {}, {}},
        {"no such block", 2, 1, true, {}, 41, false, {}, {}},
        {"no such FPGA", 1, 0, true, {}, 41, false, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedLink h;
        for (const Bytes& reply : c.replies)
            h._port.QueueReply(reply);
        CModuleType module = MakeModule();
        Log log;
        CountingBlock block(c.fpga, c.block, log, h._port, c.readResult);
        if (c.attach) {
            // Filed by hand so that blocks the record lacks can be asked for too.
            if (CModuleTypeFPGA* fpga = module.FindFPGA(c.fpga)) {
                if (CModuleTypeBlock* slot = fpga->FindBlock(c.block))
                    slot->_block = &block;
            }
        }
        testing::internal::CaptureStderr();
        EXPECT_EQ(c.result, module.RefreshAndReadBlock(c.fpga, c.block, h._protocol));
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(c.sent, h._port._writes);
        EXPECT_EQ(c.log, log);
    }
}

TEST(RefreshAndRead, AllBlocksInIdOrderWithoutStopping)
{
    ScriptedLink h;
    CModuleType module = MakeModule();
    Log log;
    CountingBlock a(0, 0, log, h._port), b(0, 1, log, h._port, 0), c(2, 0, log, h._port);
    module.AttachBlock(&c);
    module.AttachBlock(&a);
    module.AttachBlock(&b);
    h._port.QueueReply(Response(0xD2, 0));  // 0.0
    h._port.QueueReply(Response(0xD2, 1));  // 0.1 refused
    h._port.QueueReply(Response(0xD2, 0));  // 2.0
    module.RefreshAndReadAllBlocks(h._protocol);
    EXPECT_EQ(std::vector<Bytes>({Refresh(0, 0), Refresh(0, 1), Refresh(2, 0)}), h._port._writes);
    EXPECT_EQ(Log({"read 0.0 after 1", "read 2.0 after 3"}), log);

    // A failing read does not stop the rest either; unattached blocks are skipped.
    ScriptedLink h2;
    CModuleType module2 = MakeModule();
    Log log2;
    CountingBlock failing(0, 0, log2, h2._port, 0), last(2, 0, log2, h2._port);
    module2.AttachBlock(&failing);
    module2.AttachBlock(&last);
    h2._port.QueueReply(Response(0xD2, 0));
    h2._port.QueueReply(Response(0xD2, 0));
    module2.RefreshAndReadAllBlocks(h2._protocol);
    EXPECT_EQ(std::vector<Bytes>({Refresh(0, 0), Refresh(2, 0)}), h2._port._writes);
    EXPECT_EQ(Log({"read 0.0 after 1", "read 2.0 after 2"}), log2);
}

// A block image read with the configuration-data command, as the models'
// blocks do.
class ImageBlock : public CConfigBlockIF {
public:
    ImageBlock(UByte fpga, UByte block, size_t size) : CConfigBlockIF(fpga, block), _image(size, 0x77) {}
    void Reset() override {}
    bool SaveSettings(QSettings&) override { return true; }
    bool LoadSettings(QSettings&) override { return true; }
    int ReadFromDevice(CCommProtocol& comm) override
    {
        std::vector<UByte> buffer(_image.size());
        if (comm.ReadConfigData(_fpgaId, _blockId, buffer.data(), UWord(buffer.size())) != kOK)
            return 0;
        _image = buffer;
        return int(buffer.size());
    }
    int WriteToDevice(CCommProtocol& comm) override
    {
        return comm.WriteConfigData(_fpgaId, _blockId, _image.data(), UWord(_image.size()));
    }
    std::vector<UByte> _image;
};

TEST(RefreshAndRead, AgainstASimulatedConverter)
{
    const struct {
        const char* name;
        UByte block; // the converter has block 0 only
        bool result;
        std::vector<int> codes;
        bool imageRead;
    } cases[] = {
        {"block the converter has", 0, true, {0x92, 0x8C, 0x89, 0x89, 0x89, 0x8A}, true},
        {"block the converter lacks", 3, false, {0x92}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SimLink link(convsim::Personality::ForType(5));
        ASSERT_TRUE(link.Ready());
        CModuleType module;
        module._moduleTypeID = 5;
        module._fpgas[0]._id = 0;
        module._fpgas[0]._blocks[c.block]._id = c.block;
        module._fpgas[0]._blocks[c.block]._length = 41;
        ImageBlock block(0, c.block, 41);
        module.AttachBlock(&block);

        EXPECT_EQ(c.result, module.RefreshAndReadBlock(0, c.block, link._protocol));
        std::vector<int> codes;
        for (const convsim::LogEntry& e : link._sim.Log())
            codes.push_back(e.code);
        EXPECT_EQ(c.codes, codes);
        EXPECT_EQ(c.imageRead ? convsim::DefaultScalerImage(5) : std::vector<UByte>(41, 0x77),
                  block._image);
    }
}

} // namespace
