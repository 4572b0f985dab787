// The hardware description files shipped beside the daemon: one folder per
// model of the registry, named after it, describing the module type and
// the FPGAs and blocks a converter with the simulator's default personality
// has, so such a converter finds its assembly, release and blocks; the
// block is the one the model's block maker makes.
#include <gtest/gtest.h>

#include <QDir>
#include <QStringList>

#include <memory>
#include <vector>

#include "blocksupport/registerblock.h"
#include "catalog/assemblyrecords.h"
#include "catalog/cassembliesxml.h"
#include "catalog/cmoduletype.h"
#include "catalog/cmoduletypes.h"
#include "catalog/cmoduletypexml.h"
#include "convsim/personality.h"
#include "linkrig.h"
#include "modelfolder.h"
#include "registry.h"

namespace {

// The directory above "types": the daemon's resource directory.
QString ResourceDir()
{
    return tovik::test::ShippedResourceDir();
}

QString Folder(const ModelRow& row)
{
    return QString::fromStdString(ModelFolder(row.name));
}

TEST(ShippedTypes, OneFolderPerModelOfTheRegistry)
{
    const QDir types(ResourceDir() + QStringLiteral("/types"));
    ASSERT_TRUE(types.exists()) << types.path().toStdString();
    QStringList expected;
    for (const ModelRow& row : ModelRegistry::Rows())
        if (row.moduleType != 0)
            expected << Folder(row);
    expected.sort();
    EXPECT_EQ(types.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name), expected);

    for (const QString& folder : expected) {
        CAssembliesXML reader;
        ASSERT_TRUE(reader.load(types.filePath(folder + QStringLiteral("/assembly.xml"))))
            << folder.toStdString() << ": " << reader.takeError().toStdString();
        const ModelRow* row = ModelRegistry::Find(reader.getModuleType());
        ASSERT_NE(row, nullptr) << folder.toStdString();
        EXPECT_EQ(Folder(*row), folder);
    }
}

// A block as both sides describe it.
struct BlockShape {
    int fpga;
    int id;
    int start;
    int length;
    bool operator==(const BlockShape& o) const
    {
        return fpga == o.fpga && id == o.id && start == o.start && length == o.length;
    }
};

void PrintTo(const BlockShape& b, std::ostream* out)
{
    *out << "FPGA " << b.fpga << " block " << b.id << " start " << b.start << " length " << b.length;
}

TEST(ShippedTypes, DescribeWhatTheSimulatedConverterHas)
{
    CModuleTypes catalogue(ResourceDir());
    catalogue.FindTypes();
    for (const ModelRow& row : ModelRegistry::Rows()) {
        if (row.moduleType == 0)
            continue;
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(catalogue.HasType(row.moduleType));

        CAssembliesXML assemblies;
        ASSERT_TRUE(assemblies.load(catalogue.FindType(row.moduleType) + QStringLiteral("assembly.xml")));
        AssemblyRecords records;
        records.Fill(&assemblies);
        const CAssembly* assembly = records.FindByRelease(CVersion(1, 2));
        ASSERT_NE(assembly, nullptr);
        EXPECT_EQ(assembly->_id, 1);
        EXPECT_TRUE(assembly->_boardAssembly.isEmpty());
        EXPECT_EQ(records.Latest(), assembly);

        // The module record as the engine fills it for this release.
        CModuleType module;
        CModuleTypeXML reader;
        ASSERT_TRUE(module.Load(&reader, ResourceDir() + QStringLiteral("/") + assembly->_moduleTypeFile))
            << assembly->_moduleTypeFile.toStdString();
        EXPECT_EQ(module._moduleTypeID, row.moduleType);

        // FPGAs and blocks: those of the simulator's default personality.
        const convsim::Personality personality = convsim::Personality::ForType(row.moduleType);
        std::vector<UByte> fpgaIds;
        std::vector<BlockShape> simulated, described;
        for (const convsim::FpgaLayout& fpga : personality.fpgas) {
            fpgaIds.push_back(fpga.id);
            for (const convsim::BlockLayout& block : fpga.blocks)
                simulated.push_back({fpga.id, block.id, block.start, int(block.memory.size())});
        }
        ASSERT_EQ(module.FPGAIds(), fpgaIds);
        for (const auto& entry : module._fpgas) {
            const CModuleTypeFPGA& fpga = entry.second;
            const convsim::FpgaLayout* sim = nullptr;
            for (const convsim::FpgaLayout& f : personality.fpgas)
                if (f.id == fpga._id)
                    sim = &f;
            ASSERT_NE(sim, nullptr);
            EXPECT_EQ(fpga._interfaceID, sim->interfaceId);
            EXPECT_EQ(fpga._deviceID, sim->deviceId);
            EXPECT_EQ(fpga._firmware._revisionStart, 1);
            EXPECT_TRUE(fpga._lookupTables.empty());
            for (const auto& block : fpga._blocks)
                described.push_back({fpga._id, block.second._id, block.second._start, block.second._length});
        }
        EXPECT_EQ(described, simulated);

        // The model's own block is the one described, as its layout says;
        // a model without a block maker describes none.
        std::vector<BlockShape> own;
        if (row.makeBlock) {
            std::unique_ptr<CConfigBlockIF> block(row.makeBlock(nullptr, 0, 0));
            auto* registers = dynamic_cast<RegisterBlock*>(block.get());
            ASSERT_NE(registers, nullptr);
            own.push_back({0, 0, registers->Layout().firstRegister, registers->Layout().imageLength});
        }
        EXPECT_EQ(described, own);

        // Default personality: release 1.2, images 1.0, FPGA 0 at 1.0.
        module._releaseVersion = CVersion(1, 2);
        module._safeBootVersion.version = CVersion(1, 0);
        module._cncAppVersion.version = CVersion(1, 0);
        module._fpgas[0]._firmware.version = CVersion(1, 0);
        EXPECT_EQ(records.FindRelease(module), CVersion(1, 2));
        module._cncAppVersion.version = CVersion(0, 38);
        EXPECT_EQ(records.FindRelease(module), CVersion::_nullVersion);
    }
}

} // namespace
