// Reader of a module-type description file and its element readers.
#ifndef PORTVANE_CMODULETYPEXML_H
#define PORTVANE_CMODULETYPEXML_H

#include <QDomElement>

#include "catalog/ccommonxml.h"
#include "catalog/cdescriptiondocument.h"
#include "catalog/cmoduletypexmlif.h"

class CModuleTypeBlockXML : public CModuleTypeBlockXMLIF, public CCommonXML {
public:
    explicit CModuleTypeBlockXML(const QDomElement& element) : _element(element) {}
    UByte getID() const override;
    QString getName() const override;
    UWord getStart() const override;
    UWord getLength() const override;

private:
    QDomElement _element;
};

class CModuleTypeLookupTableXML : public CModuleTypeLookupTableXMLIF, public CCommonXML {
public:
    explicit CModuleTypeLookupTableXML(const QDomElement& element) : _element(element) {}
    UByte getID() const override;
    QString getName() const override;
    UByte getDeviceID() const override;
    std::int32_t getStart() const override;
    std::int32_t getLength() const override;

private:
    QDomElement _element;
};

class CModuleTypeFPGAXML : public CModuleTypeFPGAXMLIF, public CCommonXML {
public:
    explicit CModuleTypeFPGAXML(const QDomElement& element) : _element(element) {}
    UByte getID() const override;
    QString getName() const override;
    std::int32_t getInterfaceID() const override;
    UByte getDeviceID() const override;
    void getParamBlocks(QList<CModuleTypeBlockXMLIF*>& list) const override;
    void getLookupTables(QList<CModuleTypeLookupTableXMLIF*>& list) const override;
    // Element missing: -1, 0, 0, 0, 0. Element present without the
    // attribute: -1, 102, 119, 85, 85.
    std::int32_t getFirmwareInterfaceID() const override;
    UByte getFirmwareDeviceID() const override;
    std::int32_t getFirmwareStart() const override;
    std::int32_t getFirmwareRevisionStart() const override;
    std::int32_t getLookupTableRegisterStart() const override;

private:
    QDomElement _element;
};

class CModuleTypeXML : public CModuleTypeXMLIF, public CCommonXML {
public:
    CModuleTypeXML();
    ~CModuleTypeXML() override;

    bool load(const QString& path) override;
    // The same for a document already in memory.
    bool loadBytes(const QByteArray& bytes);
    QString getFormatVersion() const override;
    int getModuleType() const override;
    UByte getFpgaID() const override;
    UWord getAddr() const override;
    void getFPGAs(QList<CModuleTypeFPGAXMLIF*>& list) const override;
    bool hasError() const override;
    QString takeError() override;

private:
    void reportError() const;

    CDescriptionDocument _file;
};

#endif
