// Each engine operation turns what the converter answered into its own
// result through the mapping it is meant to use. The converter here is a
// scripted port, so every failure can be produced on every command.
#include <functional>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "engine/ccmdengine.h"
#include "linkrig.h"
#include "scriptedserial.h"

namespace {

using tovik::test::Answer;
using tovik::test::Bytes;
using tovik::test::ScriptedSerial;
using tovik::test::ShippedResourceDir;
using tovik::test::TestPlatform;

enum class Wire {
    Answers,        // a well-formed answer to every command
    UnknownCommand, // 0xFF header
    ErrorStatus,    // status byte 1
    WrongCode,      // another command's answer code
    Silent,         // nothing at all
    WriteFails,     // the packet cannot be written
    ZeroChunk,      // transfer openings announce a chunk size of 0
};

Bytes GoodAnswer(const Bytes& packet, bool zeroChunk)
{
    const unsigned char code = packet[0];
    switch (code) {
    case 0x9E: { // read immediate: count echoed, then the bytes
        Bytes payload{packet[9]};
        payload.insert(payload.end(), packet[9], 0x5A);
        return Answer(code, payload);
    }
    case 0x9B:
        return Answer(code, Bytes(8, 'S'));
    case 0x97:
        return Answer(code, Bytes(8, 'N'));
    case 0xA3:
        return Answer(code, Bytes(16, 'N'));
    case 0x84:
    case 0xA2:
        return Answer(code, Bytes{2, 7});
    case 0x85:
    case 0x86:
    case 0x87:
    case 0xA1:
        return Answer(code, zeroChunk ? Bytes{0, 0} : Bytes{0, 16});
    default:
        return Answer(code);
    }
}

class EngineMappingTest : public ::testing::Test {
protected:
    EngineMappingTest()
        : _platform(ShippedResourceDir()),
          _port(new ScriptedSerial([this](const Bytes& packet) { return Respond(packet); })),
          _engine(_port, nullptr, &_platform, 0)
    {
        // One FPGA with a lookup table and a block with three parameters.
        CModuleTypeFPGA fpga;
        fpga._id = 0;
        fpga._interfaceID = 1;
        fpga._firmware._interfaceID = 2;
        fpga._firmware._revisionStart = 1;
        CModuleTypeLookupTable table;
        table._id = 0;
        table._start = 0x100;
        fpga._lookupTables[0] = table;
        CModuleTypeBlock block;
        block._id = 0;
        block._length = 41;
        block._params[1] = CModuleTypeParam{4, 1};
        block._params[2] = CModuleTypeParam{6, 2};
        block._params[4] = CModuleTypeParam{10, 4};
        fpga._blocks[0] = block;
        _engine.GetModuleType()._fpgas[0] = fpga;
    }

    Bytes Respond(const Bytes& packet)
    {
        switch (_wire) {
        case Wire::UnknownCommand:
            return Bytes{0xFF, 0x00, 0x04, 0x00};
        case Wire::ErrorStatus:
            return Answer(packet[0], Bytes(), 1);
        case Wire::WrongCode:
            return Answer(packet[0] + 1);
        case Wire::Silent:
            return Bytes();
        default:
            return GoodAnswer(packet, _wire == Wire::ZeroChunk);
        }
    }

    void Use(Wire wire)
    {
        _wire = wire;
        _port->_failWrites = wire == Wire::WriteFails;
        _port->_writes.clear();
    }

