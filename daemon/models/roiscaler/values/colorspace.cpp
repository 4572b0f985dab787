#include "roiscaler/values/colorspace.h"

#include <QStringList>

namespace {

struct ToRgbCoefficients {
    double rCr, gCb, gCr, bCb;
};
const ToRgbCoefficients kToRgb601 = {1.59602715, -0.3911598, -0.81296805, 2.01723105};
const ToRgbCoefficients kToRgb709 = {1.7927418, -0.21324885, -0.5329092, 2.11240215};
const double kLumaScale = 1.16438355;

struct ToYCbCrCoefficients {
    double yR, yG, yB, cbR, cbG, cbB, crR, crG, crB;
};
const ToYCbCrCoefficients kToYCbCr601 = {0.2567882, 0.5041294, 0.0979059,
                                         -0.1482235, -0.2909922, 0.4392157,
                                         0.4392157, -0.3677882, -0.0714275};
const ToYCbCrCoefficients kToYCbCr709 = {0.18258431, 0.61423137, 0.06200784,
                                         -0.10064314, -0.33857255, 0.43921569,
                                         0.43921569, -0.39894118, -0.04027451};

// The sum already holds the 0.5 of rounding half up.
UByte ToByte(double sum)
{
    if (sum < 0.0)
        return 0;
    if (sum > 255.0)
        return 255;
    return UByte(sum);
}

} // namespace

void YCbCrToRgb(unsigned y, unsigned cb, unsigned cr, UByte& r, UByte& g, UByte& b, bool bt709)
{
    const ToRgbCoefficients& k = bt709 ? kToRgb709 : kToRgb601;
    const double luma = (double(y) - 16.0) * kLumaScale;
    const double cbOffset = double(cb) - 128.0;
    const double crOffset = double(cr) - 128.0;
    r = ToByte(luma + k.rCr * crOffset + 0.5);
    g = ToByte(luma + k.gCb * cbOffset + k.gCr * crOffset + 0.5);
    b = ToByte(luma + k.bCb * cbOffset + 0.5);
}

void RgbToYCbCr(unsigned r, unsigned g, unsigned b, UByte& y, UByte& cb, UByte& cr, bool bt709)
{
    const ToYCbCrCoefficients& k = bt709 ? kToYCbCr709 : kToYCbCr601;
    const double red = r;
    const double green = g;
    const double blue = b;
    y = ToByte(k.yG * green + k.yB * blue + k.yR * red + 16.0 + 0.5);
    cb = ToByte(k.cbG * green + k.cbB * blue + k.cbR * red + 128.0 + 0.5);
    cr = ToByte(k.crG * green + k.crB * blue + k.crR * red + 128.0 + 0.5);
}

void YCbCrToColorText(QString& colorText, unsigned y, unsigned cb, unsigned cr, bool bt709)
{
    UByte r = 0;
    UByte g = 0;
    UByte b = 0;
    YCbCrToRgb(y, cb, cr, r, g, b, bt709);
    const unsigned rgb = (unsigned(r) << 16) | (unsigned(g) << 8) | b;
    colorText = QStringLiteral("#%1").arg(rgb, 6, 16, QLatin1Char('0'));
}

void ColorTextToYCbCr(const QString& colorText, UByte& y, UByte& cb, UByte& cr, bool bt709)
{
    const QStringList pieces = colorText.split(QLatin1Char('#'));
    const QString number = pieces.size() >= 2 ? pieces.at(1) : colorText;
    const unsigned long rgb = number.toULong(nullptr, 16);
    RgbToYCbCr((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF, y, cb, cr, bt709);
}
