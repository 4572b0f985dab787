// Protocol status to engine result, for every mapping and every status.
#include <climits>

#include <gtest/gtest.h>

#include "engine/statusmap.h"

namespace {

struct MappingCase {
    const char* name;
    StatusMapping mapping;
    // Results for the statuses 0, -1, ..., -24.
    int results[25];
};

// clang-format off
const MappingCase kCases[] = {
    //                                     0   -1   -2   -3   -4   -5   -6   -7   -8   -9  -10  -11  -12  -13  -14  -15  -16  -17  -18  -19  -20  -21  -22  -23  -24
    {"Base",           StatusMapping::Base,           {0, -11, -13, -11, -10, -13, -13, -11, -11, -11, -11, -11, -11, -11, -11, -11, -11, -11, -11, -11, -11, -11, -11, -11, -68}},
    {"ModuleTypeRead", StatusMapping::ModuleTypeRead, {0, -11, -13, -11, -10, -13, -13, -11, -11, -14, -11, -11, -11, -11, -11, -11, -11, -11, -11, -11, -11, -11, -11, -11, -68}},
    {"DeviceData",     StatusMapping::DeviceData,     {0, -11, -13, -11, -10, -13, -13, -11, -11, -11, -11, -11, -11, -11, -11, -11, -18, -11, -11, -11, -11, -11, -11, -11, -68}},
    {"Reset",          StatusMapping::Reset,          {0, -11, -24, -11, -10, -13, -13, -11, -11, -11, -11, -11, -11, -11, -11, -11, -11, -11, -11, -11, -11, -11, -11, -11, -68}},
    {"Firmware",       StatusMapping::Firmware,       {0, -11, -13, -11, -10, -13, -13, -13, -11, -14, -12, -12, -11, -11, -11, -17, -11, -11, -11, -11, -11, -11, -11, -11, -68}},
    {"FPGAFirmware",   StatusMapping::FPGAFirmware,   {0, -11, -13, -11, -10, -13, -13, -13, -11, -14, -12, -12, -11, -11, -11, -17, -11, -11, -11, -19, -25, -26, -11, -11, -68}},
    {"LUTFirmware",    StatusMapping::LUTFirmware,    {0, -11, -13, -11, -10, -13, -13, -13, -11, -14, -12, -12, -11, -11, -11, -17, -11, -11, -11, -11, -11, -11, -11, -11, -68}},
};
// clang-format on

TEST(StatusMapTest, EveryStatusOfEveryMapping)
{
    for (const MappingCase& c : kCases) {
        for (int i = 0; i < 25; ++i)
            EXPECT_EQ(MapCommStatus(c.mapping, -i), c.results[i]) << c.name << " status " << -i;
    }
}

TEST(StatusMapTest, StatusesOutsideTheProtocolRangeAreCommFailures)
{
    const int outside[] = {1, 2, 100, -25, -68, -1000, INT_MAX, INT_MIN};
    for (const MappingCase& c : kCases) {
        for (int status : outside)
            EXPECT_EQ(MapCommStatus(c.mapping, status), -11) << c.name << " status " << status;
    }
}

} // namespace
