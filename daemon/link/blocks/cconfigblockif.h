// The register image of one converter model's configuration block: the
// block's settings as named fields, moved to and from the converter through
// the command protocol and saved to and loaded from Qt settings.
#ifndef PORTVANE_CCONFIGBLOCKIF_H
#define PORTVANE_CCONFIGBLOCKIF_H

#include "base/bytetypes.h"

class CCmdEngine;
class CCommProtocol;
class QSettings;

class CConfigBlockIF {
public:
    // owner: the engine of the wrapper that made the block (not owned).
    CConfigBlockIF(CCmdEngine* owner, UByte fpgaId, UByte blockId);
    CConfigBlockIF(UByte fpgaId, UByte blockId) : CConfigBlockIF(nullptr, fpgaId, blockId) {}
    virtual ~CConfigBlockIF();

    // Every configuration field takes the model's default.
    virtual void Reset() = 0;
    // One value per configuration field, keyed by the field's name; true.
    virtual bool SaveSettings(QSettings& settings) = 0;
    // Reset, then every configuration field from its key; true.
    virtual bool LoadSettings(QSettings& settings) = 0;
    // Size read (nonzero) on success, 0 on failure with every field unchanged.
    virtual int ReadFromDevice(CCommProtocol& comm) = 0;
    // Protocol status of the write, 0 on success.
    virtual int WriteToDevice(CCommProtocol& comm) = 0;
    // Writes the image straight into the FPGA's registers; the base sends
    // nothing and returns 0.
    virtual int StreamOutFPGA(CCommProtocol& comm) const;
    // True when StreamOutFPGA is overridden: the engine streams out only then.
    virtual bool StreamsToFPGA() const;

    UByte FPGAID() const { return _fpgaId; }
    UByte BlockID() const { return _blockId; }

protected:
    CCmdEngine* _cmdEngine;
    UByte _fpgaId;
    UByte _blockId;
};

// Makes a model's block; the registry of models holds one per model.
typedef CConfigBlockIF* (*BlockMaker)(CCmdEngine* owner, UByte fpgaId, UByte blockId);

#endif
