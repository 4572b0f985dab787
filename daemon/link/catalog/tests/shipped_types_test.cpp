// The hardware description files shipped beside the daemon: every module
// type is described once, and a converter with the default simulated
// personality finds its assembly and release.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QList>
#include <set>

#include "catalog/assemblyrecords.h"
#include "catalog/cassembliesxml.h"
#include "catalog/cmoduletype.h"
#include "catalog/cmoduletypes.h"
#include "catalog/cmoduletypexml.h"

namespace {

// The directory above "types": the daemon's resource directory.
QString resourceDir()
{
    const QByteArray source = qgetenv("TOVIK_SOURCE_DIR");
    if (!source.isEmpty())
        return QString::fromLocal8Bit(source) + QStringLiteral("/daemon");
    return QStringLiteral(TOVIK_CATALOG_DAEMON_DIR);
}

bool isScaler(int type)
{
    return type == 5 || type == 14 || type == 18 || type == 19;
}

TEST(ShippedTypes, EverySubdirectoryDescribesOneDistinctType)
{
    const QDir types(resourceDir() + QStringLiteral("/types"));
    ASSERT_TRUE(types.exists()) << types.path().toStdString();
    std::multiset<int> seen;
    for (const QString& entry : types.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        CAssembliesXML reader;
        ASSERT_TRUE(reader.load(types.filePath(entry + QStringLiteral("/assembly.xml"))))
            << entry.toStdString() << ": " << reader.takeError().toStdString();
        const int type = reader.getModuleType();
        EXPECT_GE(type, 1) << entry.toStdString();
        EXPECT_LE(type, 33) << entry.toStdString();
        seen.insert(type);
    }
    for (int type = 1; type <= 33; ++type)
        EXPECT_EQ(seen.count(type), 1u) << CModuleType::_moduleTypeIDNames[size_t(type)].text;
    EXPECT_EQ(seen.size(), 33u);
}

TEST(ShippedTypes, IdentificationFindsAssemblyReleaseAndBlocks)
{
    CModuleTypes catalogue(resourceDir());
    catalogue.FindTypes();
    for (int type = 1; type <= 33; ++type) {
        const char* name = CModuleType::_moduleTypeIDNames[size_t(type)].text;
        ASSERT_TRUE(catalogue.HasType(type)) << name;

        CAssembliesXML assemblies;
        ASSERT_TRUE(assemblies.load(catalogue.FindType(type) + QStringLiteral("assembly.xml"))) << name;
        AssemblyRecords records;
        records.Fill(&assemblies);
        const CAssembly* assembly = records.FindByRelease(CVersion(1, 2));
        ASSERT_NE(assembly, nullptr) << name;
        EXPECT_EQ(assembly->_id, 1) << name;
        EXPECT_TRUE(assembly->_boardAssembly.isEmpty()) << name;
        EXPECT_EQ(records.Latest(), assembly) << name;

        // The module record as the engine fills it for this release.
        CModuleType module;
        CModuleTypeXML reader;
        ASSERT_TRUE(module.Load(&reader, resourceDir() + QStringLiteral("/") + assembly->_moduleTypeFile))
            << name << " " << assembly->_moduleTypeFile.toStdString();
        EXPECT_EQ(module._moduleTypeID, type) << name;
        ASSERT_EQ(module.FPGAIds(), std::vector<UByte>{0}) << name;
        const CModuleTypeFPGA& fpga = module._fpgas.at(0);
        EXPECT_EQ(fpga._interfaceID, 1) << name;
        EXPECT_EQ(fpga._deviceID, 0) << name;
        EXPECT_EQ(fpga._firmware._revisionStart, 1) << name;
        EXPECT_TRUE(fpga._lookupTables.empty()) << name;
        if (isScaler(type)) {
            ASSERT_EQ(fpga._blocks.size(), 1u) << name;
            const CModuleTypeBlock& block = fpga._blocks.at(0);
            EXPECT_EQ(block._start, 3) << name;
            EXPECT_EQ(block._length, 41) << name;
        } else {
            EXPECT_TRUE(fpga._blocks.empty()) << name;
        }

        // Default personality: release 1.2, images 1.0, FPGA 0 at 1.0.
        module._releaseVersion = CVersion(1, 2);
        module._safeBootVersion.version = CVersion(1, 0);
        module._cncAppVersion.version = CVersion(1, 0);
        module._fpgas[0]._firmware.version = CVersion(1, 0);
        EXPECT_EQ(records.FindRelease(module), CVersion(1, 2)) << name;
        module._cncAppVersion.version = CVersion(0, 38);
        EXPECT_EQ(records.FindRelease(module), CVersion::_nullVersion) << name;
    }
}

} // namespace
