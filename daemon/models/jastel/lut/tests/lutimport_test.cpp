// The import: every error code from small fixtures, the line rules, the
// header keywords and the conversion of values into codes.
#include <csignal>
#include <string>
#include <sys/resource.h>

#include <QFile>

#include <gtest/gtest.h>

#include "luterrors.h"
#include "lutfixtures.h"
#include "messagelog.h"

using namespace luttest;

namespace {

const QString kCubeOutOfSize = QStringLiteral("CLutIF::IsTableDataMatched() - Cube out of size ");
const QString kUnknownKeyword = QStringLiteral("CLutIF::IsTableDataMatched() - Unknown keyword ");

struct ErrorCase
{
    const char* what;
    const char* file;
    int sector;
    QByteArray text;
    int code;
    const char* message; // the one debug line expected, or nullptr for none
};

QByteArray Line(int length)
{
    QByteArray line = "0 0 0";
    return line + QByteArray(length - line.size(), ' ');
}

TEST(LutImport, ErrorCodes)
{
    const QByteArray rows4096 = ZeroRows(4096);
    const ErrorCase cases[] = {
        {"3D suffix in upper case", "x.CUBE", 0, SmallCube(), luterror::kBadSuffix, nullptr},
        {"3dl into a 1D slot", "x.3dl", 1, ZeroRows(1024), luterror::kBadSuffix, nullptr},
        {"unknown suffix", "x.csv", 2, rows4096, luterror::kBadSuffix, nullptr},
        {"no suffix", "cube", 3, ZeroRows(1024), luterror::kBadSuffix, nullptr},
        {"size keyword 18", "x.cube", 0, SmallCube(16, "LUT_3D_SIZE 18\n"), luterror::kCubeSize,
         "CLutIF::ParseTableRow() - Cube size out of range "},
        {"Mesh 3 12", "x.lut", 0, ZeroRows(4913, "Mesh 3 12\n"), luterror::kCubeSize,
         "CLutIF::ParseTableRow() - Cube size out of range "},
        {"grid line of 15", "x.3dl", 0, ZeroRows(4096, "0 1 2 3 4 5 6 7 8 9 10 11 12 13 14\n"), luterror::kCubeSize,
         "CLutIF::ParseTableRow() - Cube size out of range "},
        {"vertices 33", "x.txt", 0, ZeroRows(4096, "vertices 33\n"), luterror::kCubeSize,
         "CLutIF::ParseTableRow() - Cube size out of range "},
        {"LUT3D N 15", "x.txt", 0, ZeroRows(4096, "<LUT3D name='x' N='15' BitDepth='12'>\n"), luterror::kCubeSize,
         "CLutIF::ParseTableRow() - Cube size out of range "},
        {"survey 4912 rows", "x.cube", 0, ZeroRows(4912), luterror::kCubeSize, nullptr},
        {"survey 4914 rows", "x.3dl", 2, ZeroRows(4914), luterror::kCubeSize, nullptr},
        {"4914 rows under size 17", "x.cube", 0, ZeroRows(4914, "LUT_3D_SIZE 17\n"), luterror::kCubeSize,
         "CLutIF::IsTableDataMatched() - Cube out of size "},
        {"4097 rows under grid of 16", "x.3dl", 0,
         ZeroRows(4097, "0 64 128 192 256 320 384 448 512 576 640 704 768 832 896 960\n"), luterror::kCubeSize,
         "CLutIF::IsTableDataMatched() - Cube out of size "},
        {"3D without rows", "x.cube", 0, "TITLE \"empty\"\n", luterror::kCubeSize, nullptr},
        {"domain reversed", "x.cube", 0, SmallCube(16, "DOMAIN_MIN 0 0 1\nDOMAIN_MAX 1 1 1\n"),
         luterror::kDomainReversed, "CLutIF::ParseTableRow() - Domain bounds reversed "},
        {"domain reversed 1D", "x.cube", 1, ZeroRows(1024, "DOMAIN_MAX -1 1 1\n"), luterror::kDomainReversed,
         "CLutIF::ParseTableRow() - Domain bounds reversed "},
        {"DOMAIN_MIN twice", "x.cube", 0, SmallCube(16, "DOMAIN_MIN 0 0 0\ndomain_min 0 0 0\n"),
         luterror::kKeywordRepeated, "CLutIF::ParseTableRow() - Parse Error - Keyword Repeated "},
        {"Lut3D twice", "x.txt", 2, ZeroRows(4913, "Lut3D: 17\nLUT3D: 17\n"), luterror::kKeywordRepeated,
         "CLutIF::ParseTableRow() - Parse Error - Keyword Repeated "},
        {"513-byte header line", "x.cube", 0, SmallCube(16, "#" + QByteArray(512, 'x') + "\n"),
         luterror::kLineTooLong, nullptr},
        {"513-byte line after the data", "x.3dl", 0, rows4096 + "#" + QByteArray(512, 'x') + "\n",
         luterror::kLineTooLong, nullptr},
        {"513-byte line after the data, size known", "x.3dl", 0,
         ZeroRows(4096, "0 64 128 192 256 320 384 448 512 576 640 704 768 832 896 960\n") + Line(513) + "\n",
         luterror::kLineTooLong, nullptr},
        {"513-byte data row in 1D", "x.txt", 1, ZeroRows(1023) + Line(513) + "\n", luterror::kLineTooLong, nullptr},
        {"size 17 with 4912 rows", "x.cube", 0, ZeroRows(4912, "LUT_3D_SIZE 17\n"), luterror::kRowCount, nullptr},
        {"Mesh with 4096 rows", "x.lut", 0, ZeroRows(4096, "Mesh 4 12\n"), luterror::kRowCount, nullptr},
        {"max value 4096", "x.txt", 0, ZeroRows(4096, "max value 4096\n"), luterror::kBitDepth, nullptr},
        {"max value beyond int", "x.txt", 0, ZeroRows(4096, "max value 99999999999\n"), luterror::kBitDepth, nullptr},
        {"Mesh 4 13", "x.3dl", 0, ZeroRows(4913, "Mesh 4 13\n"), luterror::kBitDepth, nullptr},
        {"LUT3D depth 0", "x.txt", 0, ZeroRows(4913, "<LUT3D name='x' N='17' BitDepth='0'>\n"),
         luterror::kBitDepth, nullptr},
        {"3dl code 4096", "x.3dl", 0, ZeroRows(4095) + "0 4096 0\n", luterror::kValueRange,
         "CLutIF::IsTableDataMatched() - Value out of range "},
        {"txt code -1", "x.txt", 0, "-1 0 0\n" + ZeroRows(4095), luterror::kValueRange,
         "CLutIF::IsTableDataMatched() - Value out of range "},
        {"code above max value", "x.txt", 0, ZeroRows(4095, "max value 255\n") + "0 0 256\n", luterror::kValueRange,
         "CLutIF::IsTableDataMatched() - Value out of range "},
        {"cube value 1.5", "x.cube", 0, ZeroRows(4095) + "1.5 0 0\n", luterror::kValueRange,
         "CLutIF::IsTableDataMatched() - Value out of range "},
        {"cube integer 2", "x.cube", 2, ZeroRows(4095) + "0 2 0\n", luterror::kValueRange,
         "CLutIF::IsTableDataMatched() - Value out of range "},
        {"integer beyond int", "x.3dl", 0, ZeroRows(4095) + "99999999999 0 0\n", luterror::kValueRange,
         "CLutIF::IsTableDataMatched() - Value out of range "},
        {"1D cube value 1.01", "x.cube", 1, ZeroRows(1023) + "1.01 0 0\n", luterror::kValueRange,
         "CLutIF::IsTableDataMatched() - Value out of range "},
        {"1D code -1", "x.lut", 3, ZeroRows(1023) + "0 -1 0\n", luterror::kValueRange,
         "CLutIF::IsTableDataMatched() - Value out of range "},
        {"1D 1000 rows", "x.txt", 1, ZeroRows(1000), luterror::k1DRowCount, nullptr},
        {"1D 4097 rows", "x.cube", 3, ZeroRows(4097), luterror::k1DRowCount, nullptr},
        {"1D without rows", "x.txt", 1, "# nothing\n\n", luterror::k1DRowCount, nullptr},
        {"1D empty file", "x.cube", 3, "", luterror::k1DRowCount, nullptr},
    };
    for (const ErrorCase& c : cases) {
        Workspace ws;
        const ImportResult r = ws.Import(QLatin1String(c.file), c.text, c.sector);
        EXPECT_FALSE(r.ok) << c.what;
        EXPECT_EQ(r.errorCode, c.code) << c.what;
        EXPECT_TRUE(r.image.isEmpty()) << c.what;
        QStringList expected;
        if (c.message)
            expected << QLatin1String(c.message);
        EXPECT_EQ(r.messages.filter(QStringLiteral("CLutIF")), expected) << c.what;
    }
}

TEST(LutImport, FileCannotBeOpenedOrRead)
{
    Workspace ws;
    ImportResult r = ws.ImportFiles({ws.Path(QStringLiteral("missing.cube"))}, 0);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.errorCode, luterror::kOpenFailed);

