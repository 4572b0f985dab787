// The export of sector images back to text, and import -> export -> import
// round trips for every exportable format and size.
#include <string>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include "luterrors.h"
#include "lutfixtures.h"
#include "lutslots.h"

using namespace luttest;

namespace {

struct ExportResult
{
    bool ok = false;
    int errorCode = 0;
    QString errorText;
    QByteArray text;
};

// Stores image as the folder's sector image and exports it to name.
ExportResult Export(const Workspace& ws, const QByteArray& image, int sector, const QString& name)
{
    if (!image.isNull())
        ws.Write(QStringLiteral("sector%1.mem").arg(sector), image);
    CLutIF lut;
    ws.Prepare(lut);
    ExportResult r;
    r.ok = lut.ExportFile(sector, name.isEmpty() ? QString() : ws.Path(name));
    r.errorCode = lut.errorCode;
    r.errorText = lut.errorText;
    r.text = ws.Read(name);

    // The export from memory makes the same text (writing it is the file's part).
    const int format = lutslots::ExportFormat(QFileInfo(name).suffix(), lutslots::Is3D(sector));
    const QByteArray stored = ws.Read(QStringLiteral("sector%1.mem").arg(sector));
    if (format >= 0 && stored.size() >= 32768 && r.errorCode != luterror::kWriteFailed) {
        CLutIF memory;
        std::string text;
        EXPECT_EQ(memory.ExportText(stored, sector, format, text), r.ok) << name.toStdString();
        EXPECT_EQ(memory.errorCode, r.errorCode) << name.toStdString();
        if (r.ok) {
            EXPECT_EQ(QByteArray::fromStdString(text), r.text) << name.toStdString();
        }
    }
    return r;
}

QByteArray ImportImage(const Workspace& ws, const QString& name, const QByteArray& text, int sector)
{
    const ImportResult r = ws.Import(name, text, sector);
    EXPECT_TRUE(r.ok) << name.toStdString() << " " << r.errorCode;
    return r.image;
}

TEST(LutExport, Errors)
{
    Workspace ws;
    const QByteArray image3D16 = ImportImage(ws, QStringLiteral("t.3dl"), ZeroRows(4096), 0);
    const QByteArray image1D = ImportImage(ws, QStringLiteral("t.txt"), ZeroRows(1024), 1);
    const struct
    {
        const char* what;
        QByteArray image; // null: no sector file
        int sector;
        const char* name;
        int code;
    } cases[] = {
        {"empty path", image1D, 1, "", luterror::kNoOutputPath},
        {"3D as .txt", image3D16, 0, "out.txt", luterror::kBadSuffix},
        {"1D as .3dl", image1D, 3, "out.3dl", luterror::kBadSuffix},
        {"upper-case suffix", image1D, 1, "out.CUBE", luterror::kBadSuffix},
        {"16 points as .lut", image3D16, 2, "out.lut", luterror::kLutNeeds17Points},
        {"3D sector file missing", QByteArray(), 0, "out.cube", luterror::kSectorImageShort},
        {"1D sector file missing", QByteArray(), 1, "out.txt", luterror::kSectorImageShort},
        {"3D sector file short", image3D16.left(32767), 2, "out.3dl", luterror::kSectorImageShort},
        {"1D sector file short", image1D.left(31100), 3, "out.cube", luterror::kSectorImageShort},
        {"unwritable output", image1D, 1, "no/folder/out.txt", luterror::kWriteFailed},
    };
    for (const auto& c : cases) {
        Workspace other;
        const ExportResult r = Export(other, c.image, c.sector, QLatin1String(c.name));
        EXPECT_FALSE(r.ok) << c.what;
        EXPECT_EQ(r.errorCode, c.code) << c.what;
        // The output is emptied before anything else is tried.
        if (*c.name && c.code != luterror::kWriteFailed) {
            EXPECT_TRUE(QFile::exists(other.Path(QLatin1String(c.name)))) << c.what;
            EXPECT_TRUE(r.text.isEmpty()) << c.what;
        }
    }
}

TEST(LutExport, ErrorTextNamesTheSlotAndSectorFileName)
{
    const char* texts[] = {"Failed to read from 3D-LUT slot A", "Failed to read from 1D-LUT slot A",
                           "Failed to read from 3D-LUT slot B", "Failed to read from 1D-LUT slot B"};
    for (int sector = 0; sector < 4; ++sector) {
        Workspace ws;
        const ExportResult r = Export(ws, QByteArray(), sector, QStringLiteral("x.cube"));
        EXPECT_EQ(r.errorText, QLatin1String(texts[sector]));
    }
    // Sector 2 reads <workFolder>/sector2.mem and nothing else.
    Workspace ws;
    const QByteArray image = ImportImage(ws, QStringLiteral("t.3dl"), ZeroRows(4913), 2);
    ws.Write(QStringLiteral("sector2.mem"), image);
    EXPECT_TRUE(Export(ws, QByteArray(), 2, QStringLiteral("a.cube")).ok);
    EXPECT_EQ(Export(ws, QByteArray(), 0, QStringLiteral("b.cube")).errorCode, luterror::kSectorImageShort);
}

TEST(LutExport, OneDimensionalTexts)
{
    Workspace ws;
    const auto codes = [](int i) { return Rgb{i, 1023 - i, (i * 7) % 1024}; };
    const QByteArray table = Table1D(1024, [&](int i) { return IntRow(codes(i)); });
    const QByteArray image = ImportImage(ws, QStringLiteral("t.txt"), table, 1);
    ASSERT_EQ(image[0], char(0x07));

    ExportResult r = Export(ws, image, 1, QStringLiteral("out.txt"));
    ASSERT_TRUE(r.ok) << r.errorCode;
    const QByteArray header = "#10 bit 1DLUT with 1024 entries created by Velora Jastel\n"
                              "#Exported from LUT sector 1\n";
    EXPECT_TRUE(r.text == header + table);

    r = Export(ws, QByteArray(), 1, QStringLiteral("out.lut"));
    EXPECT_TRUE(r.text == header + "\nLUT: 3 1024\n" + table);

    r = Export(ws, QByteArray(), 1, QStringLiteral("out.cube"));
    ASSERT_TRUE(r.ok);
    const QByteArray cubeHead = header + "\nLUT_1D_SIZE 1024\nDOMAIN_MIN 0.0 0.0 0.0\nDOMAIN_MAX 1.0 1.0 1.0\n";
    ASSERT_TRUE(r.text.startsWith(cubeHead));
    const QList<QByteArray> lines = r.text.mid(cubeHead.size()).split('\n');
    ASSERT_EQ(lines.size(), 1025);
    EXPECT_EQ(lines[512], QByteArray("0.500489 0.499511 0.500489"));
    EXPECT_EQ(lines[1023], QByteArray("1.000000 0.000000 0.994135"));
}

TEST(LutExport, ThreeDimensionalTexts)
{
    const auto codes = [](int r, int g, int b) { return CoordinateCodes(r, g, b); };
    for (int n : {16, 17}) {
        Workspace ws;
        const QByteArray blueFastest = Table3D(n, false, [&](int r, int g, int b) { return IntRow(codes(r, g, b)); });
        const QByteArray image = ImportImage(ws, QStringLiteral("t.3dl"), blueFastest, 0);
        const QByteArray header =
            "#" + QByteArray::number(n) + "pt 3DLUT created by Velora Jastel\n#Exported from LUT sector 0\n";

        // .cube: the decimal lines, red fastest, no padding.
        ExportResult r = Export(ws, image, 0, QStringLiteral("out.cube"));
        ASSERT_TRUE(r.ok) << r.errorCode;
        const QByteArray redFastest =
            Table3D(n, true, [&](int r, int g, int b) { return FracRow(codes(r, g, b), 4095.0); });
        EXPECT_TRUE(r.text == header + "\nLUT_3D_SIZE " + QByteArray::number(n)
                                  + "\nDOMAIN_MIN 0.0 0.0 0.0\nDOMAIN_MAX 1.0 1.0 1.0\n" + redFastest)
            << n;

        // .3dl: the grid line, then the integer lines in stored order.
        r = Export(ws, QByteArray(), 0, QStringLiteral("out.3dl"));
        const QByteArray grid = n == 17 ? "0 64 128 192 256 320 384 448 512 576 640 704 768 832 896 960 1023\n"
                                        : "0 64 128 192 256 320 384 448 512 576 640 704 768 832 896 960\n";
        EXPECT_TRUE(r.text == header + grid + blueFastest) << n;

        if (n == 17) {
            r = Export(ws, QByteArray(), 0, QStringLiteral("out.lut"));
            EXPECT_TRUE(r.text == header + "\n3DMESH\nMesh 4 12\n\n" + blueFastest
                                      + "\n#Tokens required by applications - do not edit\nLUT8\ngamma 1.0\n");
        }
    }
}

TEST(LutExport, UnpackGivesSixteenBitSamples)
{
    // 0x123 and 0x456 packed as 36 12 45 unpack to 0x1230 and 0x4560.
    QByteArray image(32768, '\0');
    image[6524] = char(0x36);
    image[6525] = char(0x12);
    image[6526] = char(0x45);
    CLutIF::Unpack3DImage(image, 16);
    ASSERT_EQ(image.size(), 6524 + 3 * 8192);
    EXPECT_EQ(image.mid(6524, 4), QByteArray("\x30\x12\x60\x45"));
}

// Import -> export -> import gives the same image, for every format and
// size that the export writes.
TEST(LutExport, RoundTrips)
{
    for (const TableCase& c : ExportableTables()) {
        Workspace ws;
        const QString name = QLatin1String(c.file);
        const QByteArray first = ImportImage(ws, name, c.text, c.sector);
        ASSERT_EQ(first.size(), 32768) << c.file << " " << int(c.type);
        const ExportResult exported = Export(ws, first, c.sector, QStringLiteral("out/") + name);
        // The folder does not exist yet: the export must say so.
        EXPECT_EQ(exported.errorCode, luterror::kWriteFailed);
        QDir().mkpath(ws.Path(QStringLiteral("out")));
        const ExportResult again = Export(ws, QByteArray(), c.sector, QStringLiteral("out/") + name);
        ASSERT_TRUE(again.ok) << c.file << " " << again.errorCode;
        const QByteArray second = ImportImage(ws, name, again.text, c.sector);
        EXPECT_TRUE(second == first) << c.file << " " << int(c.type);
    }
}

} // namespace
