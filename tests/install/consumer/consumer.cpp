// A program of someone else's, built against an installed tree: the box's
// table through libtovikconfig (and so the store's and the descriptors'
// libraries), and a time stamp through liblumo, which brings Qt 5 Core.
#include <cstdio>

#include "lumo/lumotimestamp.h"
#include "paramlink/descriptortable.h"
#include "tovikconfig/descriptors.h"
#include "tovikconfig/tovikconfig.h"

int main()
{
    DescriptorTable table(0);
    if (!tovikconfig::TovikConfig::AddParamDescriptors(&table, 1))
        return 1;
    ParamDescriptor* count = table.GetDescriptor(std::string("eParamID_DeviceCount"));
    const LumoTimeStamp sum = LumoTimeStamp(1, 700000) + LumoTimeStamp(0, 600000);
    std::printf("%s of %zu; %d.%06d\n", count ? count->GetParamIDName().c_str() : "none", table.size(),
                int(sum.seconds), int(sum.microseconds));
    return 0;
}
