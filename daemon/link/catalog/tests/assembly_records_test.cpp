// Finding assemblies by release and board, and matching a converter's
// firmware against its release.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "catalog/assemblyrecords.h"
#include "catalog/cassembliesxmlif.h"
#include "catalog/cmoduletype.h"

namespace {

// Readers that hand out prepared records, so Fill is exercised as well.
class FakeTableXML : public CAssemblyLookupTableXMLIF {
public:
    FakeTableXML(UByte id, const CAssemblyLookupTable& t) : _id(id), _t(t) {}
    UByte getID() const override { return _id; }
    CVersion getVersion() const override { return _t.version; }
    QString getFilename() const override { return _t.filename; }
private:
    UByte _id;
    CAssemblyLookupTable _t;
};

class FakeFPGAXML : public CAssemblyFPGAXMLIF {
public:
    FakeFPGAXML(UByte id, const CAssemblyFPGA& f) : _id(id), _f(f) {}
    UByte getID() const override { return _id; }
    CVersion getVersion() const override { return _f.version; }
    QString getFilename() const override { return _f.filename; }
    void getLookupTables(QList<CAssemblyLookupTableXMLIF*>& list) const override
    {
        for (const auto& t : _f._lookupTables)
            list.append(new FakeTableXML(t.first, t.second));
    }
private:
    UByte _id;
    CAssemblyFPGA _f;
};

class FakeAssemblyXML : public CAssemblyXMLIF {
public:
    explicit FakeAssemblyXML(const CAssembly& a) : _a(a) {}
    UByte getID() const override { return _a._id; }
    CVersion getReleaseVersion() const override { return _a._releaseVersion; }
    QString getBoardAssembly() const override { return _a._boardAssembly; }
    QString getModuleTypeFile() const override { return _a._moduleTypeFile; }
    CVersion getSafeBootVersion() const override { return _a._safeBootVersion; }
    QString getSafeBootFile() const override { return _a._safeBootFile; }
    CVersion getCNCAppVersion() const override { return _a._cncAppVersion; }
    QString getCNCAppFile() const override { return _a._cncAppFile; }
    void getFPGAs(QList<CAssemblyFPGAXMLIF*>& list) const override
    {
        for (const auto& f : _a._fpgas)
            list.append(new FakeFPGAXML(f.first, f.second));
    }
private:
    CAssembly _a;
};

class FakeAssembliesXML : public CAssembliesXMLIF {
public:
    explicit FakeAssembliesXML(std::vector<CAssembly> records) : _records(std::move(records)) {}
    bool load(const QString&) override { return true; }
    int getModuleType() const override { return 0; }
    void getAssemblies(QList<CAssemblyXMLIF*>& list) const override
    {
        for (const CAssembly& a : _records)
            list.append(new FakeAssemblyXML(a));
    }
    QString getFormatVersion() const override { return QStringLiteral("0.1"); }
    bool hasError() const override { return false; }
    QString takeError() override { return QString(); }
private:
    std::vector<CAssembly> _records;
};

AssemblyRecords recordsOf(std::vector<CAssembly> assemblies)
{
    FakeAssembliesXML reader(std::move(assemblies));
    AssemblyRecords records;
    records.Fill(&reader);
    return records;
}

CAssembly assembly(UByte id, CVersion release, const char* board = "")
{
    CAssembly a;
    a._id = id;
    a._releaseVersion = release;
    a._boardAssembly = QString::fromLatin1(board);
    a._safeBootVersion = CVersion(1, 0);
    a._cncAppVersion = CVersion(1, 0);
    a._fpgas[0].version = CVersion(1, 0);
    return a;
}

// A converter as the default simulated personality reports it.
CModuleType converter()
{
    CModuleType m;
    m._moduleTypeID = 5;
    m._releaseVersion = CVersion(1, 2);
    m._safeBootVersion.version = CVersion(1, 0);
    m._cncAppVersion.version = CVersion(1, 0);
    m._fpgas[0]._firmware.version = CVersion(1, 0);
    return m;
}

TEST(FindRelease, MatchingRules)
{
    using Setup = std::function<void(std::vector<CAssembly>&, CModuleType&)>;
    struct Case { const char* name; Setup setup; CVersion expected; };
    static const CVersion none = CVersion::_nullVersion;
    const CVersion r12(1, 2);
    const Case cases[] = {
        {"everything matches", [](auto&, auto&) {}, r12},
        {"converter release 0.0", [](auto&, auto& m) { m._releaseVersion = CVersion(0, 0); }, none},
        {"converter release 255.255", [](auto&, auto& m) { m._releaseVersion = none; }, none},
        {"no record of that release", [](auto& a, auto&) { a[0]._releaseVersion = CVersion(1, 3); }, r12},
        {"no records at all", [](auto& a, auto&) { a.clear(); }, r12},
        {"safe-boot differs", [](auto& a, auto&) { a[0]._safeBootVersion = CVersion(1, 1); }, none},
        {"application differs", [](auto&, auto& m) { m._cncAppVersion.version = CVersion(0, 38); }, none},
        {"only the first record of the release counts",
         [](auto& a, auto&) {
             a[0]._safeBootVersion = CVersion(2, 0);
             a.push_back(assembly(9, CVersion(1, 2)));
         },
         none},
        {"first record of the release matches, later one would not",
         [](auto& a, auto&) {
             CAssembly other = assembly(9, CVersion(1, 2));
             other._safeBootVersion = CVersion(2, 0);
             a.push_back(other);
         },
         r12},
        {"record board empty matches converter board",
         [](auto&, auto& m) { m._boardAssemblyID = QStringLiteral("B7"); }, r12},
        {"record board needs converter board",
         [](auto& a, auto&) { a[0]._boardAssembly = QStringLiteral("B7"); }, none},
        {"record board equals converter board",
         [](auto& a, auto& m) {
             a[0]._boardAssembly = QStringLiteral("B7");
             m._boardAssemblyID = QStringLiteral("B7");
         },
         r12},
        {"record board differs",
         [](auto& a, auto& m) {
             a[0]._boardAssembly = QStringLiteral("B7");
             m._boardAssemblyID = QStringLiteral("b7");
         },
         none},
        {"record lacks a converter FPGA",
         [](auto&, auto& m) { m._fpgas[1]._firmware.version = CVersion(1, 0); }, none},
        {"record lists an FPGA the converter lacks",
         [](auto& a, auto&) { a[0]._fpgas[5].version = CVersion(3, 3); }, r12},
        {"FPGA version differs", [](auto&, auto& m) { m._fpgas[0]._firmware.version = CVersion(1, 1); }, none},
        {"FPGA version missing on both sides",
         [](auto& a, auto& m) {
             a[0]._fpgas[0].version = CVersion(0, 0);
             m._fpgas[0]._firmware.version = CVersion(0, 0);
         },
         none},
        {"FPGA version unread on both sides",
         [](auto& a, auto& m) {
             a[0]._fpgas[0].version = none;
             m._fpgas[0]._firmware.version = none;
         },
         none},
        {"converter without FPGAs passes", [](auto&, auto& m) { m._fpgas.clear(); }, r12},
        {"lookup table matches",
         [](auto& a, auto& m) {
             a[0]._fpgas[0]._lookupTables[2].version = CVersion(4, 1);
             m._fpgas[0]._lookupTables[2].version = CVersion(4, 1);
         },
         r12},
        {"lookup table missing from record",
         [](auto&, auto& m) { m._fpgas[0]._lookupTables[2].version = CVersion(4, 1); }, none},
        {"lookup table version differs",
         [](auto& a, auto& m) {
             a[0]._fpgas[0]._lookupTables[2].version = CVersion(4, 1);
             m._fpgas[0]._lookupTables[2].version = CVersion(4, 2);
         },
         none},
        {"lookup table version 0.0 on both sides",
         [](auto& a, auto& m) {
             a[0]._fpgas[0]._lookupTables[2].version = CVersion(0, 0);
             m._fpgas[0]._lookupTables[2].version = CVersion(0, 0);
         },
         none},
        {"record tables the converter lacks are not looked at",
         [](auto& a, auto&) { a[0]._fpgas[0]._lookupTables[7].version = CVersion(0, 0); }, r12},
    };
    for (const Case& c : cases) {
        std::vector<CAssembly> assemblies{assembly(4, CVersion(1, 2))};
        CModuleType module = converter();
        c.setup(assemblies, module);
        EXPECT_EQ(recordsOf(assemblies).FindRelease(module), c.expected) << c.name;
    }
}

TEST(FindByRelease, LatestForNoVersionElseFirstExactMatch)
{
    const AssemblyRecords records = recordsOf({assembly(4, CVersion(1, 2)), assembly(2, CVersion(1, 5)),
                                               assembly(7, CVersion(1, 5)), assembly(9, CVersion(0, 9))});
    struct Case { CVersion release; int id; };
    const Case cases[] = {
        {CVersion(255, 255), 2}, {CVersion(0, 0), 2}, {CVersion(1, 5), 2}, {CVersion(1, 2), 4},
        {CVersion(0, 9), 9}, {CVersion(1, 3), -1}, {CVersion(2, 1), -1},
    };
    for (const Case& c : cases) {
        const CAssembly* found = records.FindByRelease(c.release);
        EXPECT_EQ(found ? found->_id : -1, c.id) << c.release.ToText().toStdString();
    }
    ASSERT_NE(records.Latest(), nullptr);
    EXPECT_EQ(records.Latest()->_id, 2);
    EXPECT_EQ(records.IdsByRelease(), (std::vector<UByte>{9, 4, 2, 7}));

    const AssemblyRecords empty;
    for (const CVersion& v : {CVersion(255, 255), CVersion(0, 0), CVersion(1, 2)})
        EXPECT_EQ(empty.FindByRelease(v), nullptr);
    EXPECT_EQ(empty.Latest(), nullptr);
    EXPECT_TRUE(empty.IdsByRelease().empty());
}

TEST(FindByReleaseAndBoard, BoardRules)
{
    struct Case { const char* name; std::vector<CAssembly> records; CVersion release; const char* board; int id; };
    const CVersion r12(1, 2), r13(1, 3), none = CVersion::_nullVersion;
    const Case cases[] = {
        {"empty map", {}, r12, "", -1},
        {"single candidate, no board asked", {assembly(3, r12, "B1")}, r12, "", 3},
        {"two candidates, no board asked, empty-board one wins",
         {assembly(1, r12, "B1"), assembly(2, r12, ""), assembly(3, r12, "")}, r12, "", 2},
        {"two candidates with boards, no board asked", {assembly(1, r12, "B1"), assembly(2, r12, "B2")}, r12, "", -1},
        {"board match", {assembly(1, r12, ""), assembly(2, r12, "B2")}, r12, "B2", 2},
        {"no board match falls back to empty board", {assembly(1, r12, "B1"), assembly(2, r12, "")}, r12, "B9", 2},
        {"no board match and no empty board", {assembly(1, r12, "B1")}, r12, "B9", -1},
        {"release not present", {assembly(1, r12, "")}, r13, "", -1},
        {"no version picks the lowest release",
         {assembly(1, r13, ""), assembly(2, r12, "B2"), assembly(5, r12, "")}, none, "B2", 2},
        {"0.0 picks the lowest release", {assembly(1, r13, ""), assembly(2, r12, "")}, CVersion(0, 0), "", 2},
    };
    for (const Case& c : cases) {
        const AssemblyRecords records = recordsOf(c.records);
        const CAssembly* found = records.FindByReleaseAndBoard(c.release, QString::fromLatin1(c.board));
        EXPECT_EQ(found ? found->_id : -1, c.id) << c.name;
    }
}

TEST(AssemblyRecordsFill, LaterIdReplacesEarlierAndNullReaderEmpties)
{
    CAssembly first = assembly(3, CVersion(1, 0));
    first._moduleTypeFile = QStringLiteral("first.xml");
    CAssembly second = assembly(3, CVersion(2, 0));
    second._moduleTypeFile = QStringLiteral("second.xml");
    second._fpgas[1]._lookupTables[4] = CAssemblyLookupTable{CVersion(5, 6), QStringLiteral("lut.bin")};
    AssemblyRecords records = recordsOf({first, second, assembly(1, CVersion(1, 1))});
    ASSERT_EQ(records.Records().size(), 2u);
    const CAssembly* found = records.Find(3);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->_moduleTypeFile, QStringLiteral("second.xml"));
    EXPECT_EQ(found->LookupTableVersion(1, 4), CVersion(5, 6));
    EXPECT_EQ(records.Find(2), nullptr);

