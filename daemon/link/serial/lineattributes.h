// The converters' line settings, built from nothing so that whatever an
// earlier process left on a port does not carry over: 38400 baud, 8 data
// bits, odd parity, 1 stop bit, receiver on, modem lines and flow control
// off, raw; reads return after 0.5 s without a byte.
#ifndef PORTVANE_LINEATTRIBUTES_H
#define PORTVANE_LINEATTRIBUTES_H

#include <termios.h>

struct termios ConverterLineAttributes();

// The same line without parity. A port is set to it first: a pseudo-terminal
// keeps no parity, and the C library reports a set whose parity did not take
// as EINVAL when the set changed nothing else, as on a port that a killed
// daemon left with the converter line.
struct termios NeutralLineAttributes();

#endif
