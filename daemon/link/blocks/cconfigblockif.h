// The register image of one converter model's configuration block.
#ifndef PORTVANE_CCONFIGBLOCKIF_H
#define PORTVANE_CCONFIGBLOCKIF_H

#include "tovikconfig/paramtypes.h"

class CCmdEngine;
class CCommProtocol;

class CConfigBlockIF {
public:
    // owner: the engine of the wrapper that made the block (not owned).
    CConfigBlockIF(CCmdEngine* owner, UByte fpgaID, UByte blockID);
    CConfigBlockIF(UByte fpgaID, UByte blockID) : CConfigBlockIF(nullptr, fpgaID, blockID) {}
    virtual ~CConfigBlockIF();

    CCmdEngine* Owner() const { return _cmdEngine; }
    UByte FPGAID() const { return _fpgaID; }
    UByte BlockID() const { return _blockID; }

    // Size read (nonzero) on success, 0 on failure with the image unchanged.
    virtual int ReadFromDevice(CCommProtocol& comm) = 0;
    // Protocol status of the write, 0 on success.
    virtual int WriteToDevice(CCommProtocol& comm) = 0;
    // Streams settings to the FPGA; the base does nothing.
    virtual void StreamOutFPGA(CCommProtocol& comm) const;
    // True when StreamOutFPGA is overridden.
    virtual bool StreamsToFPGA() const;

protected:
    CCmdEngine* _cmdEngine;
    UByte _fpgaID;
    UByte _blockID;
};

// Makes a model's block; the registry of models holds one per model.
typedef CConfigBlockIF* (*BlockMaker)(CCmdEngine* owner, UByte fpgaID, UByte blockID);

#endif
