#include "catalog/cmoduletypexml.h"

#include "catalog/cmoduletype.h"
#include "base/quoteddebug.h"

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

CModuleTypeXML::CModuleTypeXML() : _file("CModuleTypeXML", "ModuleType", false) {}

CModuleTypeXML::~CModuleTypeXML() = default;

void CModuleTypeXML::reportError() const
{
    DebugQuoted(_file.error());
}

bool CModuleTypeXML::load(const QString& path)
{
    if (_file.load(path))
        return true;
    reportError();
    return false;
}

bool CModuleTypeXML::loadBytes(const QByteArray& bytes)
{
    if (_file.loadBytes(bytes))
        return true;
    reportError();
    return false;
}

QString CModuleTypeXML::getFormatVersion() const
{
    return _file.formatVersion();
}

int CModuleTypeXML::getModuleType() const
{
    return _file.moduleType();
}

UByte CModuleTypeXML::getFpgaID() const
{
    if (!_file.isLoaded())
        return 0;
    return UByte(numberOf(_file.root(), "fpgaID") & 0xFF);
}

UWord CModuleTypeXML::getAddr() const
{
    if (!_file.isLoaded())
        return 0;
    return UWord(numberOf(_file.root(), "addr") & 0xFFFF);
}

void CModuleTypeXML::getFPGAs(QList<CModuleTypeFPGAXMLIF*>& list) const
{
    listBelow<CModuleTypeFPGAXML>(_file.root(), "FPGA", list);
}

bool CModuleTypeXML::hasError() const
{
    return _file.hasError();
}

QString CModuleTypeXML::takeError()
{
    return _file.takeError();
}
