#include "platform/runmode.h"

std::int32_t sUserRunMode = 0;
