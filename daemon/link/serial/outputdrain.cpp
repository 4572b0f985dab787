#include "serial/outputdrain.h"

#include <QElapsedTimer>

#include <cerrno>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace OutputDrain {

namespace {

constexpr int kPollUs = 5000;

}

int Queued(int fd)
{
    int queued = 0;
    if (::ioctl(fd, TIOCOUTQ, &queued) == -1)
        return -1;
    return queued;
}

bool Wait(int fd, const std::function<int(int)>& queued)
{
    QElapsedTimer clock;
    clock.start();
    qint64 lastProgress = 0;
    int last = -1;
    for (;;) {
        const int now = queued(fd);
        if (now < 0)
            return false;
        if (now == 0)
            return true;
        const qint64 elapsed = clock.elapsed();
        if (last < 0 || now < last)
            lastProgress = elapsed;
        last = now;
        if (elapsed - lastProgress >= kStallMs || elapsed >= kLimitMs) {
            errno = ETIMEDOUT;
            return false;
        }
        ::usleep(kPollUs);
    }
}

}
