// The protocol operations the fuzz target and the seed recorder drive: one
// command per index, its sizes taken from arg. Aborts when a single-shot
// read fails but has changed its outputs.
#ifndef PORTVANE_PROTOCOL_FUZZ_COMMANDS_H
#define PORTVANE_PROTOCOL_FUZZ_COMMANDS_H

#include <cstdint>

class CCommProtocol;

// Number of distinct operations; which is taken modulo this.
constexpr int kFuzzCommandCount = 40;

void RunCommand(CCommProtocol& p, std::uint8_t which, std::uint8_t arg);

#endif
