#include "convsim/statedump.h"

#include <cstdio>

namespace convsim {

namespace {

constexpr uint8_t kStatusInterface = 1;
constexpr uint8_t kStatusDevice = 0;

std::string HexBytes(const Bytes& bytes)
{
    std::string text;
    char x[4];
    for (uint8_t b : bytes) {
        std::snprintf(x, sizeof x, " %02X", b);
        text += x;
    }
    return text;
}

} // namespace

std::string FormatBlockLine(uint8_t fpga, uint8_t block, const Bytes& memory)
{
    char head[32];
    std::snprintf(head, sizeof head, "config %u/%u:", unsigned(fpga), unsigned(block));
    return head + HexBytes(memory);
}

std::string FormatStatusLine(const Bytes& status)
{
    char head[32];
    std::snprintf(head, sizeof head, "status 0-%zu:", status.empty() ? size_t(0) : status.size() - 1);
    return head + HexBytes(status);
}

std::vector<std::string> StateDump::Changes(const Simulator& sim)
{
    std::vector<std::string> lines;
    const Personality state = sim.State();
    for (const FpgaLayout& fpga : state.fpgas) {
        for (const BlockLayout& block : fpga.blocks) {
            Bytes& seen = _blocks[{fpga.id, block.id}];
            if (_first || seen != block.memory)
                lines.push_back(FormatBlockLine(fpga.id, block.id, block.memory));
            seen = block.memory;
        }
    }
    if (state.lutFlash.present) {
        for (size_t n = 0; n < LutFlash::kSectors; ++n) {
            const std::string line = FormatLutLine(n, state.lutFlash.sectors[n]);
            if (_first || line != _lut[n])
                lines.push_back(line);
            _lut[n] = line;
        }
    }
    const Bytes status = sim.ReadRegisters(kStatusInterface, kStatusDevice, 0, kStatusImageBytes);
    if (_first || status != _status)
        lines.push_back(FormatStatusLine(status));
    _status = status;
    _first = false;
    return lines;
}

} // namespace convsim
