#include "serial/openretry.h"

#include <cerrno>

namespace OpenRetry {

namespace {

bool IsLasting(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
    case EISDIR:
    case ENOTTY:
    case EACCES:
    case EPERM:
    case ELOOP:
    case ENAMETOOLONG:
        return true;
    default:
        return false;
    }
}

}

int PauseBefore(int attempt, int error)
{
    if (attempt < 2 || attempt > kAttempts || IsLasting(error))
        return -1;
    return kPausesMs[attempt - 2];
}

int TotalPauseMs()
{
    int total = 0;
    for (int pause : kPausesMs)
        total += pause;
    return total;
}

}
