// The assembly and module-type description readers: defaults, number and
// version forms, error texts, and filling the module record.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include <sys/stat.h>

#include <QDirIterator>
#include <QDomDocument>

#include "catalog/cassembliesxml.h"
#include "catalog/cmoduletype.h"
#include "catalog/cmoduletypexml.h"
#include "catalog/descriptionlimits.h"
#include "messagelog.h"
#include "testpaths.h"
#include "xml_fixture.h"

namespace {

template <typename T>
struct Owned {
    QList<T*> items;
    ~Owned() { qDeleteAll(items); }
};

const char* const kFullAssembly = R"(<?xml version="1.0"?>
<Assemblies>
  <Module version="0.1" type="MARDEX">
    <Assembly id="0x1F">
      <Release version="2.10"/>
      <BoardAssembly number="B-17"/>
      <ModuleType filename="types/mardex/mardex.xml"/>
      <SafeBoot version="1.4" filename="boot.bin"/>
      <CNCApp version="0.38" filename="app.bin"/>
      <FPGA id="2" version="3.1" filename="f2.bit">
        <LookupTable id="1" version="1.1" filename="l1.bin"/>
        <LookupTable id="0x10" filename="l16.bin"/>
      </FPGA>
      <Group><FPGA id="-1" version="4"/></Group>
    </Assembly>
    <Assembly/>
  </Module>
</Assemblies>
)";

TEST(AssembliesXML, ReadsEveryValue)
{
    XmlFixture fx;
    CAssembliesXML reader;
    ASSERT_TRUE(reader.load(fx.write("assembly.xml", kFullAssembly)));
    EXPECT_FALSE(reader.hasError());
    EXPECT_EQ(reader.getFormatVersion(), QStringLiteral("0.1"));
    EXPECT_EQ(reader.getModuleType(), 14);

    Owned<CAssemblyXMLIF> assemblies;
    reader.getAssemblies(assemblies.items);
    ASSERT_EQ(assemblies.items.size(), 2);
    const CAssemblyXMLIF& a = *assemblies.items[0];
    EXPECT_EQ(a.getID(), 31);
    EXPECT_EQ(a.getReleaseVersion(), CVersion(2, 10));
    EXPECT_EQ(a.getBoardAssembly(), QStringLiteral("B-17"));
    EXPECT_EQ(a.getModuleTypeFile(), QStringLiteral("types/mardex/mardex.xml"));
    EXPECT_EQ(a.getSafeBootVersion(), CVersion(1, 4));
    EXPECT_EQ(a.getSafeBootFile(), QStringLiteral("boot.bin"));
    EXPECT_EQ(a.getCNCAppVersion(), CVersion(0, 38));
    EXPECT_EQ(a.getCNCAppFile(), QStringLiteral("app.bin"));

    Owned<CAssemblyFPGAXMLIF> fpgas;
    a.getFPGAs(fpgas.items);
    ASSERT_EQ(fpgas.items.size(), 2); // the nested one is listed too
    EXPECT_EQ(fpgas.items[0]->getID(), 2);
    EXPECT_EQ(fpgas.items[0]->getVersion(), CVersion(3, 1));
    EXPECT_EQ(fpgas.items[0]->getFilename(), QStringLiteral("f2.bit"));
    EXPECT_EQ(fpgas.items[1]->getID(), 255);
    EXPECT_EQ(fpgas.items[1]->getVersion(), CVersion(0, 0));
    EXPECT_TRUE(fpgas.items[1]->getFilename().isEmpty());

    Owned<CAssemblyLookupTableXMLIF> tables;
    fpgas.items[0]->getLookupTables(tables.items);
    ASSERT_EQ(tables.items.size(), 2);
    EXPECT_EQ(tables.items[0]->getVersion(), CVersion(1, 1));
    EXPECT_EQ(tables.items[1]->getID(), 16);
    EXPECT_EQ(tables.items[1]->getVersion(), CVersion(0, 0));
    EXPECT_EQ(tables.items[1]->getFilename(), QStringLiteral("l16.bin"));

    // An Assembly with nothing in it reads every default.
    const CAssemblyXMLIF& bare = *assemblies.items[1];
    EXPECT_EQ(bare.getID(), 0);
    EXPECT_EQ(bare.getReleaseVersion(), CVersion(0, 0));
    EXPECT_TRUE(bare.getBoardAssembly().isEmpty());
    EXPECT_TRUE(bare.getModuleTypeFile().isEmpty());
    EXPECT_EQ(bare.getSafeBootVersion(), CVersion(0, 0));
    EXPECT_TRUE(bare.getSafeBootFile().isEmpty());
    EXPECT_EQ(bare.getCNCAppVersion(), CVersion(0, 0));
    EXPECT_TRUE(bare.getCNCAppFile().isEmpty());
    Owned<CAssemblyFPGAXMLIF> none;
    bare.getFPGAs(none.items);
    EXPECT_TRUE(none.items.isEmpty());
}