    QDir().mkpath(ws.Path(QStringLiteral("folder.cube")));
    r = ws.ImportFiles({ws.Path(QStringLiteral("folder.cube"))}, 0);
    EXPECT_EQ(r.errorCode, luterror::kOpenFailed);

    // A file too large to be a table is not read whole.
    QFile huge(ws.Path(QStringLiteral("huge.txt")));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize((qint64(32) << 20) + 1));
    huge.close();
    r = ws.ImportFiles({huge.fileName()}, 1);
    EXPECT_EQ(r.errorCode, luterror::kReadShort);
}

TEST(LutImport, UnknownParserStateFails)
{
    Workspace ws;
    CLutIF lut;
    ws.Prepare(lut);
    lut.parserState = 2;
    tovik::test::MessageLog log;
    EXPECT_FALSE(lut.ParseFile(ws.Write(QStringLiteral("x.3dl"), ZeroRows(4096)), CLutIF::kFormat3dl, true));
    EXPECT_EQ(lut.errorCode, luterror::kParserState);
    EXPECT_EQ(log.Lines(), QStringList{QStringLiteral("CLutIF::ParseTableRow() - Parser in unknown state ")});
}

TEST(LutImport, ErrorTextNamesTheSlot)
{
    const char* texts[] = {"Failed to write to 3D-LUT slot A", "Failed to write to 1D-LUT slot A",
                           "Failed to write to 3D-LUT slot B", "Failed to write to 1D-LUT slot B"};
    for (int sector = 0; sector < 4; ++sector) {
        Workspace ws;
        const ImportResult r = ws.Import(QStringLiteral("x.png"), QByteArray(), sector);
        EXPECT_EQ(r.errorText, QLatin1String(texts[sector]));
        // Kept after a success too.
        const ImportResult ok = ws.Import(QStringLiteral("y.txt"), ZeroRows(sector % 2 ? 1024 : 4096), sector);
        EXPECT_TRUE(ok.ok);
        EXPECT_EQ(ok.errorText, QLatin1String(texts[sector]));
    }
}

