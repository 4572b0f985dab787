#include "paramlink/maxconfigid.h"

int GetMaxConfigID()
{
    return 10;
}
