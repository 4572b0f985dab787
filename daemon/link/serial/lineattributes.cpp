#include "serial/lineattributes.h"

void SetConverterLineAttributes(struct termios& attributes)
{
    ::cfmakeraw(&attributes);
    attributes.c_cc[VMIN] = 0;
    attributes.c_cc[VTIME] = 5;
    ::cfsetspeed(&attributes, B38400);
    attributes.c_cflag |= (CS8 | CREAD | PARENB | PARODD | CLOCAL);
    attributes.c_lflag &= ~tcflag_t(ECHO | ECHOE | ICANON | ISIG);
    attributes.c_oflag &= ~tcflag_t(OPOST);
    // Software flow control off in both directions: the line carries binary.
    attributes.c_iflag &= ~tcflag_t(IXON | IXOFF | IXANY);
}
