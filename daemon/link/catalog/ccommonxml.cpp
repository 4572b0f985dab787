#include "catalog/ccommonxml.h"

#include "catalog/logonce.h"

#include <QByteArray>
#include <QDomNodeList>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

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

void LogRefusal(const QString& path, const QString& what)
{
    if (!LogOnce::FirstTime(path + QLatin1Char('\n') + what))
        return;
    qWarning("Hardware description %s refused: %s (limits: %s)", qUtf8Printable(path), qUtf8Printable(what),
             qUtf8Printable(DescriptionLimits::Summary()));
}

bool Parse(const QByteArray& bytes, const char* who, const QString& path, QDomDocument& doc, int& errorLine,
           int& errorColumn, QString& error)
{
    QString parserMessage;
    int line = 0;
    int column = 0;
    bool ok = false;
    const DescriptionLimits::Breach breach = DescriptionLimits::Check(bytes);
    // Our own reasons end their line, so the parse failure that follows
    // stands on a line of its own.
    if (!breach.what.isEmpty()) {
        parserMessage = breach.what + QLatin1Char('\n');
        line = breach.line;
        column = breach.column;
        if (!path.isEmpty())
            LogRefusal(path, breach.what);
    } else {
        ok = doc.setContent(bytes, true, &parserMessage, &line, &column);
        // What the walk could not read is not taken on the DOM parser's word.
        if (ok && !breach.unreadable.isEmpty()) {
            ok = false;
            parserMessage = breach.unreadable + QLatin1Char('\n');
            line = breach.line;
            column = breach.column;
            if (!path.isEmpty())
                LogRefusal(path, breach.unreadable);
        }
    }
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

} // namespace

bool CCommonXML::ParseFile(const QString& path, const char* who, bool withFileError,
                           QDomDocument& doc, int& errorLine, int& errorColumn, QString& error)
{
    QByteArray bytes;
    {
        QTextStream out(&error, QIODevice::WriteOnly | QIODevice::Append);
        QFile file(path);
        // A pipe or a device could block the open or the read for ever.
        const QFileInfo info(path);
        const bool special = info.exists() && !info.isFile();
        if (special)
            LogRefusal(path, QStringLiteral("not a regular file"));
        if (special || !file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            out << who << "::load - File open failed: " << path;
            if (withFileError)
                out << " fileError=" << int(special ? QFileDevice::OpenError : file.error());
            out << "\n";
            return false;
        }
        bytes = file.read(kMaxFileSize + 1);
        if (bytes.size() > kMaxFileSize) {
            out << who << "::load - File too large: " << path << "\n";
            LogRefusal(path, QStringLiteral("more than %1 bytes").arg(kMaxFileSize));
            return false;
        }
    }
    return Parse(bytes, who, path, doc, errorLine, errorColumn, error);
}

bool CCommonXML::ParseBytes(const QByteArray& bytes, const char* who, QDomDocument& doc, int& errorLine,
                            int& errorColumn, QString& error)
{
    return Parse(bytes, who, QString(), doc, errorLine, errorColumn, error);
}
