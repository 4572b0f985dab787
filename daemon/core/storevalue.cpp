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