TEST(AssembliesXML, ElementReadersOutliveTheirReader)
{
    XmlFixture fx;
    Owned<CAssemblyXMLIF> assemblies;
    {
        CAssembliesXML reader;
        ASSERT_TRUE(reader.load(fx.write("assembly.xml", kFullAssembly)));
        reader.getAssemblies(assemblies.items);
    }
    ASSERT_EQ(assemblies.items.size(), 2);
    EXPECT_EQ(assemblies.items[0]->getReleaseVersion(), CVersion(2, 10));
}

TEST(AssembliesXML, VersionForms)
{
    struct Case { const char* text; CVersion version; };
    const Case cases[] = {
        {"2.10", {2, 10}}, {"2", {0, 0}}, {"2.1.0", {0, 0}}, {"2.", {2, 0}}, {"300.1", {44, 1}}, {"", {0, 0}},
    };
    XmlFixture fx;
    for (const Case& c : cases) {
        const QByteArray text = QByteArray("<r><Module version=\"0.1\" type=\"HESTRA\"><Assembly><Release version=\"")
                                + c.text + "\"/></Assembly></Module></r>";
        CAssembliesXML reader;
        ASSERT_TRUE(reader.load(fx.write("v.xml", text))) << c.text;
        Owned<CAssemblyXMLIF> assemblies;
        reader.getAssemblies(assemblies.items);
        ASSERT_EQ(assemblies.items.size(), 1);
        EXPECT_EQ(assemblies.items[0]->getReleaseVersion(), c.version) << c.text;
    }
}

