// Where an input region lands in the output raster under each fit, with
// the pixel-aspect correction, the preferred inset and clipping.
#include <gtest/gtest.h>

#include "roiscaler/values/mapping.h"

using namespace roiscaler;

namespace {

const QSize kHd(1920, 1080);

TEST(PixelAspect, WidthByTheInputHeightByTheOutput)
{
    const struct {
        QSize in, out;
        int w, h, expectedW, expectedH;
    } cases[] = {
        {{720, 486}, kHd, 720, 486, 648, 486},
        {{720, 480}, kHd, 720, 480, 640, 480},
        {{720, 576}, kHd, 720, 576, 768, 576},
        {kHd, {720, 486}, 1920, 1080, 1920, 972},
        {kHd, {720, 576}, 1000, 1000, 1000, 1067},
        {{720, 486}, {720, 486}, 720, 486, 648, 437},
        {kHd, kHd, 1234, 567, 1234, 567},
    };
    for (const auto& c : cases) {
        int w = c.w, h = c.h;
        AdjustForPixelAspect(c.in, c.out, w, h);
        EXPECT_EQ(w, c.expectedW);
        EXPECT_EQ(h, c.expectedH);
    }
    EXPECT_DOUBLE_EQ(PixelAspectFactor({720, 480}), 0.8888888888888888);
    EXPECT_DOUBLE_EQ(PixelAspectFactor({1280, 720}), 0.0);
}

TEST(PreferredInset, OnlyAFullRasterWindow)
{
    const struct {
        QRect in;
        QSize screen;
        QRect expected;
    } cases[] = {
        {{0, 0, 1920, 1080}, kHd, {192, 108, 1536, 864}},
        {{0, 0, 1280, 720}, {1280, 720}, {128, 72, 1024, 576}},
        {{0, 0, 1000, 1080}, kHd, {0, 0, 1000, 1080}},
        {{1, 0, 1920, 1080}, kHd, {1, 0, 1920, 1080}},
        {{0, 0, 1920, 1079}, kHd, {0, 0, 1920, 1079}},
    };
    for (const auto& c : cases) {
        int x = c.in.x(), y = c.in.y(), w = c.in.width(), h = c.in.height();
        FitFromPreferences(x, y, w, h, c.screen.width(), c.screen.height());
        EXPECT_EQ(QRect(x, y, w, h), c.expected);
    }
}

TEST(ClipRegion, MovesThenCuts)
{
    const struct {
        QRect in;
        QRect expected;
        bool changed;
    } cases[] = {
        {{100, 100, 200, 200}, {100, 100, 200, 200}, false},
        {{1800, 0, 400, 1080}, {1520, 0, 400, 1080}, true},
        {{-5, -5, 10, 10}, {0, 0, 10, 10}, true},
        {{0, 0, 3000, 2000}, {0, 0, 1920, 1080}, true},
        {{500, 500, 3000, 2000}, {0, 0, 1920, 1080}, true},
        // No minimum size here.
        {{10, 10, 0, 1}, {10, 10, 0, 1}, false},
    };
    for (const auto& c : cases) {
        int x = c.in.x(), y = c.in.y(), w = c.in.width(), h = c.in.height();
        EXPECT_EQ(ClipRegion(x, y, w, h, 1920, 1080), c.changed);
        EXPECT_EQ(QRect(x, y, w, h), c.expected);
    }
}

TEST(OutputMapping, EveryFit)
{
    const QRect untouched(QPoint(0, 0), QPoint(-1, -1));
    const struct {
        int fit;
        QRect src;
        QSize in;
        QRect expected;
    } cases[] = {
        // Aspect fits: the region's ratio, centred.
        {kAutoScale, {0, 0, 1920, 1200}, {1920, 1200}, QRect(QPoint(96, 0), QPoint(1823, 1079))},
        {kScaleAspect, {0, 0, 1920, 1080}, kHd, QRect(QPoint(0, 0), QPoint(1919, 1079))},
        // 720 x 486 maps as 648 x 486 before fitting.
        {kScaleAspect, {0, 0, 720, 486}, {720, 486}, QRect(QPoint(240, 0), QPoint(1679, 1079))},
        {kScaleAspect, {0, 0, 0, 0}, kHd, QRect(QPoint(0, 0), QPoint(1919, 1079))},
        {kFullScreen, {5, 5, 10, 10}, kHd, QRect(QPoint(0, 0), QPoint(1919, 1079))},
        // No scale: the region's size, centred; cut to the output.
        {kNoScale, {0, 0, 720, 486}, kHd, QRect(QPoint(600, 297), QPoint(1319, 782))},
        {kNoScale, {0, 0, 2000, 500}, kHd, QRect(QPoint(0, 290), QPoint(1919, 789))},
        {kNoScale, {0, 0, 1920, 1080}, kHd, QRect(QPoint(0, 0), QPoint(1919, 1079))},
        // Variable: the window clipped.
        {kVariable, {1800, 0, 400, 1080}, kHd, QRect(QPoint(1520, 0), QPoint(1919, 1079))},
        {kVariable, {10, 20, 300, 200}, kHd, QRect(QPoint(10, 20), QPoint(309, 219))},
        {5, {10, 20, 300, 200}, kHd, untouched},
        {-1, {10, 20, 300, 200}, kHd, untouched},
    };
    for (const auto& c : cases) {
        QRect out = untouched;
        OutputMapping(c.fit, c.src.x(), c.src.y(), c.src.width(), c.src.height(), c.in, kHd, out);
        EXPECT_EQ(out, c.expected) << c.fit;
    }
}

TEST(CentredOffset, NeverBeforeTheEdge)
{
    EXPECT_EQ(CentredOffset(1920, 720), 600);
    EXPECT_EQ(CentredOffset(1921, 720), 600);
    EXPECT_EQ(CentredOffset(1920, 1920), 0);
    EXPECT_EQ(CentredOffset(1280, 1920), 0);
    EXPECT_EQ(CentredOffset(0, 4), 0);
}

} // namespace
