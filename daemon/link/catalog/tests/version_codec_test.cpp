// Version texts, name tables, the module description bytes and the
// module-info reply.
#include <gtest/gtest.h>

#include <vector>

#include "catalog/cmoduletype.h"

namespace {

QByteArray bytesOf(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

TEST(CVersionText, ShowsNonePendingOrNumbers)
{
    struct Case { UByte major, minor; const char* text; };
    const Case cases[] = {
        {0, 0, "None"}, {255, 255, "None"},
        {254, 3, "Pending"}, {254, 0, "Pending"}, {0, 255, "Pending"}, {7, 255, "Pending"}, {254, 255, "Pending"},
        {255, 254, "255.254"}, {255, 7, "255.7"}, {0, 3, "0.3"}, {1, 0, "1.0"}, {1, 2, "1.2"}, {253, 254, "253.254"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CVersion(c.major, c.minor).ToText(), QString::fromLatin1(c.text))
            << int(c.major) << "." << int(c.minor);
}

TEST(CVersionText, ParsesTwoDecimalParts)
{
    struct Case { const char* text; UByte major, minor; };
    const Case cases[] = {
        {"2.10", 2, 10}, {"1.2", 1, 2}, {"2", 0, 0}, {"2.1.0", 0, 0}, {"2.", 2, 0}, {".5", 0, 5},
        {"300.1", 44, 1}, {"", 0, 0}, {"a.b", 0, 0}, {"x.7", 0, 7}, {"0x10.1", 0, 1}, {"-1.3", 255, 3},
        {"99999999999.4", 0, 4},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CVersion::FromText(QString::fromLatin1(c.text)), CVersion(c.major, c.minor)) << c.text;
}

TEST(CVersionText, NullVersionAndOrdering)
{
    EXPECT_EQ(CVersion::_nullVersion, CVersion(255, 255));
    EXPECT_EQ(CVersion(), CVersion::_nullVersion);
    EXPECT_TRUE(CVersion(0, 0).IsNone());
    EXPECT_FALSE(CVersion(0, 1).IsNone());
    EXPECT_LT(CVersion(1, 255).Value(), CVersion(2, 0).Value());
}

TEST(NameTables, ModuleTypesAreIndexedByIdAndMatchedExactly)
{
    ASSERT_EQ(CModuleType::_moduleTypeIDNames.size(), 34u);
    for (size_t i = 0; i < CModuleType::_moduleTypeIDNames.size(); ++i) {
        const CModuleTypeIDName& entry = CModuleType::_moduleTypeIDNames[i];
        EXPECT_EQ(entry.id, int(i));
        EXPECT_EQ(entry.name, QString::fromLatin1(entry.text));
        if (i > 0) {
            EXPECT_EQ(ModuleTypeFromName(entry.name), int(i)) << entry.text;
        }
    }
    struct Case { const char* name; int id; };
    const Case cases[] = {
        {"HESTRA", 5}, {"MARDEX", 14}, {"PENDRO", 18}, {"QUASTEL", 19}, {"ARVEL", 1}, {"FORNEL", 33},
        {"LOMRIK", 15}, {"hestra", 0}, {"Hestra", 0}, {"HESTRA ", 0}, {"Pending", 0}, {"", 0}, {"Unknown", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ModuleTypeFromName(QString::fromLatin1(c.name)), c.id) << c.name;
}

TEST(NameTables, Interfaces)
{
    struct Case { const char* name; int id; };
    const Case cases[] = {
        {"I2C", 0}, {"SPI Control", 1}, {"SPI Config", 2}, {"JTAG", 3},
        {"i2c", -1}, {"SPI", -1}, {"", -1}, {"jtag", -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(InterfaceFromName(QString::fromLatin1(c.name)), c.id) << c.name;
}

CModuleTypeBlock makeBlock(UByte id, UWord start, UWord length)
{
    CModuleTypeBlock block;
    block._id = id;
    block._start = start;
    block._length = length;
    return block;
}

TEST(ModuleDescription, AppendsFpgasAndBlocksInIdOrder)
{
    CModuleType empty;
    QByteArray out;
    empty.AppendInfo(out);
    EXPECT_EQ(out, bytesOf({0x00}));

    CModuleType module;
    CModuleTypeFPGA& second = module._fpgas[2];
    second._id = 2;
    second._interfaceID = 3;
    second._deviceID = 0x1A5; // low 8 bits travel
    CModuleTypeFPGA& first = module._fpgas[0];
    first._id = 0;
    first._interfaceID = -1;
    first._deviceID = 4;
    first._blocks[7] = makeBlock(7, 0x1234, 0x0010);
    first._blocks[1] = makeBlock(1, 3, 41);
    first._lookupTables[0]._name = QStringLiteral("not sent");

    out.clear();
    module.AppendInfo(out);
    EXPECT_EQ(out, bytesOf({2,
                            0, 2, 0xFF, 4,
                            1, 0x00, 0x03, 0x00, 41,
                            7, 0x12, 0x34, 0x00, 0x10,
                            2, 0, 3, 0xA5}));
}

TEST(ModuleDescription, BlockParseNeedsSevenBytes)
{
    const UByte bytes[] = {9, 0x12, 0x34, 0x00, 0x10, 0xEE, 0xEE};
    for (int count = 0; count <= 7; ++count) {
        CModuleTypeBlock block = makeBlock(1, 2, 3);
        const int used = block.Parse(bytes, count);
        if (count < 7) {
            EXPECT_EQ(used, 0) << count;
            EXPECT_EQ(block._id, 1);
            EXPECT_EQ(block._start, 2);
            EXPECT_EQ(block._length, 3);
        } else {
            EXPECT_EQ(used, 5);
            EXPECT_EQ(block._id, 9);
            EXPECT_EQ(block._start, 0x1234);
            EXPECT_EQ(block._length, 0x0010);
        }
    }
}

TEST(ModuleDescription, FpgaParseStopsAtUnreadableBlock)
{
    // Two blocks announced, bytes for the first one only (plus two spare):
    // the second is not read and must not clobber block 0.
    const UByte bytes[] = {5, 2, 3, 0x00, 0x03, 0x00, 41, 0xAA, 0xBB};
    CModuleTypeFPGA fpga;
    fpga._blocks[0] = makeBlock(0, 100, 200);
    const int used = fpga.Parse(bytes, int(sizeof bytes));
    EXPECT_EQ(used, 7);
    EXPECT_EQ(fpga._id, 5);
    ASSERT_EQ(fpga._blocks.size(), 2u);
    EXPECT_EQ(fpga._blocks[0]._start, 100);
    EXPECT_EQ(fpga._blocks[0]._length, 200);
    EXPECT_EQ(fpga._blocks[3]._start, 3);
    EXPECT_EQ(fpga._blocks[3]._length, 41);

    CModuleTypeFPGA tooShort;
    EXPECT_EQ(tooShort.Parse(bytes, 1), 0);
    EXPECT_EQ(tooShort.Parse(nullptr, 0), 0);
    EXPECT_TRUE(tooShort._blocks.empty());
}

TEST(ModuleDescription, FpgaParseReplacesBlockButKeepsAttachment)
{
    const UByte bytes[] = {0, 1, 4, 0x00, 0x10, 0x00, 0x20, 0, 0};
    CModuleTypeFPGA fpga;
    fpga._blocks[4] = makeBlock(4, 1, 1);
    fpga._blocks[4]._name = QStringLiteral("old");
    auto* marker = reinterpret_cast<CConfigBlockIF*>(&fpga);
    fpga._blocks[4]._block = marker;
    EXPECT_EQ(fpga.Parse(bytes, int(sizeof bytes)), 7);
    EXPECT_EQ(fpga._blocks[4]._start, 0x10);
    EXPECT_EQ(fpga._blocks[4]._length, 0x20);
    EXPECT_TRUE(fpga._blocks[4]._name.isEmpty());
    EXPECT_EQ(fpga._blocks[4]._block, marker);
}

TEST(ModuleInfoReply, ReadsVersionsAndStatusByte)
{
    struct Case {
        std::vector<UByte> bytes;
        int used;
        CVersion safeBoot, app;
        int infoFlag, state;
    };
    const CVersion none = CVersion::_nullVersion;
    const Case cases[] = {
        {{1, 2, 3, 4, 0x81}, 5, {1, 2}, {3, 4}, 1, 1},
        {{1, 0, 1, 0, 0x01}, 5, {1, 0}, {1, 0}, 0, 1},
        {{9, 9, 0, 38, 0x00}, 5, {9, 9}, {0, 38}, 0, 0},
        {{1, 2, 3, 4, 0xFF, 0x77}, 5, {1, 2}, {3, 4}, 1, 0x7F},
        {{1, 2, 3, 4}, 4, {1, 2}, {3, 4}, 0, -1},   // no status byte: not read
        {{1, 2, 0x85}, 3, {1, 2}, none, 1, 5},
        {{0x82}, 1, none, none, 1, 2},
        {{}, 0, none, none, 0, -1},
    };
    for (const Case& c : cases) {
        CModuleType module;
        EXPECT_EQ(module.ParseInfoReply(c.bytes.data(), int(c.bytes.size())), c.used);
        EXPECT_EQ(module._safeBootVersion.version, c.safeBoot);
        EXPECT_EQ(module._cncAppVersion.version, c.app);
        EXPECT_EQ(module._infoFlag, c.infoFlag);
        EXPECT_EQ(module._moduleState, c.state);
        EXPECT_TRUE(module._safeBootVersion.label.isEmpty());
    }
}

TEST(ModuleRecord, DefaultsAndMissingLookups)
{
    CModuleType module;
    EXPECT_EQ(module._moduleTypeID, 0);
    EXPECT_EQ(module._releaseVersion, CVersion(0, 0));
    EXPECT_EQ(module._safeBootVersion.version, CVersion::_nullVersion);
    EXPECT_EQ(module._moduleState, -1);

    EXPECT_FALSE(module.HasFPGA(0));
    EXPECT_EQ(module.FindFPGA(0), nullptr);
    EXPECT_EQ(module.DefaultFPGA(), nullptr);
    EXPECT_TRUE(module.FPGAName(0).isEmpty());
    EXPECT_EQ(module.FPGAFirmwareInterface(0), -1);
    EXPECT_EQ(module.FPGAFirmwareDevice(0), 0);
    EXPECT_EQ(module.FPGAFirmwareStart(0), 0);
    EXPECT_EQ(module.FPGAVersion(0), nullptr);
    EXPECT_EQ(module.LookupTableVersion(0, 0), nullptr);
    EXPECT_TRUE(module.FPGAIds().empty());
    EXPECT_TRUE(module._fpgas.empty()); // nothing created on lookup

    CModuleTypeFPGA& fpga = module._fpgas[3];
    fpga._id = 3;
    fpga._name = QStringLiteral("Scaler");
    fpga._firmware._interfaceID = 2;
    fpga._firmware._deviceID = 0x1FF;
    fpga._firmware._start = 0x40000;
    fpga._lookupTables[2].version = CVersion(4, 5);
    fpga._lookupTables[1];
    module._fpgas[1]._id = 1;
    module._fpgaID = 3;

    EXPECT_EQ(module.DefaultFPGA(), &fpga);
    EXPECT_EQ(module.FPGAName(3), QStringLiteral("Scaler"));
    EXPECT_EQ(module.FPGAFirmwareInterface(3), 2);
    EXPECT_EQ(module.FPGAFirmwareDevice(3), 0xFF);
    EXPECT_EQ(module.FPGAFirmwareStart(3), 0x40000);
    EXPECT_EQ(module.FPGAVersion(3), &fpga._firmware.version);
    ASSERT_NE(module.LookupTableVersion(3, 2), nullptr);
    EXPECT_EQ(*module.LookupTableVersion(3, 2), CVersion(4, 5));
    EXPECT_EQ(module.LookupTableVersion(3, 9), nullptr);
    EXPECT_EQ(module.FPGAIds(), (std::vector<UByte>{1, 3}));
    EXPECT_EQ(fpga.LookupTableIds(), (std::vector<UByte>{1, 2}));
    EXPECT_EQ(fpga.FindLookupTable(7), nullptr);
    EXPECT_EQ(fpga.FindBlock(0), nullptr);
    EXPECT_EQ(fpga._lookupTables.size(), 2u);
}

TEST(ModuleRecord, ResetVersions)
{
    CModuleType module;
    module._moduleTypeID = 5;
    module._releaseVersion = CVersion(1, 2);
    module._safeBootVersion.version = CVersion(1, 0);
    module._cncAppVersion.version = CVersion(1, 0);
    module._fpgas[0]._firmware.version = CVersion(1, 0);
    module._fpgas[4]._firmware.version = CVersion(2, 0);
    module.ResetVersions();
    EXPECT_EQ(module._moduleTypeID, 0);
    EXPECT_EQ(module._safeBootVersion.version, CVersion::_nullVersion);
    EXPECT_EQ(module._cncAppVersion.version, CVersion::_nullVersion);
    EXPECT_EQ(module._fpgas[0]._firmware.version, CVersion::_nullVersion);
    EXPECT_EQ(module._fpgas[4]._firmware.version, CVersion::_nullVersion);
    EXPECT_EQ(module._releaseVersion, CVersion(1, 2));
}

} // namespace
