// The shared tables: output formats, rasters, delay limits, the selection
// lists and their device codes.
#include <gtest/gtest.h>

#include <set>

#include "roiscaler/values/tables.h"

using namespace roiscaler;

namespace {

TEST(RasterFormats, SixteenRowsFoundByTheirCodes)
{
    ASSERT_EQ(RasterFormats().size, 16u);
    const RasterFormat* row = RasterFormatAt(13);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->formatCode, 4);
    EXPECT_EQ(row->rateCode, 8);
    EXPECT_EQ(row->width, 1920);
    EXPECT_EQ(row->height, 1080);
    EXPECT_STREQ(row->name, "1080p50 3G");
    EXPECT_STREQ(RasterFormatAt(0)->name, "525i29.97");
    EXPECT_STREQ(RasterFormatAt(15)->name, "1080p60 3G");

    std::set<std::pair<int, int>> codes;
    for (int i = 0; i < 16; ++i) {
        const RasterFormat* r = RasterFormatAt(i);
        EXPECT_EQ(FindRasterFormat(r->formatCode, r->rateCode), i);
        EXPECT_TRUE(codes.insert({r->formatCode, r->rateCode}).second) << i;
        // Each row's raster is the raster of its format code.
        EXPECT_EQ(OutputRasterSize(r->formatCode), QSize(r->width, r->height)) << i;
    }
    EXPECT_EQ(RasterFormatAt(-1), nullptr);
    EXPECT_EQ(RasterFormatAt(16), nullptr);
    EXPECT_EQ(FindRasterFormat(0, 1), -1);
    EXPECT_EQ(FindRasterFormat(7, 4), -1);
}

TEST(RasterFormats, OutputRasterAndColourByFormatCode)
{
    const struct {
        int code;
        QSize size;
        bool hd;
    } cases[] = {
        {0, {1920, 1080}, true}, {1, {1280, 720}, true},  {2, {720, 486}, false}, {3, {720, 576}, false},
        {4, {1920, 1080}, true}, {5, {2048, 1080}, true}, {6, {1920, 1080}, true}, {7, {1920, 1080}, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OutputRasterSize(c.code), c.size) << c.code;
        EXPECT_EQ(IsHdOutputFormat(c.code), c.hd) << c.code;
    }
}

TEST(DelayLimits, EveryFormatAndRate)
{
    struct Limit {
        int h, v;
    };
    auto expected = [](int f, int r) -> Limit {
        switch (f) {
        case 0:
            if (r == 3 || r == 4)
                return {2199, 1124};
            if (r == 5)
                return {2639, 1124};
            break;
        case 1:
            if (r == 1 || r == 2)
                return {1649, 749};
            if (r == 8)
                return {1979, 749};
            break;
        case 2:
            if (r == 4)
                return {857, 524};
            break;
        case 3:
            if (r == 5)
                return {863, 624};
            break;
        case 4:
            if (r >= 1 && r <= 4)
                return {2199, 1124};
            if (r == 5 || r == 8)
                return {2639, 1124};
            if (r == 6 || r == 7)
                return {2749, 1124};
            break;
        }
        return {-1, -1};
    };
    for (int f = 0; f < 8; ++f) {
        for (int r = 0; r < 16; ++r) {
            int h = -1, v = -1;
            const Limit e = expected(f, r);
            EXPECT_EQ(DelayLimits(f, r, h, v), e.h != -1) << f << " " << r;
            EXPECT_EQ(h, e.h) << f << " " << r;
            EXPECT_EQ(v, e.v) << f << " " << r;
        }
    }
    int h = 7, v = 8;
    EXPECT_FALSE(DelayLimits(4, -1, h, v));
    EXPECT_FALSE(DelayLimits(4, 40, h, v));
    EXPECT_EQ(h, 7);
    EXPECT_EQ(v, 8);
}