    records.Fill(nullptr);
    EXPECT_TRUE(records.IsEmpty());
}

TEST(AssemblyHelpers, DescribeFilesAndLookups)
{
    CAssembly a = assembly(1, CVersion(1, 3), "B");
    EXPECT_EQ(a.Describe(true), QStringLiteral("1.3 (B)"));
    EXPECT_EQ(a.Describe(false), QStringLiteral("1.3"));
    a._boardAssembly.clear();
    EXPECT_EQ(a.Describe(true), QStringLiteral("1.3"));

    a._safeBootFile = QStringLiteral("boot.bin");
    a._cncAppFile = QStringLiteral("app.bin");
    a._fpgas[0].filename = QStringLiteral("f0.bit");
    a._fpgas[2].filename = QStringLiteral("f2.bit");
    a._fpgas[2]._lookupTables[5] = CAssemblyLookupTable{CVersion(1, 1), QStringLiteral("l5.bin")};
    a._fpgas[2]._lookupTables[1] = CAssemblyLookupTable{CVersion(1, 0), QStringLiteral("l1.bin")};
    EXPECT_EQ(a.Files(), (QStringList{"boot.bin", "app.bin", "f0.bit", "f2.bit", "l1.bin", "l5.bin"}));
    EXPECT_EQ(a.FPGAIds(), (std::vector<UByte>{0, 2}));
    EXPECT_TRUE(a.HasFPGA(2));
    EXPECT_FALSE(a.HasFPGA(1));
    EXPECT_EQ(a.FPGAVersion(1), CVersion::_nullVersion);
    EXPECT_TRUE(a.FPGAFile(1).isEmpty());
    EXPECT_TRUE(a.HasLookupTable(2, 5));
    EXPECT_FALSE(a.HasLookupTable(2, 4));
    EXPECT_FALSE(a.HasLookupTable(3, 5));
    EXPECT_EQ(a.LookupTableVersion(2, 5), CVersion(1, 1));
    EXPECT_EQ(a.LookupTableVersion(3, 5), CVersion::_nullVersion);
    EXPECT_EQ(a.LookupTableFile(2, 1), QStringLiteral("l1.bin"));
    EXPECT_TRUE(a.LookupTableFile(2, 9).isEmpty());
    const auto tables = a.LookupTableFiles();
    ASSERT_EQ(tables.size(), 2u);
    EXPECT_TRUE(tables.at(0).empty());
    EXPECT_EQ(tables.at(2).at(5), QStringLiteral("l5.bin"));
    EXPECT_FALSE(a._fpgas.count(3)); // nothing created on lookup
}

} // namespace
