// What a simulated converter holds, as lines of text: each configuration
// block's memory and the status image (registers 0..63 of interface 1,
// device 0, where the scalers' live configuration registers and status
// mirrors sit), and on the LUT converter each flash sector's table.
// tovik-convsim --dump prints them at start and after each command that
// changed them.
//
//   config 0/0: D0 21 E6 58 ...
//   lut 2: type 00, name "film", checksum 1A2B3C4D
//   status 0-63: 05 01 00 D0 ...
#ifndef CONVSIM_STATEDUMP_H
#define CONVSIM_STATEDUMP_H

#include "convsim/simulator.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace convsim {

class StateDump {
public:
    // Lines for what changed since the last call: every line on the first.
    std::vector<std::string> Changes(const Simulator& sim);

private:
    std::map<std::pair<uint8_t, uint8_t>, Bytes> _blocks;
    std::string _lut[LutFlash::kSectors];
    Bytes _status;
    bool _first = true;
};

std::string FormatBlockLine(uint8_t fpga, uint8_t block, const Bytes& memory);
std::string FormatStatusLine(const Bytes& status);

} // namespace convsim

#endif
