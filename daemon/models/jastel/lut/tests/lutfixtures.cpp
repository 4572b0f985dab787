#include "lutfixtures.h"

#include <cstdio>

#include <QFile>
#include <QtGlobal>

#include <gtest/gtest.h>

#include "messagelog.h"

namespace luttest {

Rgb CoordinateCodes(int r, int g, int b)
{
    return {r * 240 + g, g * 240 + b, b * 240 + r};
}

std::string IntRow(const Rgb& c)
{
    return std::to_string(c[0]) + " " + std::to_string(c[1]) + " " + std::to_string(c[2]);
}

std::string FracRow(const Rgb& c, double largest)
{
    char buf[96];
    std::snprintf(buf, sizeof buf, "%.6f %.6f %.6f", c[0] / largest, c[1] / largest, c[2] / largest);
    return buf;
}

QByteArray Table3D(int n, bool redFastest, const std::function<std::string(int, int, int)>& row,
                   const QByteArray& header)
{
    QByteArray text = header;
    for (int slow = 0; slow < n; ++slow) {
        for (int mid = 0; mid < n; ++mid) {
            for (int fast = 0; fast < n; ++fast) {
                const std::string line = redFastest ? row(fast, mid, slow) : row(slow, mid, fast);
                text.append(line.data(), int(line.size()));
                text.append('\n');
            }
        }
    }
    return text;
}

QByteArray Table1D(int rows, const std::function<std::string(int)>& row, const QByteArray& header)
{
    QByteArray text = header;
    for (int i = 0; i < rows; ++i) {
        const std::string line = row(i);
        text.append(line.data(), int(line.size()));
        text.append('\n');
    }
    return text;
}

QByteArray SmallCube(int n, const QByteArray& header)
{
    return Table3D(n, true, [](int, int, int) { return std::string("0.5 0.5 0.5"); }, header);
}

QByteArray ZeroRows(int rows, const QByteArray& header)
{
    return Table1D(rows, [](int) { return std::string("0 0 0"); }, header);
}

std::vector<TableCase> ExportableTables()
{
    const auto ints3D = [](int r, int g, int b) { return IntRow(CoordinateCodes(r, g, b)); };
    const auto fracs3D = [](int r, int g, int b) { return FracRow(CoordinateCodes(r, g, b), 4095.0); };
    const auto ints1D = [](int largest) {
        return [largest](int i) { return IntRow({(i * 37) % (largest + 1), largest - i % (largest + 1), largest}); };
    };
    const auto fracs1D = [](int i) { return FracRow({(i * 37) % 1000, 999 - i % 1000, 1000}, 1000.0); };
    return {
        {"t.cube", 0, Table3D(16, true, fracs3D), 0x00},
        {"t.cube", 2, Table3D(17, true, fracs3D, "LUT_3D_SIZE 17\n"), 0x01},
        {"t.3dl", 0, Table3D(16, false, ints3D), 0x02},
        {"t.3dl", 2, Table3D(17, false, ints3D), 0x03},
        {"t.lut", 0, Table3D(17, false, ints3D, "Mesh 4 12\n"), 0x05},
        {"t.cube", 1, Table1D(1024, fracs1D), 0x01},
        {"t.cube", 3, Table1D(4096, fracs1D), 0x31},
        {"t.lut", 1, Table1D(1024, ints1D(1023)), 0x05},
        {"t.lut", 3, Table1D(1024, ints1D(4095)), 0x15},
        {"t.lut", 1, Table1D(4096, ints1D(1023)), 0x25},
        {"t.lut", 3, Table1D(4096, ints1D(4095)), 0x35},
        {"t.txt", 1, Table1D(1024, ints1D(1023)), 0x07},
        {"t.txt", 3, Table1D(1024, ints1D(4095)), 0x17},
        {"t.txt", 1, Table1D(4096, ints1D(1023)), 0x27},
        {"t.txt", 3, Table1D(4096, ints1D(4095)), 0x37},
    };
}

Workspace::Workspace()
{
    EXPECT_TRUE(_dir.isValid());
}

QString Workspace::Path(const QString& name) const
{
    return _dir.path() + QLatin1Char('/') + name;
}

QString Workspace::Write(const QString& name, const QByteArray& data) const
{
    QFile file(Path(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    EXPECT_EQ(file.write(data), data.size());
    return file.fileName();
}

QByteArray Workspace::Read(const QString& name) const
{
    QFile file(Path(name));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

void Workspace::Prepare(CLutIF& lut) const
{
    lut.imagePath = ImagePath();
    lut.workFolder = _dir.path();
}

ImportResult Workspace::ImportFiles(const QStringList& files, int sector) const
{
    tovik::test::MessageLog log;
    CLutIF lut;
    Prepare(lut);
    ImportResult result;
    result.ok = lut.ImportFile(files, sector);
    result.errorCode = lut.errorCode;
    result.errorText = lut.errorText;
    result.image = Read(QStringLiteral("image.mem"));
    result.messages = log.Lines();
    return result;
}

ImportResult Workspace::Import(const QString& name, const QByteArray& text, int sector) const
{
    QStringList files{QString(), QString(), QString(), QString()};
    files[qBound(0, sector, 3)] = Write(name, text);
    const ImportResult result = ImportFiles(files, sector);

    // The import from memory gives the same result and touches no file.
    tovik::test::MessageLog log;
    CLutIF lut;
    lut.imagePath = Path(QStringLiteral("memory/image.mem"));
    QByteArray image;
    EXPECT_EQ(lut.ImportText(text, name, sector, image), result.ok) << name.toStdString();
    EXPECT_EQ(lut.errorCode, result.errorCode) << name.toStdString();
    EXPECT_EQ(lut.errorText, result.errorText) << name.toStdString();
    EXPECT_EQ(image, result.image) << name.toStdString();
    EXPECT_EQ(log.Lines(), result.messages) << name.toStdString();
    EXPECT_FALSE(QFile::exists(lut.imagePath)) << name.toStdString();
    return result;
}

int Packed3D(const QByteArray& image, int cubeSize, int channel, int sample)
{
    const int area = cubeSize == 17 ? 8748 : 6144;
    const int areaIndex = 2 - channel; // blue, green, red
    const int triple = 6524 + areaIndex * area + (sample / 2) * 3;
    const int b0 = uchar(image.at(triple));
    if (sample % 2 == 0)
        return (uchar(image.at(triple + 1)) << 4) | (b0 >> 4);
    return (uchar(image.at(triple + 2)) << 4) | (b0 & 0x0F);
}

int Sample1D(const QByteArray& image, int channel, int sample)
{
    static const int kArea[3] = {22908, 6524, 14716}; // red, green, blue
    const int at = kArea[channel] + sample * 2;
    return uchar(image.at(at)) | (uchar(image.at(at + 1)) << 8);
}

} // namespace luttest