TEST(CommonXML, NumberForms)
{
    struct Case { const char* text; int value; };
    const Case cases[] = {
        {"0x1F", 31}, {"0X1F", 0}, {"0x1f", 31}, {"31", 31}, {"-1", -1}, {"0x", 0}, {"abc", 0}, {"", 0},
        {"12abc", 0}, {"2147483647", 2147483647}, {"2147483648", 0}, {"0x7FFFFFFF", 0x7FFFFFFF},
        {"0x80000000", 0}, {"1.5", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CCommonXML::NumberFromText(QString::fromLatin1(c.text)), c.value) << c.text;
}

TEST(CommonXML, AttributeGettersLeaveValueOnMissing)
{
    QDomDocument doc;
    ASSERT_TRUE(doc.setContent(QByteArray(
        "<r a=\"0x10\" yes=\"YES\" lower=\"yes\" s=\"text\"><x n=\"1\"/><y><x n=\"2\"/></y><x n=\"3\"/></r>")));
    const QDomElement root = doc.documentElement();

    int number = 7;
    EXPECT_FALSE(CCommonXML::getIntAttribute(root, QStringLiteral("missing"), number));
    EXPECT_EQ(number, 7);
    EXPECT_TRUE(CCommonXML::getIntAttribute(root, QStringLiteral("a"), number));
    EXPECT_EQ(number, 16);
    EXPECT_FALSE(CCommonXML::getIntAttribute(QDomElement(), QStringLiteral("a"), number));

    bool flag = true;
    EXPECT_FALSE(CCommonXML::getBoolAttribute(root, QStringLiteral("missing"), flag));
    EXPECT_TRUE(flag);
    EXPECT_TRUE(CCommonXML::getBoolAttribute(root, QStringLiteral("lower"), flag));
    EXPECT_FALSE(flag);
    EXPECT_TRUE(CCommonXML::getBoolAttribute(root, QStringLiteral("yes"), flag));
    EXPECT_TRUE(flag);

    QString text = QStringLiteral("keep");
    EXPECT_FALSE(CCommonXML::getStringAttribute(root, QStringLiteral("missing"), text));
    EXPECT_EQ(text, QStringLiteral("keep"));
    EXPECT_TRUE(CCommonXML::getStringAttribute(root, QStringLiteral("s"), text));
    EXPECT_EQ(text, QStringLiteral("text"));

    EXPECT_EQ(CCommonXML::getChildElement(root, QStringLiteral("x")).attribute(QStringLiteral("n")), QStringLiteral("1"));
    const QDomElement y = CCommonXML::getChildElement(root, QStringLiteral("y"));
    EXPECT_EQ(CCommonXML::getChildElement(y, QStringLiteral("x")).attribute(QStringLiteral("n")), QStringLiteral("2"));
    EXPECT_TRUE(CCommonXML::getChildElement(root, QStringLiteral("z")).isNull());
}

TEST(AssembliesXML, FormatChecksAndErrorTexts)
{
    struct Case { const char* name; const char* text; bool ok; const char* error; };
    const Case cases[] = {
        {"wrong version", "<r><Module version=\"0.2\" type=\"HESTRA\"/></r>", false,
         "Expected data format version '0.1', received '0.2\n"},
        {"no version", "<r><Module type=\"HESTRA\"/></r>", false,
         "Expected data format version '0.1', received 'unknown\n"},
        {"no Module", "<r><Assembly/></r>", false, "Expected data format version '0.1', received 'unknown\n"},
        {"two Modules", "<r><Module version=\"0.1\"/><x><Module version=\"0.1\"/></x></r>", false,
         "Expected data format version '0.1', received 'unknown\n"},
        {"Module deeper down", "<r><x><Module version=\"0.1\"/></x></r>", true, ""},
        {"Module is the document element", "<Module version=\"0.1\" type=\"HESTRA\"><Assembly id=\"1\"/></Module>",
         true, ""},
    };
    XmlFixture fx;
    for (const Case& c : cases) {
        CAssembliesXML reader;
        EXPECT_EQ(reader.load(fx.write("a.xml", c.text)), c.ok) << c.name;
        EXPECT_EQ(reader.hasError(), !c.ok) << c.name;
        EXPECT_EQ(reader.takeError(), QString::fromLatin1(c.error)) << c.name;
        EXPECT_FALSE(reader.hasError());
        if (!c.ok) {
            EXPECT_EQ(reader.getFormatVersion(), QStringLiteral("unknown")) << c.name;
            EXPECT_EQ(reader.getModuleType(), 0) << c.name;
        }
    }

    // The document element named Module passes the check but lists nothing.
    CAssembliesXML root;
    ASSERT_TRUE(root.load(fx.write("root.xml", "<Module version=\"0.1\" type=\"HESTRA\"><Assembly id=\"1\"/></Module>")));
    EXPECT_EQ(root.getModuleType(), 5);
    Owned<CAssemblyXMLIF> assemblies;
    root.getAssemblies(assemblies.items);
    EXPECT_TRUE(assemblies.items.isEmpty());
}

TEST(AssembliesXML, ModuleTypeNames)
{
    struct Case { const char* attribute; int type; };
    const Case cases[] = {
        {"type=\"MARDEX\"", 14}, {"type=\"mardex\"", 0}, {"type=\"Pending\"", 0}, {"", 0}, {"type=\"FORNEL\"", 33},
    };
    XmlFixture fx;
    for (const Case& c : cases) {
        CAssembliesXML reader;
        ASSERT_TRUE(reader.load(fx.write("t.xml", QByteArray("<r><Module version=\"0.1\" ") + c.attribute + "/></r>")));
        EXPECT_EQ(reader.getModuleType(), c.type) << c.attribute;
    }
}

TEST(AssembliesXML, OpenAndParseFailuresAccumulate)
{
    XmlFixture fx;
    CAssembliesXML reader;
    const QString missing = fx.path("missing.xml");
    EXPECT_FALSE(reader.load(missing));
    EXPECT_EQ(reader.takeError(),
              QStringLiteral("CAssembliesXML::load - File open failed: %1 fileError=5\n").arg(missing));

    EXPECT_FALSE(reader.load(fx.write("bad.xml", "<r>\n<Module version=\"0.1\">\n</r>")));
    EXPECT_FALSE(reader.load(missing));
    const QString error = reader.takeError();
    const int parse = error.indexOf(QStringLiteral("CAssembliesXML::load - Parse failed line=3 colomn="));
    const int open = error.indexOf(QStringLiteral("CAssembliesXML::load - File open failed: "));
    EXPECT_GT(parse, 0) << error.toStdString(); // the parser's own message comes first
    EXPECT_GT(open, parse) << error.toStdString();
    EXPECT_TRUE(error.endsWith(QLatin1Char('\n')));
    EXPECT_TRUE(reader.takeError().isEmpty());

    // A good file after failures loads, and a failed reload drops it.
    ASSERT_TRUE(reader.load(fx.write("good.xml", kFullAssembly)));
    EXPECT_FALSE(reader.load(fx.write("bad2.xml", "not xml")));
    EXPECT_EQ(reader.getFormatVersion(), QStringLiteral("unknown"));
    Owned<CAssemblyXMLIF> assemblies;
    reader.getAssemblies(assemblies.items);
    EXPECT_TRUE(assemblies.items.isEmpty());
}

// Hostile shapes of a description: each is refused before the DOM is built,
// with the reason in the error text and one warning per file and reason.
struct HostileCase {
    const char* name;
    QByteArray text;
    const char* reason;
};

QByteArray Repeated(const char* piece, int count)
{
    QByteArray out;
    for (int i = 0; i < count; ++i)
        out += piece;
    return out;
}

QByteArray ManyAttributes(int count)
{
    QByteArray attributes;
    for (int i = 0; i < count; ++i)
        attributes += "a" + QByteArray::number(i) + "=\"1\" ";
    return attributes;
}

QByteArray InModule(const QByteArray& inner)
{
    return "<r><Module version=\"0.1\" type=\"MARDEX\">" + inner + "</Module></r>";
}

std::vector<HostileCase> HostileCases()
{
    using L = QByteArray;
    const int depth = CCommonXML::kMaxDepth;
    return {
        {"deep", InModule(Repeated("<a>", depth) + Repeated("</a>", depth)), "elements nested more than 32 deep"},
        {"very deep", InModule(Repeated("<a>", 1000) + Repeated("</a>", 1000)), "elements nested more than 32 deep"},
        {"flat", InModule(Repeated("<Assembly/>", DescriptionLimits::kMaxNodes)),
         "more than 1024 elements and other nodes"},
        {"comments", InModule(Repeated("<!---->", DescriptionLimits::kMaxNodes)),
         "more than 1024 elements and other nodes"},
        {"long element name", InModule("<" + L(65, 'E') + "/>"), "element name of 65 characters, more than 64"},
        // Past what the streaming reader reads at all; the DOM parser would.
        {"huge element name", InModule("<" + L(60000, 'E') + "/>"),
         "Length of XML attribute name exceeds implementation limits (4KiB characters)."},
        {"many tags", InModule(Repeated("<a/>", 2100)), "2104 tags, more than 2056"},
        {"long attribute name", InModule("<Assembly " + L(65, 'a') + "=\"1\"/>"),
         "attribute name of 65 characters, more than 64"},
        {"long value", InModule("<Assembly id=\"" + L(1025, '1') + "\"/>"),
         "attribute value of 1025 characters, more than 1024"},
        {"long text", InModule(L(1025, 't')), "text of 1025 characters, more than 1024"},
        {"many attributes", InModule("<Assembly " + ManyAttributes(33) + "/>"),
         "33 attributes on one element, more than 32"},
    };
}

TEST(DescriptionLimitsTest, HostileShapesAreRefusedWithTheReason)
{
    XmlFixture fx;
    for (const HostileCase& c : HostileCases()) {
        SCOPED_TRACE(c.name);
        ASSERT_LE(c.text.size(), CCommonXML::kMaxFileSize) << "within the size limit, so the shape is what fails";
        const QString path = fx.write(QString::fromLatin1(c.name) + ".xml", c.text);
        tovik::test::MessageLog log;
        for (int load = 0; load < 2; ++load) {
            CAssembliesXML assemblies;
            EXPECT_FALSE(assemblies.load(path));
            const QString error = assemblies.takeError();
            // The reason, then the parse failure on a line of its own.
            EXPECT_TRUE(error.startsWith(QLatin1String(c.reason) +
                                         QLatin1String("\nCAssembliesXML::load - Parse failed line=")))
                << error.toStdString();
            EXPECT_TRUE(error.endsWith(QLatin1Char('\n'))) << error.toStdString();
            CModuleTypeXML moduleType;
            EXPECT_FALSE(moduleType.load(path));
            EXPECT_TRUE(moduleType.takeError().startsWith(QLatin1String(c.reason) +
                                                          QLatin1String("\nCModuleTypeXML::load - Parse failed line=")));
        }
        const QString warning = QStringLiteral("Hardware description %1 refused: %2 (limits: ").arg(path, c.reason);
        EXPECT_EQ(log.Count(warning), 1) << "logged once however often the file is read";

        // From memory: the same refusal, and no warning without a path.
        CAssembliesXML fromBytes;
        EXPECT_FALSE(fromBytes.loadBytes(c.text));
        EXPECT_TRUE(fromBytes.takeError().startsWith(QLatin1String(c.reason)));
    }
}

TEST(DescriptionLimitsTest, DocumentsAtTheLimitsLoad)
{
    XmlFixture fx;
    const int depth = CCommonXML::kMaxDepth - 3; // r, Module and Assembly are levels too
    QByteArray atLimits = "<r><Module version=\"0.1\" type=\"MARDEX\"><Assembly id=\"3\">" + Repeated("<g>", depth - 1) +
                          "<FPGA id=\"4\" filename=\"" + QByteArray(1024, 'f') + "\" " + QByteArray(64, 'n') + "=\"1\"/>" +
                          Repeated("</g>", depth - 1) + "</Assembly>";
    // Up to the node limit with siblings.
    atLimits += Repeated("<Assembly/>", DescriptionLimits::kMaxNodes - 3 - depth - 1);
    atLimits += "</Module></r>";
    CAssembliesXML reader;
    tovik::test::MessageLog log;
    ASSERT_TRUE(reader.load(fx.write("limits.xml", atLimits))) << reader.takeError().toStdString();
    EXPECT_TRUE(log.Lines().isEmpty());
    Owned<CAssemblyXMLIF> assemblies;
    reader.getAssemblies(assemblies.items);
    ASSERT_EQ(assemblies.items.size(), DescriptionLimits::kMaxNodes - 3 - depth);
    Owned<CAssemblyFPGAXMLIF> fpgas;
    assemblies.items[0]->getFPGAs(fpgas.items);
    ASSERT_EQ(fpgas.items.size(), 1);
    EXPECT_EQ(fpgas.items[0]->getID(), 4);
    EXPECT_EQ(fpgas.items[0]->getFilename().size(), 1024);
}

TEST(DescriptionLimitsTest, HugeFilesAndSpecialFilesAreNotRead)
{
    XmlFixture fx;
    QByteArray big = "<r><Module version=\"0.1\"/>";
    big += QByteArray(int(CCommonXML::kMaxFileSize), ' ');
    big += "</r>";
    const QString bigPath = fx.write("big.xml", big);
    CAssembliesXML reader;
    tovik::test::MessageLog log;
    EXPECT_FALSE(reader.load(bigPath));
    EXPECT_EQ(reader.takeError(), QStringLiteral("CAssembliesXML::load - File too large: %1\n").arg(bigPath));
    EXPECT_TRUE(log.Has(QStringLiteral("Hardware description %1 refused: more than 65536 bytes").arg(bigPath)));

    // A pipe would block the open for ever.
    const QString pipe = fx.path("pipe.xml");
    ASSERT_EQ(::mkfifo(pipe.toLocal8Bit().constData(), 0600), 0);
    EXPECT_FALSE(reader.load(pipe));
    EXPECT_EQ(reader.takeError(), QStringLiteral("CAssembliesXML::load - File open failed: %1 fileError=5\n").arg(pipe));
    EXPECT_TRUE(log.Has(QStringLiteral("Hardware description %1 refused: not a regular file").arg(pipe)));
}

const char* const kFullModuleType = R"(<?xml version="1.0"?>
<ModuleTypes>
  <ModuleType version="0.1" type="QUASTEL" fpgaID="0x102" addr="0x12345">
    <FPGA id="1" name="Scaler" interfaceID="SPI Control" deviceID="0x103">
      <Firmware interfaceID="JTAG" deviceID="7" start="0x10000"/>
      <FirmwareRevision start="1"/>
      <LookupTableRegister start="0x40"/>
      <ParamBlock id="0" name="Config" start="3" length="41"/>
      <ParamBlock id="2" name="Wide" start="0x12345" length="0x10002"/>
      <ParamBlock id="0" name="Again" start="4" length="5"/>
      <LookupTable id="1" name="Gamma" deviceID="2" start="0x100" length="4096"/>
    </FPGA>
    <FPGA id="0" interfaceID="i2c"/>
    <FPGA id="3" interfaceID="JTAG">
      <Firmware/>
      <FirmwareRevision/>
      <LookupTableRegister/>
      <ParamBlock/>
      <LookupTable/>
    </FPGA>
  </ModuleType>
</ModuleTypes>
)";

