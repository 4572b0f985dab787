#include "wrappersupport/videoformatnames.h"

#include <QObject>

namespace {

struct FormatRow {
    const char* progressive;
    const char* segmented;
};

// Format codes 1 to 7; every other code is 1080i.
const FormatRow kFormats[] = {
    {QT_TRANSLATE_NOOP("QObject", "720p"), QT_TRANSLATE_NOOP("QObject", "720p")},
    {QT_TRANSLATE_NOOP("QObject", "525i"), QT_TRANSLATE_NOOP("QObject", "525psf")},
    {QT_TRANSLATE_NOOP("QObject", "625i"), QT_TRANSLATE_NOOP("QObject", "625psf")},
    {QT_TRANSLATE_NOOP("QObject", "1080p"), QT_TRANSLATE_NOOP("QObject", "1080p")},
    {QT_TRANSLATE_NOOP("QObject", "1556"), QT_TRANSLATE_NOOP("QObject", "1556")},
    {QT_TRANSLATE_NOOP("QObject", "2K1080p"), QT_TRANSLATE_NOOP("QObject", "2K1080p")},
    {QT_TRANSLATE_NOOP("QObject", "2K1080i"), QT_TRANSLATE_NOOP("QObject", "2K1080psf")},
};
const FormatRow kOtherFormat = {QT_TRANSLATE_NOOP("QObject", "1080i"),
                                QT_TRANSLATE_NOOP("QObject", "1080psf")};

// Format codes 1 to 9 with the 4K formats; every other code is 1080i.
const char* const k4kFormats[] = {
    QT_TRANSLATE_NOOP("QObject", "720p"),    QT_TRANSLATE_NOOP("QObject", "525i"),
    QT_TRANSLATE_NOOP("QObject", "625i"),    QT_TRANSLATE_NOOP("QObject", "1080p"),
    QT_TRANSLATE_NOOP("QObject", "1556"),    QT_TRANSLATE_NOOP("QObject", "2K1080p"),
    QT_TRANSLATE_NOOP("QObject", "2K1080i"), QT_TRANSLATE_NOOP("QObject", "QuadHDp"),
    QT_TRANSLATE_NOOP("QObject", "4Kp"),
};
const char* const k4kOtherFormat = QT_TRANSLATE_NOOP("QObject", "1080i");

// Rate codes 1 to 8.
const char* const kRates[] = {"60", "59.94", "30", "29.97", "25", "24", "23.98", "50"};

template <typename T, size_t N>
const T* RowForCode(const T (&table)[N], unsigned code)
{
    return code >= 1 && code <= N ? &table[code - 1] : nullptr;
}

} // namespace

const char* VideoRateText(unsigned rate)
{
    const char* const* text = RowForCode(kRates, rate);
    return text ? *text : nullptr;
}

QString VideoFormatName(unsigned format, unsigned rate, bool psf, bool is3G, bool levelB)
{
    const char* rateText = VideoRateText(rate);
    if (!rateText)
        return QStringLiteral("?? video");
    const FormatRow* row = RowForCode(kFormats, format);
    if (!row)
        row = &kOtherFormat;
    const QString name = QObject::tr(psf ? row->segmented : row->progressive);
    const QString level = !is3G ? QString() : (levelB ? QStringLiteral("3G-B") : QStringLiteral("3G-A"));
    return QStringLiteral("%1%2  %3").arg(name, QLatin1String(rateText), level);
}

QString VideoFormat4kName(unsigned format, unsigned rate)
{
    const char* const* name = RowForCode(k4kFormats, format);
    const char* rateText = VideoRateText(rate);
    return QStringLiteral("%1%2").arg(QObject::tr(name ? *name : k4kOtherFormat),
                                      QLatin1String(rateText ? rateText : "00"));
}
