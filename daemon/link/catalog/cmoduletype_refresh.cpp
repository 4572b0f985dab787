// Reading configuration blocks back after the converter refreshed them.
#include "catalog/cmoduletype.h"

#include "protocol/ccommprotocol.h"

bool CModuleTypeBlock::RefreshAndReadBlock(UByte fpgaID, CCommProtocol& comm)
{
    if (!_block)
        return true;
    // Reading after a refused refresh would pass old contents off as fresh.
    if (comm.RefreshConfig(fpgaID, _id) != kOK)
        return false;
    return ReadBlock(comm);
}

bool CModuleTypeFPGA::RefreshAndReadBlock(UByte blockID, CCommProtocol& comm)
{
    CModuleTypeBlock* block = FindBlock(blockID);
    return block ? block->RefreshAndReadBlock(_id, comm) : false;
}

void CModuleTypeFPGA::RefreshAndReadAllBlocks(CCommProtocol& comm)
{
    for (auto& entry : _blocks)
        entry.second.RefreshAndReadBlock(_id, comm);
}

bool CModuleType::RefreshAndReadBlock(UByte fpgaID, UByte blockID, CCommProtocol& comm)
{
    CModuleTypeFPGA* fpga = FindFPGA(fpgaID);
    return fpga ? fpga->RefreshAndReadBlock(blockID, comm) : false;
}

void CModuleType::RefreshAndReadAllBlocks(CCommProtocol& comm)
{
    for (auto& entry : _fpgas)
        entry.second.RefreshAndReadAllBlocks(comm);
}
