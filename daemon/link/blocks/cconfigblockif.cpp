#include "blocks/cconfigblockif.h"

CConfigBlockIF::CConfigBlockIF(CCmdEngine* owner, UByte fpgaID, UByte blockID)
    : _cmdEngine(owner), _fpgaID(fpgaID), _blockID(blockID)
{
}

CConfigBlockIF::~CConfigBlockIF() = default;

void CConfigBlockIF::StreamOutFPGA(CCommProtocol&) const {}

bool CConfigBlockIF::StreamsToFPGA() const
{
    return false;
}
