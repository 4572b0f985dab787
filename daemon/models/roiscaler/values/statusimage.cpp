#include "roiscaler/values/statusimage.h"

#include <climits>
#include <cmath>

namespace roiscaler {

namespace {

const double kClockHz = 27000000.0;

double RateTimes100(quint32 count)
{
    return kClockHz / double(count) * 100.0;
}

int Width(const UByte* image, int msb, int lsb)
{
    return (image[msb] & 0x0F) << 8 | image[lsb];
}

int Height(const UByte* image, int lsb, int msb)
{
    return (image[msb] >> 4) << 8 | image[lsb];
}

const char* ReferenceFormat(int code)
{
    switch (code) {
    case 1:
        return "720p";
    case 2:
        return "525i";
    case 3:
        return "625i";
    case 4:
        return "1080p";
    default:
        return "1080i";
    }
}

const char* ReferenceRate(int code)
{
    switch (code) {
    case 2:
        return "59.94";
    case 3:
        return "30";
    case 4:
        return "29.97";
    case 5:
        return "25";
    case 6:
        return "24";
    case 7:
        return "23.98";
    case 8:
        return "50";
    default:
        return "60";
    }
}

} // namespace

int FrameRateHz(quint32 periodCount)
{
    if (periodCount == 0)
        return INT_MAX;
    const double r = RateTimes100(periodCount);
    if (!(r < double(INT_MAX)))
        return INT_MAX;
    return int(r);
}

quint32 PeriodCount(const UByte* image, int first)
{
    return quint32(image[first]) | quint32(image[first + 1]) << 8 | quint32(image[first + 2]) << 16;
}

InputFormat SetInputFormat(const UByte* image)
{
    return {Width(image, 27, 28), Height(image, 32, 33), FrameRateHz(PeriodCount(image, 36))};
}

InputFormat MeasuredInputFormat(const UByte* image)
{
    return {Width(image, 45, 46), Height(image, 50, 51), FrameRateHz(PeriodCount(image, 54))};
}

QString InputProtocolText(const UByte* image, InputWord word)
{
    const bool dvi = IsSet(image, status::kDviSignalling);
    QString name;
    switch (word) {
    case InputWord::Dp:
        name = QStringLiteral("DP");
        break;
    case InputWord::Hdmi:
        name = QStringLiteral("HDMI");
        break;
    case InputWord::DviWhenSignalled:
        name = dvi ? QStringLiteral("DVI") : QStringLiteral("HDMI");
        break;
    }
    const quint32 count = PeriodCount(image, 54);
    QString rate;
    if (count == 0) {
        rate = QStringLiteral("0");
    } else {
        const double r = RateTimes100(count);
        if (!dvi && std::fmod(std::floor(r), 100.0) != 0.0)
            rate = QString::asprintf("%3.2f", r / 100.0);
        else
            rate = QString::number(qint64(r / 100.0 + 0.5));
    }
    return QStringLiteral("%1 %2Hz").arg(name, rate);
}

QString RefInFormatText(const UByte* image, bool isValid)
{
    if (!isValid)
        return QStringLiteral("No Ref");
    return QString::fromLatin1(ReferenceFormat(Read(image, status::kReferenceFormat)))
           + QString::fromLatin1(ReferenceRate(Read(image, status::kReferenceRate)));
}

} // namespace roiscaler