TEST(ModuleTypeXML, ReadsEveryValueAndDefault)
{
    XmlFixture fx;
    CModuleTypeXML reader;
    ASSERT_TRUE(reader.load(fx.write("q.xml", kFullModuleType)));
    EXPECT_EQ(reader.getFormatVersion(), QStringLiteral("0.1"));
    EXPECT_EQ(reader.getModuleType(), 19);
    EXPECT_EQ(reader.getFpgaID(), 2);
    EXPECT_EQ(reader.getAddr(), 0x2345);

    Owned<CModuleTypeFPGAXMLIF> fpgas;
    reader.getFPGAs(fpgas.items);
    ASSERT_EQ(fpgas.items.size(), 3);

    struct Expect {
        int id; const char* name; int interfaceID; int deviceID;
        int fwInterface; int fwDevice; int fwStart; int revision; int lutRegister;
    };
    const Expect expected[] = {
        {1, "Scaler", 1, 3, 3, 7, 0x10000, 1, 0x40},
        {0, "", -1, 0, -1, 0, 0, 0, 0},          // elements missing
        {3, "", 3, 0, -1, 102, 119, 85, 85},     // elements without attributes
    };
    for (int i = 0; i < 3; ++i) {
        const CModuleTypeFPGAXMLIF& f = *fpgas.items[i];
        const Expect& e = expected[i];
        EXPECT_EQ(f.getID(), e.id) << i;
        EXPECT_EQ(f.getName(), QString::fromLatin1(e.name)) << i;
        EXPECT_EQ(f.getInterfaceID(), e.interfaceID) << i;
        EXPECT_EQ(f.getDeviceID(), e.deviceID) << i;
        EXPECT_EQ(f.getFirmwareInterfaceID(), e.fwInterface) << i;
        EXPECT_EQ(f.getFirmwareDeviceID(), e.fwDevice) << i;
        EXPECT_EQ(f.getFirmwareStart(), e.fwStart) << i;
        EXPECT_EQ(f.getFirmwareRevisionStart(), e.revision) << i;
        EXPECT_EQ(f.getLookupTableRegisterStart(), e.lutRegister) << i;
    }

    Owned<CModuleTypeBlockXMLIF> blocks;
    fpgas.items[0]->getParamBlocks(blocks.items);
    ASSERT_EQ(blocks.items.size(), 3);
    EXPECT_EQ(blocks.items[1]->getID(), 2);
    EXPECT_EQ(blocks.items[1]->getName(), QStringLiteral("Wide"));
    EXPECT_EQ(blocks.items[1]->getStart(), 0x2345);
    EXPECT_EQ(blocks.items[1]->getLength(), 2);

    Owned<CModuleTypeLookupTableXMLIF> tables;
    fpgas.items[0]->getLookupTables(tables.items);
    ASSERT_EQ(tables.items.size(), 1);
    EXPECT_EQ(tables.items[0]->getName(), QStringLiteral("Gamma"));
    EXPECT_EQ(tables.items[0]->getDeviceID(), 2);
    EXPECT_EQ(tables.items[0]->getStart(), 0x100);
    EXPECT_EQ(tables.items[0]->getLength(), 4096);

    Owned<CModuleTypeBlockXMLIF> bareBlocks;
    fpgas.items[2]->getParamBlocks(bareBlocks.items);
    ASSERT_EQ(bareBlocks.items.size(), 1);
    EXPECT_EQ(bareBlocks.items[0]->getID(), 0);
    EXPECT_TRUE(bareBlocks.items[0]->getName().isEmpty());
    EXPECT_EQ(bareBlocks.items[0]->getStart(), 0);
    EXPECT_EQ(bareBlocks.items[0]->getLength(), 0);
    Owned<CModuleTypeLookupTableXMLIF> bareTables;
    fpgas.items[2]->getLookupTables(bareTables.items);
    ASSERT_EQ(bareTables.items.size(), 1);
    EXPECT_EQ(bareTables.items[0]->getDeviceID(), 0);
    EXPECT_EQ(bareTables.items[0]->getStart(), 0);
    EXPECT_EQ(bareTables.items[0]->getLength(), 0);
}

