#include "lumo/lumovideorate.h"

#include <cmath>

namespace {

struct RateRow {
    LumoVideoRate::StdRate rate;
    int num;
    int den;
};

// Searched in this order; some rates have several forms.
const RateRow kRates[] = {
    {LumoVideoRate::Rate23_98, 24000, 1001},  {LumoVideoRate::Rate24, 24000, 1000},
    {LumoVideoRate::Rate24, 24, 1},           {LumoVideoRate::Rate25, 25000, 1000},
    {LumoVideoRate::Rate25, 25, 1},           {LumoVideoRate::Rate29_97, 30000, 1001},
    {LumoVideoRate::Rate30, 30000, 1000},     {LumoVideoRate::Rate30, 30, 1},
    {LumoVideoRate::Rate50, 50000, 1000},     {LumoVideoRate::Rate50, 50, 1},
    {LumoVideoRate::Rate59_94, 60000, 1001},  {LumoVideoRate::Rate60, 60000, 1000},
    {LumoVideoRate::Rate119_88, 120000, 1001}, {LumoVideoRate::Rate120, 120000, 1000},
    {LumoVideoRate::Rate120, 120, 1},
};

} // namespace

LumoVideoRate::LumoVideoRate(StdRate rate)
{
    for (RateRow const& row : kRates) {
        if (row.rate == rate) {
            num = row.num;
            den = row.den;
            return;
        }
    }
}

LumoVideoRate::StdRate LumoVideoRate::findStdRate(double rate)
{
    for (RateRow const& row : kRates) {
        if (std::fabs(double(row.num) / double(row.den) - rate) < 0.01)
            return row.rate;
    }
    return RateNone;
}

LumoVideoRate::StdRate LumoVideoRate::findStdRate(LumoRational const& rate)
{
    if (rate.den == 0)
        return RateNone;
    return findStdRate(double(rate.num) / double(rate.den));
}

bool LumoVideoRate::makeStdRate()
{
    const StdRate found = findStdRate(*this);
    if (found == RateNone)
        return false;
    *this = LumoVideoRate(found);
    return true;
}

LumoVideoRate::StdRate LumoVideoRate::standard() const
{
    for (RateRow const& row : kRates) {
        if (row.num == num && row.den == den)
            return row.rate;
    }
    return RateNone;
}
