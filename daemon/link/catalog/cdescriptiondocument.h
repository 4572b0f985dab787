// One hardware description document as its reader loads it: the parse, the
// data format version check and the error text the reader hands out.
#ifndef PORTVANE_CDESCRIPTIONDOCUMENT_H
#define PORTVANE_CDESCRIPTIONDOCUMENT_H

#include <memory>

#include <QDomDocument>
#include <QDomElement>
#include <QString>

class CDescriptionDocument {
public:
    // reader names the reader in error texts; rootName is the element that
    // carries the version and type attributes; withFileError adds the file
    // error code to an open failure.
    CDescriptionDocument(const char* reader, const char* rootName, bool withFileError);
    ~CDescriptionDocument();

    // Reads path; false on open, parse or format-version failure, with the
    // reason appended to the error text.
    bool load(const QString& path);
    // The same for a document already in memory.
    bool loadBytes(const QByteArray& bytes);
    bool isLoaded() const { return _doc != nullptr; }
    // The first root-named element below the document element; null when
    // nothing is loaded.
    QDomElement root() const;
    // "unknown" without a document, without exactly one root-named element
    // or without its version attribute.
    QString formatVersion() const;
    // The type attribute of the single root-named element; 0 when missing.
    int moduleType() const;

    const QString& error() const { return _error; }
    bool hasError() const { return !_error.isEmpty(); }
    QString takeError();

private:
    // Keeps a parsed document when its format version is the expected one.
    bool accept(std::unique_ptr<QDomDocument> doc);

    const char* const _reader;
    const QString _rootName;
    const bool _withFileError;
    const QString _expectedVersion;
    std::unique_ptr<QDomDocument> _doc;
    int _errorLine = 0;
    int _errorColumn = 0;
    QString _error;
};

#endif
