// Video format display names from a converter's format and rate codes.
#include <gtest/gtest.h>

#include <climits>

#include "wrappersupport/videoformatnames.h"

namespace {

TEST(VideoFormatName, FormatRateAndLevel)
{
    struct Case { unsigned format, rate; bool psf, is3G, levelB; const char* name; };
    const Case cases[] = {
        {4, 1, false, false, false, "1080p60  "},
        {0, 2, true, true, true, "1080psf59.94  3G-B"},
        {3, 5, true, true, false, "625psf25  3G-A"},
        {1, 8, false, false, true, "720p50  "},        // levelB alone adds nothing
        {1, 8, true, false, false, "720p50  "},        // no segmented form
        {2, 4, false, false, false, "525i29.97  "},
        {2, 4, true, false, false, "525psf29.97  "},
        {3, 5, false, false, false, "625i25  "},
        {5, 6, true, false, false, "155624  "},
        {6, 7, false, true, false, "2K1080p23.98  3G-A"},
        {7, 3, false, false, false, "2K1080i30  "},
        {7, 3, true, false, false, "2K1080psf30  "},
        {0, 4, false, false, false, "1080i29.97  "},
        {8, 1, false, false, false, "1080i60  "},      // past the table: 1080i
        {9, 1, true, false, false, "1080psf60  "},
        {UINT_MAX, 8, false, true, true, "1080i50  3G-B"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(VideoFormatName(c.format, c.rate, c.psf, c.is3G, c.levelB), QLatin1String(c.name))
            << c.format << " " << c.rate;
}

TEST(VideoFormatName, UnknownRateNamesNoFormat)
{
    for (unsigned format : {0u, 4u, 7u, 8u, UINT_MAX})
        for (unsigned rate : {0u, 9u, 15u, UINT_MAX})
            for (bool flag : {false, true})
                EXPECT_EQ(VideoFormatName(format, rate, flag, flag, flag), QLatin1String("?? video"))
                    << format << " " << rate;
}

TEST(VideoFormat4kName, FormatAndRateWithoutLevel)
{
    struct Case { unsigned format, rate; const char* name; };
    const Case cases[] = {
        {9, 6, "4Kp24"},
        {8, 0, "QuadHDp00"},
        {10, 5, "1080i25"},
        {1, 1, "720p60"},
        {2, 2, "525i59.94"},
        {3, 3, "625i30"},
        {4, 4, "1080p29.97"},
        {5, 5, "155625"},
        {6, 7, "2K1080p23.98"},
        {7, 8, "2K1080i50"},
        {0, 1, "1080i60"},
        {UINT_MAX, 9, "1080i00"},
        {9, UINT_MAX, "4Kp00"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(VideoFormat4kName(c.format, c.rate), QLatin1String(c.name)) << c.format << " " << c.rate;
}

} // namespace
