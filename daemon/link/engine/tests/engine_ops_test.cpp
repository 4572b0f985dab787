// Engine operations on an identified, simulated converter.
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "blocks/cconfigblockif.h"
#include "catalog/assemblyrecords.h"
#include "linkrig.h"

namespace {

using tovik::test::Bytes;
using tovik::test::Converter;
using tovik::test::EngineRig;
using tovik::test::SimRig;

using convsim::Fault;
using convsim::Personality;

Fault Refuse(int code)
{
    Fault f;
    f.kind = Fault::Kind::ErrorStatus;
    f.code = code;
    return f;
}

// A configuration block that moves its image with the transfer commands.
class ImageBlock : public CConfigBlockIF {
public:
    ImageBlock(UByte fpga, UByte block, int size, bool streams = false)
        : CConfigBlockIF(fpga, block), _image(size, 0), _streams(streams)
    {
    }
    void Reset() override {}
    bool SaveSettings(QSettings&) override { return true; }
    bool LoadSettings(QSettings&) override { return true; }
    int ReadFromDevice(CCommProtocol& comm) override
    {
        std::vector<UByte> buffer(_image.size());
        if (comm.ReadConfigData(_fpgaId, _blockId, buffer.data(), UWord(buffer.size())) != 0)
            return 0;
        _image = buffer;
        return int(_image.size());
    }
    int WriteToDevice(CCommProtocol& comm) override
    {
        return comm.WriteConfigData(_fpgaId, _blockId, _image.data(), UWord(_image.size()));
    }
    int StreamOutFPGA(CCommProtocol&) const override { return ++_streamed; }
    bool StreamsToFPGA() const override { return _streams; }

