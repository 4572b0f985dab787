// Which clients a server closes when what it holds for them passes its
// budget: never one that takes its output, the biggest others first, no
// more than needed.
#include <gtest/gtest.h>

#include "serverbudget.h"

using paramlink::Holder;
using paramlink::PickToShed;

namespace {

TEST(ServerBudgetTest, BiggestHoldersThatTakeNothingGoFirst)
{
    const struct {
        const char* name;
        std::vector<Holder> holders;
        long long budget;
        std::vector<int> shed;
    } cases[] = {
        {"within the budget", {{1, 50, false}, {2, 40, false}}, 100, {}},
        {"one is enough", {{1, 50, false}, {2, 70, false}, {3, 10, false}}, 100, {2}},
        {"the biggest first, until it fits", {{1, 60, false}, {2, 70, false}, {3, 80, false}}, 100, {3, 2}},
        {"readers are kept", {{1, 500, true}, {2, 30, false}, {3, 20, false}}, 100, {2, 3}},
        {"only readers: nobody goes", {{1, 300, true}, {2, 300, true}}, 100, {}},
        {"equal holders in the order given", {{4, 60, false}, {5, 60, false}}, 100, {4}},
    };
    for (const auto& c : cases) {
        long long held = 0;
        for (const Holder& h : c.holders)
            held += static_cast<long long>(h.held);
        EXPECT_EQ(PickToShed(c.holders, held, c.budget), c.shed) << c.name;
    }
}

} // namespace
