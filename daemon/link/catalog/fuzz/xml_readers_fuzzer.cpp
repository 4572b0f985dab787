// Feeds arbitrary bytes to the assembly and module-type description readers
// and walks everything they hand out.
#include <cstddef>
#include <cstdint>

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QtGlobal>

#include "catalog/assemblyrecords.h"
#include "catalog/cassembliesxml.h"
#include "catalog/cmoduletype.h"
#include "catalog/cmoduletypexml.h"

namespace {

void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

const QString& inputPath()
{
    static const QString path =
        QDir::tempPath() + QStringLiteral("/catalog_fuzz_%1.xml").arg(qint64(QCoreApplication::applicationPid()));
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool once = [] { qInstallMessageHandler(quiet); return true; }();
    (void)once;

    {
        QFile file(inputPath());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }

    CAssembliesXML assemblies;
    assemblies.load(inputPath());
    assemblies.getModuleType();
    assemblies.getFormatVersion();
    AssemblyRecords records;
    records.Fill(&assemblies);
    assemblies.takeError();
    for (const auto& entry : records.Records()) {
        const CAssembly& a = entry.second;
        a.Describe(true);
        a.Files();
        a.LookupTableFiles();
        records.FindByReleaseAndBoard(a._releaseVersion, a._boardAssembly);
    }
    records.FindByRelease(CVersion::_nullVersion);
    records.IdsByRelease();

    CModuleType module;
    CModuleTypeXML reader;
    module.Load(&reader, inputPath());
    module._releaseVersion = CVersion(1, 2);
    records.FindRelease(module);
    QByteArray description;
    module.AppendInfo(description);
    CModuleTypeFPGA parsed;
    parsed.Parse(reinterpret_cast<const UByte*>(description.constData()), description.size());
    module.ParseInfoReply(data, int(size > 64 ? 64 : size));
    return 0;
}
