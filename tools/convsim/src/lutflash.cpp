#include "convsim/lutflash.h"

#include "convsim/convertermodel.h"
#include "convsim/personality.h"

#include <algorithm>
#include <cstdio>

namespace convsim {

namespace {

constexpr uint8_t kFlashInterface = 1;
constexpr uint8_t kFlashDevice = 0;
constexpr uint8_t kErased = 0xFF;

uint32_t FlashEnd()
{
    return LutFlash::SectorBase(LutFlash::kSectors);
}

bool InFlash(uint32_t addr)
{
    return addr >= LutFlash::kFirstSector && addr < FlashEnd();
}

bool IsEraseAddress(uint32_t addr)
{
    for (size_t n = 0; n < LutFlash::kSectors; ++n)
        if (addr == LutFlash::EraseAddress(n))
            return true;
    return false;
}

bool Covers(uint32_t addr, size_t count, uint32_t reg)
{
    return reg >= addr && reg - addr < count;
}

} // namespace

void SetUpLutConverter(Personality& p)
{
    if (p.moduleType != kLutConverterType)
        return;
    p.lutFlash.present = true;
    for (Bytes& sector : p.lutFlash.sectors)
        sector.assign(LutFlash::kSectorBytes, kErased);
    for (size_t r = kLutStatusFirst; r < kLutStatusFirst + kLutStatusBytes; ++r)
        p.readOnlyBits[r] = 0xFF;
}

Bytes LutSectorImage(uint8_t typeByte, const std::string& name)
{
    Bytes image(LutFlash::kSectorBytes, kErased);
    image[0] = typeByte;
    image[1] = uint8_t(name.size());
    std::copy_n(name.begin(), std::min(name.size(), image.size() - 2), image.begin() + 2);
    return image;
}

bool LutFlashDevice::ClaimsWrite(const LutFlash& flash, uint8_t iface, uint8_t dev, uint32_t addr,
                                 size_t count) const
{
    if (!flash.present || iface != kFlashInterface || dev != kFlashDevice || count == 0)
        return false;
    return InFlash(addr) || IsEraseAddress(addr) || (addr == LutFlash::kTransferRegister && count == 1);
}

bool LutFlashDevice::ClaimsRead(const LutFlash& flash, uint8_t iface, uint8_t dev, uint32_t addr,
                                size_t count) const
{
    if (!flash.present || iface != kFlashInterface || dev != kFlashDevice || count == 0)
        return false;
    return InFlash(addr) || Covers(addr, count, LutFlash::kTransferRegister);
}

void LutFlashDevice::SetTransferRegister(ConverterModel& registers, uint8_t value)
{
    registers.WriteRegisters(kFlashInterface, kFlashDevice, LutFlash::kTransferRegister, &value, 1);
}

bool LutFlashDevice::Write(LutFlash& flash, ConverterModel& registers, uint32_t addr, const uint8_t* data,
                           size_t count)
{
    if (addr == LutFlash::kTransferRegister) {
        _running = false;
        SetTransferRegister(registers, data[0]);
        return true;
    }
    if (IsEraseAddress(addr)) {
        const size_t sector = (addr - LutFlash::EraseAddress(0)) / LutFlash::kSectorBytes;
        if (count == 1 && data[0] == LutFlash::kEraseCommand)
            flash.sectors[sector].assign(LutFlash::kSectorBytes, kErased);
        return true;
    }
    const size_t sector = (addr - LutFlash::kFirstSector) / LutFlash::kSectorBytes;
    const size_t offset = (addr - LutFlash::kFirstSector) % LutFlash::kSectorBytes;
    if (count > LutFlash::kSectorBytes - offset)
        return false;
    Bytes& memory = flash.sectors[sector];
    for (size_t i = 0; i < count; ++i)
        memory[offset + i] &= data[i];
    if (offset + count == LutFlash::kSectorBytes) {
        _running = true;
        _readsLeft = flash.readsBeforeReady;
        SetTransferRegister(registers, flash.busyValue);
    }
    return true;
}

Bytes LutFlashDevice::Read(const LutFlash& flash, ConverterModel& registers, uint32_t addr, size_t count)
{
    if (InFlash(addr)) {
        Bytes out(count, 0);
        for (size_t i = 0; i < count && addr + i < FlashEnd(); ++i) {
            const uint32_t at = uint32_t(addr + i) - LutFlash::kFirstSector;
            out[i] = flash.sectors[at / LutFlash::kSectorBytes][at % LutFlash::kSectorBytes];
        }
        return out;
    }
    if (_running) {
        if (_readsLeft > 0)
            --_readsLeft;
        else if (_readsLeft == 0)
            SetTransferRegister(registers, flash.readyValue);
    }
    return registers.ReadRegisters(kFlashInterface, kFlashDevice, addr, count);
}

std::string FormatLutLine(size_t sector, const Bytes& memory)
{
    char head[48];
    if (memory.size() < 2 || (memory[0] >> 1 & 0x07) > 3) {
        std::snprintf(head, sizeof head, "lut %zu: empty", sector);
        return head;
    }
    // FNV-1a over the whole sector, so any change shows.
    uint32_t sum = 2166136261u;
    for (uint8_t b : memory)
        sum = (sum ^ b) * 16777619u;
    const size_t length = std::min<size_t>(memory[1], memory.size() - 2);
    std::string name;
    for (size_t i = 0; i < length && memory[2 + i] != 0; ++i) {
        const uint8_t c = memory[2 + i];
        if (c >= 0x20 && c < 0x7F) {
            name += char(c);
        } else {
            char x[8];
            std::snprintf(x, sizeof x, "\\x%02X", c);
            name += x;
        }
    }
    std::snprintf(head, sizeof head, "lut %zu: type %02X, name \"", sector, memory[0]);
    char tail[32];
    std::snprintf(tail, sizeof tail, "\", checksum %08X", sum);
    return head + name + tail;
}

} // namespace convsim
