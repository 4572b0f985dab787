// Which clients a server closes when the bytes it holds for all of them
// pass its budget.
#ifndef PARAMLINK_SERVERBUDGET_H
#define PARAMLINK_SERVERBUDGET_H

#include <cstddef>
#include <vector>

namespace paramlink {

// One client as the budget sees it.
struct Holder {
    int key;
    size_t held;
    // Nothing waits for it, or it took some lately.
    bool takesOutput;
};

// The biggest holders first, only among those that take no output, until
// what the rest hold fits; none while held fits.
std::vector<int> PickToShed(std::vector<Holder> holders, long long held, long long budget);

} // namespace paramlink

#endif
