// A frame rate, with the table of standard video rates.
#ifndef LUMO_LUMOVIDEORATE_H
#define LUMO_LUMOVIDEORATE_H

#include "lumo/lumoglobal.h"
#include "lumo/lumorational.h"

class LUMO_EXPORT LumoVideoRate : public LumoRational {
public:
    enum StdRate {
        RateNone = 0,
        Rate23_98 = 1,
        Rate24 = 2,
        Rate25 = 3,
        Rate29_97 = 4,
        Rate30 = 5,
        Rate50 = 6,
        Rate59_94 = 7,
        Rate60 = 8,
        Rate119_88 = 9,
        Rate120 = 10,
    };

    // The first table form of the standard rate; 0/0 for none or an
    // unknown value.
    LumoVideoRate(StdRate rate = RateNone);
    LumoVideoRate(int numerator, int denominator) : LumoRational(numerator, denominator) {}
    LumoVideoRate(LumoRational const& rate) : LumoRational(rate) {}

    // The standard rate within 0.01 of the value; RateNone when none is.
    static StdRate findStdRate(double rate);
    // A zero denominator finds nothing.
    static StdRate findStdRate(LumoRational const& rate);

    // Replaces the rate by the first table form of its standard rate; false
    // (rate unchanged) when it is not near one.
    bool makeStdRate();
    // The standard rate of exactly this numerator and denominator.
    StdRate standard() const;
};

#endif
