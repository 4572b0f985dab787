#include <climits>

#include <gtest/gtest.h>

#include "connectresult.h"

namespace {

struct Case {
    int result;
    quint32 status;
    bool fatal;
};

const Case kCases[] = {
    {0, 0, false},   {-1, 3, true},   {-2, 4, true},    {-3, 13, false}, {-4, 12, false},
    {-5, 11, false}, {-6, 10, false}, {-7, 6, true},    {-8, 9, false},  {-9, 8, false},
    {-10, 7, true},  {-11, 14, true}, {-15, 14, true},  {-20, 14, true}, {-21, 5, true},
    {-22, 14, true}, {-23, 2, true},  {-24, 14, true},  {-68, 14, true}, {1, 14, true},
    {INT_MIN, 14, true}, {INT_MAX, 14, true},
};

TEST(ConnectResultTest, StatusAndKindOfEveryResult)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.result);
        EXPECT_EQ(ConnectResult::ConnectionStatusFor(c.result), c.status);
        EXPECT_EQ(ConnectResult::IsFatal(c.result), c.fatal);
    }
}

TEST(ConnectResultTest, NoResultGivesTheFreeSlotCode)
{
    for (int r = -100; r <= 100; ++r)
        EXPECT_NE(ConnectResult::ConnectionStatusFor(r), ConnectResult::kNoDeviceStatus) << r;
}

} // namespace
