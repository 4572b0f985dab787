// The register image of one converter model's configuration block.
#ifndef PORTVANE_CCONFIGBLOCKIF_H
#define PORTVANE_CCONFIGBLOCKIF_H

#include "tovikconfig/paramtypes.h"

class CCommProtocol;

class CConfigBlockIF {
public:
    CConfigBlockIF(UByte fpgaID, UByte blockID) : _fpgaID(fpgaID), _blockID(blockID) {}
    virtual ~CConfigBlockIF() {}

    UByte FPGAID() const { return _fpgaID; }
    UByte BlockID() const { return _blockID; }

    // Size read (nonzero) on success, 0 on failure with the image unchanged.
    virtual int ReadFromDevice(CCommProtocol& comm) = 0;
    // Protocol status of the write, 0 on success.
    virtual int WriteToDevice(CCommProtocol& comm) = 0;
    // Streams settings to the FPGA; the base does nothing.
    virtual void StreamOutFPGA(CCommProtocol& comm) const { (void)comm; }
    // True when StreamOutFPGA is overridden.
    virtual bool StreamsToFPGA() const { return false; }

protected:
    UByte _fpgaID;
    UByte _blockID;
};

#endif
