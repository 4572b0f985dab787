// The clock a benchmark stamps its measurements with; tests replace it.
#ifndef LUMO_LUMOBENCHMARK_P_H
#define LUMO_LUMOBENCHMARK_P_H

#include "lumo/lumoglobal.h"
#include "lumo/lumotimestamp.h"

typedef LumoTimeStamp (*LumoBenchmarkClock)();

// Null restores LumoTimeStamp::getCurrent.
LUMO_AUTOTEST_EXPORT void lumoBenchmarkSetClock(LumoBenchmarkClock clock);

#endif
