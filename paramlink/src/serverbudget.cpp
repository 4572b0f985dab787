#include "serverbudget.h"

#include <algorithm>

namespace paramlink {

std::vector<int> PickToShed(std::vector<Holder> holders, long long held, long long budget)
{
    std::vector<int> shed;
    if (held <= budget)
        return shed;
    holders.erase(std::remove_if(holders.begin(), holders.end(), [](const Holder& h) { return h.takesOutput; }),
                  holders.end());
    std::stable_sort(holders.begin(), holders.end(), [](const Holder& a, const Holder& b) { return a.held > b.held; });
    for (const Holder& h : holders) {
        if (held <= budget)
            break;
        shed.push_back(h.key);
        held -= static_cast<long long>(h.held);
    }
    return shed;
}

} // namespace paramlink
