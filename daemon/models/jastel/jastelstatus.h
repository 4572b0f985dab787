// The Jastel converter's 40 status bytes (registers 16 to 55), decoded: its
// two SDI inputs, the SDI and HDMI outputs and the LED.
#ifndef PORTVANE_MODELS_JASTELSTATUS_H
#define PORTVANE_MODELS_JASTELSTATUS_H

#include "tovikconfig/paramtypes.h"

struct JastelInputState {
    bool locked = false; // lock bits 3 (locked)
    bool is3G = false;   // locked and link mode 2
    bool levelB = false;
    bool pid = false;    // a payload identifier is present
    unsigned standard = 0;
    unsigned rate = 0;
    bool psf = false;
    bool sd = false;     // standard 2 or 3
    bool valid = false;  // locked and not SD
};

struct JastelStatus {
    static constexpr ULWord kFirstRegister = 16;
    static constexpr int kBytes = 40;

    JastelInputState input[2];
    unsigned outStandard = 0;
    unsigned outRate = 0;
    bool outPsF = false;
    bool hdmiConnected = false;
    unsigned hdmiProtocol = 0;
    unsigned hdmiStandard = 0;
    unsigned hdmiDepth = 0;
    unsigned led = 0;
};

// bytes: the kBytes status bytes, byte i from register 16 + i.
JastelStatus DecodeJastelStatus(const UByte* bytes);

#endif
