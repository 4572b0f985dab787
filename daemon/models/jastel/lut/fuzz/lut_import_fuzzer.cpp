// Feeds arbitrary bytes to the LUT import as every accepted kind of file
// (3D .cube, .3dl, .lut, .txt into slot 0; 1D .cube, .lut, .txt into slot 1),
// and to the export as a sector image.
//
// Aborts when an import reports success without a whole 32768-byte image,
// leaves anything in a failed import's image, writes any file but the image,
// or when the data-row scanner disagrees with its regular expression.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QRegExp>
#include <QTemporaryDir>

#include "clutif.h"
#include "lutimage.h"
#include "lutsyntax.h"

namespace {

void QuietMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

void Check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "lut_import_fuzzer: %s\n", what);
        std::abort();
    }
}

struct Workspace
{
    QTemporaryDir dir;
    Workspace()
    {
        qInstallMessageHandler(QuietMessages);
        Check(dir.isValid(), "no temporary folder");
    }
    QString Path(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }
};

void WriteFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    Check(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "cannot write the input");
    Check(file.write(data) == data.size(), "cannot write the input");
}

// The scanner and the pattern agree on the first lines of the input.
void CompareDataRowScanner(const QByteArray& data)
{
    static QRegExp pattern(QString::fromLatin1(lutsyntax::kDataRowPattern));
    const QList<QByteArray> lines = QByteArray(data).replace('\r', '\n').split('\n');
    for (int i = 0; i < lines.size() && i < 64; ++i) {
        QByteArray line = lines[i];
        const int nul = line.indexOf('\0');
        if (nul >= 0)
            line.truncate(nul);
        const bool scanned = lutsyntax::MatchDataRow(std::string_view(line.constData(), size_t(line.size())));
        Check(scanned == pattern.exactMatch(QString::fromLatin1(line)), "data-row scanner differs from its pattern");
    }
}

void Import(const Workspace& ws, const QByteArray& data, const char* suffix, int sector)
{
    const QString table = ws.Path(QStringLiteral("table.") + QLatin1String(suffix));
    WriteFile(table, data);
    CLutIF lut;
    lut.imagePath = ws.Path(QStringLiteral("image.mem"));
    lut.workFolder = ws.dir.path();
    QStringList files{QString(), QString(), QString(), QString()};
    files[sector] = table;
    const bool ok = lut.ImportFile(files, sector);
    const qint64 size = QFileInfo(lut.imagePath).size();
    Check(ok ? size == lutimage::kImageSize : size == 0, "image size does not match the result");
    Check(ok == (lut.errorCode == 0), "result and error code disagree");
    const QStringList entries = QDir(ws.dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot);
    Check(entries.size() == 2, "the import wrote a file other than the image");
    QFile::remove(table);
    QFile::remove(lut.imagePath);
}

void Export(const Workspace& ws, const QByteArray& data)
{
    QByteArray image = data.left(lutimage::kImageSize);
    image.append(QByteArray(lutimage::kImageSize - image.size(), '\0'));
    WriteFile(ws.Path(QStringLiteral("sector0.mem")), image);
    WriteFile(ws.Path(QStringLiteral("sector1.mem")), image);
    CLutIF lut;
    lut.workFolder = ws.dir.path();
    for (const char* name : {"out.cube", "out.3dl", "out.lut"})
        lut.ExportFile(0, ws.Path(QLatin1String(name)));
    for (const char* name : {"out.cube", "out.lut", "out.txt"})
        lut.ExportFile(1, ws.Path(QLatin1String(name)));
    QDir(ws.dir.path()).removeRecursively();
    QDir().mkpath(ws.dir.path());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    static Workspace ws;
    const QByteArray data(reinterpret_cast<const char*>(bytes), int(size));
    CompareDataRowScanner(data);
    for (const char* suffix : {"cube", "3dl", "lut", "txt"})
        Import(ws, data, suffix, 0);
    for (const char* suffix : {"cube", "lut", "txt"})
        Import(ws, data, suffix, 1);
    Export(ws, data);
    return 0;
}
