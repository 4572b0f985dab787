// Reader of a module type's assembly description file ("assembly.xml") and
// its element readers.
#ifndef PORTVANE_CASSEMBLIESXML_H
#define PORTVANE_CASSEMBLIESXML_H

#include <QDomElement>

#include "catalog/cassembliesxmlif.h"
#include "catalog/ccommonxml.h"
#include "catalog/cdescriptiondocument.h"

class CAssemblyLookupTableXML : public CAssemblyLookupTableXMLIF, public CCommonXML {
public:
    explicit CAssemblyLookupTableXML(const QDomElement& element) : _element(element) {}
    UByte getID() const override;
    CVersion getVersion() const override;
    QString getFilename() const override;

private:
    QDomElement _element;
};

class CAssemblyFPGAXML : public CAssemblyFPGAXMLIF, public CCommonXML {
public:
    explicit CAssemblyFPGAXML(const QDomElement& element) : _element(element) {}
    UByte getID() const override;
    CVersion getVersion() const override;
    QString getFilename() const override;
    void getLookupTables(QList<CAssemblyLookupTableXMLIF*>& list) const override;

private:
    QDomElement _element;
};

class CAssemblyXML : public CAssemblyXMLIF, public CCommonXML {
public:
    explicit CAssemblyXML(const QDomElement& element) : _element(element) {}
    UByte getID() const override;
    CVersion getReleaseVersion() const override;
    QString getBoardAssembly() const override;
    QString getModuleTypeFile() const override;
    CVersion getSafeBootVersion() const override;
    QString getSafeBootFile() const override;
    CVersion getCNCAppVersion() const override;
    QString getCNCAppFile() const override;
    void getFPGAs(QList<CAssemblyFPGAXMLIF*>& list) const override;

private:
    QDomElement _element;
};

class CAssembliesXML : public CAssembliesXMLIF, public CCommonXML {
public:
    CAssembliesXML();
    ~CAssembliesXML() override;

    // Reads path; false on open, parse or format-version failure, with the
    // reason appended to the error text.
    bool load(const QString& path) override;
    // The same for a document already in memory.
    bool loadBytes(const QByteArray& bytes);
    int getModuleType() const override;
    void getAssemblies(QList<CAssemblyXMLIF*>& list) const override;
    // "unknown" without a document, without exactly one Module element or
    // without its version attribute.
    QString getFormatVersion() const override;
    bool hasError() const override;
    QString takeError() override;

private:
    CDescriptionDocument _file;
};

#endif
