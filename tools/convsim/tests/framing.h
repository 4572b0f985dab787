// The simulator's tests frame commands and read answers with their own few
// lines, apart from the daemon's protocol code, over the toolkit's
// pseudo-terminal and simulator rig.
#ifndef CONVSIM_TESTS_FRAMING_H
#define CONVSIM_TESTS_FRAMING_H

#include <cstdint>
#include <string>

#include "bytes.h"
#include "pseudoterminal.h"
#include "simrig.h"
#include "tempdir.h"

namespace convsimtest {

using tovik::test::Bytes;
using tovik::test::Concat;
using tovik::test::FromHex;
using tovik::test::Hex;
using tovik::test::PseudoTerminal;
using tovik::test::SimRig;
using tovik::test::TempDir;

// [code][total length, 2 bytes][payload]
Bytes Cmd(uint8_t code, const Bytes& payload = {});
// A zero-padded text field.
Bytes Text(const std::string& s, size_t width);
// One answer, by its header's length field.
Bytes ReadAnswer(PseudoTerminal& line, int timeoutMs = 2000);
// Sends a command and reads its answer.
Bytes Exchange(PseudoTerminal& line, const Bytes& command, int timeoutMs = 2000);

} // namespace convsimtest

#endif
