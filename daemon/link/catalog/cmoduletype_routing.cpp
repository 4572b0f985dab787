// Routing of configuration-block reads and writes to the block images that
// the model wrappers attach.
#include "catalog/cmoduletype.h"

#include "blocks/cconfigblockif.h"

bool CModuleTypeBlock::ReadBlock(CCommProtocol& comm)
{
    if (!_block)
        return true;
    return _block->ReadFromDevice(comm) != 0;
}

int CModuleTypeBlock::WriteBlock(CCommProtocol& comm)
{
    if (_block)
        _block->WriteToDevice(comm);
    return 1;
}

int CModuleTypeBlock::WriteBlockStatus(CCommProtocol& comm)
{
    if (!_block)
        return 0;
    return _block->WriteToDevice(comm);
}

int CModuleTypeBlock::StreamOutBlock(CCommProtocol& comm)
{
    if (_block && _block->StreamsToFPGA())
        _block->StreamOutFPGA(comm);
    return 1;
}

bool CModuleTypeFPGA::ReadBlock(UByte blockID, CCommProtocol& comm)
{
    CModuleTypeBlock* block = FindBlock(blockID);
    return block ? block->ReadBlock(comm) : false;
}

int CModuleTypeFPGA::WriteBlock(UByte blockID, CCommProtocol& comm)
{
    CModuleTypeBlock* block = FindBlock(blockID);
    return block ? block->WriteBlock(comm) : 0;
}

int CModuleTypeFPGA::WriteBlockStatus(UByte blockID, CCommProtocol& comm)
{
    CModuleTypeBlock* block = FindBlock(blockID);
    return block ? block->WriteBlockStatus(comm) : 0;
}

int CModuleTypeFPGA::StreamOutBlock(UByte blockID, CCommProtocol& comm)
{
    CModuleTypeBlock* block = FindBlock(blockID);
    return block ? block->StreamOutBlock(comm) : 0;
}

bool CModuleTypeFPGA::ReadAllBlocks(CCommProtocol& comm)
{
    for (auto& entry : _blocks) {
        if (!entry.second.ReadBlock(comm))
            return false;
    }
    return true;
}

bool CModuleTypeFPGA::WriteAllBlocks(CCommProtocol& comm)
{
    for (auto& entry : _blocks)
        entry.second.WriteBlock(comm);
    return true;
}

void CModuleTypeFPGA::WriteAllBlocksStatus(CCommProtocol& comm)
{
    for (auto& entry : _blocks)
        entry.second.WriteBlockStatus(comm);
}

void CModuleType::AttachBlock(CConfigBlockIF* block)
{
    if (!block)
        return;
    CModuleTypeFPGA* fpga = FindFPGA(block->FPGAID());
    if (!fpga)
        return;
    CModuleTypeBlock* slot = fpga->FindBlock(block->BlockID());
    if (slot)
        slot->_block = block;
}

int CModuleType::WriteBlock(UByte fpgaID, UByte blockID, CCommProtocol& comm)
{
    CModuleTypeFPGA* fpga = FindFPGA(fpgaID);
    return fpga ? fpga->WriteBlock(blockID, comm) : 0;
}

int CModuleType::WriteBlockStatus(UByte fpgaID, UByte blockID, CCommProtocol& comm)
{
    CModuleTypeFPGA* fpga = FindFPGA(fpgaID);
    return fpga ? fpga->WriteBlockStatus(blockID, comm) : 0;
}

int CModuleType::StreamOutBlock(UByte fpgaID, UByte blockID, CCommProtocol& comm)
{
    CModuleTypeFPGA* fpga = FindFPGA(fpgaID);
    return fpga ? fpga->StreamOutBlock(blockID, comm) : 0;
}

bool CModuleType::ReadAllBlocks(CCommProtocol& comm)
{
    const bool result = !_fpgas.empty();
    if (_moduleTypeID == 0 || !result)
        return result;
    for (auto& entry : _fpgas) {
        if (!entry.second.ReadAllBlocks(comm))
            return false;
    }
    return true;
}

bool CModuleType::WriteAllBlocks(CCommProtocol& comm)
{
    for (auto& entry : _fpgas)
        entry.second.WriteAllBlocks(comm);
    return true;
}

void CModuleType::WriteAllBlocksStatus(CCommProtocol& comm)
{
    for (auto& entry : _fpgas)
        entry.second.WriteAllBlocksStatus(comm);
}
