// The converters' line settings: 38400 baud, 8 data bits, odd parity,
// receiver on, modem lines ignored, raw; reads return after 0.5 s without
// a byte. Stop bits and hardware flow control stay as they were.
#ifndef PORTVANE_LINEATTRIBUTES_H
#define PORTVANE_LINEATTRIBUTES_H

#include <termios.h>

void SetConverterLineAttributes(struct termios& attributes);

#endif
