// The converters' line settings, built from nothing so that whatever an
// earlier process left on a port does not carry over: 38400 baud, 8 data
// bits, odd parity, receiver on, modem status lines ignored, raw; reads
// return after 0.5 s without a byte. Stop bits and hardware flow control
// alone stay as found on the port.
#ifndef PORTVANE_LINEATTRIBUTES_H
#define PORTVANE_LINEATTRIBUTES_H

#include <termios.h>

struct termios ConverterLineAttributes(const struct termios& found);

// The same line without parity. A port is set to it first: a pseudo-terminal
// keeps no parity, and the C library reports a set whose parity did not take
// as EINVAL when the set changed nothing else, as on a port that a killed
// daemon left with the converter line.
struct termios NeutralLineAttributes(const struct termios& found);

#endif
