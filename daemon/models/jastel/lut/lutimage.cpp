// The image side of CLutIF: the 12-bit packer, the padding of a 17-point
// cube and the two image writers.
#include "lutimage.h"

#include <algorithm>
#include <cstring>

#include <QFile>
#include <QFileInfo>

#include "clutif.h"
#include "luterrors.h"
#include "lutfileio.h"

namespace lutimage {

QByteArray NewImage(int type, const QString& tablePath)
{
    // A file name is far shorter, but the header must never outgrow itself.
    const QByteArray name = QFileInfo(tablePath).baseName().toLatin1().left(kMaxNameLength);
    QByteArray image(kImageSize, kFill);
    image[0] = char(type);
    image[1] = char(name.size() & 0xFF);
    std::memcpy(image.data() + 2, name.constData(), size_t(name.size()));
    return image;
}

void Place(QByteArray& image, int offset, const QByteArray& data, int areaSize)
{
    const int n = std::max(0, std::min({data.size(), areaSize, image.size() - offset}));
    std::memcpy(image.data() + offset, data.constData(), size_t(n));
}

} // namespace lutimage

using namespace lutimage;

void CLutIF::PackSample(int channel, int lo, int hi)
{
    QByteArray* samples = channel == 0 ? &redSamples : channel == 1 ? &greenSamples
                        : channel == 2 ? &blueSamples : nullptr;
    if (!samples)
        return;
    if ((sampleCounter & 1) == 0) {
        samples->append(char(lo));
        samples->append(char(hi));
        return;
    }
    if (packOffset >= 0 && packOffset < samples->size())
        (*samples)[packOffset] = char(uchar((*samples)[packOffset]) | ((lo & 0xFF) >> 4));
    samples->append(char(hi));
}

void CLutIF::AdvancePacker()
{
    if (sampleCounter++ & 1)
        packOffset += 3;
}

void CLutIF::PackRow(const int codes[3])
{
    for (int c = 0; c < 3; ++c)
        PackSample(c, (codes[c] * 16) & 0xF0, (codes[c] / 16) & 0xFF);
    AdvancePacker();

    if (cubeSize != 17)
        return;
    // A 17-point cube fills an 18-point grid: one padding sample closes
    // each line, a padding line each plane, a padding plane the cube.
    const int n = 17;
    int padding = 0;
    if (rowCounter % n == 0)
        padding += 1;
    if (rowCounter % (n * n) == 0)
        padding += n + 1;
    if (rowCounter % (n * n * n) == 0)
        padding += (n + 1) * (n + 1);
    for (int i = 0; i < padding; ++i) {
        for (int c = 0; c < 3; ++c)
            PackSample(c, kPadByte, kPadByte);
        AdvancePacker();
    }
}

bool CLutIF::Write3DImage(const QString& path, int format)
{
    const int type = ((format * 2) | ((cubeSize & 1) ? kType17Points : 0)) & 0xFF;
    QByteArray image = NewImage(type, path);
    const int area = PackedBytes(cubeSize);
    Place(image, kHeaderSize, blueSamples, area);
    Place(image, kHeaderSize + area, greenSamples, area);
    Place(image, kHeaderSize + 2 * area, redSamples, area);
    return WriteImage(image);
}

bool CLutIF::Write1DImage(const QString& path, int format)
{
    int type = ((format * 2) | kType17Points) & 0xFF;
    if (maxCode != 1023)
        type |= kType12Bit;
    if (depthCode != 10)
        type |= kType4096Rows;
    QByteArray image = NewImage(type, path);
    Place(image, k1DGreen, greenSamples, k1DChannelBytes);
    Place(image, k1DBlue, blueSamples, k1DChannelBytes);
    Place(image, k1DRed, redSamples, k1DChannelBytes);
    return WriteImage(image);
}

bool CLutIF::WriteImage(const QByteArray& image)
{
    if (imageSink) {
        imageSink->append(image);
        return true;
    }
    QFile::setPermissions(imagePath, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                                         | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    // An image file that could not be emptied would keep an older image
    // ahead of this one.
    if (!imageEmptied || !lutfileio::WriteFile(imagePath, image, QIODevice::WriteOnly | QIODevice::Append))
        return Fail(luterror::kWriteFailed);
    return true;
}
