// The export side of CLutIF: a stored sector image back to a text table.
#include <charconv>
#include <string>
#include <vector>

#include <QFile>
#include <QFileInfo>

#include "clutif.h"
#include "luterrors.h"
#include "lutfileio.h"
#include "lutimage.h"
#include "lutslots.h"

using namespace lutimage;

namespace {

// "%1 %2 %3\n" in decimal.
void AppendIntegers(std::string& out, int r, int g, int b)
{
    char buf[48];
    char* p = buf;
    for (int v : {r, g, b}) {
        p = std::to_chars(p, buf + sizeof buf, v).ptr;
        *p++ = ' ';
    }
    p[-1] = '\n';
    out.append(buf, size_t(p - buf));
}

// "%1 %2 %3\n", each value divided by largest, fixed with 6 decimals.
void AppendFractions(std::string& out, int r, int g, int b, double largest)
{
    char buf[128];
    char* p = buf;
    for (int v : {r, g, b}) {
        p = std::to_chars(p, buf + sizeof buf, v / largest, std::chars_format::fixed, 6).ptr;
        *p++ = ' ';
    }
    p[-1] = '\n';
    out.append(buf, size_t(p - buf));
}

std::string SecondCommentLine(int sector)
{
    return "#Exported from LUT sector " + std::to_string(sector) + "\n";
}

} // namespace

bool CLutIF::ExportFile(int sector, const QString& path)
{
    errorCode = luterror::kNone;
    const bool is3D = lutslots::Is3D(sector);
    errorText = QStringLiteral("Failed to read from %1").arg(lutslots::SlotName(sector));
    if (path.isEmpty())
        return Fail(luterror::kNoOutputPath);
    {
        QFile out(path);
        out.open(QIODevice::WriteOnly | QIODevice::Truncate);
    }
    Reset();
    const int format = lutslots::ExportFormat(QFileInfo(path).suffix(), is3D);
    if (format < 0)
        return Fail(luterror::kBadSuffix);
    return is3D ? Export3DText(sector, path, format) : Export1DText(sector, path, format);
}

bool CLutIF::ReadSectorImage(int sector, QByteArray& image)
{
    const QString name = QStringLiteral("%1/sector%2.mem").arg(workFolder).arg(sector);
    qint64 size = 0;
    if (!lutfileio::ReadFile(name, kImageSize, image, size) || image.size() < kImageSize)
        return Fail(luterror::kSectorImageShort);
    return true;
}

bool CLutIF::WriteText(const QString& path, const std::string& text)
{
    const QByteArray data = QByteArray::fromRawData(text.data(), int(text.size()));
    if (!lutfileio::WriteFile(path, data, QIODevice::WriteOnly | QIODevice::Truncate))
        return Fail(luterror::kWriteFailed);
    return true;
}

bool CLutIF::ExportText(const QByteArray& image, int sector, int format, std::string& text)
{
    errorCode = luterror::kNone;
    text.clear();
    if (image.size() < kImageSize)
        return Fail(luterror::kSectorImageShort);
    return lutslots::Is3D(sector) ? Image3DText(image, sector, format, text)
                                  : Image1DText(image, sector, format, text);
}

bool CLutIF::Export1DText(int sector, const QString& path, int format)
{
    QByteArray image;
    std::string out;
    return ReadSectorImage(sector, image) && Image1DText(image, sector, format, out) && WriteText(path, out);
}

bool CLutIF::Image1DText(const QByteArray& image, int sector, int format, std::string& out)
{
    const int t = (uchar(image[0]) >> 4) & 3;
    const int bits = (t & 1) ? 12 : 10;
    const int entries = (t & 2) ? 4096 : 1024;
    const double largest = bits == 12 ? 4095.0 : 1023.0;
    const int stride = entries == 1024 ? 8 : 2;
    // 10-bit codes of a 1024-row table were stored times 64; every other
    // table times 16 (a 4096-row table of 10-bit codes too).
    const int shift = t == 0 ? 6 : 4;

    out = "#" + std::to_string(bits) + " bit 1DLUT with " + std::to_string(entries)
        + " entries created by Velora Jastel\n" + SecondCommentLine(sector);
    if (format == kFormatCube) {
        out += "\nLUT_1D_SIZE " + std::to_string(entries)
             + "\nDOMAIN_MIN 0.0 0.0 0.0\nDOMAIN_MAX 1.0 1.0 1.0\n";
    } else if (format == kFormatLut) {
        out += "\nLUT: 3 " + std::to_string(entries) + "\n";
    }
    out.reserve(out.size() + size_t(entries) * 30);
    for (int i = 0; i < entries; ++i) {
        const int o = k1DBlue + i * stride;
        const int red = Sample16(image, o + k1DChannelBytes) >> shift;
        const int green = Sample16(image, o - k1DChannelBytes) >> shift;
        const int blue = Sample16(image, o) >> shift;
        if (format == kFormatCube)
            AppendFractions(out, red, green, blue, largest);
        else
            AppendIntegers(out, red, green, blue);
    }
    return true;
}

