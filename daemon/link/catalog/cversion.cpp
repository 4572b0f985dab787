#include "catalog/cversion.h"

#include <QStringList>

const CVersion CVersion::_nullVersion(255, 255);

QString CVersion::ToText() const
{
    if (IsNone())
        return QStringLiteral("None");
    if (major == 254 || minor == 255)
        return QStringLiteral("Pending");
    return QStringLiteral("%1.%2").arg(major).arg(minor);
}

CVersion CVersion::FromText(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 2)
        return CVersion(0, 0);
    bool ok = false;
    int ma = parts[0].toInt(&ok, 10);
    if (!ok)
        ma = 0;
    int mi = parts[1].toInt(&ok, 10);
    if (!ok)
        mi = 0;
    return CVersion(UByte(ma & 0xFF), UByte(mi & 0xFF));
}
