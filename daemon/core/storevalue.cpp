#include "storevalue.h"

#include <QByteArray>
#include <QString>

bool StoreKindOf(const QVariant& value, ValueKind& kind)
{
    switch (int(value.type())) {
    case QMetaType::QString:
        kind = ValueKind::String;
        return true;
    case QMetaType::QByteArray:
        kind = ValueKind::Data;
        return true;
    case QMetaType::Bool:
    case QMetaType::UInt:
        kind = ValueKind::Integer;
        return true;
    default:
        return false;
    }
}

QVariant StoreForm(const QVariant& value, ValueKind kind)
{
    switch (kind) {
    case ValueKind::String:
        return QString::fromLatin1(value.toString().toLatin1());
    case ValueKind::Data:
        return value.toByteArray();
    case ValueKind::Integer:
        break;
    }
    return uint(value.toUInt());
}

qint64 StoreFootprint(const QVariant& value)
{
    ValueKind kind;
    if (!StoreKindOf(value, kind) || kind == ValueKind::Integer)
        return 64;
    if (kind == ValueKind::String)
        return 64 + 2 * qint64(value.toString().size());
    return 64 + qint64(value.toByteArray().size());
}