    std::vector<UByte> _image;
    bool _streams;
    mutable int _streamed = 0;
};

TEST(EngineOpsTest, ModuleNameFormFollowsTheApplicationVersion)
{
    struct Case {
        const char* name;
        convsim::Version app;
        size_t writeFrame; // packet size of the name write
        int readCode;
    };
    const Case cases[] = {
        {"0.38", {0, 38}, 19, 0xA3},
        {"0.99", {0, 99}, 19, 0xA3},
        {"0.37", {0, 37}, 11, 0x97},
        {"0.10", {0, 10}, 11, 0x97},
        {"1.0", {1, 0}, 11, 0x97},
        {"2.5", {2, 5}, 11, 0x97},
    };
    for (const Case& c : cases) {
        EngineRig rig;
        Personality p = Converter(5);
        p.appVersion = c.app;
        p.moduleName = "QUITE A LONG NAME";
        convsim::Simulator& sim = rig.Add(p);
        CCmdEngine& engine = rig.Engine();
        ASSERT_EQ(engine.Open(QString()), 0) << c.name;
        EXPECT_EQ(engine.GetModuleType()._moduleName, QStringLiteral("QUITE A ")) << c.name;

        EXPECT_EQ(engine.WriteModuleName(QStringLiteral("STUDIO B CAMERA 3")), 0) << c.name;
        const auto frames = SimRig::Frames(sim, 0x98);
        ASSERT_EQ(frames.size(), 1u) << c.name;
        EXPECT_EQ(frames[0].size(), c.writeFrame) << c.name;
        EXPECT_EQ(engine.GetModuleType()._moduleName, QStringLiteral("STUDIO B CAMERA 3")) << c.name;

        sim.ClearLog();
        EXPECT_EQ(engine.ReadModuleName(), 0) << c.name;
        ASSERT_EQ(SimRig::Codes(sim), std::vector<int>{c.readCode}) << c.name;
        const QString expected = c.writeFrame == 19 ? QStringLiteral("STUDIO B CAMERA ")
                                                    : QStringLiteral("STUDIO B");
        EXPECT_EQ(engine.GetModuleType()._moduleName, expected) << c.name;
    }
}

TEST(EngineOpsTest, RefusedNameLeavesTheOldName)
{
    struct Case {
        const char* name;
        Fault::Kind kind;
        int expected;
    };
    const Case cases[] = {
        {"error status", Fault::Kind::ErrorStatus, -11},
        {"unknown command", Fault::Kind::UnknownCommand, -13},
    };
    for (const Case& c : cases) {
        EngineRig rig;
        convsim::Simulator& sim = rig.Add(Converter(19));
        CCmdEngine& engine = rig.Engine();
        ASSERT_EQ(engine.Open(QString()), 0);
        Fault f = Refuse(0x98);
        f.kind = c.kind;
        sim.AddFault(f);
        EXPECT_EQ(engine.WriteModuleName(QStringLiteral("REFUSED")), c.expected) << c.name;
        EXPECT_EQ(engine.GetModuleType()._moduleName, QStringLiteral("QUASTEL")) << c.name;
        sim.ClearFaults();
        EXPECT_EQ(engine.WriteModuleName(QStringLiteral("TAKEN")), 0) << c.name;
        EXPECT_EQ(engine.GetModuleType()._moduleName, QStringLiteral("TAKEN")) << c.name;
    }
}

TEST(EngineOpsTest, RegistersAndImmediates)
{
    EngineRig rig;
    convsim::Simulator& sim = rig.Add(Converter(5));
    CCmdEngine& engine = rig.Engine();
    ASSERT_EQ(engine.Open(QString()), 0);

    UByte value = 0;
    EXPECT_EQ(engine.ReadRegister(1, 0, 0, &value), 0);
    EXPECT_EQ(value, 5); // register 0 holds the module type
    EXPECT_EQ(engine.WriteRegister(1, 0, 63, 0xC3), 0);
    EXPECT_EQ(sim.ReadRegisters(1, 0, 63, 1), convsim::Bytes{0xC3});

    UByte image[32] = {};
    EXPECT_EQ(engine.ReadDeviceDataImmediate(1, 0, 32, image, 32), 0);
    EXPECT_EQ(image[31], 0xC3);

    sim.ClearLog();
    value = 0x77;
    EXPECT_EQ(engine.ReadDeviceDataImmediate(4, 0, 0, &value, 1), -18);
    EXPECT_EQ(engine.WriteRegister(4, 0, 0, 1), -18);
    EXPECT_EQ(value, 0x77);
    EXPECT_TRUE(sim.Log().empty());
}

TEST(EngineOpsTest, ConfigurationBlocksAreRoutedToTheConverter)
{
    EngineRig rig;
    convsim::Simulator& sim = rig.Add(Converter(14));
    CCmdEngine& engine = rig.Engine();
    ASSERT_EQ(engine.Open(QString()), 0);

    ImageBlock block(0, 0, 41, true);
    ImageBlock stray(0, 9, 4); // the module has no block 9
    engine.AttachConfigBlock(&block);
    engine.AttachConfigBlock(&stray);
    engine.AttachConfigBlock(nullptr);

    EXPECT_EQ(engine.ReadConfiguration(), 0);
    EXPECT_TRUE(engine.IsConfigValid());
    EXPECT_EQ(convsim::Bytes(block._image.begin(), block._image.end()), sim.ConfigMemory(0, 0));

    block._image[0] = 0x42;
    EXPECT_EQ(engine.WriteConfigBlock(0, 0), 1);
    EXPECT_EQ(sim.ConfigMemory(0, 0).at(0), 0x42);
    EXPECT_EQ(engine.WriteConfigBlock(0, 9), 0);
    EXPECT_EQ(engine.WriteConfigBlock(3, 0), 0);

    EXPECT_EQ(engine.StreamOutConfigBlock(0, 0), 1);
    EXPECT_EQ(block._streamed, 1);
    EXPECT_EQ(engine.StreamOutConfigBlock(0, 9), 0);
    EXPECT_EQ(stray._streamed, 0);

    sim.AddFault(Refuse(0x8C));
    EXPECT_EQ(engine.ReadConfiguration(), -9);
    EXPECT_FALSE(engine.IsConfigValid());
    EXPECT_EQ(block._image[0], 0x42);
}

TEST(EngineOpsTest, OpenReadsAnAttachedBlockOnlyWhenTheRecordStillHoldsIt)
{
    // Attached blocks belong to a record; a new Open starts a new record.
    EngineRig rig;
    convsim::Simulator& sim = rig.Add(Converter(5));
    CCmdEngine& engine = rig.Engine();
    ASSERT_EQ(engine.Open(QString()), 0);
    ImageBlock block(0, 0, 41);
    engine.AttachConfigBlock(&block);
    sim.ClearLog();
    ASSERT_EQ(engine.Open(QString()), 0);
    EXPECT_TRUE(SimRig::Frames(sim, 0x8C).empty());
}

TEST(EngineOpsTest, IdentityWrites)
{
    EngineRig rig;
    convsim::Simulator& sim = rig.Add(Converter(18));
    CCmdEngine& engine = rig.Engine();
    ASSERT_EQ(engine.Open(QString()), 0);

    EXPECT_EQ(engine.WriteSerialID(QStringLiteral("SN123456")), 0);
    EXPECT_EQ(engine.GetModuleType()._serialID, QStringLiteral("SN123456"));
    EXPECT_EQ(sim.State().serialId.substr(0, 8), "SN123456");
    QString serial;
    EXPECT_EQ(engine.ReadSerialID(serial), 0);
    EXPECT_EQ(serial, QStringLiteral("SN123456"));

    EXPECT_EQ(engine.WriteBoardAssemblyID(QStringLiteral("B-77")), 0);
    EXPECT_EQ(engine.GetModuleType()._boardAssemblyID, QStringLiteral("B-77"));
    EXPECT_EQ(sim.State().boardAssemblyId.substr(0, 4), "B-77");

    EXPECT_EQ(engine.WriteReleaseVersion(2, 9), 0);
    EXPECT_EQ(engine.GetModuleType()._releaseVersion, CVersion(2, 9));
    EXPECT_EQ(sim.State().releaseVersion.minor, 9);
    sim.AddFault(Refuse(0x96));
    EXPECT_EQ(engine.WriteReleaseVersion(3, 0), -11);
    EXPECT_EQ(engine.GetModuleType()._releaseVersion, CVersion(2, 9));

    EXPECT_EQ(engine.WriteModuleInfo(), 0);
    EXPECT_EQ(engine.Reset(), 0);
    sim.AddFault([] {
        Fault f;
        f.kind = Fault::Kind::UnknownCommand;
        f.code = 0xA0;
        return f;
    }());
    EXPECT_EQ(engine.Reset(), -24);
}

TEST(EngineOpsTest, ChangeModuleType)
{
    EngineRig rig;
    convsim::Simulator& sim = rig.Add(Converter(5));
    CCmdEngine& engine = rig.Engine();
    ASSERT_EQ(engine.Open(QString()), 0);
    ImageBlock block(0, 0, 41);
    engine.AttachConfigBlock(&block);
    sim.ClearLog();
    const int typeChanges = rig._platform._typeChanges;

    EXPECT_EQ(engine.ChangeModuleType(19, CVersion(1, 2)), 0);
    EXPECT_EQ(sim.State().moduleType, 19);
    EXPECT_EQ(engine.GetModuleType()._moduleTypeID, 19);
    EXPECT_EQ(engine.GetModuleType()._releaseVersion, CVersion(1, 2));
    EXPECT_EQ(rig._platform._typeChanges, typeChanges + 1);
    EXPECT_EQ(SimRig::Codes(sim), (std::vector<int>{0x9F, 0x96, 0x81, 0x82, 0x84}));
    EXPECT_EQ(*engine.GetModuleType().FPGAVersion(0), CVersion(1, 0));

    sim.ClearLog();
    sim.AddFault(Refuse(0x9F));
    EXPECT_EQ(engine.ChangeModuleType(14, CVersion(1, 2)), -11);
    EXPECT_EQ(SimRig::Codes(sim), std::vector<int>{0x9F});
    EXPECT_EQ(engine.GetModuleType()._moduleTypeID, 19);
    EXPECT_EQ(engine.ChangeModuleType(300, CVersion(1, 2)), -11);
}

TEST(EngineOpsTest, ChangeModuleTypeNeedsADescribedModule)
{
    EngineRig rig;
    Personality p = Converter(5);
    p.moduleState = 0;
    convsim::Simulator& sim = rig.Add(p);
    CCmdEngine& engine = rig.Engine();
    ASSERT_EQ(engine.Open(QString()), 0);
    sim.ClearLog();
    EXPECT_EQ(engine.ChangeModuleType(5, CVersion(1, 2)), -22);
    EXPECT_TRUE(sim.Log().empty());
}

TEST(EngineOpsTest, FirmwareImagesReachTheConverter)
{
    EngineRig rig;
    convsim::Simulator& sim = rig.Add(Converter(5));
    CCmdEngine& engine = rig.Engine();
    ASSERT_EQ(engine.Open(QString()), 0);

    const std::string bytes(100, '\x3C');
    std::istringstream app(bytes);
    EXPECT_EQ(engine.UpdateAppFirmware(app, UWord(bytes.size())), 0);
    std::istringstream fpga(bytes);
    EXPECT_EQ(engine.UpdateFPGAFirmware(0, fpga, ULWord(bytes.size()), 0), 0);
    std::istringstream shortImage(std::string(10, 'x'));
    EXPECT_EQ(engine.UpdateSafeBootFirmware(shortImage, 40), -12);

    const auto images = sim.FirmwareImages();
    ASSERT_GE(images.size(), 2u);
    EXPECT_EQ(images[0].code, 0x86);
    EXPECT_EQ(images[0].data.size(), bytes.size());
    EXPECT_EQ(images[1].code, 0x87);
    EXPECT_EQ(*engine.GetModuleType().FPGAVersion(0), CVersion(1, 0));
}

TEST(EngineOpsTest, SingleParametersAndFPGAVersionProbe)
{
    EngineRig rig;
    convsim::Simulator& sim = rig.Add(Converter(5));
    CCmdEngine& engine = rig.Engine();
    ASSERT_EQ(engine.Open(QString()), 0);
    CModuleTypeBlock* block = engine.GetModuleType().FindFPGA(0)->FindBlock(0);
    block->_params[1] = CModuleTypeParam{2, 2};
    block->_params[2] = CModuleTypeParam{8, 1};

    EXPECT_EQ(engine.Set(1, 0, 0, UWord(0xBEEF)), 0);
    EXPECT_EQ(sim.ConfigMemory(0, 0).at(2), 0xBE);
    EXPECT_EQ(sim.ConfigMemory(0, 0).at(3), 0xEF);
    EXPECT_EQ(engine.Set(1, 0, 0, ULWord(1)), -11);

    UByte value = 0;
    EXPECT_EQ(engine.ReadParameter(1, 0, 0, value), 0);
    EXPECT_EQ(value, 0xBE);
    EXPECT_EQ(engine.Set(2, 0, 0, UByte(0x5D)), 0);
    EXPECT_EQ(engine.ReadParameter(2, 0, 0, value), 0);
    EXPECT_EQ(value, 0x5D);
    value = 1;
    EXPECT_EQ(engine.ReadParameter(7, 0, 0, value), -11);
    EXPECT_EQ(value, 1);

    sim.WriteRegisters(1, 0, 1, {2, 7});
    EXPECT_EQ(engine.ProbeFPGAVersion(), 9);
    sim.AddFault(Refuse(0x84));
    EXPECT_EQ(engine.ProbeFPGAVersion(), 0);
}

TEST(EngineOpsTest, LoadAssembliesFillsTheTypesRecords)
{
    EngineRig rig;
    rig.Add(Converter(5));
    CCmdEngine& engine = rig.Engine();
    AssemblyRecords records;
    engine.LoadAssemblies(19, &records);
    ASSERT_NE(records.Find(1), nullptr);
    EXPECT_EQ(records.Find(1)->_releaseVersion, CVersion(1, 2));
    EXPECT_EQ(records.Find(1)->_moduleTypeFile, QStringLiteral("types/quastel/quastel.xml"));

    AssemblyRecords untouched;
    engine.LoadAssemblies(19, &untouched);
    engine.LoadAssemblies(40, &untouched);
    EXPECT_NE(untouched.Find(1), nullptr);
}

} // namespace