    TestPlatform _platform;
    Wire _wire = Wire::Answers;
    ScriptedSerial* _port;
    CCmdEngine _engine;
};

typedef std::function<int(CCmdEngine&)> Operation;

struct Case {
    const char* name;
    Operation op;
    Wire wire;
    int expected;
};

int ReadImmediate(CCmdEngine& e, UByte interfaceId)
{
    UByte data[4] = {};
    return e.ReadDeviceDataImmediate(interfaceId, 0, 0, data, sizeof(data));
}

int WriteImmediate(CCmdEngine& e, UByte interfaceId)
{
    const UByte data[2] = {1, 2};
    return e.WriteDeviceDataImmediate(interfaceId, 0, 0, data, sizeof(data));
}

int AppImage(CCmdEngine& e)
{
    std::istringstream image(std::string(40, 'x'));
    return e.UpdateAppFirmware(image, 40);
}

int SafeBootImage(CCmdEngine& e)
{
    std::istringstream image(std::string(40, 'x'));
    return e.UpdateSafeBootFirmware(image, 40);
}

int FPGAImage(CCmdEngine& e, UByte fpgaId)
{
    std::istringstream image(std::string(40, 'x'));
    return e.UpdateFPGAFirmware(fpgaId, image, 40, 0);
}

int LUTImage(CCmdEngine& e)
{
    std::istringstream image(std::string(40, 'x'));
    return e.UpdateLUTFirmware(0, 0, image, 40);
}

int ReadName(CCmdEngine& e)
{
    QString name;
    return e.ReadModuleName(name);
}

int ReadSerial(CCmdEngine& e)
{
    QString serial;
    return e.ReadSerialID(serial);
}

TEST_F(EngineMappingTest, OperationsMapTheirStatuses)
{
    const Case cases[] = {
        {"Reset answered", [](CCmdEngine& e) { return e.Reset(); }, Wire::Answers, 0},
        {"Reset unknown command", [](CCmdEngine& e) { return e.Reset(); }, Wire::UnknownCommand, -24},
        {"Reset error status", [](CCmdEngine& e) { return e.Reset(); }, Wire::ErrorStatus, -11},
        {"Reset wrong answer", [](CCmdEngine& e) { return e.Reset(); }, Wire::WrongCode, -13},
        {"Reset silent", [](CCmdEngine& e) { return e.Reset(); }, Wire::Silent, -10},
        {"Reset not written", [](CCmdEngine& e) { return e.Reset(); }, Wire::WriteFails, -68},

        {"read immediate answered", [](CCmdEngine& e) { return ReadImmediate(e, 1); }, Wire::Answers, 0},
        {"read immediate interface 4", [](CCmdEngine& e) { return ReadImmediate(e, 4); }, Wire::Answers, -18},
        {"read immediate unknown command", [](CCmdEngine& e) { return ReadImmediate(e, 1); }, Wire::UnknownCommand, -13},
        {"read immediate silent", [](CCmdEngine& e) { return ReadImmediate(e, 1); }, Wire::Silent, -10},
        {"write immediate interface 4", [](CCmdEngine& e) { return WriteImmediate(e, 4); }, Wire::Answers, -18},
        {"write immediate error status", [](CCmdEngine& e) { return WriteImmediate(e, 1); }, Wire::ErrorStatus, -11},
        {"write register not written", [](CCmdEngine& e) { return e.WriteRegister(1, 0, 3, 9); }, Wire::WriteFails, -68},

        {"serial write unknown command", [](CCmdEngine& e) { return e.WriteSerialID("X"); }, Wire::UnknownCommand, -13},
        {"serial write not written", [](CCmdEngine& e) { return e.WriteSerialID("X"); }, Wire::WriteFails, -68},
        {"serial read wrong answer", ReadSerial, Wire::WrongCode, -13},
        {"board write silent", [](CCmdEngine& e) { return e.WriteBoardAssemblyID("B"); }, Wire::Silent, -10},
        {"release write error status", [](CCmdEngine& e) { return e.WriteReleaseVersion(1, 3); }, Wire::ErrorStatus, -11},
        {"module info write unknown command", [](CCmdEngine& e) { return e.WriteModuleInfo(); }, Wire::UnknownCommand, -13},
        {"name read unknown command", ReadName, Wire::UnknownCommand, -13},
        {"name write not written", [](CCmdEngine& e) { return e.WriteModuleName("N"); }, Wire::WriteFails, -68},

        {"application image", AppImage, Wire::Answers, 0},
        {"application image chunk size 0", AppImage, Wire::ZeroChunk, -13},
        {"application image error status", AppImage, Wire::ErrorStatus, -11},
        {"application image silent", AppImage, Wire::Silent, -10},
        {"safe-boot image chunk size 0", SafeBootImage, Wire::ZeroChunk, -13},
        {"safe-boot image not written", SafeBootImage, Wire::WriteFails, -68},
        {"FPGA image", [](CCmdEngine& e) { return FPGAImage(e, 0); }, Wire::Answers, 0},
        {"FPGA image chunk size 0", [](CCmdEngine& e) { return FPGAImage(e, 0); }, Wire::ZeroChunk, -13},
        {"FPGA image of a missing FPGA", [](CCmdEngine& e) { return FPGAImage(e, 3); }, Wire::Answers, -19},
        {"lookup-table image", LUTImage, Wire::Answers, 0},
        {"lookup-table image chunk size 0", LUTImage, Wire::ZeroChunk, -13},
        {"lookup-table image unknown command", LUTImage, Wire::UnknownCommand, -13},
    };
    for (const Case& c : cases) {
        Use(c.wire);
        EXPECT_EQ(c.op(_engine), c.expected) << c.name;
    }
}

TEST_F(EngineMappingTest, OutOfRangeInterfaceSendsNothing)
{
    Use(Wire::Answers);
    EXPECT_EQ(ReadImmediate(_engine, 4), -18);
    EXPECT_EQ(WriteImmediate(_engine, 4), -18);
    EXPECT_TRUE(_port->_writes.empty());
}

TEST_F(EngineMappingTest, FailedReadLeavesTheCallersBuffer)
{
    Use(Wire::ErrorStatus);
    UByte data[4] = {9, 9, 9, 9};
    EXPECT_EQ(_engine.ReadDeviceDataImmediate(1, 0, 0, data, 4), -11);
    EXPECT_EQ(data[0], 9);
    EXPECT_EQ(_engine.ReadDeviceDataImmediate(1, 0, 0, nullptr, 4), -11);
}

TEST_F(EngineMappingTest, FirmwareVersionsAreReadBackAfterAnUpdate)
{
    Use(Wire::Answers);
    ASSERT_EQ(FPGAImage(_engine, 0), 0);
    EXPECT_EQ(*_engine.GetModuleType().FPGAVersion(0), CVersion(2, 7));
    // The image goes to the FPGA's firmware interface.
    EXPECT_EQ(_port->_writes.front()[0], 0x87);
    EXPECT_EQ(_port->_writes.front()[3], 2);
    EXPECT_EQ(_port->_writes.back()[0], 0x84);

    ASSERT_EQ(LUTImage(_engine), 0);
    EXPECT_EQ(*_engine.GetModuleType().LookupTableVersion(0, 0), CVersion(2, 7));
    EXPECT_EQ(_port->_writes.back()[0], 0xA2);
    EXPECT_FLOAT_EQ(_engine.GetProgress(), 1.0f);
}

TEST_F(EngineMappingTest, FixedLookupTableTargets)
{
    struct SlotCase {
        int slot;
        int expected;
        ULWord start;
    };
    const SlotCase cases[] = {{0, 0, 0x60000}, {1, 0, 0x70000}, {2, -11, 0}, {-1, -11, 0}};
    for (const SlotCase& c : cases) {
        Use(Wire::Answers);
        std::istringstream image(std::string(20, 'x'));
        EXPECT_EQ(_engine.UpdateLUTFirmwareSlot(c.slot, image, 20), c.expected) << c.slot;
        if (c.expected != 0) {
            EXPECT_TRUE(_port->_writes.empty());
            continue;
        }
        const Bytes& open = _port->_writes.front();
        ASSERT_EQ(open.size(), 18u);
        EXPECT_EQ(open[0], 0xA1);
        EXPECT_EQ(open[3], 1); // interface 1
        const ULWord start = ULWord(open[6]) << 24 | ULWord(open[7]) << 16 | ULWord(open[8]) << 8 | open[9];
        EXPECT_EQ(start, c.start) << c.slot;
    }
}

TEST_F(EngineMappingTest, SetWritesTheValueBigEndianAtTheEntry)
{
    struct SetCase {
        const char* name;
        Operation op;
        int expected;
        Bytes packet; // empty: nothing may be sent
    };
    const SetCase cases[] = {
        {"one byte", [](CCmdEngine& e) { return e.Set(1, 0, 0, UByte(0xAB)); }, 0,
         {0x8D, 0x00, 0x0A, 0, 0, 0x00, 0x04, 0x00, 0x01, 0xAB}},
        {"two bytes", [](CCmdEngine& e) { return e.Set(2, 0, 0, UWord(0x1234)); }, 0,
         {0x8D, 0x00, 0x0B, 0, 0, 0x00, 0x06, 0x00, 0x02, 0x12, 0x34}},
        {"four bytes", [](CCmdEngine& e) { return e.Set(4, 0, 0, ULWord(0x01020304)); }, 0,
         {0x8D, 0x00, 0x0D, 0, 0, 0x00, 0x0A, 0x00, 0x04, 1, 2, 3, 4}},
        {"two bytes into a four-byte entry", [](CCmdEngine& e) { return e.Set(4, 0, 0, UWord(1)); }, -11, {}},
        {"four bytes into a two-byte entry", [](CCmdEngine& e) { return e.Set(2, 0, 0, ULWord(1)); }, -11, {}},
        {"two bytes into a one-byte entry", [](CCmdEngine& e) { return e.Set(1, 0, 0, UWord(1)); }, -11, {}},
        {"missing parameter", [](CCmdEngine& e) { return e.Set(9, 0, 0, UByte(1)); }, 0, {}},
        {"missing block", [](CCmdEngine& e) { return e.Set(1, 0, 5, UByte(1)); }, 0, {}},
        {"missing FPGA", [](CCmdEngine& e) { return e.Set(1, 7, 0, UByte(1)); }, 0, {}},
    };
    for (const SetCase& c : cases) {
        Use(Wire::Answers);
        EXPECT_EQ(c.op(_engine), c.expected) << c.name;
        if (c.packet.empty()) {
            EXPECT_TRUE(_port->_writes.empty()) << c.name;
        } else {
            ASSERT_EQ(_port->_writes.size(), 1u) << c.name;
            EXPECT_EQ(_port->_writes[0], c.packet) << c.name;
        }
    }
}

} // namespace
