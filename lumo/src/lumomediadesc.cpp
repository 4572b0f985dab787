#include "lumo/lumomediadesc.h"

#include "lumohex_p.h"

#include <climits>
#include <cmath>
#include <cstring>

namespace {

// Largest compressed picture of a codec: fixed sizes up to 2048 pixels
// wide, a formula in the picture area beyond.
struct CodecSizes {
    int type;
    int tiers[5]; // w<=720 & h<=486, w<=720, w<=1280, w<=1920, w<=2048
    double (*wide)(double w, double h);
};

const CodecSizes kCodecs[] = {
    {202, {255590, 298188, 447283, 894566, 1022361}, [](double w, double h) { return (w * h * 0.5 + w * h * 0.5) / 3; }},
    {203, {383385, 447283, 670924, 1341849, 1533542}, [](double w, double h) { return w * h * 0.5; }},
    {204, {177999, 207667, 311500, 623001, 708198}, [](double w, double h) { return w * h * 0.5 * 13 / 28; }},
    {205, {79110, 92296, 138444, 276889, 314163}, [](double w, double h) { return w * h * 0.5 * 13 / 63; }},
    {206, {575078, 670924, 1006387, 2012774, 2300313}, [](double w, double h) { return w * h * 3 * 0.25; }},
    {220, {575078, 670924, 1006387, 2012774, 2300313}, [](double w, double h) { return w * h * 3 * 0.25; }},
};

int saturate(qint64 value)
{
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return int(value);
}

QString bit(bool value)
{
    return QString::number(value ? 1 : 0);
}

} // namespace

// --- image ----------------------------------------------------------------------

QString LumoImageDescData::scanModeName() const
{
    switch (scanMode) {
    case Progressive:
        return QStringLiteral("p");
    case Interlaced:
        return QStringLiteral("i");
    case SegmentedFrame:
        return QStringLiteral("psf");
    default:
        return QString();
    }
}

QString LumoImageDescData::toString() const
{
    return QStringLiteral("%1 Size: %2x%3%4, Aspect %5:%6, Frame Rate: %7/%8")
        .arg(type.name())
        .arg(width)
        .arg(height)
        .arg(scanModeName())
        .arg(aspect.num)
        .arg(aspect.den)
        .arg(rate.num)
        .arg(rate.den);
}

int LumoImageDescData::maxDataTypeSize() const
{
    for (CodecSizes const& codec : kCodecs) {
        if (codec.type != int(type))
            continue;
        const int w = width;
        const int h = height;
        if (w <= 720)
            return codec.tiers[h <= 486 ? 0 : 1];
        if (w <= 1280)
            return codec.tiers[2];
        if (w <= 1920)
            return codec.tiers[3];
        if (w <= 2048)
            return codec.tiers[4];
        // In 64 bits: the area formula outgrows 32 bits long before the
        // width and height do (|x| < 2^62 for any int width and height).
        const qint64 rounded = qint64(std::floor(codec.wide(w, h)));
        const qint64 pages = rounded - rounded % 4096;
        if (pages > qint64(INT_MAX) || pages < qint64(INT_MIN))
            return pages > 0 ? INT_MAX : INT_MIN;
        return saturate(pages * 130 / 100);
    }
    return 0;
}

bool LumoImageDescData::operator==(LumoImageDescData const& other) const
{
    return width == other.width && height == other.height && aspect == other.aspect && rate == other.rate &&
           type == other.type && scanMode == other.scanMode && extraValue == other.extraValue &&
           extraFlag == other.extraFlag;
}

// --- audio ----------------------------------------------------------------------

QString LumoAudioDescData::toString() const
{
    return QStringLiteral("%1 Chan: %2, Rate: %3/%4, FPS: %5/%6")
        .arg(type.name())
        .arg(channels)
        .arg(rate.num)
        .arg(rate.den)
        .arg(fps.num)
        .arg(fps.den);
}

bool LumoAudioDescData::operator==(LumoAudioDescData const& other) const
{
    return type == other.type && rate == other.rate && fps == other.fps && channels == other.channels;
}

// --- encryption -----------------------------------------------------------------

LumoCryptoKeyData::LumoCryptoKeyData() : flag(0), value(0)
{
    memset(key, 0, sizeof key);
}

void LumoCryptoKeyData::set(QString const& text)
{
    const QByteArray bytes = text.toLatin1();
    quint8 parsed[16];
    int digits = 0;
    for (int i = 0; i < bytes.size() && digits < 32; ++i) {
        const char c = bytes.at(i);
        if (c == '0' && i + 1 < bytes.size() && (bytes.at(i + 1) == 'x' || bytes.at(i + 1) == 'X')) {
            ++i;
            continue;
        }
        const int nibble = lumoHexValue(c);
        if (nibble < 0)
            continue;
        if (digits % 2 == 0)
            parsed[digits / 2] = quint8(nibble << 4);
        else
            parsed[digits / 2] |= quint8(nibble);
        ++digits;
    }
    if (digits < 32) {
        flag = 0;
        memset(key, 0, sizeof key);
        value = 0;
        return;
    }
    memcpy(key, parsed, sizeof parsed);
}

QString LumoCryptoKeyData::toString() const
{
    static const char kDigits[] = "0123456789ABCDEF";
    char text[32];
    for (int i = 0; i < 16; ++i) {
        text[2 * i] = kDigits[key[i] >> 4];
        text[2 * i + 1] = kDigits[key[i] & 0xF];
    }
    return QString::fromLatin1(text, 32);
}

bool LumoCryptoKeyData::operator==(LumoCryptoKeyData const& other) const
{
    return flag == other.flag && memcmp(key, other.key, sizeof key) == 0 && value == other.value;
}

QString LumoCryptoDescData::toString() const
{
    return QStringLiteral("Encrypted: %1, Plaintext offset: %2, Source Length: %3, Has MIC: %4, ")
        .arg(bit(encrypted))
        .arg(plaintextOffset)
        .arg(sourceLength)
        .arg(bit(hasMic));
}

bool LumoCryptoDescData::operator==(LumoCryptoDescData const& other) const
{
    return encrypted == other.encrypted && sourceLength == other.sourceLength &&
           plaintextOffset == other.plaintextOffset && key1 == other.key1 && hasMic == other.hasMic &&
           key2 == other.key2 && bytes1 == other.bytes1 && bytes2 == other.bytes2;
}
