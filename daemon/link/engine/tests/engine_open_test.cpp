// Identification of simulated converters over pseudo-terminals.
#include <vector>

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "catalog/cmoduletype.h"
#include "linkrig.h"
#include "messagelog.h"

namespace {

using tovik::test::Bytes;
using tovik::test::Converter;
using tovik::test::CopyShippedTypes;
using tovik::test::EngineRig;
using tovik::test::ShippedResourceDir;
using tovik::test::SimRig;
using tovik::test::WriteTextFile;

using convsim::Fault;
using convsim::Personality;

const std::vector<int> kIdentification = {0x80, 0x81, 0x9B, 0x95, 0x99, 0x83, 0x97, 0x84};

TEST(EngineOpenTest, IdentifiesAScalerAndItsDescription)
{
    EngineRig rig;
    convsim::Simulator& sim = rig.Add(Converter(5));
    CCmdEngine& engine = rig.Engine();
    EXPECT_EQ(rig._platform._typeChanges, 0); // type 0 is not in the catalogue

    EXPECT_EQ(engine.Open(QString()), 0);
    EXPECT_TRUE(engine.IsConnected());
    EXPECT_TRUE(engine.IsConfigValid());
    EXPECT_EQ(SimRig::Codes(sim), kIdentification);

    const CModuleType& m = engine.GetModuleType();
    EXPECT_EQ(m._moduleTypeID, 5);
    EXPECT_EQ(m._serialID, QStringLiteral("SIM05001"));
    EXPECT_EQ(m._moduleName, QStringLiteral("HESTRA"));
    EXPECT_EQ(m._releaseVersion, CVersion(1, 2));
    EXPECT_TRUE(m._boardAssemblyID.isEmpty());
    EXPECT_EQ(m._moduleState, 1);
    EXPECT_EQ(m._cncAppVersion.version, CVersion(1, 0));
    ASSERT_TRUE(m.HasFPGA(0));
    EXPECT_EQ(*engine.GetModuleType().FPGAVersion(0), CVersion(1, 0));
    ASSERT_NE(m.FindFPGA(0)->FindBlock(0), nullptr);
    EXPECT_EQ(m.FindFPGA(0)->FindBlock(0)->_length, 41);
    EXPECT_EQ(rig._platform._typeChanges, 1);
    EXPECT_EQ(rig._platform._newConnections, 1);
}

TEST(EngineOpenTest, EarlyEndsOfIdentification)
{
    struct Case {
        const char* name;
        Personality converter;
        std::vector<Fault> faults;
        int expected;
        bool connected;
        std::vector<int> codes;
    };
    auto withProtocol = [](int version) {
        Personality p = Converter(5);
        p.protocolVersion = uint8_t(version);
        return p;
    };
    auto fault = [](Fault::Kind kind, int code) {
        Fault f;
        f.kind = kind;
        f.code = code;
        return f;
    };
    const Case cases[] = {
        {"protocol version 2", withProtocol(2), {}, -2, false, {0x80}},
        {"protocol version 0", withProtocol(0), {}, -2, false, {0x80}},
        {"protocol version refused", Converter(5), {fault(Fault::Kind::UnknownCommand, 0x80)}, -1, false, {0x80}},
        {"module information refused", Converter(5), {fault(Fault::Kind::ErrorStatus, 0x81)}, -6, false, {0x80, 0x81}},
        {"module type read wrong answer", Converter(5), {fault(Fault::Kind::WrongCode, 0x83)}, -13, true,
         {0x80, 0x81, 0x9B, 0x95, 0x99, 0x83}},
        {"module type read unknown", Converter(5), {fault(Fault::Kind::UnknownCommand, 0x83)}, -13, true,
         {0x80, 0x81, 0x9B, 0x95, 0x99, 0x83}},
        {"module type read error status", Converter(5), {fault(Fault::Kind::ErrorStatus, 0x83)}, -11, true,
         {0x80, 0x81, 0x9B, 0x95, 0x99, 0x83}},
        {"module type read times out", Converter(5), {fault(Fault::Kind::Silence, 0x83)}, -10, true,
         {0x80, 0x81, 0x9B, 0x95, 0x99, 0x83}},
    };
    for (const Case& c : cases) {
        EngineRig rig;
        convsim::Simulator& sim = rig.Add(c.converter);
        for (const Fault& f : c.faults)
            sim.AddFault(f);
        CCmdEngine& engine = rig.Engine();
        testing::internal::CaptureStderr();
        const int result = engine.Open(QString());
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(result, c.expected) << c.name;
        EXPECT_EQ(engine.IsConnected(), c.connected) << c.name;
        EXPECT_EQ(SimRig::Codes(sim), c.codes) << c.name;
        EXPECT_EQ(rig._platform._newConnections, 0) << c.name;
        // Only a failed version command is reported, with the protocol's status.
        const std::string versionFailed = "ReadProtocolVersion failed -2\n";
        EXPECT_EQ(said.find(versionFailed) != std::string::npos, c.expected == -1) << c.name << ": " << said;
    }
}

TEST(EngineOpenTest, UnconfiguredModuleOpensAsTypeZero)
{
    EngineRig rig;
    Personality p = Converter(5);
    p.moduleState = 0;
    convsim::Simulator& sim = rig.Add(p);
    CCmdEngine& engine = rig.Engine();

    EXPECT_EQ(engine.Open(QString()), 0);
    EXPECT_TRUE(engine.IsConnected());
    EXPECT_EQ(SimRig::Codes(sim), (std::vector<int>{0x80, 0x81}));
    const CModuleType& m = engine.GetModuleType();
    EXPECT_EQ(m._moduleTypeID, 0);
    EXPECT_TRUE(m._moduleName.isEmpty());
    EXPECT_TRUE(m._serialID.isEmpty());
    EXPECT_TRUE(m._boardAssemblyID.isEmpty());
    EXPECT_EQ(m._releaseVersion, CVersion(0, 0));
    EXPECT_TRUE(m._fpgas.empty());
    EXPECT_EQ(rig._platform._newConnections, 1);
}

TEST(EngineOpenTest, ModuleTypesOutsideTheCatalogue)
{
    QTemporaryDir onlyHestra;
    ASSERT_TRUE(CopyShippedTypes(onlyHestra.path(), {QStringLiteral("hestra")}));
    struct Case {
        const char* name;
        int type;
        QString resources;
        bool above1, above2;
        int expected;
        bool connected;
        int recordType;
    };
    const Case cases[] = {
        {"type 40", 40, ShippedResourceDir(), false, false, -5, false, 0},
        {"type 30 not installed", 30, onlyHestra.path(), false, false, -21, false, 0},
        {"type 5 installed", 5, onlyHestra.path(), false, false, 0, true, 5},
        // In a privileged run mode the converter goes on as type 0, which
        // has no description, so there is no configuration to read.
        {"type 40, run mode above 1", 40, ShippedResourceDir(), true, false, -9, true, 0},
        {"type 40, run mode above 2", 40, ShippedResourceDir(), false, true, -9, true, 0},
        {"type 30 not installed, privileged", 30, onlyHestra.path(), true, true, -9, true, 0},
    };
    for (const Case& c : cases) {
        EngineRig rig(c.resources);
        rig._platform._above1 = c.above1;
        rig._platform._above2 = c.above2;
        Personality p = Converter(5);
        p.moduleType = uint8_t(c.type);
        convsim::Simulator& sim = rig.Add(p);
        CCmdEngine& engine = rig.Engine();
        EXPECT_EQ(engine.Open(QString()), c.expected) << c.name;
        EXPECT_EQ(engine.IsConnected(), c.connected) << c.name;
        EXPECT_EQ(engine.GetModuleType()._moduleTypeID, c.recordType) << c.name;
        if (!c.connected) {
            EXPECT_EQ(SimRig::Codes(sim).back(), 0x83) << c.name;
        }
    }
}

TEST(EngineOpenTest, ModuleTypeZeroFromAConfiguredConverter)
{
    EngineRig rig;
    Personality p = Converter(5);
    p.moduleType = 0;
    rig.Add(p);
    CCmdEngine& engine = rig.Engine();
    EXPECT_EQ(engine.Open(QString()), -9);
    EXPECT_TRUE(engine.IsConnected());
    EXPECT_EQ(engine.GetModuleType()._moduleTypeID, 0);
    EXPECT_TRUE(engine.GetModuleType()._fpgas.empty());
    EXPECT_EQ(rig._platform._typeChanges, 0);
    EXPECT_EQ(rig._platform._newConnections, 1);
}

TEST(EngineOpenTest, ReleaseWithoutDescriptionLeavesNoConfiguration)
{
    EngineRig rig;
    Personality p = Converter(14);
    p.releaseVersion = {1, 3};
    convsim::Simulator& sim = rig.Add(p);
    CCmdEngine& engine = rig.Engine();
    EXPECT_EQ(engine.Open(QString()), -9);
    EXPECT_TRUE(engine.IsConnected());
    EXPECT_FALSE(engine.IsConfigValid());
    EXPECT_EQ(engine.GetModuleType()._moduleTypeID, 14);
    EXPECT_EQ(engine.GetModuleType()._releaseVersion, CVersion(1, 3));
    EXPECT_TRUE(engine.GetModuleType()._fpgas.empty());
    // Without FPGAs no firmware version is asked for.
    EXPECT_EQ(SimRig::Codes(sim), (std::vector<int>{0x80, 0x81, 0x9B, 0x95, 0x99, 0x83, 0x97}));
}

TEST(EngineOpenTest, ExpectedSerial)
{
    struct Case {
        const char* name;
        std::string serial;
        QString expected;
        int result;
    };
    const Case cases[] = {
        {"any serial", "SIM05001", QString(), 0},
        {"matching", "SIM05001", QStringLiteral("SIM05001"), 0},
        {"another module", "SIM05001", QStringLiteral("SIM05002"), -23},
        {"erased serial field", std::string(8, '\xFF'), QStringLiteral("SIM05002"), 0},
    };
    for (const Case& c : cases) {
        EngineRig rig;
        Personality p = Converter(5);
        p.serialId = c.serial;
        convsim::Simulator& sim = rig.Add(p);
        CCmdEngine& engine = rig.Engine();
        EXPECT_EQ(engine.Open(c.expected), c.result) << c.name;
        if (c.result == -23) {
            EXPECT_EQ(SimRig::Codes(sim).back(), 0x9B) << c.name;
        }
    }
}

TEST(EngineOpenTest, FailedIdentityReadsLeaveTheirPresets)
{
    EngineRig rig;
    convsim::Simulator& sim = rig.Add(Converter(5));
    for (int code : {0x9B, 0x95, 0x99, 0x97}) {
        Fault f;
        f.kind = Fault::Kind::ErrorStatus;
        f.code = code;
        sim.AddFault(f);
    }
    CCmdEngine& engine = rig.Engine();
    // Without a release the latest assembly's description is taken.
    EXPECT_EQ(engine.Open(QString()), 0);
    const CModuleType& m = engine.GetModuleType();
    EXPECT_TRUE(m.HasFPGA(0));
    EXPECT_TRUE(m._serialID.isEmpty());
    EXPECT_TRUE(m._moduleName.isEmpty());
    EXPECT_EQ(m._releaseVersion, CVersion(255, 255));
    EXPECT_EQ(m._moduleTypeID, 5);
}

// A type with two FPGAs, the first with a lookup table.
void WriteTwoFPGADescription(const QString& dir)
{
    WriteTextFile(dir, QStringLiteral("types/jastel/assembly.xml"), QStringLiteral(
        "<?xml version=\"1.0\"?>\n<Assemblies><Module version=\"0.1\" type=\"JASTEL\">"
        "<Assembly id=\"1\"><Release version=\"1.2\"/><ModuleType filename=\"types/jastel/jastel.xml\"/>"
        "<SafeBoot version=\"1.0\"/><CNCApp version=\"1.0\"/><FPGA id=\"0\" version=\"1.0\"/>"
        "<FPGA id=\"1\" version=\"3.4\"/></Assembly></Module></Assemblies>\n"));
    WriteTextFile(dir, QStringLiteral("types/jastel/jastel.xml"), QStringLiteral(
        "<?xml version=\"1.0\"?>\n<ModuleTypes><ModuleType version=\"0.1\" type=\"JASTEL\" fpgaID=\"0\" addr=\"0\">"
        "<FPGA id=\"0\" name=\"Main\" interfaceID=\"SPI Control\" deviceID=\"0\">"
        "<FirmwareRevision start=\"1\"/><LookupTable id=\"0\" name=\"Lut\" deviceID=\"0\" start=\"16\" length=\"4\"/></FPGA>"
        "<FPGA id=\"1\" name=\"Aux\" interfaceID=\"SPI Control\" deviceID=\"1\"><FirmwareRevision start=\"1\"/></FPGA>"
        "</ModuleType></ModuleTypes>\n"));
}

TEST(EngineOpenTest, FirmwareVersionStepEndsAtTheFirstFailedFPGA)
{
    QTemporaryDir resources;
    WriteTwoFPGADescription(resources.path());
    struct Case {
        const char* name;
        unsigned failingRead; // 0: none
        CVersion fpga0, table0, fpga1;
        std::vector<int> tail;
    };
    const CVersion none(255, 255);
    const Case cases[] = {
        {"all read", 0, CVersion(1, 0), CVersion(2, 5), CVersion(3, 4), {0x84, 0xA2, 0x84}},
        {"first FPGA fails", 1, none, CVersion(0, 0), none, {0x84}},
        {"second FPGA fails", 2, CVersion(1, 0), CVersion(2, 5), none, {0x84, 0xA2, 0x84}},
    };
    for (const Case& c : cases) {
        EngineRig rig(resources.path());
        convsim::Simulator& sim = rig.Add(Converter(12));
        sim.WriteRegisters(1, 1, 1, {3, 4});
        sim.WriteRegisters(1, 0, 17, {2, 5});
        if (c.failingRead) {
            Fault f;
            f.kind = Fault::Kind::ErrorStatus;
            f.code = 0x84;
            f.nth = c.failingRead;
            sim.AddFault(f);
        }
        CCmdEngine& engine = rig.Engine();
        EXPECT_EQ(engine.Open(QString()), 0) << c.name;
        CModuleType& m = engine.GetModuleType();
        ASSERT_EQ(m.FPGAIds(), (std::vector<UByte>{0, 1})) << c.name;
        EXPECT_EQ(*m.FPGAVersion(0), c.fpga0) << c.name;
        EXPECT_EQ(*m.LookupTableVersion(0, 0), c.table0) << c.name;
        EXPECT_EQ(*m.FPGAVersion(1), c.fpga1) << c.name;
        const std::vector<int> codes = SimRig::Codes(sim);
        const std::vector<int> tail(codes.begin() + 7, codes.end());
        EXPECT_EQ(tail, c.tail) << c.name;
        // The lookup table's version sits one past its start.
        if (!c.failingRead || c.failingRead == 2) {
            const convsim::Bytes frame = SimRig::Frames(sim, 0xA2).at(0);
            EXPECT_EQ(frame.back(), 17) << c.name;
        }
    }
}

TEST(EngineOpenTest, SecondConverterStartsFromAFreshRecord)
{
    struct Case {
        const char* name;
        Personality second;
        int expected;
        int type;
    };
    Personality unconfigured = Converter(7);
    unconfigured.moduleState = 0;
    Personality undescribed = Converter(7);
    undescribed.releaseVersion = {1, 3};
    const Case cases[] = {
        {"unconfigured module", unconfigured, 0, 0},
        {"release without description", undescribed, -9, 7},
    };
    for (const Case& c : cases) {
        EngineRig rig;
        rig.Add(Converter(5));
        rig.Add(c.second);
        CCmdEngine& engine = rig.Engine(0);
        ASSERT_EQ(engine.Open(QString()), 0) << c.name;
        ASSERT_TRUE(engine.GetModuleType().HasFPGA(0));

        ASSERT_TRUE(rig.Reopen(1)) << c.name;
        EXPECT_EQ(rig._platform._closedLinks, 1);
        EXPECT_EQ(engine.Open(QString()), c.expected) << c.name;
        const CModuleType& m = engine.GetModuleType();
        EXPECT_EQ(m._moduleTypeID, c.type) << c.name;
        EXPECT_TRUE(m._fpgas.empty()) << c.name;
        EXPECT_NE(m._moduleName, QStringLiteral("HESTRA")) << c.name;
        EXPECT_NE(m._serialID, QStringLiteral("SIM05001")) << c.name;
        EXPECT_FALSE(engine.IsConfigValid()) << c.name;
    }
}

TEST(EngineOpenTest, RefusedTypeAfterAGoodConverterIsNotConnected)
{
    EngineRig rig;
    rig.Add(Converter(5));
    Personality p = Converter(5);
    p.moduleType = 40;
    rig.Add(p);
    CCmdEngine& engine = rig.Engine(0);
    ASSERT_EQ(engine.Open(QString()), 0);
    ASSERT_TRUE(rig.Reopen(1));
    EXPECT_EQ(engine.Open(QString()), -5);
    EXPECT_FALSE(engine.IsConnected());
    EXPECT_TRUE(engine.GetModuleType()._fpgas.empty());
}

} // namespace