TEST(LutImport, FileListEntries)
{
    Workspace ws;
    // An empty list, or only empty entries: true and an empty image file.
    EXPECT_TRUE(ws.ImportFiles({}, 0).ok);
    ImportResult r = ws.ImportFiles({QString(), QString(), QString(), QString()}, 1);
    EXPECT_TRUE(r.ok);
    EXPECT_TRUE(QFile::exists(ws.ImagePath()));
    EXPECT_TRUE(r.image.isEmpty());
    // Every non-empty entry goes into the named slot, one image after the other.
    const QString a = ws.Write(QStringLiteral("a.txt"), ZeroRows(1024));
    const QString b = ws.Write(QStringLiteral("b.txt"), ZeroRows(4096));
    r = ws.ImportFiles({a, QString(), b, QString()}, 3);
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.image.size(), 2 * 32768);
    EXPECT_EQ(r.image[0], char(0x07));
    EXPECT_EQ(r.image[32768], char(0x27));
    // A later failure keeps what the earlier entries wrote.
    const QString bad = ws.Write(QStringLiteral("c.txt"), ZeroRows(10));
    r = ws.ImportFiles({a, bad}, 3);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.image.size(), 32768);
}

TEST(LutImport, ImageWriteFailureFailsTheImport)
{
    Workspace ws;
    CLutIF lut;
    lut.imagePath = ws.Path(QStringLiteral("no/such/folder/image.mem"));
    EXPECT_FALSE(lut.ImportFile({ws.Write(QStringLiteral("t.txt"), ZeroRows(1024))}, 1));
    EXPECT_EQ(lut.errorCode, luterror::kWriteFailed);
}

TEST(LutImport, ShortImageWriteFailsTheImport)
{
    // A file-size limit makes the image write stop short, as a full disk does.
    Workspace ws;
    const QString table = ws.Write(QStringLiteral("t.3dl"), ZeroRows(4096));
    CLutIF lut;
    ws.Prepare(lut);
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit small = saved;
    small.rlim_cur = 20000;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool ok = lut.ImportFile({table}, 0);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(ok);
    EXPECT_EQ(lut.errorCode, luterror::kWriteFailed);
}

