// The LUT converter's (JASTEL) lookup-table flash and its LUT transfer
// register, as the box reaches them with register reads and writes (0x9D,
// 0x9E) on interface 1, device 0:
//
//   0x60000 + 0x8000 n   sector n (0..3), 0x8000 bytes. Reads give its
//                        bytes; a write programs them as flash does: a bit
//                        can only go from 1 to 0, so a sector is erased
//                        before it is written.
//   0xA0100 + 0x8000 n   erase command of sector n: the byte 0x81 fills the
//                        sector with 0xFF (other values do nothing).
//   0x25                 LUT transfer register. A write that reaches the
//                        last byte of a sector starts the transfer: the
//                        register then reads busyValue for readsBeforeReady
//                        reads (every read that covers it counts), then
//                        readyValue; readsBeforeReady -1: never ready. A
//                        write stores the byte and ends the transfer (the
//                        box writes 0x80, then 0x00).
//
// A sector starts with the stored table's header: a type byte (bits 1-3 the
// file kind, 0 cube, 1 3dl, 2 lut, 3 txt; 4-7 no table), the name length,
// the name. An erased sector (0xFF) so holds no table.
#ifndef CONVSIM_LUTFLASH_H
#define CONVSIM_LUTFLASH_H

#include "convsim/wire.h"

#include <array>
#include <cstdint>
#include <string>

namespace convsim {

struct LutFlash {
    static constexpr size_t kSectors = 4;
    static constexpr uint32_t kFirstSector = 0x60000;
    static constexpr uint32_t kSectorBytes = 0x8000;
    static constexpr uint32_t kEraseOffset = 0x40100; // from the sector's base
    static constexpr uint8_t kEraseCommand = 0x81;
    static constexpr uint32_t kTransferRegister = 0x25;

    bool present = false;
    std::array<Bytes, kSectors> sectors; // kSectorBytes each when present
    int readsBeforeReady = 1;
    uint8_t busyValue = 0x01;
    uint8_t readyValue = 0x05;

    static uint32_t SectorBase(size_t sector) { return kFirstSector + kSectorBytes * uint32_t(sector); }
    static uint32_t EraseAddress(size_t sector) { return SectorBase(sector) + kEraseOffset; }
};

struct Personality;

// On a JASTEL: the flash, every sector erased, and its 40 status registers
// 16..55 (SDI inputs, outputs, LED; all 0: no signal) as the converter's
// own, which register writes leave alone. Nothing on other types.
void SetUpLutConverter(Personality& p);
constexpr int kLutConverterType = 12;
constexpr uint32_t kLutStatusFirst = 16;
constexpr size_t kLutStatusBytes = 40;

// A sector holding a table: type byte, name length, name, then 0xFF. The
// length byte is the name's length cut to 8 bits.
Bytes LutSectorImage(uint8_t typeByte, const std::string& name);

class ConverterModel;

// The flash's live side inside a converter: the transfer in progress.
class LutFlashDevice {
public:
    // True when the flash serves a register write or read of count bytes at
    // addr on (iface, dev): one inside a sector, an erase command, or one
    // that touches the transfer register.
    bool ClaimsWrite(const LutFlash& flash, uint8_t iface, uint8_t dev, uint32_t addr, size_t count) const;
    bool ClaimsRead(const LutFlash& flash, uint8_t iface, uint8_t dev, uint32_t addr, size_t count) const;

    // A claimed write; false when it crosses a sector's end or leaves the
    // flash (the converter answers with a failure and changes nothing).
    bool Write(LutFlash& flash, ConverterModel& registers, uint32_t addr, const uint8_t* data, size_t count);
    // A claimed read: sector bytes, or the registers with the transfer
    // register as the transfer shows it.
    Bytes Read(const LutFlash& flash, ConverterModel& registers, uint32_t addr, size_t count);

    bool TransferRunning() const { return _running; }

private:
    void SetTransferRegister(ConverterModel& registers, uint8_t value);

    bool _running = false;
    int _readsLeft = 0;
};

// "lut N: empty" or "lut N: type TT, name "film", checksum XXXXXXXX" for the
// simulator's dump.
std::string FormatLutLine(size_t sector, const Bytes& memory);

} // namespace convsim

#endif
