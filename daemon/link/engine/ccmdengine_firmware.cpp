// Firmware updates, single-parameter access and the FPGA version probe.
#include "engine/ccmdengine.h"

const ULWord CCmdEngine::kLUTSlotStart[2] = {0x60000, 0x70000};

namespace {

// The fixed lookup-table targets sit on "SPI Control", device 0.
const UByte kLUTSlotInterface = 1;

} // namespace

int CCmdEngine::UpdateSafeBootFirmware(std::istream& source, UWord size)
{
    return MapCommStatus(StatusMapping::Firmware, _comm.SafeBootFirmwareUpdate(source, size));
}

int CCmdEngine::UpdateAppFirmware(std::istream& source, UWord size)
{
    return MapCommStatus(StatusMapping::Firmware, _comm.CNCAppFirmwareUpdate(source, size));
}

int CCmdEngine::UpdateFPGAFirmware(UByte fpgaId, std::istream& source, ULWord size,
                                   UWord chunkSize)
{
    CModuleTypeFPGA* fpga = _module.FindFPGA(fpgaId);
    if (!fpga)
        return MapCommStatus(StatusMapping::FPGAFirmware, kBadFPGAID);
    const int status = _comm.FPGAFirmwareUpdate(
        UByte(_module.FPGAFirmwareInterface(fpgaId)), _module.FPGAFirmwareDevice(fpgaId),
        ULWord(_module.FPGAFirmwareStart(fpgaId)), source, size, chunkSize);
    if (status != kOK)
        return MapCommStatus(StatusMapping::FPGAFirmware, status);
    UByte major = 0, minor = 0;
    if (_comm.ReadFPGAFirmwareVersion(UByte(fpga->_interfaceID), UByte(fpga->_deviceID),
                                      UWord(fpga->_firmware._revisionStart), major, minor) == kOK)
        fpga->_firmware.version = CVersion(major, minor);
    return kEngineOK;
}

int CCmdEngine::UpdateLUTFirmware(UByte fpgaId, UByte tableId, std::istream& source, ULWord size)
{
    CModuleTypeFPGA* fpga = _module.FindFPGA(fpgaId);
    CModuleTypeLookupTable* table = fpga ? fpga->FindLookupTable(tableId) : nullptr;
    if (!table)
        return MapCommStatus(StatusMapping::LUTFirmware, kIllegalArgument);
    const UByte interfaceId = UByte(fpga->_interfaceID);
    const UByte deviceId = UByte(fpga->_deviceID);
    const int status = _comm.LUTFirmwareUpdate(interfaceId, deviceId, table->_deviceID,
                                               ULWord(fpga->_lutRegisterStart),
                                               ULWord(table->_start), source, size);
    if (status != kOK)
        return MapCommStatus(StatusMapping::LUTFirmware, status);
    UByte major = 0, minor = 0;
    if (_comm.ReadLUTFirmwareVersion(interfaceId, deviceId, table->_id, ULWord(table->_start + 1),
                                     major, minor) == kOK)
        table->version = CVersion(major, minor);
    return kEngineOK;
}

int CCmdEngine::UpdateLUTFirmwareSlot(int slot, std::istream& source, ULWord size)
{
    if (slot < 0 || slot > 1)
        return MapCommStatus(StatusMapping::LUTFirmware, kIllegalArgument);
    return MapCommStatus(StatusMapping::LUTFirmware,
                         _comm.LUTFirmwareUpdate(kLUTSlotInterface, 0, 0, 0, kLUTSlotStart[slot],
                                                 source, size));
}

const CModuleTypeParam* CCmdEngine::FindParam(ULWord paramId, UByte fpgaId, UByte blockId)
{
    CModuleTypeFPGA* fpga = _module.FindFPGA(fpgaId);
    CModuleTypeBlock* block = fpga ? fpga->FindBlock(blockId) : nullptr;
    return block ? block->FindParam(paramId) : nullptr;
}

int CCmdEngine::SetBytes(ULWord paramId, UByte fpgaId, UByte blockId, ULWord value, int width)
{
    const CModuleTypeParam* param = FindParam(paramId, fpgaId, blockId);
    if (!param)
        return kEngineOK;
    // The 2- and 4-byte forms need an entry of their own width; a 1-byte
    // value goes out as one byte whatever the entry says.
    if (width > 1 && param->GetLength() != width)
        return MapCommStatus(StatusMapping::Base, kParameterLengthMismatch);
    UByte bytes[4];
    for (int i = 0; i < width; ++i)
        bytes[i] = UByte(value >> (8 * (width - 1 - i)));
    return MapCommStatus(StatusMapping::Base,
                         _comm.WriteConfigParameter(fpgaId, blockId, param->GetStart(), bytes,
                                                    UWord(width)));
}

int CCmdEngine::Set(ULWord paramId, UByte fpgaId, UByte blockId, UByte value)
{
    return SetBytes(paramId, fpgaId, blockId, value, 1);
}

int CCmdEngine::Set(ULWord paramId, UByte fpgaId, UByte blockId, UWord value)
{
    return SetBytes(paramId, fpgaId, blockId, value, 2);
}

int CCmdEngine::Set(ULWord paramId, UByte fpgaId, UByte blockId, ULWord value)
{
    return SetBytes(paramId, fpgaId, blockId, value, 4);
}

int CCmdEngine::ReadParameter(ULWord paramId, UByte fpgaId, UByte blockId, UByte& value)
{
    const CModuleTypeParam* param = FindParam(paramId, fpgaId, blockId);
    if (!param)
        return MapCommStatus(StatusMapping::Base, kIllegalArgument);
    UByte buffer[1] = {0};
    const int status = _comm.ReadConfigParameter(fpgaId, blockId, param->GetStart(), buffer, 1);
    if (status == kOK)
        value = buffer[0];
    return MapCommStatus(StatusMapping::Base, status);
}

UByte CCmdEngine::ProbeFPGAVersion()
{
    UByte last = 0;
    for (UByte fpgaId : _module.FPGAIds()) {
        const CModuleTypeFPGA* fpga = _module.FindFPGA(fpgaId);
        UByte major = 0, minor = 0;
        if (_comm.ReadFPGAFirmwareVersion(UByte(fpga->_interfaceID), UByte(fpga->_deviceID),
                                          UWord(fpga->_firmware._revisionStart), major,
                                          minor) != kOK)
            break;
        last = UByte(major + minor);
    }
    return last;
}
