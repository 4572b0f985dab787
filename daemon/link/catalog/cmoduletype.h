// The module record: what the daemon knows of one converter's hardware, the
// module-type and interface name tables, and the byte codec of the module
// description.
#ifndef PORTVANE_CMODULETYPE_H
#define PORTVANE_CMODULETYPE_H

#include <array>
#include <cstdint>
#include <map>
#include <vector>

#include <QByteArray>
#include <QString>

#include "catalog/cversion.h"
#include "base/bytetypes.h"

class CConfigBlockIF;
class CCommProtocol;
class CModuleTypeXMLIF;

// One parameter of a configuration block, for single-parameter writes.
struct CModuleTypeParam {
    UWord _start = 0;
    UWord _length = 0;
    UWord GetStart() const { return _start; }
    UWord GetLength() const { return _length; }
};

// One configuration parameter block of an FPGA, with the block image a
// model wrapper attached to it.
class CModuleTypeBlock {
public:
    void Append(QByteArray& out) const;
    // Bytes consumed: 5, or 0 (block unchanged) when fewer than 7 bytes
    // are available.
    int Parse(const UByte* bytes, int count);
    CModuleTypeParam* FindParam(ULWord id);

    // Routing to the attached block; no block attached counts as success.
    bool ReadBlock(CCommProtocol& comm);
    // 1 whatever the block's write returns.
    int WriteBlock(CCommProtocol& comm);
    // The block's own write status; 0 when no block is attached.
    int WriteBlockStatus(CCommProtocol& comm);
    // Calls StreamOutFPGA only for a block that overrides it; always 1.
    int StreamOutBlock(CCommProtocol& comm);
    // Has the converter refresh the block (under fpgaID and this block's
    // id), then reads it; no block attached counts as success and sends
    // nothing. A refused refresh is a failure and the block is not read.
    bool RefreshAndReadBlock(UByte fpgaID, CCommProtocol& comm);

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
    // Reads the id, the block count and that many blocks; stops at the
    // first block that cannot be read. Returns the bytes consumed.
    int Parse(const UByte* bytes, int count);
    CModuleTypeBlock* FindBlock(UByte blockID);
    const CModuleTypeBlock* FindBlock(UByte blockID) const;
    CModuleTypeLookupTable* FindLookupTable(UByte tableID);
    const CModuleTypeLookupTable* FindLookupTable(UByte tableID) const;
    std::vector<UByte> LookupTableIds() const;
    std::vector<UByte> BlockIds() const;

    // Per-block forms: 0 when the block is missing, else the block's result.
    int WriteBlock(UByte blockID, CCommProtocol& comm);
    int WriteBlockStatus(UByte blockID, CCommProtocol& comm);
    int StreamOutBlock(UByte blockID, CCommProtocol& comm);
    // Missing block: false.
    bool ReadBlock(UByte blockID, CCommProtocol& comm);
    bool RefreshAndReadBlock(UByte blockID, CCommProtocol& comm);
    // Every block in id order, without stopping at a failure.
    void RefreshAndReadAllBlocks(CCommProtocol& comm);
    // All-block forms, blocks in id order. ReadAllBlocks stops at the first
    // failure; the write forms write every block.
    bool ReadAllBlocks(CCommProtocol& comm);
    bool WriteAllBlocks(CCommProtocol& comm);
    void WriteAllBlocksStatus(CCommProtocol& comm);

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

// Id of the first module-type entry whose name equals name exactly; 0 when
// none does.
int ModuleTypeFromName(const QString& name);
// 0 to 3 for "I2C", "SPI Control", "SPI Config", "JTAG"; -1 otherwise.
int InterfaceFromName(const QString& name);

class CModuleType {
public:
    static const int kModuleTypeCount = 34;
    static const int kInterfaceCount = 4;
    // Indexed by module type id (0 "Unknown", 1 to 33 the converter models).
    static const std::array<CModuleTypeIDName, kModuleTypeCount> _moduleTypeIDNames;
    // Indexed by interface id.
    static const std::array<CModuleTypeIDName, kInterfaceCount> _InterfaceIDNames;

    // Module description sent with the write-module-info command.
    void AppendInfo(QByteArray& out) const;
    // Reads the module-info reply payload; returns the bytes consumed.
    int ParseInfoReply(const UByte* bytes, int count);

    // Record access; nothing is created on lookup.
    bool HasFPGA(UByte fpgaID) const;
    CModuleTypeFPGA* FindFPGA(UByte fpgaID);
    const CModuleTypeFPGA* FindFPGA(UByte fpgaID) const;
    CModuleTypeFPGA* DefaultFPGA();
    QString FPGAName(UByte fpgaID) const;
    std::int32_t FPGAFirmwareInterface(UByte fpgaID) const;
    UByte FPGAFirmwareDevice(UByte fpgaID) const;
    std::int32_t FPGAFirmwareStart(UByte fpgaID) const;
    CVersion* FPGAVersion(UByte fpgaID);
    CVersion* LookupTableVersion(UByte fpgaID, UByte tableID);
    std::vector<UByte> FPGAIds() const;

    // Block routing. The block is filed under its own FPGA and block id;
    // nothing happens when the module has no such block.
    void AttachBlock(CConfigBlockIF* block);
    // 0 when the FPGA or block is missing, else 1.
    int WriteBlock(UByte fpgaID, UByte blockID, CCommProtocol& comm);
    // The block's own write status; 0 when the FPGA, block or image is missing.
    int WriteBlockStatus(UByte fpgaID, UByte blockID, CCommProtocol& comm);
    // 0 when the FPGA or block is missing, else 1.
    int StreamOutBlock(UByte fpgaID, UByte blockID, CCommProtocol& comm);
    // False without FPGAs; true without reading for module type 0;
    // otherwise stops at the first block that fails.
    bool ReadAllBlocks(CCommProtocol& comm);
    // Writes every attached block; always true.
    bool WriteAllBlocks(CCommProtocol& comm);
    // Writes every attached block with the status-passing form.
    void WriteAllBlocksStatus(CCommProtocol& comm);
    // Refresh, then read, one block; false when the FPGA or block is
    // missing or the refresh or read fails.
    bool RefreshAndReadBlock(UByte fpgaID, UByte blockID, CCommProtocol& comm);
    // Every block of every FPGA in id order, without stopping at a failure.
    void RefreshAndReadAllBlocks(CCommProtocol& comm);
    // Type 0 and every image and FPGA firmware version back to {255,255}.
    void ResetVersions();

    // Replaces the FPGA map from a module-type description file. On a
    // failed load the reader's error text is dropped, the map stays empty
    // and false is returned.
    bool Load(CModuleTypeXMLIF* reader, const QString& path);

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