TEST(ConstraintLists, Rows)
{
    auto rows = [](RowList<ConstraintRow> list) {
        std::vector<std::tuple<int, int, int>> out;
        for (const ConstraintRow& r : list)
            out.emplace_back(r.kind, r.width, r.height);
        return out;
    };
    using T = std::vector<std::tuple<int, int, int>>;
    EXPECT_EQ(rows(ConstraintKinds()), (T{{0, 1920, 1080}, {1, 1920, 1080}, {2, 1920, 1080}, {3, 1920, 1080}, {3, 1920, 1080}}));
    EXPECT_EQ(rows(FixedAspects()), (T{{2, 720, 480}, {2, 1920, 1080}, {2, 320, 480}, {2, 607, 1080}}));
    EXPECT_EQ(rows(FixedSizes()), (T{{3, 720, 480}, {3, 720, 486}, {3, 720, 576}, {3, 1280, 720}, {3, 1920, 1080}}));
    EXPECT_EQ(rows(ConstraintMenu()),
              (T{{0, 1920, 1080}, {1, 1920, 1080}, {-1, -1, -1}, {2, 1920, 1080}, {2, 720, 480}, {2, 720, 486},
                 {2, 720, 576}, {2, 1920, 1080}, {-1, -1, -1}, {3, 1920, 1080}, {3, 720, 480}, {3, 720, 486},
                 {3, 720, 576}, {3, 1280, 720}, {3, 1920, 1080}}));
    EXPECT_EQ(RowAt(FixedSizes(), 5), nullptr);
    EXPECT_EQ(RowAt(FixedSizes(), -1), nullptr);
    EXPECT_EQ(RowAt(ConstraintMenu(), 14)->width, 1920);
}

TEST(InputModes, EveryDeviceCode)
{
    const unsigned expected[16][3] = {
        {0, 0, 0}, {1, 0, 0}, {2, 2, 0}, {4, 0, 0}, {2, 0, 0}, {2, 0, 0}, {2, 0, 0}, {2, 1, 0},
        {2, 3, 0}, {4, 0, 0}, {3, 0, 0}, {3, 0, 1}, {3, 0, 2}, {3, 0, 3}, {3, 0, 4}, {0, 0, 0},
    };
    for (int code = 0; code < 16; ++code) {
        const InputMode m = DecodeInputMode(code);
        EXPECT_EQ(m.selection, expected[code][0]) << code;
        EXPECT_EQ(m.aspect, expected[code][1]) << code;
        EXPECT_EQ(m.size, expected[code][2]) << code;
    }
    // Only the low nibble is the code.
    EXPECT_EQ(DecodeInputMode(0x1C).size, 2u);
}

TEST(InputModes, CodesOfTheSelections)
{
    EXPECT_EQ(InputModeCode(0, 3, 3), 0);
    EXPECT_EQ(InputModeCode(1, 0, 0), 1);
    EXPECT_EQ(InputModeCode(2, 0, 0), 4);
    EXPECT_EQ(InputModeCode(2, 1, 0), 7);
    EXPECT_EQ(InputModeCode(2, 2, 0), 2);
    EXPECT_EQ(InputModeCode(2, 3, 0), 8);
    EXPECT_EQ(InputModeCode(2, 4, 0), 0);
    EXPECT_EQ(InputModeCode(2, -1, 0), 0);
    for (int size = 0; size < 5; ++size)
        EXPECT_EQ(InputModeCode(3, 0, size), 10 + size);
    EXPECT_EQ(InputModeCode(3, 0, 5), 0);
    EXPECT_EQ(InputModeCode(4, 0, 0), 3);
    EXPECT_EQ(InputModeCode(5, 0, 0), 0);
    EXPECT_EQ(InputModeCode(-1, 0, 0), 0);
}

// Every selection the lists offer goes to the device and reads back as
// itself.
TEST(InputModes, DecodeUndoesEveryCode)
{
    for (int selection = 0; selection < 5; ++selection) {
        for (int aspect = 0; aspect < 4; ++aspect) {
            for (int size = 0; size < 5; ++size) {
                const InputMode m = DecodeInputMode(InputModeCode(selection, aspect, size));
                EXPECT_EQ(int(m.selection), selection);
                if (selection == kFixedAspect) {
                    EXPECT_EQ(int(m.aspect), aspect);
                }
                if (selection == kFixedSize) {
                    EXPECT_EQ(int(m.size), size);
                }
            }
        }
    }
}

TEST(FitNames, FiveModesAndADash)
{
    EXPECT_STREQ(FitName(0), "Auto Scale");
    EXPECT_STREQ(FitName(1), "Scale Aspect");
    EXPECT_STREQ(FitName(2), "Full Screen");
    EXPECT_STREQ(FitName(3), "No Scale");
    EXPECT_STREQ(FitName(4), "Variable");
    EXPECT_STREQ(FitName(5), "-");
    EXPECT_STREQ(FitName(-1), "-");
}

} // namespace
