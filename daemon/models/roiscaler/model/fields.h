// The fields of the ROI scaler models' configuration block, by number: what
// the block reads, writes and saves, and what the wrappers' decisions read
// and change. A model lacks some (block/scalerblock.h says which); those stay 0.
#ifndef PORTVANE_ROISCALER_MODEL_FIELDS_H
#define PORTVANE_ROISCALER_MODEL_FIELDS_H

// The block's fields: the configuration fields in the order of their
// settings keys, then the status mirrors.
struct RoiField {
    enum : int {
        _inputActivePixels,  // UWord, 12 bits used
        _inputActiveLines,   // UWord, 12 bits
        _inputHStartOffset,  // UWord, 12 bits
        _inputVStartOffset,  // UWord, 12 bits
        _outputActivePixels, // UWord, 12 bits
        _outputActiveLines,  // UWord, 12 bits
        _outputHStartOffset, // UWord, 12 bits
        _outputVStartOffset, // UWord, 12 bits
        _roiCtrl,            // UByte; bit 5 is _saveRoi on write (not Hestra)
        _saveRoi,            // bool (not Hestra)
        _sdiOutVideoCtrl,    // UByte: format code high nibble, rate code low
        _backColorCr,        // UByte
        _backColorY,         // UByte
        _backColorCb,        // UByte
        _genLockCtrl,        // UByte, 7 bits used
        _isSmpte,            // bool
        _swStateSelect,      // UByte: fit mode high nibble, constraint low
        _swStateSelect2,     // UByte (not Hestra)
        _stInputHStartLSB,   // the thirteen timing bytes the FPGA uses, UByte
        _stInputHStartAndInputHWidthMSB,
        _stInputHWidthLSB,
        _stInputHTotalLSB,
        _stInputHTotalAndInputVStartMSB,
        _stInputVStartLSB,
        _stInputVHeightLSB,
        _stInputVHeightAndInputVTotalMSB,
        _stInputVTotalLSB,
        _stInputMiscSignal, // bits 2..0 written; the whole register read
        _stHzThousandsReg0,
        _stHzThousandsReg1,
        _stHzThousandsReg2,
        _audioControl,       // UByte
        _horizontalDelay,    // UWord, 12 bits
        _verticalDelay,      // UWord, 12 bits
        _sharpBlanking,      // bool
        _flickerFiltering,   // bool
        _rotation,           // int, 2 bits used (not Hestra)
        _verticalFlip,       // bool (not Hestra)
        _horizontalFlip,     // bool (not Hestra)
        _frameDelay,         // bool (not Hestra)
        _edidSwitch,         // bool (Mardex only)
        _audioDpSelectIndex, // bool (Mardex only)
        // Status mirrors: filled by ReadFromDevice only, never written or saved.
        _stInputHWidth,  // int: register 28 | (27 & 0x0F) << 8
        _stInputVHeight, // int: register 32 | (33 >> 4) << 8
        _procLimit,      // bool: status register 57 bit 7 (not Hestra)
        _fpgaInputHStartLSB, // the thirteen measured timing bytes, status 44 to 56
        _fpgaInputHStartAndInputHWidthMSB,
        _fpgaInputHWidthLSB,
        _fpgaInputHTotalLSB,
        _fpgaInputHTotalAndInputVStartMSB,
        _fpgaInputVStartLSB,
        _fpgaInputVHeightLSB,
        _fpgaInputVHeightAndInputVTotalMSB,
        _fpgaInputVTotalLSB,
        _fpgaInputMiscSignal,
        _fpgaHzThousandsReg0,
        _fpgaHzThousandsReg1,
        _fpgaHzThousandsReg2,
        _fpgaInputHWidth,  // int: status 46 | (45 & 0x0F) << 8
        _fpgaInputVHeight, // int: status 50 | (51 >> 4) << 8
        _statusReg59Bit5,  // bool: status register 59 bit 5 (not Hestra)
        _statusReg59Bit7,  // bool: status register 59 bit 7 (not Hestra)
        kCount
    };
};

#endif