TEST(ModuleTypeXML, FormatChecksAndErrorTexts)
{
    struct Case { const char* name; const char* text; bool ok; const char* error; };
    const Case cases[] = {
        {"two ModuleType elements", "<r><ModuleType version=\"0.1\"/><ModuleType version=\"0.1\"/></r>", false,
         "Expected data format version '0.1', received 'unknown\n"},
        {"wrong version", "<r><ModuleType version=\"1.0\"/></r>", false,
         "Expected data format version '0.1', received '1.0\n"},
        {"no ModuleType", "<r/>", false, "Expected data format version '0.1', received 'unknown\n"},
        {"root ModuleType", "<ModuleType version=\"0.1\" type=\"HESTRA\" fpgaID=\"4\" addr=\"9\"><FPGA id=\"1\"/></ModuleType>",
         true, ""},
    };
    XmlFixture fx;
    for (const Case& c : cases) {
        CModuleTypeXML reader;
        EXPECT_EQ(reader.load(fx.write("m.xml", c.text)), c.ok) << c.name;
        EXPECT_EQ(reader.takeError(), QString::fromLatin1(c.error)) << c.name;
    }

    // A ModuleType document element passes, but reads as absent below it.
    CModuleTypeXML root;
    ASSERT_TRUE(root.load(fx.write("root.xml", cases[3].text)));
    EXPECT_EQ(root.getModuleType(), 5);
    EXPECT_EQ(root.getFpgaID(), 0);
    EXPECT_EQ(root.getAddr(), 0);
    Owned<CModuleTypeFPGAXMLIF> fpgas;
    root.getFPGAs(fpgas.items);
    EXPECT_TRUE(fpgas.items.isEmpty());

    CModuleTypeXML reader;
    const QString missing = fx.path("none.xml");
    EXPECT_FALSE(reader.load(missing));
    EXPECT_EQ(reader.takeError(), QStringLiteral("CModuleTypeXML::load - File open failed: %1\n").arg(missing));
    EXPECT_FALSE(reader.load(fx.write("bad.xml", "<r><ModuleType></r>")));
    EXPECT_TRUE(reader.takeError().contains(QStringLiteral("CModuleTypeXML::load - Parse failed line=1 colomn=")));
    EXPECT_EQ(reader.getFormatVersion(), QStringLiteral("unknown"));
    EXPECT_EQ(reader.getFpgaID(), 0);
}