TEST(LutImport, LineEndsCommentsAndBlankLines)
{
    const QByteArray plain = SmallCube(17, "TITLE \"t\"\nLUT_3D_SIZE 17\n");
    QByteArray crlf = plain;
    crlf.replace("\n", "\r\n");
    QByteArray commented = "# lead\n\n" + plain;
    commented.replace("0.5 0.5 0.5\n0.5", "0.5 0.5 0.5\n# between rows\n\n   \n0.5");
    commented.replace("LUT_3D_SIZE", "#c\n\nLUT_3D_SIZE");
    commented += "\n# trailing\n";
    QByteArray withNul = plain;
    withNul.replace(withNul.indexOf("0.5 0.5 0.5\n"), 12, QByteArray("0.5 0.5 0.5\0junk\n", 17));
    QByteArray line512 = plain;
    line512.replace(line512.indexOf("0.5 0.5 0.5\n"), 12, "0.5 0.5 0.5" + QByteArray(501, ' ') + "\n");
    QByteArray comment512 = "#" + QByteArray(511, 'c') + "\n" + plain;

    Workspace ws;
    const ImportResult reference = ws.Import(QStringLiteral("t.cube"), plain, 0);
    ASSERT_TRUE(reference.ok) << reference.errorCode;
    for (const QByteArray& text : {crlf, commented, withNul, line512, comment512}) {
        Workspace other;
        const ImportResult r = other.Import(QStringLiteral("t.cube"), text, 0);
        ASSERT_TRUE(r.ok) << r.errorCode;
        EXPECT_TRUE(r.image == reference.image);
        EXPECT_TRUE(r.messages.isEmpty()) << r.messages.join(QLatin1Char('|')).toStdString();
    }
}

TEST(LutImport, CaseInsensitiveKeywordsCaseSensitiveSuffix)
{
    const struct
    {
        const char* file;
        int sector;
        QByteArray text;
        char type;
    } cases[] = {
        {"a.cube", 0, SmallCube(17, "title \"x\"\ndomain_min 0 0 0\nDomain_Max 1 1 1\nlut_3d_size 17\n"), 0x01},
        {"a.lut", 0, ZeroRows(4913, "MESH 4 12\n"), 0x05},
        {"a.txt", 0, ZeroRows(4913, "MAX Value 4095\nVERTICES 17\n"), 0x07},
        {"a.txt", 2, ZeroRows(4913, "lut3d: 17\n"), 0x07},
        {"a.txt", 2, ZeroRows(4096, "<lut3d name='ab' n='17' bitdepth='12'>\nLut3D: 16\n"), 0x06},
    };
    for (const auto& c : cases) {
        Workspace ws;
        const ImportResult r = ws.Import(QLatin1String(c.file), c.text, c.sector);
        ASSERT_TRUE(r.ok) << c.file << " " << r.errorCode;
        EXPECT_EQ(r.image[0], c.type);
        EXPECT_TRUE(r.messages.isEmpty()) << r.messages.join(QLatin1Char('|')).toStdString();
    }
}

