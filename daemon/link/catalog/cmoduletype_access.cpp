// Lookups on the module record and its FPGA and block records.
#include "catalog/cmoduletype.h"

CModuleTypeParam* CModuleTypeBlock::FindParam(ULWord id)
{
    auto it = _params.find(id);
    return it == _params.end() ? nullptr : &it->second;
}

CModuleTypeBlock* CModuleTypeFPGA::FindBlock(UByte blockID)
{
    auto it = _blocks.find(blockID);
    return it == _blocks.end() ? nullptr : &it->second;
}

const CModuleTypeBlock* CModuleTypeFPGA::FindBlock(UByte blockID) const
{
    auto it = _blocks.find(blockID);
    return it == _blocks.end() ? nullptr : &it->second;
}

CModuleTypeLookupTable* CModuleTypeFPGA::FindLookupTable(UByte tableID)
{
    auto it = _lookupTables.find(tableID);
    return it == _lookupTables.end() ? nullptr : &it->second;
}

const CModuleTypeLookupTable* CModuleTypeFPGA::FindLookupTable(UByte tableID) const
{
    auto it = _lookupTables.find(tableID);
    return it == _lookupTables.end() ? nullptr : &it->second;
}

std::vector<UByte> CModuleTypeFPGA::LookupTableIds() const
{
    std::vector<UByte> ids;
    for (const auto& entry : _lookupTables)
        ids.push_back(entry.first);
    return ids;
}

std::vector<UByte> CModuleTypeFPGA::BlockIds() const
{
    std::vector<UByte> ids;
    for (const auto& entry : _blocks)
        ids.push_back(entry.first);
    return ids;
}

bool CModuleType::HasFPGA(UByte fpgaID) const
{
    return _fpgas.find(fpgaID) != _fpgas.end();
}

CModuleTypeFPGA* CModuleType::FindFPGA(UByte fpgaID)
{
    auto it = _fpgas.find(fpgaID);
    return it == _fpgas.end() ? nullptr : &it->second;
}

const CModuleTypeFPGA* CModuleType::FindFPGA(UByte fpgaID) const
{
    auto it = _fpgas.find(fpgaID);
    return it == _fpgas.end() ? nullptr : &it->second;
}

CModuleTypeFPGA* CModuleType::DefaultFPGA()
{
    return FindFPGA(_fpgaID);
}

QString CModuleType::FPGAName(UByte fpgaID) const
{
    const CModuleTypeFPGA* fpga = FindFPGA(fpgaID);
    return fpga ? fpga->_name : QString();
}

std::int32_t CModuleType::FPGAFirmwareInterface(UByte fpgaID) const
{
    const CModuleTypeFPGA* fpga = FindFPGA(fpgaID);
    return fpga ? fpga->_firmware._interfaceID : -1;
}

UByte CModuleType::FPGAFirmwareDevice(UByte fpgaID) const
{
    const CModuleTypeFPGA* fpga = FindFPGA(fpgaID);
    return fpga ? UByte(fpga->_firmware._deviceID & 0xFF) : UByte(0);
}

std::int32_t CModuleType::FPGAFirmwareStart(UByte fpgaID) const
{
    const CModuleTypeFPGA* fpga = FindFPGA(fpgaID);
    return fpga ? fpga->_firmware._start : 0;
}

CVersion* CModuleType::FPGAVersion(UByte fpgaID)
{
    CModuleTypeFPGA* fpga = FindFPGA(fpgaID);
    return fpga ? &fpga->_firmware.version : nullptr;
}

CVersion* CModuleType::LookupTableVersion(UByte fpgaID, UByte tableID)
{
    CModuleTypeFPGA* fpga = FindFPGA(fpgaID);
    if (!fpga)
        return nullptr;
    CModuleTypeLookupTable* table = fpga->FindLookupTable(tableID);
    return table ? &table->version : nullptr;
}

std::vector<UByte> CModuleType::FPGAIds() const
{
    std::vector<UByte> ids;
    for (const auto& entry : _fpgas)
        ids.push_back(entry.first);
    return ids;
}

void CModuleType::ResetVersions()
{
    _moduleTypeID = 0;
    _safeBootVersion.version = CVersion::_nullVersion;
    _cncAppVersion.version = CVersion::_nullVersion;
    for (auto& entry : _fpgas)
        entry.second._firmware.version = CVersion::_nullVersion;
}