// A document read from memory reads as the same document read from a file:
// result, error text, format version, type and what the readers list.
TEST(DescriptionXML, MemoryLoadsMatchFileLoads)
{
    QByteArray deep = "<r><Module version=\"0.1\"><ModuleType version=\"0.1\">";
    for (int i = 0; i < 300; ++i)
        deep += "<a>";
    const QByteArray documents[] = {
        kFullAssembly,
        kFullModuleType,
        "<r><Module version=\"0.2\" type=\"HESTRA\"/><ModuleType version=\"0.2\"/></r>",
        "<r><Module type=\"HESTRA\"/></r>",
        "<Module version=\"0.1\" type=\"HESTRA\"><Assembly id=\"1\"/></Module>",
        "<r>\n<Module version=\"0.1\">\n</r>",
        "not xml",
        "",
        deep,
    };
    XmlFixture fx;
    for (const QByteArray& text : documents) {
        const QString path = fx.write("d.xml", text);
        CAssembliesXML fromFile, fromMemory;
        EXPECT_EQ(fromMemory.loadBytes(text), fromFile.load(path)) << text.left(60).constData();
        EXPECT_EQ(fromMemory.takeError(), fromFile.takeError()) << text.left(60).constData();
        EXPECT_EQ(fromMemory.getFormatVersion(), fromFile.getFormatVersion());
        EXPECT_EQ(fromMemory.getModuleType(), fromFile.getModuleType());
        Owned<CAssemblyXMLIF> fileAssemblies, memoryAssemblies;
        fromFile.getAssemblies(fileAssemblies.items);
        fromMemory.getAssemblies(memoryAssemblies.items);
        EXPECT_EQ(memoryAssemblies.items.size(), fileAssemblies.items.size());

        CModuleTypeXML typeFromFile, typeFromMemory;
        EXPECT_EQ(typeFromMemory.loadBytes(text), typeFromFile.load(path)) << text.left(60).constData();
        EXPECT_EQ(typeFromMemory.takeError(), typeFromFile.takeError()) << text.left(60).constData();
        EXPECT_EQ(typeFromMemory.getFpgaID(), typeFromFile.getFpgaID());
        EXPECT_EQ(typeFromMemory.getAddr(), typeFromFile.getAddr());
        Owned<CModuleTypeFPGAXMLIF> fileFpgas, memoryFpgas;
        typeFromFile.getFPGAs(fileFpgas.items);
        typeFromMemory.getFPGAs(memoryFpgas.items);
        EXPECT_EQ(memoryFpgas.items.size(), fileFpgas.items.size());
    }
}

