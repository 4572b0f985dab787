// Feeds arbitrary bytes, in memory, to the LUT import and export.
//
// Input: a first line "<digit> <file name>", then the file's bytes. Digits
// 0-3 import the bytes as a table file of that name into that sector; 4-7
// export them, as the stored image of sector digit-4 (cut or zero-filled to
// 32768 bytes), to a file of that name. The name's suffix picks the format,
// as it does for a real file.
//
// Aborts when an import reports success without exactly one 32768-byte
// image named after the table, leaves anything in a failed import's image,
// touches the image file, when an export succeeds without text or fails
// for another reason than the format, or when the data-row scanner
// disagrees with its regular expression.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QRegExp>
#include <QTemporaryDir>

#include "clutif.h"
#include "luterrors.h"
#include "lutimage.h"
#include "lutslots.h"
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

// An image path the import must never create.
const QString& ImagePath()
{
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("image.mem"));
    return path;
}

// The scanner and the pattern agree on the first lines of the text.
void CompareDataRowScanner(const QByteArray& text)
{
    static QRegExp pattern(QString::fromLatin1(lutsyntax::kDataRowPattern));
    int start = 0;
    for (int i = 0; i < 16 && start <= text.size(); ++i) {
        int end = start;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r')
            ++end;
        QByteArray line = text.mid(start, end - start);
        start = end + 1;
        const int nul = line.indexOf('\0');
        if (nul >= 0)
            line.truncate(nul);
        const bool scanned = lutsyntax::MatchDataRow(std::string_view(line.constData(), size_t(line.size())));
        Check(scanned == pattern.exactMatch(QString::fromLatin1(line)), "data-row scanner differs from its pattern");
    }
}

void Import(const QByteArray& text, const QString& name, int sector)
{
    CompareDataRowScanner(text);
    CLutIF lut;
    lut.imagePath = ImagePath();
    QByteArray image;
    const bool ok = lut.ImportText(text, name, sector, image);
    Check(ok == (lut.errorCode == 0), "result and error code disagree");
    if (name.isEmpty())
        return Check(ok && image.isEmpty(), "an empty entry is not skipped");
    Check(ok ? image.size() == lutimage::kImageSize : image.isEmpty(), "image size does not match the result");
    if (ok) {
        const QByteArray base = QFileInfo(name).baseName().toLatin1();
        Check(image[1] == char(base.size() & 0xFF) && image.mid(2, base.size()) == base,
              "image header does not name the table");
    }
    Check(!QFile::exists(ImagePath()), "the import wrote the image file");
}

void Export(const QByteArray& bytes, const QString& name, int sector)
{
    const int format = lutslots::ExportFormat(QFileInfo(name).suffix(), lutslots::Is3D(sector));
    if (format < 0)
        return;
    QByteArray image = bytes.left(lutimage::kImageSize);
    image.append(QByteArray(lutimage::kImageSize - image.size(), '\0'));
    CLutIF lut;
    std::string text;
    const bool ok = lut.ExportText(image, sector, format, text);
    Check(ok ? !text.empty() : lut.errorCode == luterror::kLutNeeds17Points, "export result");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qInstallMessageHandler(QuietMessages);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char*>(data), int(size));
    const int eol = input.indexOf('\n');
    if (size < 2 || eol < 0)
        return 0;
    const int digit = (input[0] - '0') & 7;
    const QString name = QString::fromLatin1(input.mid(2, eol - 2));
    const QByteArray bytes = input.mid(eol + 1);
    if (digit < 4)
        Import(bytes, name, digit);
    else
        Export(bytes, name, digit - 4);
    return 0;
}
