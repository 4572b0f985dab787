#include "wrappersupport/debugline.h"

#include <QDebug>

DebugLine::~DebugLine()
{
    qDebug("%s", _text.toLocal8Bit().constData());
}

DebugLine& DebugLine::operator<<(const char* text)
{
    _text += QLatin1String(text) + QLatin1Char(' ');
    return *this;
}

DebugLine& DebugLine::operator<<(const QString& text)
{
    _text += text + QLatin1Char(' ');
    return *this;
}

DebugLine& DebugLine::operator<<(qint64 number)
{
    _text += QString::number(number) + QLatin1Char(' ');
    return *this;
}

DebugLine& DebugLine::operator<<(quint64 number)
{
    _text += QString::number(number) + QLatin1Char(' ');
    return *this;
}

DebugLine& DebugLine::operator<<(const QVariant& value)
{
    _text += VariantDebugText(value) + QLatin1Char(' ');
    return *this;
}

QString VariantDebugText(const QVariant& value)
{
    if (value.type() == QVariant::String)
        return QStringLiteral("QVariant(QString, \"%1\")").arg(value.toString());
    if (value.type() == QVariant::ByteArray)
        return QStringLiteral("QVariant(QByteArray, \"%1\")").arg(QString::fromLatin1(value.toByteArray()));
    QString text;
    QDebug(&text).nospace() << value;
    return text;
}
