#include "readturn.h"

#include <algorithm>
#include <thread>

namespace paramlink {

void ReadTurn::Take(std::uint64_t generation, std::uint64_t connection)
{
    _busy = true;
    _generation = generation;
    _connection = connection;
}

void ReadTurn::Give()
{
    _busy = false;
    _free.notify_all();
}

void ReadTurn::WaitFree(std::unique_lock<std::mutex>& lock)
{
    _free.wait(lock, [this] { return !_busy; });
}

int ReadTurn::SpinUs() const
{
    // On few cores the spinner would hold up the server it waits for.
    static const bool room = std::thread::hardware_concurrency() >= 4;
    return room && _replyUs <= kSpinUs ? int(kSpinUs) : 0;
}

void ReadTurn::Replied(long long us) { _replyUs = (7 * _replyUs + std::min(us, 10000LL)) / 8; }

} // namespace paramlink