namespace {

// An assembly naming a module-type file outside the types folder: the file
// is not read, even when it is a valid description.
TEST(EngineOpenTest, ModuleTypeFileOutsideTheTypesFolderIsNotRead)
{
    QTemporaryDir resources;
    const QString hestra = QStringLiteral(
        "<?xml version=\"1.0\"?>\n<ModuleTypes><ModuleType version=\"0.1\" type=\"HESTRA\" fpgaID=\"0\" addr=\"0\">"
        "<FPGA id=\"0\" name=\"Scaler\" interfaceID=\"SPI Control\" deviceID=\"0\"><FirmwareRevision start=\"1\"/>"
        "<ParamBlock id=\"0\" name=\"Config\" start=\"3\" length=\"41\"/></FPGA></ModuleType></ModuleTypes>\n");
    WriteTextFile(resources.path(), QStringLiteral("outside.xml"), hestra);
    WriteTextFile(resources.path(), QStringLiteral("types/hestra/hestra.xml"), hestra);
    struct Case {
        const char* fileName;
        bool read;
    };
    const Case cases[] = {
        {"types/hestra/hestra.xml", true},
        {"outside.xml", false},
        {"types/../outside.xml", false},
        {"../../../../etc/passwd", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fileName);
        WriteTextFile(resources.path(), QStringLiteral("types/hestra/assembly.xml"),
                      QStringLiteral("<Assemblies><Module version=\"0.1\" type=\"HESTRA\"><Assembly id=\"1\">"
                                     "<Release version=\"1.2\"/><ModuleType filename=\"%1\"/></Assembly></Module>"
                                     "</Assemblies>")
                          .arg(QLatin1String(c.fileName)));
        tovik::test::MessageLog log;
        EngineRig rig(resources.path());
        rig.Add(Converter(5));
        CCmdEngine& engine = rig.Engine();
        engine.Open(QString());
        EXPECT_EQ(engine.GetModuleType()._moduleTypeID, 5);
        EXPECT_EQ(engine.GetModuleType().HasFPGA(0), c.read);
        EXPECT_EQ(log.Has(QStringLiteral("Hardware description %1 lies outside %2/types; not read")
                              .arg(QLatin1String(c.fileName), resources.path())),
                  !c.read);
    }
}

} // namespace
