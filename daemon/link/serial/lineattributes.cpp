#include "serial/lineattributes.h"

#include <cstring>

struct termios NeutralLineAttributes(const struct termios& found)
{
    struct termios attributes;
    std::memset(&attributes, 0, sizeof attributes);
    attributes.c_cflag = CS8 | CREAD | CLOCAL | (found.c_cflag & (CSTOPB | CRTSCTS));
    attributes.c_cc[VMIN] = 0;
    attributes.c_cc[VTIME] = 5;
    ::cfsetspeed(&attributes, B38400);
    return attributes;
}

struct termios ConverterLineAttributes(const struct termios& found)
{
    struct termios attributes = NeutralLineAttributes(found);
    attributes.c_cflag |= PARENB | PARODD;
    return attributes;
}