TEST(LutImport, HeaderKeywordEffects)
{
    // A Mesh line in a .cube and a size line with a trailing blank are
    // unrecognised lines: skipped with a message; the survey finds the size.
    Workspace ws;
    ImportResult r = ws.Import(QStringLiteral("a.cube"), SmallCube(17, "Mesh 4 12\nLUT_3D_SIZE 17 \n"), 0);
    ASSERT_TRUE(r.ok) << r.errorCode;
    EXPECT_EQ(r.errorCode, 0);
    EXPECT_EQ(r.messages, QStringList() << kUnknownKeyword << kUnknownKeyword);

    // A DOMAIN_MIN after the first data row is ignored without a message.
    QByteArray late = SmallCube(16);
    late.insert(late.indexOf('\n') + 1, "DOMAIN_MIN 0.5 0.5 0.5\nDOMAIN_MIN 2 2 2\n");
    r = ws.Import(QStringLiteral("a.cube"), late, 0);
    ASSERT_TRUE(r.ok) << r.errorCode;
    EXPECT_TRUE(r.messages.isEmpty());
    EXPECT_EQ(Packed3D(r.image, 16, 0, 0), 2048);

    // In a 1D .cube LUT_1D_SIZE is no keyword; 1D .lut/.txt headers are skipped.
    r = ws.Import(QStringLiteral("a.cube"), ZeroRows(1024, "LUT_1D_SIZE 1024\n"), 1);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.messages, QStringList{kUnknownKeyword});
    r = ws.Import(QStringLiteral("a.lut"), ZeroRows(4096, "LUT: 3 4096\nTITLE \"x\"\n"), 3);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.messages.size(), 2);

    // A LUT3D tag whose name holds a blank shifts its tokens: the name's
    // tail is taken for N and N for the bit depth (17 bits: refused).
    r = ws.Import(QStringLiteral("a.txt"), ZeroRows(4913, "<LUT3D name='a b' N='17' BitDepth='12'>\n"), 0);
    EXPECT_EQ(r.errorCode, luterror::kBitDepth);

    // The title is the text between the first and the last double quote.
    CLutIF lut;
    ws.Prepare(lut);
    ASSERT_TRUE(lut.ImportFile({ws.Write(QStringLiteral("t.cube"), SmallCube(16, "TITLE \"My \"best\" LUT\" \n"))}, 0));
    EXPECT_EQ(lut.title, QStringLiteral("My \"best\" LUT"));
}

TEST(LutImport, ValueConversion)
{
    const struct
    {
        const char* what;
        const char* file;
        QByteArray header;
        QByteArray row;
        Rgb codes;
    } cases[] = {
        {"half", "a.cube", "", "0.5 0.5 0.5", {2048, 2048, 2048}},
        {"cube integers are relative", "a.cube", "", "1 0 1", {4095, 0, 4095}},
        {"cube domain", "a.cube", "DOMAIN_MIN -1 0 0\nDOMAIN_MAX 1 2 4\n", "0 1 1", {2048, 2048, 1024}},
        {"cube exponent", "a.cube", "", "2.5e-1 1E0 0e5", {1024, 4095, 0}},
        {"3dl integers raw", "a.3dl", "", "1 4095 +17", {1, 4095, 17}},
        {"3dl fractions", "a.3dl", "", "0.25 1.0 -0.0", {1024, 4095, 0}},
        {"txt max value", "a.txt", "max value 1000\n", "0.5 1000 0.9995", {500, 1000, 1000}},
        {"lut bit depth 10", "a.lut", "Mesh 4 10\n", "0.5 1023 1.0", {512, 1023, 1023}},
    };
    for (const auto& c : cases) {
        Workspace ws;
        const QByteArray rows = c.row + "\n" + ZeroRows(4912);
        const ImportResult r = ws.Import(QLatin1String(c.file), c.header + rows, 0);
        ASSERT_TRUE(r.ok) << c.what << " " << r.errorCode;
        // The first file row is grid point (0,0,0): sample 0 in every format.
        for (int ch = 0; ch < 3; ++ch)
            EXPECT_EQ(Packed3D(r.image, 17, ch, 0), c.codes[size_t(ch)]) << c.what << " " << ch;
    }
}

TEST(LutImport, OneDimensionalLargestCode)
{
    const struct
    {
        const char* what;
        const char* file;
        QByteArray last;
        int rows;
        char type;
        int sample; // red sample 0
    } cases[] = {
        {"largest 1023", "a.txt", "1023 0 0", 1024, 0x07, 1023 * 64},
        {"largest 1024", "a.txt", "1023 0 1024", 1024, 0x17, 1023 * 16},
        {"fractions in a .lut are 10-bit", "a.lut", "1.0 0 0", 1024, 0x05, 1023 * 64},
        {"4096 rows of 10-bit codes", "a.lut", "1023 0 0", 4096, 0x25, 1023 * 16},
        {"cube of 4096 rows is 12-bit", "a.cube", "1 0 0", 4096, 0x31, 4095 * 16},
        {"cube of 1024 rows is 10-bit", "a.cube", "1 0 0", 1024, 0x01, 1023 * 64},
    };
    for (const auto& c : cases) {
        Workspace ws;
        const ImportResult r = ws.Import(QLatin1String(c.file), c.last + "\n" + ZeroRows(c.rows - 1), 1);
        ASSERT_TRUE(r.ok) << c.what << " " << r.errorCode;
        EXPECT_EQ(r.image[0], c.type) << c.what;
        EXPECT_EQ(Sample1D(r.image, 0, 0), c.sample) << c.what;
    }
}

} // namespace
