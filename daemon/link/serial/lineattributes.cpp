#include "serial/lineattributes.h"

#include <cstring>

struct termios NeutralLineAttributes()
{
    struct termios attributes;
    std::memset(&attributes, 0, sizeof attributes);
    attributes.c_cflag = CS8 | CREAD | CLOCAL;
    attributes.c_cc[VMIN] = 0;
    attributes.c_cc[VTIME] = 5;
    ::cfsetspeed(&attributes, B38400);
    return attributes;
}

struct termios ConverterLineAttributes()
{
    struct termios attributes = NeutralLineAttributes();
    attributes.c_cflag |= PARENB | PARODD;
    return attributes;
}
