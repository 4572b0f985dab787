#include "catalog/descriptionlimits.h"

#include <QXmlStreamReader>

namespace DescriptionLimits {

namespace {

Breach At(const QXmlStreamReader& reader, const QString& what)
{
    Breach breach;
    breach.what = what;
    breach.line = int(reader.lineNumber());
    breach.column = int(reader.columnNumber());
    return breach;
}

Breach Unread(const QString& what)
{
    Breach breach;
    breach.what = what;
    return breach;
}

Breach Unreadable(const QXmlStreamReader& reader)
{
    Breach breach = At(reader, QString());
    breach.unreadable = reader.errorString();
    return breach;
}

QString TooLong(const char* kind, int length, int limit)
{
    return QStringLiteral("%1 of %2 characters, more than %3").arg(QLatin1String(kind)).arg(length).arg(limit);
}

// The limit an element's own name and attributes pass, or empty text.
QString ElementBreach(const QXmlStreamReader& reader, const Limits& limits)
{
    if (reader.qualifiedName().size() > limits.nameLength)
        return TooLong("element name", reader.qualifiedName().size(), limits.nameLength);
    const QXmlStreamAttributes attributes = reader.attributes();
    if (attributes.size() > limits.attributes)
        return QStringLiteral("%1 attributes on one element, more than %2").arg(attributes.size()).arg(limits.attributes);
    for (const QXmlStreamAttribute& attribute : attributes) {
        if (attribute.qualifiedName().size() > limits.nameLength)
            return TooLong("attribute name", attribute.qualifiedName().size(), limits.nameLength);
        if (attribute.value().size() > limits.valueLength)
            return TooLong("attribute value", attribute.value().size(), limits.valueLength);
    }
    return QString();
}

}

Breach Check(const QByteArray& bytes, const Limits& limits)
{
    if (bytes.size() > limits.fileSize)
        return Unread(QStringLiteral("%1 bytes, more than %2").arg(bytes.size()).arg(limits.fileSize));
    const int tags = bytes.count('<');
    if (tags > 2 * limits.nodes + 8)
        return Unread(QStringLiteral("%1 tags, more than %2").arg(tags).arg(2 * limits.nodes + 8));
    QXmlStreamReader reader(bytes);
    int depth = 0;
    int nodes = 0;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement: {
            if (++depth > limits.depth)
                return At(reader, QStringLiteral("elements nested more than %1 deep").arg(limits.depth));
            const QString breach = ElementBreach(reader, limits);
            if (!breach.isEmpty())
                return At(reader, breach);
            ++nodes;
            break;
        }
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        case QXmlStreamReader::Characters:
            if (reader.isWhitespace())
                break;
            if (reader.text().size() > limits.valueLength)
                return At(reader, TooLong("text", reader.text().size(), limits.valueLength));
            ++nodes;
            break;
        case QXmlStreamReader::DTD:
            nodes += reader.entityDeclarations().size();
            break;
        case QXmlStreamReader::Comment:
        case QXmlStreamReader::ProcessingInstruction:
        case QXmlStreamReader::EntityReference:
            ++nodes;
            break;
        case QXmlStreamReader::Invalid:
            return Unreadable(reader);
        default:
            break;
        }
        if (nodes > limits.nodes)
            return At(reader, QStringLiteral("more than %1 elements and other nodes").arg(limits.nodes));
    }
    return Breach();
}

QString Summary()
{
    return QStringLiteral("%1 KiB, %2 nodes, %3 levels, %4 attributes on an element, names of %5 and values of %6 "
                          "characters")
        .arg(kMaxFileSize / 1024)
        .arg(kMaxNodes)
        .arg(kMaxDepth)
        .arg(kMaxAttributes)
        .arg(kMaxNameLength)
        .arg(kMaxValueLength);
}

}
