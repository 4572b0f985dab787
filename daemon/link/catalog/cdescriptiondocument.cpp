#include "catalog/cdescriptiondocument.h"

#include <QTextStream>

#include "catalog/ccommonxml.h"
#include "catalog/cmoduletype.h"

CDescriptionDocument::CDescriptionDocument(const char* reader, const char* rootName, bool withFileError)
    : _reader(reader),
      _rootName(QString::fromLatin1(rootName)),
      _withFileError(withFileError),
      _expectedVersion(QStringLiteral("0.1"))
{
}

CDescriptionDocument::~CDescriptionDocument() = default;

bool CDescriptionDocument::load(const QString& path)
{
    _doc.reset();
    auto doc = std::make_unique<QDomDocument>();
    if (!CCommonXML::ParseFile(path, _reader, _withFileError, *doc, _errorLine, _errorColumn, _error))
        return false;
    return accept(std::move(doc));
}

bool CDescriptionDocument::loadBytes(const QByteArray& bytes)
{
    _doc.reset();
    auto doc = std::make_unique<QDomDocument>();
    if (!CCommonXML::ParseBytes(bytes, _reader, *doc, _errorLine, _errorColumn, _error))
        return false;
    return accept(std::move(doc));
}

bool CDescriptionDocument::accept(std::unique_ptr<QDomDocument> doc)
{
    _doc = std::move(doc);
    const QString version = formatVersion();
    if (version == _expectedVersion)
        return true;
    QTextStream out(&_error, QIODevice::WriteOnly | QIODevice::Append);
    out << "Expected data format version '" << _expectedVersion << "', received '" << version << "\n";
    out.flush();
    _doc.reset();
    return false;
}

QDomElement CDescriptionDocument::root() const
{
    if (!_doc)
        return QDomElement();
    return CCommonXML::firstBelowRoot(*_doc, _rootName);
}

QString CDescriptionDocument::formatVersion() const
{
    QString version = QStringLiteral("unknown");
    if (_doc)
        CCommonXML::getStringAttribute(CCommonXML::singleElement(*_doc, _rootName), QStringLiteral("version"),
                                       version);
    return version;
}

int CDescriptionDocument::moduleType() const
{
    if (!_doc)
        return 0;
    QString type;
    if (!CCommonXML::getStringAttribute(CCommonXML::singleElement(*_doc, _rootName), QStringLiteral("type"), type))
        return 0;
    return ModuleTypeFromName(type);
}

QString CDescriptionDocument::takeError()
{
    QString error;
    error.swap(_error);
    return error;
}
