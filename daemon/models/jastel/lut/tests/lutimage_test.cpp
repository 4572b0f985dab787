// Byte-exact images: header, name, the 12-bit packer, the 16- and 17-point
// layouts with the padding of the 18-point grid, the 1D layout, type bytes.
#include <gtest/gtest.h>

#include "lutfixtures.h"

using namespace luttest;

namespace {

constexpr char kFF = char(0xFF);

bool AllFF(const QByteArray& image, int from, int to)
{
    for (int i = from; i < to; ++i) {
        if (image[i] != kFF)
            return false;
    }
    return true;
}

TEST(LutImage, Header16PointCubeAndFill)
{
    Workspace ws;
    const ImportResult r = ws.Import(QStringLiteral("A.cube"), SmallCube(16), 0);
    ASSERT_TRUE(r.ok) << r.errorCode;
    ASSERT_EQ(r.image.size(), 32768);
    EXPECT_EQ(r.image[0], char(0x00));
    EXPECT_EQ(r.image[1], char(1));
    EXPECT_EQ(r.image[2], char(0x41));
    EXPECT_TRUE(AllFF(r.image, 3, 6524));
    EXPECT_EQ(Packed3D(r.image, 16, 0, 0), 2048);
    EXPECT_EQ(Packed3D(r.image, 16, 2, 4095), 2048);
    EXPECT_TRUE(AllFF(r.image, 32768 - 7812, 32768));
    EXPECT_NE(r.image[32768 - 7813], kFF);
}

TEST(LutImage, NameIsFileNameUpToFirstDot)
{
    const struct
    {
        const char* file;
        QByteArray name;
    } cases[] = {
        {"My LUT.final.3dl", "My LUT"},
        {"film.graded.3dl", "film"},
        {".3dl", ""},
        {"caf\xC3\xA9.3dl", "caf\xE9"}, // 8-bit characters
    };
    for (const auto& c : cases) {
        Workspace ws;
        const ImportResult r = ws.Import(QString::fromUtf8(c.file), ZeroRows(4096), 0);
        ASSERT_TRUE(r.ok) << c.file << " " << r.errorCode;
        EXPECT_EQ(uchar(r.image[1]), c.name.size()) << c.file;
        EXPECT_EQ(r.image.mid(2, c.name.size()), c.name) << c.file;
        EXPECT_TRUE(AllFF(r.image, 2 + c.name.size(), 6524)) << c.file;
    }
}

TEST(LutImage, PackerTwoSamplesInThreeBytes)
{
    Workspace ws;
    int row = 0;
    const QByteArray text = Table3D(16, false, [&](int, int, int) {
        const int code = row == 0 ? 0x123 : row == 1 ? 0x456 : 0;
        ++row;
        return IntRow({code, code, code});
    });
    const ImportResult r = ws.Import(QStringLiteral("p.3dl"), text, 0);
    ASSERT_TRUE(r.ok) << r.errorCode;
    for (int area : {6524, 12668, 18812}) {
        EXPECT_EQ(r.image.mid(area, 3), QByteArray("\x36\x12\x45")) << area;
        EXPECT_EQ(r.image.mid(area + 3, 3), QByteArray(3, '\0')) << area;
    }
}

// The three channel areas of a 17-point image as the layout describes them:
// an 18-point grid, blue fastest, padding samples 0x21 0x21 (OR 0x02 at odd
// positions), from file rows with coordinate codes.
QByteArray Expected17PointChannels()
{
    QByteArray areas;
    for (int channel : {2, 1, 0}) {
        QByteArray area;
        for (int s = 0; s < 5832; s += 2) {
            int byte0 = 0, byte1 = 0, byte2 = 0;
            for (int half = 0; half < 2; ++half) {
                const int at = s + half;
                const int b = at % 18, g = (at / 18) % 18, r = at / 324;
                const bool pad = b == 17 || g == 17 || r == 17;
                const int code = pad ? 0 : CoordinateCodes(r, g, b)[size_t(channel)];
                if (half == 0) {
                    byte0 |= pad ? 0x21 : (code & 0x0F) << 4;
                    byte1 = pad ? 0x21 : code >> 4;
                } else {
                    byte0 |= pad ? 0x02 : (code & 0x0F);
                    byte2 = pad ? 0x21 : code >> 4;
                }
            }
            area.append(char(byte0)).append(char(byte1)).append(char(byte2));
        }
        areas += area;
    }
    return areas;
}

TEST(LutImage, SeventeenPointLayoutWithPaddingFromEveryFormat)
{
    const auto intRow = [](int r, int g, int b) { return IntRow(CoordinateCodes(r, g, b)); };
    const auto cubeRow = [](int r, int g, int b) { return FracRow(CoordinateCodes(r, g, b), 4095.0); };
    const struct
    {
        const char* file;
        QByteArray text;
        char type;
    } cases[] = {
        {"c.cube", Table3D(17, true, cubeRow, "LUT_3D_SIZE 17\n"), 0x01},
        {"c.3dl", Table3D(17, false, intRow), 0x03},
        {"c.lut", Table3D(17, false, intRow, "Mesh 4 12\n"), 0x05},
        {"c.txt", Table3D(17, false, intRow, "Lut3D: 17\n"), 0x07},
    };
    const QByteArray expected = Expected17PointChannels();
    for (const auto& c : cases) {
        Workspace ws;
        const ImportResult r = ws.Import(QLatin1String(c.file), c.text, 2);
        ASSERT_TRUE(r.ok) << c.file << " " << r.errorCode;
        ASSERT_EQ(r.image.size(), 32768);
        EXPECT_EQ(r.image[0], c.type) << c.file;
        // The red area ends the image; no fill follows.
        EXPECT_TRUE(r.image.mid(6524) == expected) << c.file;
    }
}

TEST(LutImage, SixteenPointCoordinatesBlueFastest)
{
    Workspace ws;
    const QByteArray text =
        Table3D(16, true, [](int r, int g, int b) { return FracRow(CoordinateCodes(r, g, b), 4095.0); });
    const ImportResult r = ws.Import(QStringLiteral("c.cube"), text, 0);
    ASSERT_TRUE(r.ok) << r.errorCode;
    for (int s = 0; s < 4096; ++s) {
        const Rgb codes = CoordinateCodes(s / 256, (s / 16) % 16, s % 16);
        for (int c = 0; c < 3; ++c)
            ASSERT_EQ(Packed3D(r.image, 16, c, s), codes[size_t(c)]) << s << " " << c;
    }
}

TEST(LutImage, OneDimensionalLayout)
{
    Workspace ws;
    // 10-bit codes in 1024 rows: times 64, each row four times.
    const QByteArray text = Table1D(1024, [](int i) { return IntRow({i, 1023 - i, i == 0 ? 1023 : i / 2}); });
    const ImportResult r = ws.Import(QStringLiteral("t.txt"), text, 1);
    ASSERT_TRUE(r.ok) << r.errorCode;
    ASSERT_EQ(r.image.size(), 32768);
    EXPECT_EQ(r.image[0], char(0x07));
    // Blue of row 0 is code 1023: C0 FF four times.
    EXPECT_EQ(r.image.mid(14716, 8), QByteArray("\xC0\xFF\xC0\xFF\xC0\xFF\xC0\xFF"));
    for (int i = 0; i < 1024; ++i) {
        for (int copy = 0; copy < 4; ++copy) {
            ASSERT_EQ(Sample1D(r.image, 0, i * 4 + copy), i * 64);
            ASSERT_EQ(Sample1D(r.image, 1, i * 4 + copy), (1023 - i) * 64);
        }
    }
    EXPECT_TRUE(AllFF(r.image, 31100, 32768));
}

TEST(LutImage, TypeBytes)
{
    // The exportable tables, and those that only the import reads.
    std::vector<TableCase> cases = ExportableTables();
    const auto ints = [](int i) { return IntRow({i % 1025, 0, 1024}); };
    cases.push_back({"a.lut", 0, ZeroRows(4096), 0x04});
    cases.push_back({"a.txt", 0, ZeroRows(4096), 0x06});
    cases.push_back({"a.txt", 2, ZeroRows(4913), 0x07});
    cases.push_back({"a.txt", 3, Table1D(1024, ints), 0x17});
    for (const TableCase& c : cases) {
        Workspace ws;
        const ImportResult r = ws.Import(QLatin1String(c.file), c.text, c.sector);
        ASSERT_TRUE(r.ok) << c.file << " " << int(c.type) << " " << r.errorCode;
        EXPECT_EQ(r.image.size(), 32768);
        EXPECT_EQ(r.image[0], c.type) << c.file << " " << int(c.type);
    }
}

} // namespace
