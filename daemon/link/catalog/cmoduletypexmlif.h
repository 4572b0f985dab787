// Abstract readers of a module-type description file.
#ifndef PORTVANE_CMODULETYPEXMLIF_H
#define PORTVANE_CMODULETYPEXMLIF_H

#include <cstdint>

#include <QList>
#include <QString>

#include "base/bytetypes.h"

class CModuleTypeBlockXMLIF {
public:
    virtual ~CModuleTypeBlockXMLIF() {}
    virtual UByte getID() const = 0;
    virtual QString getName() const = 0;
    virtual UWord getStart() const = 0;
    virtual UWord getLength() const = 0;
};

class CModuleTypeLookupTableXMLIF {
public:
    virtual ~CModuleTypeLookupTableXMLIF() {}
    virtual UByte getID() const = 0;
    virtual QString getName() const = 0;
    virtual UByte getDeviceID() const = 0;
    virtual std::int32_t getStart() const = 0;
    virtual std::int32_t getLength() const = 0;
};

class CModuleTypeFPGAXMLIF {
public:
    virtual ~CModuleTypeFPGAXMLIF() {}
    virtual UByte getID() const = 0;
    virtual QString getName() const = 0;
    virtual std::int32_t getInterfaceID() const = 0;
    virtual UByte getDeviceID() const = 0;
    // Append new readers, owned by the caller.
    virtual void getParamBlocks(QList<CModuleTypeBlockXMLIF*>& list) const = 0;
    virtual void getLookupTables(QList<CModuleTypeLookupTableXMLIF*>& list) const = 0;
    virtual std::int32_t getFirmwareInterfaceID() const = 0;
    virtual UByte getFirmwareDeviceID() const = 0;
    virtual std::int32_t getFirmwareStart() const = 0;
    virtual std::int32_t getFirmwareRevisionStart() const = 0;
    virtual std::int32_t getLookupTableRegisterStart() const = 0;
};

class CModuleTypeXMLIF {
public:
    virtual ~CModuleTypeXMLIF() {}
    virtual bool load(const QString& path) = 0;
    virtual QString getFormatVersion() const = 0;
    virtual int getModuleType() const = 0;
    virtual UByte getFpgaID() const = 0;
    virtual UWord getAddr() const = 0;
    // Appends new readers, owned by the caller.
    virtual void getFPGAs(QList<CModuleTypeFPGAXMLIF*>& list) const = 0;
    virtual bool hasError() const = 0;
    virtual QString takeError() = 0;
};

#endif
