// Reading helpers shared by the hardware description readers.
#ifndef PORTVANE_CCOMMONXML_H
#define PORTVANE_CCOMMONXML_H

#include <QDomDocument>
#include <QDomElement>
#include <QDomNodeList>
#include <QList>
#include <QString>
#include <QtAlgorithms>

#include "catalog/descriptionlimits.h"

// Owns the readers a list operation hands over.
template <typename T>
struct OwnedList {
    QList<T*> items;
    ~OwnedList() { qDeleteAll(items); }
};

class CCommonXML {
public:
    // Files larger than this are refused unread; documents that pass one of
    // the other limits of DescriptionLimits are refused before the DOM is
    // built.
    static constexpr qint64 kMaxFileSize = DescriptionLimits::kMaxFileSize;
    static constexpr int kMaxDepth = DescriptionLimits::kMaxDepth;

    // First element of that name below element, at any depth, in document
    // order; a null element when there is none.
    static QDomElement getChildElement(const QDomElement& element, const QString& name);
    // False and value unchanged when the attribute is missing; else the
    // number form into value and true.
    static bool getIntAttribute(const QDomElement& element, const QString& name, int& value);
    // False and value unchanged when missing; else value = (text == "YES").
    static bool getBoolAttribute(const QDomElement& element, const QString& name, bool& value);
    // False and value unchanged when missing; else the text and true.
    static bool getStringAttribute(const QDomElement& element, const QString& name, QString& value);

    // "0x" followed by hexadecimal digits, or decimal; anything that does
    // not parse or does not fit a signed 32-bit integer reads 0.
    static int NumberFromText(const QString& text);

    // Reads and parses path into doc for the reader named who. Appends the
    // open or parse failure text to error; the open message carries the
    // file error code when withFileError is set. A file refused for its
    // size or shape is also logged, once per file and reason.
    static bool ParseFile(const QString& path, const char* who, bool withFileError,
                          QDomDocument& doc, int& errorLine, int& errorColumn, QString& error);
    // Parses a document already in memory, as ParseFile does once it has
    // read the file.
    static bool ParseBytes(const QByteArray& bytes, const char* who, QDomDocument& doc, int& errorLine,
                           int& errorColumn, QString& error);

    // The single element of that name in the whole document, or a null
    // element when there are none or several.
    static QDomElement singleElement(const QDomDocument& doc, const QString& name);
    // The first element of that name below the document element.
    static QDomElement firstBelowRoot(const QDomDocument& doc, const QString& name);

    // Appends one new Reader per element of that name below parent, at any
    // depth, in document order.
    template <typename Reader, typename IF>
    static void listBelow(const QDomElement& parent, const char* name, QList<IF*>& list)
    {
        if (parent.isNull())
            return;
        const QDomNodeList nodes = parent.elementsByTagName(QString::fromLatin1(name));
        for (int i = 0; i < nodes.count(); ++i)
            list.append(new Reader(nodes.item(i).toElement()));
    }
};

#endif
