#include "catalog/ccommonxml.h"

#include <QByteArray>
#include <QDomNodeList>
#include <QFile>
#include <QTextStream>
#include <QXmlStreamReader>

QDomElement CCommonXML::getChildElement(const QDomElement& element, const QString& name)
{
    if (element.isNull())
        return QDomElement();
    const QDomNodeList list = element.elementsByTagName(name);
    if (list.isEmpty())
        return QDomElement();
    return list.item(0).toElement();
}

bool CCommonXML::getIntAttribute(const QDomElement& element, const QString& name, int& value)
{
    if (element.isNull() || !element.hasAttribute(name))
        return false;
    value = NumberFromText(element.attribute(name));
    return true;
}

bool CCommonXML::getBoolAttribute(const QDomElement& element, const QString& name, bool& value)
{
    if (element.isNull() || !element.hasAttribute(name))
        return false;
    value = element.attribute(name) == QLatin1String("YES");
    return true;
}

bool CCommonXML::getStringAttribute(const QDomElement& element, const QString& name, QString& value)
{
    if (element.isNull() || !element.hasAttribute(name))
        return false;
    value = element.attribute(name);
    return true;
}

int CCommonXML::NumberFromText(const QString& text)
{
    bool ok = false;
    int value = 0;
    if (text.startsWith(QLatin1String("0x")))
        value = text.mid(2).toInt(&ok, 16);
    else
        value = text.toInt(&ok, 10);
    return ok ? value : 0;
}

QDomElement CCommonXML::singleElement(const QDomDocument& doc, const QString& name)
{
    if (doc.isNull())
        return QDomElement();
    const QDomNodeList list = doc.elementsByTagName(name);
    if (list.count() != 1)
        return QDomElement();
    return list.item(0).toElement();
}

QDomElement CCommonXML::firstBelowRoot(const QDomDocument& doc, const QString& name)
{
    if (doc.isNull())
        return QDomElement();
    return getChildElement(doc.documentElement(), name);
}

namespace {

// Walks the document with the streaming reader, which keeps no stack of
// its own, and reports where it first nests deeper than the limit.
bool tooDeep(const QByteArray& bytes, int limit, int& line, int& column)
{
    QXmlStreamReader reader(bytes);
    int depth = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (++depth > limit) {
                line = int(reader.lineNumber());
                column = int(reader.columnNumber());
                return true;
            }
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
        } else if (token == QXmlStreamReader::Invalid) {
            break;
        }
    }
    return false;
}

} // namespace

bool CCommonXML::ParseFile(const QString& path, const char* who, bool withFileError,
                           QDomDocument& doc, int& errorLine, int& errorColumn, QString& error)
{
    QByteArray bytes;
    {
        QTextStream out(&error, QIODevice::WriteOnly | QIODevice::Append);
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            out << who << "::load - File open failed: " << path;
            if (withFileError)
                out << " fileError=" << int(file.error());
            out << "\n";
            return false;
        }
        bytes = file.read(kMaxFileSize + 1);
        if (bytes.size() > kMaxFileSize) {
            out << who << "::load - File too large: " << path << "\n";
            return false;
        }
    }
    return ParseBytes(bytes, who, doc, errorLine, errorColumn, error);
}

bool CCommonXML::ParseBytes(const QByteArray& bytes, const char* who, QDomDocument& doc, int& errorLine,
                            int& errorColumn, QString& error)
{
    QString parserMessage;
    int line = 0;
    int column = 0;
    bool ok = false;
    if (tooDeep(bytes, kMaxDepth, line, column))
        parserMessage = QStringLiteral("elements nested too deeply");
    else
        ok = doc.setContent(bytes, true, &parserMessage, &line, &column);
    if (!ok) {
        errorLine = line;
        errorColumn = column;
        doc = QDomDocument();
        QTextStream out(&error, QIODevice::WriteOnly | QIODevice::Append);
        out << parserMessage;
        out << who << "::load - Parse failed line=" << line << " colomn=" << column << "\n";
        return false;
    }
    return true;
}
