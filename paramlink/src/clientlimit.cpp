#include "clientlimit.h"

#include <sys/resource.h>

#include <algorithm>

#include "netutil.h"

namespace paramlink {

void ClientLimit::SetWanted(int clients)
{
    _wanted.store(std::max(1, clients));
    bool applied;
    {
        std::lock_guard<std::mutex> lock(_mutex);
        applied = _applied;
    }
    if (applied)
        Apply();
    else
        _allowed.store(_wanted.load());
}

void ClientLimit::Apply()
{
    std::lock_guard<std::mutex> lock(_mutex);
    _applied = true;
    const int wanted = _wanted.load();
    const rlim_t need = rlim_t(wanted) + kReservedFds;
    rlimit limit;
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0) {
        _allowed.store(wanted);
        return;
    }
    if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < need) {
        rlimit raised = limit;
        raised.rlim_cur = limit.rlim_max == RLIM_INFINITY || limit.rlim_max >= need ? need : limit.rlim_max;
        if (setrlimit(RLIMIT_NOFILE, &raised) == 0)
            limit.rlim_cur = raised.rlim_cur;
    }
    int allowed = wanted;
    if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < need) {
        allowed = std::max(1, int(limit.rlim_cur) - kReservedFds);
        Log("the file-descriptor limit (" + std::to_string(limit.rlim_cur) + ") leaves room for " +
            std::to_string(allowed) + " clients of the " + std::to_string(wanted) + " wanted");
    }
    _allowed.store(allowed);
}

void ClientLimit::LogRefusal(const std::string& peer, const std::string& reason)
{
    _refusals.Log("refusing " + peer + ": " + reason, "more refused since the last line");
}

} // namespace paramlink
