// The daemon's run mode; 0 unless something raises it.
#ifndef PORTVANE_RUNMODE_H
#define PORTVANE_RUNMODE_H

#include <cstdint>

extern std::int32_t sUserRunMode;

#endif
