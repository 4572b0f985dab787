// What a simulated converter is: identity, versions, module description,
// configuration memory and register contents. Every field may be changed
// before the simulator starts; ForType() builds the defaults.
//
// Defaults of ForType(t):
//   protocol version 1; safe-boot 1.0, application 1.0; module state 1,
//   info flag 0; module type t; release 1.2; board assembly id empty;
//   serial "SIM" + t as two digits + "001" (e.g. "SIM05001"); module name
//   the catalogue name of t ("HESTRA", ...; empty outside 1..33).
//   One FPGA: id 0 on interface 1 ("SPI Control"), device 0, firmware 1.0.
//   FPGA 0 has configuration block 0 on the models that have one (start
//   register, length): the ROI scalers 5, 14, 18, 19 (3, 41), ARVEL and
//   BRINDO (0, 4), CADMER (0, 3), GRAVO (0, 5), DOVRIN (3, 42), ESTROW and
//   NOLVAR (3, 15), FALCRIN (0, 4), GESMOR (0, 15), HARVIK, KELVRO and LOMRIK
//   (3, 13), ILMARO and JASTEL (3, 32); the memory as a freshly set-up
//   converter holds it (see DefaultConfigBlock).
//   Chunk size 16, no cap on download answers, no wire-time emulation.
//   JASTEL: its LUT flash, erased, and status registers 16..55 (see
//   lutflash.h).
//
// Register file of (interface 1, device 0), addresses 0..63 (the status
// image); every other address and device reads 0 until written:
//   0       module type id
//   1, 2    FPGA firmware major, minor (fpgaVersion wins over statusImage)
//   scalers only:
//   3..43   the default configuration image below, with register 20 bit 6
//           set (input format matches)
//   43      0x80: video input present
//   44..56  measured input timing, the same bytes as registers 26..38
//   53      0x10: locked to the video input, output connected, HDMI,
//           8-channel audio
//   others  0
// The converter's own bits of those registers (readOnlyBits) do not change
// when the box writes them: registers 0..2, and on the scalers register 20
// bit 6 (MARDEX also bits 2..1, its genlock state) and registers 42..59.
//
// Default configuration memory of (FPGA 0, block 0) on the scalers, byte i =
// register 3 + i: input region 720 x 486 at (600, 357), output region
// 1600 x 1080 at (160, 0), ROI control 0x57, output video control 0x04,
// background black (Cr 128, Y 16, Cb 128), genlock control 0 (MARDEX 4),
// no delays or flags, and the input timing 1920 x 1080 of 2200 x 1125,
// start (192, 41), frame period 450450 clocks (59.94 Hz); MARDEX also has
// the EDID flow-through bit (register 41 bit 4). Registers 40, 42, 43 are 0.
#ifndef CONVSIM_PERSONALITY_H
#define CONVSIM_PERSONALITY_H

#include "convsim/lutflash.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace convsim {

struct Version {
    uint8_t major = 0;
    uint8_t minor = 0;
};

struct BlockLayout {
    uint8_t id = 0;
    uint16_t start = 0;
    std::vector<uint8_t> memory; // the block's configuration memory; size = length
};

struct FpgaLayout {
    uint8_t id = 0;
    uint8_t interfaceId = 1;
    uint8_t deviceId = 0;
    std::vector<BlockLayout> blocks;
};

constexpr size_t kSerialWidth = 8;
constexpr size_t kBoardAssemblyWidth = 9;
constexpr size_t kShortNameWidth = 8;
constexpr size_t kLongNameWidth = 16;
constexpr size_t kStatusImageBytes = 64;
constexpr size_t kScalerBlockBytes = 41;
constexpr uint16_t kScalerBlockStart = 3;

struct Personality {
    uint8_t protocolVersion = 1;
    Version safeBootVersion{1, 0};
    Version appVersion{1, 0};
    uint8_t moduleState = 1; // low 7 bits of the module-info status byte
    bool infoFlag = false;   // bit 7 of that byte
    uint8_t moduleType = 0;
    Version releaseVersion{1, 2};
    // Text fields hold raw bytes; they are cut to, or zero-padded to, the
    // field width on the wire (serial 8, board assembly 9, name 16; the
    // short name read gives the first 8 bytes of the name).
    std::string serialId;
    std::string boardAssemblyId;
    std::string moduleName;
    Version fpgaVersion{1, 0}; // registers 1 and 2 of (interface 1, device 0)
    std::array<uint8_t, kStatusImageBytes> statusImage{};
    // Bits of registers 0..63 that register writes from the box leave alone.
    std::array<uint8_t, kStatusImageBytes> readOnlyBits{};
    std::vector<FpgaLayout> fpgas;
    uint16_t chunkSize = 16; // chunk size announced to transfer-opening commands
    uint16_t chunkMax = 0;   // most data bytes per download answer; 0 = as asked
    bool wireTime = false;   // delay answers by the 38400 baud 8O1 wire time
    LutFlash lutFlash;       // the JASTEL's LUT flash (see lutflash.h)

    static Personality ForType(int type);
};

// The catalogue name of a module type, "" outside 0..33.
std::string ModuleTypeName(int type);
bool IsScalerType(int type);
// The default 41-byte configuration image of a scaler type.
std::vector<uint8_t> DefaultScalerImage(int type);
// The start register and default memory of a type's configuration block 0
// on FPGA 0; false for a type without one.
bool DefaultConfigBlock(int type, uint16_t& start, std::vector<uint8_t>& memory);

} // namespace convsim

#endif
