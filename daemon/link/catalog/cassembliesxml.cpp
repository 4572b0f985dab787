#include "catalog/cassembliesxml.h"

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

CAssembliesXML::CAssembliesXML() : _file("CAssembliesXML", "Module", true) {}

CAssembliesXML::~CAssembliesXML() = default;

bool CAssembliesXML::load(const QString& path)
{
    return _file.load(path);
}

bool CAssembliesXML::loadBytes(const QByteArray& bytes)
{
    return _file.loadBytes(bytes);
}

int CAssembliesXML::getModuleType() const
{
    return _file.moduleType();
}

void CAssembliesXML::getAssemblies(QList<CAssemblyXMLIF*>& list) const
{
    listBelow<CAssemblyXML>(_file.root(), "Assembly", list);
}

QString CAssembliesXML::getFormatVersion() const
{
    return _file.formatVersion();
}

bool CAssembliesXML::hasError() const
{
    return _file.hasError();
}

QString CAssembliesXML::takeError()
{
    return _file.takeError();
}