void CLutIF::Unpack3DImage(QByteArray& image, int cubeSize)
{
    if (image.size() < kImageSize)
        image.append(QByteArray(kImageSize - image.size(), '\0'));
    const int samples = (cubeSize & 1) ? kSamples17 : kSamples16;
    const int area = PackedBytes(cubeSize);
    QByteArray unpacked = image.left(kHeaderSize);
    unpacked.reserve(kHeaderSize + 3 * samples * 2);
    for (int channel = 0; channel < 3; ++channel) {
        const uchar* packed = reinterpret_cast<const uchar*>(image.constData()) + kHeaderSize + channel * area;
        for (int n = 0; n < samples; ++n) {
            const uchar* triple = packed + (n / 2) * 3;
            if ((n & 1) == 0) {
                unpacked.append(char(triple[0] & 0xF0));
                unpacked.append(char(triple[1]));
            } else {
                unpacked.append(char((triple[0] << 4) & 0xFF));
                unpacked.append(char(triple[2]));
            }
        }
    }
    image = unpacked;
}

bool CLutIF::Export3DText(int sector, const QString& path, int format)
{
    QByteArray image;
    std::string out;
    return ReadSectorImage(sector, image) && Image3DText(std::move(image), sector, format, out)
        && WriteText(path, out);
}

bool CLutIF::Image3DText(QByteArray image, int sector, int format, std::string& out)
{
    const int n = (uchar(image[0]) & kType17Points) ? 17 : 16;
    out = "#" + std::to_string(n) + "pt 3DLUT created by Velora Jastel\n" + SecondCommentLine(sector);
    Unpack3DImage(image, n);
    if (n == 16 && format == kFormatLut)
        return Fail(luterror::kLutNeeds17Points);

    // Walk the stored order (blue fastest), skipping the padding of the
    // 18-point grid of a 17-point cube.
    const int area = ((n == 17) ? kSamples17 : kSamples16) * 2;
    const int greenStart = kHeaderSize + area;
    const int redStart = greenStart + area;
    const int rows = n * n * n;
    std::string integers;
    std::vector<std::string> fractions(static_cast<size_t>(rows));
    integers.reserve(size_t(rows) * 16);
    int pb = kHeaderSize, pg = greenStart, pr = redStart;
    for (int s = 0; s < rows && pb + 2 <= greenStart && pg + 2 <= redStart && pr + 2 <= redStart + area; ++s) {
        const int red = Sample16(image, pr) >> 4;
        const int green = Sample16(image, pg) >> 4;
        const int blue = Sample16(image, pb) >> 4;
        if (format == kFormatCube)
            AppendFractions(fractions[size_t((s % n) * n * n + ((s / n) % n) * n + s / (n * n))], red, green, blue,
                            4095.0);
        else
            AppendIntegers(integers, red, green, blue);
        const int done = s + 1;
        int step = 2;
        if (n == 17) {
            if (done % 17 == 0)
                step = 4;
            if (done % 289 == 0)
                step += 36;
            if (done % 4913 == 0)
                step += 648;
        }
        pb += step;
        pg += step;
        pr += step;
    }

    switch (format) {
    case kFormatCube:
        out += "\nLUT_3D_SIZE " + std::to_string(n) + "\nDOMAIN_MIN 0.0 0.0 0.0\nDOMAIN_MAX 1.0 1.0 1.0\n";
        for (const std::string& line : fractions)
            out += line;
        break;
    case kFormat3dl:
        out += n == 17 ? "0 64 128 192 256 320 384 448 512 576 640 704 768 832 896 960 1023\n"
                       : "0 64 128 192 256 320 384 448 512 576 640 704 768 832 896 960\n";
        out += integers;
        break;
    default:
        out += "\n3DMESH\nMesh 4 12\n\n";
        out += integers;
        out += "\n#Tokens required by applications - do not edit\nLUT8\ngamma 1.0\n";
        break;
    }
    return true;
}
