// Abstract readers of an assembly description file.
#ifndef PORTVANE_CASSEMBLIESXMLIF_H
#define PORTVANE_CASSEMBLIESXMLIF_H

#include <QList>
#include <QString>

#include "catalog/cversion.h"
#include "base/bytetypes.h"

class CAssemblyLookupTableXMLIF {
public:
    virtual ~CAssemblyLookupTableXMLIF() {}
    virtual UByte getID() const = 0;
    virtual CVersion getVersion() const = 0;
    virtual QString getFilename() const = 0;
};

class CAssemblyFPGAXMLIF {
public:
    virtual ~CAssemblyFPGAXMLIF() {}
    virtual UByte getID() const = 0;
    virtual CVersion getVersion() const = 0;
    virtual QString getFilename() const = 0;
    // Appends new readers, owned by the caller.
    virtual void getLookupTables(QList<CAssemblyLookupTableXMLIF*>& list) const = 0;
};

class CAssemblyXMLIF {
public:
    virtual ~CAssemblyXMLIF() {}
    virtual UByte getID() const = 0;
    virtual CVersion getReleaseVersion() const = 0;
    virtual QString getBoardAssembly() const = 0;
    virtual QString getModuleTypeFile() const = 0;
    virtual CVersion getSafeBootVersion() const = 0;
    virtual QString getSafeBootFile() const = 0;
    virtual CVersion getCNCAppVersion() const = 0;
    virtual QString getCNCAppFile() const = 0;
    // Appends new readers, owned by the caller.
    virtual void getFPGAs(QList<CAssemblyFPGAXMLIF*>& list) const = 0;
};

class CAssembliesXMLIF {
public:
    virtual ~CAssembliesXMLIF() {}
    virtual bool load(const QString& path) = 0;
    virtual int getModuleType() const = 0;
    // Appends new readers, owned by the caller.
    virtual void getAssemblies(QList<CAssemblyXMLIF*>& list) const = 0;
    virtual QString getFormatVersion() const = 0;
    virtual bool hasError() const = 0;
    virtual QString takeError() = 0;
};

#endif
