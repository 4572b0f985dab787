#include "blocks/cconfigblockif.h"

CConfigBlockIF::CConfigBlockIF(CCmdEngine* owner, UByte fpgaId, UByte blockId)
    : _cmdEngine(owner), _fpgaId(fpgaId), _blockId(blockId)
{
}

CConfigBlockIF::~CConfigBlockIF() = default;

int CConfigBlockIF::StreamOutFPGA(CCommProtocol&) const
{
    return 0;
}

bool CConfigBlockIF::StreamsToFPGA() const
{
    return false;
}
