#include "catalog/cassembliesxml.h"

#include <QDomNodeList>
#include <QTextStream>

#include "catalog/cmoduletype.h"

namespace {

QString stringOf(const QDomElement& element, const char* name)
{
    QString value;
    CCommonXML::getStringAttribute(element, QString::fromLatin1(name), value);
    return value;
}

CVersion versionOf(const QDomElement& element, const char* name)
{
    QString text;
    if (!CCommonXML::getStringAttribute(element, QString::fromLatin1(name), text))
        return CVersion(0, 0);
    return CVersion::FromText(text);
}

UByte idOf(const QDomElement& element)
{
    int value = 0;
    CCommonXML::getIntAttribute(element, QStringLiteral("id"), value);
    return UByte(value & 0xFF);
}

} // namespace

UByte CAssemblyLookupTableXML::getID() const { return idOf(_element); }
CVersion CAssemblyLookupTableXML::getVersion() const { return versionOf(_element, "version"); }
QString CAssemblyLookupTableXML::getFilename() const { return stringOf(_element, "filename"); }

UByte CAssemblyFPGAXML::getID() const { return idOf(_element); }
CVersion CAssemblyFPGAXML::getVersion() const { return versionOf(_element, "version"); }
QString CAssemblyFPGAXML::getFilename() const { return stringOf(_element, "filename"); }

void CAssemblyFPGAXML::getLookupTables(QList<CAssemblyLookupTableXMLIF*>& list) const
{
    listBelow<CAssemblyLookupTableXML>(_element, "LookupTable", list);
}

UByte CAssemblyXML::getID() const { return idOf(_element); }

CVersion CAssemblyXML::getReleaseVersion() const
{
    return versionOf(getChildElement(_element, QStringLiteral("Release")), "version");
}

QString CAssemblyXML::getBoardAssembly() const
{
    return stringOf(getChildElement(_element, QStringLiteral("BoardAssembly")), "number");
}

QString CAssemblyXML::getModuleTypeFile() const
{
    return stringOf(getChildElement(_element, QStringLiteral("ModuleType")), "filename");
}

CVersion CAssemblyXML::getSafeBootVersion() const
{
    return versionOf(getChildElement(_element, QStringLiteral("SafeBoot")), "version");
}

QString CAssemblyXML::getSafeBootFile() const
{
    return stringOf(getChildElement(_element, QStringLiteral("SafeBoot")), "filename");
}

CVersion CAssemblyXML::getCNCAppVersion() const
{
    return versionOf(getChildElement(_element, QStringLiteral("CNCApp")), "version");
}

QString CAssemblyXML::getCNCAppFile() const
{
    return stringOf(getChildElement(_element, QStringLiteral("CNCApp")), "filename");
}

void CAssemblyXML::getFPGAs(QList<CAssemblyFPGAXMLIF*>& list) const
{
    listBelow<CAssemblyFPGAXML>(_element, "FPGA", list);
}

CAssembliesXML::CAssembliesXML() : _expectedVersion(QStringLiteral("0.1")) {}

CAssembliesXML::~CAssembliesXML() = default;

bool CAssembliesXML::load(const QString& path)
{
    _doc.reset();
    auto doc = std::make_unique<QDomDocument>();
    if (!ParseFile(path, "CAssembliesXML", true, *doc, _errorLine, _errorColumn, _error))
        return false;
    _doc = std::move(doc);

    const QString version = getFormatVersion();
    if (version == _expectedVersion)
        return true;
    QTextStream out(&_error, QIODevice::WriteOnly | QIODevice::Append);
    out << "Expected data format version '" << _expectedVersion << "', received '" << version << "\n";
    _doc.reset();
    return false;
}

int CAssembliesXML::getModuleType() const
{
    if (!_doc)
        return 0;
    QString type;
    if (!getStringAttribute(singleElement(*_doc, QStringLiteral("Module")), QStringLiteral("type"), type))
        return 0;
    return ModuleTypeFromName(type);
}

void CAssembliesXML::getAssemblies(QList<CAssemblyXMLIF*>& list) const
{
    if (!_doc)
        return;
    listBelow<CAssemblyXML>(firstBelowRoot(*_doc, QStringLiteral("Module")), "Assembly", list);
}

QString CAssembliesXML::getFormatVersion() const
{
    QString version = QStringLiteral("unknown");
    if (_doc)
        getStringAttribute(singleElement(*_doc, QStringLiteral("Module")), QStringLiteral("version"), version);
    return version;
}

bool CAssembliesXML::hasError() const
{
    return !_error.isEmpty();
}

QString CAssembliesXML::takeError()
{
    QString error;
    error.swap(_error);
    return error;
}
