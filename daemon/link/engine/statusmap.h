// Turns protocol statuses into engine result codes. Each engine operation
// that sends a command names the mapping it uses.
#ifndef PORTVANE_STATUSMAP_H
#define PORTVANE_STATUSMAP_H

enum class StatusMapping {
    Base,           // identification texts, versions, names, ids, reset-free writes
    ModuleTypeRead, // the module type read of Open
    DeviceData,     // direct register access
    Reset,
    Firmware,       // safe-boot and application images
    FPGAFirmware,
    LUTFirmware
};

// The engine result for a protocol status under the given mapping.
int MapCommStatus(StatusMapping mapping, int status);

#endif
