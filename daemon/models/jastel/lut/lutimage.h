// Layout of a LUT memory image: one 32768-byte flash sector of the Jastel
// converter. A 6524-byte header (type byte, name length, name, 0xFF fill),
// then three channel areas.
#ifndef PORTVANE_LUT_LUTIMAGE_H
#define PORTVANE_LUT_LUTIMAGE_H

#include <QByteArray>
#include <QString>

namespace lutimage {

constexpr int kImageSize = 32768;
constexpr int kHeaderSize = 6524;
constexpr int kMaxNameLength = kHeaderSize - 2;
constexpr char kFill = char(0xFF);

// 3D: packed 12-bit samples, blue, green, red areas; a 17-point cube is
// stored on an 18-point grid.
constexpr int kSamples16 = 16 * 16 * 16;
constexpr int kSamples17 = 18 * 18 * 18;
constexpr int kPackedBytes16 = kSamples16 / 2 * 3;
constexpr int kPackedBytes17 = kSamples17 / 2 * 3;
// The packer's padding sample.
constexpr int kPadByte = 0x21;

// 1D: 4096 16-bit little-endian samples per channel: green, blue, red.
constexpr int k1DSamples = 4096;
constexpr int k1DChannelBytes = k1DSamples * 2;
constexpr int k1DGreen = kHeaderSize;
constexpr int k1DBlue = k1DGreen + k1DChannelBytes;
constexpr int k1DRed = k1DBlue + k1DChannelBytes;

// Type byte bits.
constexpr int kType17Points = 0x01; // 3D; always set in a 1D image
constexpr int kType12Bit = 0x10;    // 1D: largest code not 1023
constexpr int kType4096Rows = 0x20; // 1D: 4096 rows

inline int PackedBytes(int cubeSize)
{
    return (cubeSize & 1) ? kPackedBytes17 : kPackedBytes16;
}

// An image of 0xFF with its header: the type byte, the name's length (low
// 8 bits) and the name, which is the table file's name up to its first dot
// in 8-bit characters.
QByteArray NewImage(int type, const QString& tablePath);

// Copies at most areaSize bytes of data to offset.
void Place(QByteArray& image, int offset, const QByteArray& data, int areaSize);

// The 16-bit little-endian value at offset.
inline int Sample16(const QByteArray& image, int offset)
{
    return int(uchar(image[offset])) | (int(uchar(image[offset + 1])) << 8);
}

} // namespace lutimage

#endif