// After each failure the whole error text so far is printed in quotes as it
// is, its line ends inside.
TEST(ModuleTypeXml, FailuresPrintTheAccumulatedErrorTextQuoted)
{
    XmlFixture fx;
    CModuleTypeXML reader;
    tovik::test::MessageLog debug;
    EXPECT_FALSE(reader.load(fx.path("none.xml")));
    EXPECT_FALSE(reader.load(fx.write("old.xml", "<ModuleType version=\"0.0\"/>")));

    const QString first = QStringLiteral("CModuleTypeXML::load - File open failed: %1\n").arg(fx.path("none.xml"));
    const QString both = first + QStringLiteral("Expected data format version '0.1', received '0.0\n");
    EXPECT_EQ(debug.Lines(QtDebugMsg), QStringList({'"' + first + '"', '"' + both + '"'}));
    EXPECT_EQ(reader.takeError(), both);
}

TEST(ModuleTypeLoad, FillsTheRecordWithLaterDuplicatesWinning)
{
    XmlFixture fx;
    const QString path = fx.write("dup.xml", R"(<r><ModuleType version="0.1" type="HESTRA" fpgaID="1" addr="7">
        <FPGA id="1" name="first"><ParamBlock id="0" start="1" length="2"/></FPGA>
        <FPGA id="0" name="zero" interfaceID="SPI Config" deviceID="5">
          <Firmware interfaceID="SPI Config" deviceID="6" start="100"/>
          <FirmwareRevision start="1"/>
          <LookupTableRegister start="9"/>
          <ParamBlock id="0" name="Config" start="3" length="41"/>
          <ParamBlock id="0" name="Later" start="4" length="40"/>
          <LookupTable id="2" name="T" deviceID="3" start="10" length="20"/>
        </FPGA>
        <FPGA id="1" name="second"/>
      </ModuleType></r>)");

    CModuleType module;
    module._moduleName = QStringLiteral("kept");
    module._fpgas[9]._id = 9;
    CModuleTypeXML reader;
    ASSERT_TRUE(module.Load(&reader, path));
    EXPECT_EQ(module._moduleTypeID, 5);
    EXPECT_EQ(module._fpgaID, 1);
    EXPECT_EQ(module._addr, 7);
    EXPECT_EQ(module._moduleName, QStringLiteral("kept"));
    EXPECT_EQ(module.FPGAIds(), (std::vector<UByte>{0, 1}));
    EXPECT_EQ(module.DefaultFPGA()->_name, QStringLiteral("second"));
    EXPECT_TRUE(module.DefaultFPGA()->_blocks.empty());

    const CModuleTypeFPGA& zero = module._fpgas.at(0);
    EXPECT_EQ(zero._interfaceID, 2);
    EXPECT_EQ(zero._deviceID, 5);
    EXPECT_EQ(zero._lutRegisterStart, 9);
    EXPECT_EQ(zero._firmware._interfaceID, 2);
    EXPECT_EQ(zero._firmware._deviceID, 6);
    EXPECT_EQ(zero._firmware._start, 100);
    EXPECT_EQ(zero._firmware._revisionStart, 1);
    EXPECT_EQ(zero._firmware.version, CVersion::_nullVersion);
    ASSERT_EQ(zero._blocks.size(), 1u);
    EXPECT_EQ(zero._blocks.at(0)._name, QStringLiteral("Later"));
    EXPECT_EQ(zero._blocks.at(0)._start, 4);
    EXPECT_EQ(zero._blocks.at(0)._length, 40);
    EXPECT_EQ(zero._blocks.at(0)._block, nullptr);
    const CModuleTypeLookupTable& table = zero._lookupTables.at(2);
    EXPECT_EQ(table._name, QStringLiteral("T"));
    EXPECT_EQ(table._deviceID, 3);
    EXPECT_EQ(table._start, 10);
    EXPECT_EQ(table._length, 20);
    EXPECT_EQ(table.version, CVersion(0, 0));
}

