// Feeds arbitrary bytes, in memory, to the assembly and module-type
// description readers and walks everything they hand out: the records and
// their lookups, the module record filled by CModuleType::Load, and the
// module description written out and parsed back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <QByteArray>
#include <QtGlobal>

#include "catalog/assemblyrecords.h"
#include "catalog/cassembliesxml.h"
#include "catalog/cmoduletype.h"
#include "catalog/cmoduletypexml.h"

namespace {

void Quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

// CModuleType::Load reads through a path; this reader takes the bytes.
class BufferModuleTypeXML : public CModuleTypeXML {
public:
    explicit BufferModuleTypeXML(const QByteArray& bytes) : _bytes(bytes) {}
    bool load(const QString&) override { return loadBytes(_bytes); }

private:
    const QByteArray& _bytes;
};

void WalkAssemblies(const QByteArray& bytes, const CModuleType& module)
{
    CAssembliesXML assemblies;
    const bool loaded = assemblies.loadBytes(bytes);
    Check(loaded || assemblies.hasError());
    assemblies.getModuleType();
    assemblies.getFormatVersion();
    AssemblyRecords records;
    records.Fill(&assemblies);
    assemblies.takeError();
    Check(!assemblies.hasError());
    Check(loaded || records.IsEmpty());
    for (const auto& entry : records.Records()) {
        const CAssembly& a = entry.second;
        a.Describe(true);
        a.Files();
        a.LookupTableFiles();
        Check(records.Find(entry.first) == &a);
        Check(records.FindByRelease(a._releaseVersion) != nullptr);
        const CAssembly* match = records.FindByReleaseAndBoard(a._releaseVersion, a._boardAssembly);
        Check(a._releaseVersion.IsNone() || match != nullptr);
    }
    Check((records.Latest() == nullptr) == records.IsEmpty());
    Check(records.IdsByRelease().size() == records.Records().size());
    records.FindByRelease(CVersion::_nullVersion);
    records.FindRelease(module);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qInstallMessageHandler(Quiet);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), int(size));

    CModuleType module;
    BufferModuleTypeXML reader(bytes);
    const bool loaded = module.Load(&reader, QString());
    Check(loaded || module.FPGAIds().empty());
    for (const UByte id : module.FPGAIds()) {
        const CModuleTypeFPGA* fpga = module.FindFPGA(id);
        Check(fpga != nullptr);
        for (const UByte block : fpga->BlockIds())
            Check(fpga->FindBlock(block) != nullptr);
        for (const UByte table : fpga->LookupTableIds())
            Check(fpga->FindLookupTable(table) != nullptr);
        module.FPGAName(id);
    }
    module._releaseVersion = CVersion(1, 2);

    WalkAssemblies(bytes, module);

    QByteArray description;
    module.AppendInfo(description);
    CModuleTypeFPGA parsed;
    parsed.Parse(reinterpret_cast<const UByte*>(description.constData()), description.size());
    module.ParseInfoReply(data, int(size > 64 ? 64 : size));
    return 0;
}
