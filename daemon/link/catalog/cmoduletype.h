// The module record: what the daemon knows of one converter's hardware, and
// the byte codec of the module description.
#ifndef PORTVANE_CMODULETYPE_H
#define PORTVANE_CMODULETYPE_H

#include <map>
#include <vector>
#include <cstdint>

#include <QByteArray>
#include <QString>

#include "catalog/cversion.h"
#include "tovikconfig/paramtypes.h"

class CConfigBlockIF;
class CCommProtocol;
class CModuleTypeXML;

// One parameter of a configuration block, for single-parameter writes.
struct CModuleTypeParam {
    UWord _start = 0;
    UWord _length = 0;
    UWord GetStart() const { return _start; }
    UWord GetLength() const { return _length; }
};

class CModuleTypeBlock {
public:
    void Append(QByteArray& out) const;
    // Bytes consumed: 5, or 0 when fewer than 7 bytes are available.
    int Parse(const UByte* bytes, int count);
    CModuleTypeParam* FindParam(ULWord id);

    UByte _id = 0;
    QString _name;
    UWord _start = 0;
    UWord _length = 0;
    std::map<ULWord, CModuleTypeParam> _params;
    CConfigBlockIF* _block = nullptr; // not owned
};

class CModuleTypeLookupTable {
public:
    UByte _id = 0;
    QString _name;
    QString _text;
    UByte _deviceID = 0;
    std::int32_t _start = 0;
    std::int32_t _length = 0;
    CVersion version{0, 0};
};

struct CModuleTypeFirmware {
    QString label;
    CVersion version;
    std::int32_t _interfaceID = -1;
    std::int32_t _deviceID = 0;
    std::int32_t _start = 0;
    std::int32_t _revisionStart = 0;
};

class CModuleTypeFPGA {
public:
    void Append(QByteArray& out) const;
    int Parse(const UByte* bytes, int count);
    CModuleTypeBlock* FindBlock(UByte blockID);
    CModuleTypeLookupTable* FindLookupTable(UByte tableID);
    std::vector<UByte> LookupTableIds() const;

    UByte _id = 0;
    QString _name;
    std::int32_t _interfaceID = -1;
    std::int32_t _deviceID = 0;
    std::int32_t _lutRegisterStart = 0;
    CModuleTypeFirmware _firmware;
    std::map<UByte, CModuleTypeBlock> _blocks;
    std::map<UByte, CModuleTypeLookupTable> _lookupTables;
};

struct CModuleTypeIDName {
    std::int32_t id;
    QString name;
    const char* text;
};

class CModuleType {
public:
    // Module description sent with the write-module-info command.
    void AppendInfo(QByteArray& out) const;
    // Reads the module-info reply payload; returns the bytes consumed.
    int ParseInfoReply(const UByte* bytes, int count);

    std::int32_t _moduleTypeID = 0;
    UByte _fpgaID = 0;
    UWord _addr = 0;
    QString _moduleName;
    CVersion _releaseVersion{0, 0};
    QString _boardAssemblyID;
    QString _serialID;
    CFirmwareVersion _safeBootVersion;
    CFirmwareVersion _cncAppVersion;
    UByte _infoFlag = 0;
    std::int32_t _moduleState = -1;
    std::map<UByte, CModuleTypeFPGA> _fpgas;
};

#endif