TEST(ModuleTypeLoad, FailureEmptiesFpgasAndKeepsTheRest)
{
    XmlFixture fx;
    CModuleType module;
    module._moduleTypeID = 14;
    module._fpgaID = 3;
    module._fpgas[0]._id = 0;
    CModuleTypeXML reader;
    EXPECT_FALSE(module.Load(&reader, fx.path("missing.xml")));
    EXPECT_TRUE(module._fpgas.empty());
    EXPECT_EQ(module._moduleTypeID, 14);
    EXPECT_EQ(module._fpgaID, 3);
    EXPECT_FALSE(reader.hasError()); // taken and dropped

    module._fpgas[0]._id = 0;
    EXPECT_FALSE(module.Load(nullptr, fx.path("missing.xml")));
    EXPECT_TRUE(module._fpgas.empty());
}

} // namespace

namespace {

// Every shipped description fits a quarter of each limit.
TEST(DescriptionLimitsTest, ShippedFilesFitWithRoomToSpare)
{
    const int room = 4;
    const DescriptionLimits::Limits quarter = {
        DescriptionLimits::kMaxFileSize / room, DescriptionLimits::kMaxNodes / room,
        DescriptionLimits::kMaxDepth / room,    DescriptionLimits::kMaxAttributes / room,
        DescriptionLimits::kMaxNameLength / room, DescriptionLimits::kMaxValueLength / room};
    const QString types = QString::fromStdString(tovik::test::BuildDir()) + QStringLiteral("/bin/types");
    QDirIterator files(types, {QStringLiteral("*.xml")}, QDir::Files, QDirIterator::Subdirectories);
    int count = 0;
    while (files.hasNext()) {
        QFile file(files.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
        const DescriptionLimits::Breach breach = DescriptionLimits::Check(file.readAll(), quarter);
        EXPECT_TRUE(breach.what.isEmpty()) << file.fileName().toStdString() << ": " << breach.what.toStdString();
        ++count;
    }
    EXPECT_GE(count, 66);
}

} // namespace
