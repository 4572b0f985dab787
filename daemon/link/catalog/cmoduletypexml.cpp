#include "catalog/cmoduletypexml.h"

#include <QDebug>
#include <QDomNodeList>
#include <QTextStream>

#include "catalog/cmoduletype.h"

namespace {

int numberOf(const QDomElement& element, const char* name, int fallback = 0)
{
    int value = fallback;
    CCommonXML::getIntAttribute(element, QString::fromLatin1(name), value);
    return value;
}

QString stringOf(const QDomElement& element, const char* name)
{
    QString value;
    CCommonXML::getStringAttribute(element, QString::fromLatin1(name), value);
    return value;
}

int interfaceOf(const QDomElement& element)
{
    QString name;
    if (!CCommonXML::getStringAttribute(element, QStringLiteral("interfaceID"), name))
        return -1;
    return InterfaceFromName(name);
}

// Attribute of the first child element of that name: elementMissing when
// there is no such element, attributeMissing when it lacks the attribute.
int childNumberOf(const QDomElement& parent, const char* child, const char* name,
                  int elementMissing, int attributeMissing)
{
    const QDomElement element = CCommonXML::getChildElement(parent, QString::fromLatin1(child));
    if (element.isNull())
        return elementMissing;
    return numberOf(element, name, attributeMissing);
}

} // namespace

UByte CModuleTypeBlockXML::getID() const { return UByte(numberOf(_element, "id") & 0xFF); }
QString CModuleTypeBlockXML::getName() const { return stringOf(_element, "name"); }
UWord CModuleTypeBlockXML::getStart() const { return UWord(numberOf(_element, "start") & 0xFFFF); }
UWord CModuleTypeBlockXML::getLength() const { return UWord(numberOf(_element, "length") & 0xFFFF); }

UByte CModuleTypeLookupTableXML::getID() const { return UByte(numberOf(_element, "id") & 0xFF); }
QString CModuleTypeLookupTableXML::getName() const { return stringOf(_element, "name"); }
UByte CModuleTypeLookupTableXML::getDeviceID() const { return UByte(numberOf(_element, "deviceID") & 0xFF); }
std::int32_t CModuleTypeLookupTableXML::getStart() const { return numberOf(_element, "start"); }
std::int32_t CModuleTypeLookupTableXML::getLength() const { return numberOf(_element, "length"); }

UByte CModuleTypeFPGAXML::getID() const { return UByte(numberOf(_element, "id") & 0xFF); }
QString CModuleTypeFPGAXML::getName() const { return stringOf(_element, "name"); }
std::int32_t CModuleTypeFPGAXML::getInterfaceID() const { return interfaceOf(_element); }
UByte CModuleTypeFPGAXML::getDeviceID() const { return UByte(numberOf(_element, "deviceID") & 0xFF); }

void CModuleTypeFPGAXML::getParamBlocks(QList<CModuleTypeBlockXMLIF*>& list) const
{
    listBelow<CModuleTypeBlockXML>(_element, "ParamBlock", list);
}

void CModuleTypeFPGAXML::getLookupTables(QList<CModuleTypeLookupTableXMLIF*>& list) const
{
    listBelow<CModuleTypeLookupTableXML>(_element, "LookupTable", list);
}

std::int32_t CModuleTypeFPGAXML::getFirmwareInterfaceID() const
{
    return interfaceOf(getChildElement(_element, QStringLiteral("Firmware")));
}

UByte CModuleTypeFPGAXML::getFirmwareDeviceID() const
{
    return UByte(childNumberOf(_element, "Firmware", "deviceID", 0, 102) & 0xFF);
}

std::int32_t CModuleTypeFPGAXML::getFirmwareStart() const
{
    return childNumberOf(_element, "Firmware", "start", 0, 119);
}

std::int32_t CModuleTypeFPGAXML::getFirmwareRevisionStart() const
{
    return childNumberOf(_element, "FirmwareRevision", "start", 0, 85);
}

std::int32_t CModuleTypeFPGAXML::getLookupTableRegisterStart() const
{
    return childNumberOf(_element, "LookupTableRegister", "start", 0, 85);
}

CModuleTypeXML::CModuleTypeXML() : _expectedVersion(QStringLiteral("0.1")) {}

CModuleTypeXML::~CModuleTypeXML() = default;

void CModuleTypeXML::reportError() const
{
    qDebug() << _error;
}

bool CModuleTypeXML::load(const QString& path)
{
    _doc.reset();
    auto doc = std::make_unique<QDomDocument>();
    if (!ParseFile(path, "CModuleTypeXML", false, *doc, _errorLine, _errorColumn, _error)) {
        reportError();
        return false;
    }
    _doc = std::move(doc);

    const QString version = getFormatVersion();
    if (version == _expectedVersion)
        return true;
    QTextStream out(&_error, QIODevice::WriteOnly | QIODevice::Append);
    out << "Expected data format version '" << _expectedVersion << "', received '" << version << "\n";
    out.flush();
    _doc.reset();
    reportError();
    return false;
}

QString CModuleTypeXML::getFormatVersion() const
{
    QString version = QStringLiteral("unknown");
    if (_doc)
        getStringAttribute(singleElement(*_doc, QStringLiteral("ModuleType")), QStringLiteral("version"), version);
    return version;
}

int CModuleTypeXML::getModuleType() const
{
    if (!_doc)
        return 0;
    QString type;
    if (!getStringAttribute(singleElement(*_doc, QStringLiteral("ModuleType")), QStringLiteral("type"), type))
        return 0;
    return ModuleTypeFromName(type);
}

UByte CModuleTypeXML::getFpgaID() const
{
    if (!_doc)
        return 0;
    return UByte(numberOf(firstBelowRoot(*_doc, QStringLiteral("ModuleType")), "fpgaID") & 0xFF);
}

UWord CModuleTypeXML::getAddr() const
{
    if (!_doc)
        return 0;
    return UWord(numberOf(firstBelowRoot(*_doc, QStringLiteral("ModuleType")), "addr") & 0xFFFF);
}

void CModuleTypeXML::getFPGAs(QList<CModuleTypeFPGAXMLIF*>& list) const
{
    if (!_doc)
        return;
    listBelow<CModuleTypeFPGAXML>(firstBelowRoot(*_doc, QStringLiteral("ModuleType")), "FPGA", list);
}

bool CModuleTypeXML::hasError() const
{
    return !_error.isEmpty();
}

QString CModuleTypeXML::takeError()
{
    QString error;
    error.swap(_error);
    return error;
}
