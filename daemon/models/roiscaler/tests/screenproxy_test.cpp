// The screen proxy: fitting, clipping, clamps, edge limits, drags at every
// handle under each constraint, and the hit test of the drawn region.
#include <gtest/gtest.h>

#include <climits>
#include <memory>

#include <QList>

#include "roiscaler/values/screenproxy.h"

namespace {

// The wrappers' on-screen picture: corners (410, 10) and (640, 143).
const QRect kScreen(QPoint(410, 10), QPoint(640, 143));

QRect Roi(const ScreenProxy& p)
{
    return QRect(p.RoiX(), p.RoiY(), p.RoiWidth(), p.RoiHeight());
}

QRect Fit(int srcW, int srcH, int dstW, int dstH)
{
    QRect out(7, 7, 7, 7);
    FitRectToAspect(srcW, srcH, dstW, dstH, &out);
    return out;
}

TEST(FitRectToAspect, LargestCentredRectangleOfTheSourceRatio)
{
    struct Case { int srcW, srcH, dstW, dstH; QRect expected; };
    const Case cases[] = {
        // Narrower source: full height, centred across (the written example).
        {1920, 1200, 640, 143, QRect(QPoint(205, 0), QPoint(433, 142))},
        {1920, 1200, 231, 134, QRect(8, 0, 214, 134)},
        // Wider source: full width, centred down.
        {1920, 1080, 720, 720, QRect(0, 157, 720, 405)},
        {1920, 1080, 720, 486, QRect(0, 40, 720, 405)},
        // Odd leftover: the offset is truncated.
        {4, 3, 11, 6, QRect(1, 0, 8, 6)},
        {16, 9, 10, 10, QRect(0, 2, 10, 6)},
        // Equal ratios give the whole destination.
        {1920, 1080, 1280, 720, QRect(0, 0, 1280, 720)},
        {720, 480, 720, 480, QRect(0, 0, 720, 480)},
        // Rounding: 3 x 2 into 5 x 5 is 5 x 3.33, 2 x 3 is 3.33 x 5, 5 x 2 into
        // 3 x 3 is 3 x 1.2, 2 x 5 is 1.2 x 3; halves round away from zero.
        {3, 2, 5, 5, QRect(0, 1, 5, 3)},
        {2, 3, 5, 5, QRect(1, 0, 3, 5)},
        {5, 2, 3, 3, QRect(0, 1, 3, 1)},
        {2, 5, 3, 3, QRect(1, 0, 1, 3)},
        {4, 1, 2, 3, QRect(0, 1, 2, 1)},   // 2 x 0.5 rounds up to 1
        {1, 4, 3, 2, QRect(1, 0, 1, 2)},   // 0.5 x 2 rounds up to 1
        // A source without area has no ratio: the whole destination.
        {0, 1080, 640, 360, QRect(0, 0, 640, 360)},
        {1920, 0, 640, 360, QRect(0, 0, 640, 360)},
        {0, 0, 640, 360, QRect(0, 0, 640, 360)},
        {-16, 9, 640, 360, QRect(0, 0, 640, 360)},
        // A destination without area gives an empty rectangle at the origin.
        {1920, 1080, 0, 0, QRect(0, 0, 0, 0)},
        {1920, 1080, 640, 0, QRect(0, 0, 640, 0)},
        {1920, 1080, -5, 10, QRect(0, 0, 0, 10)},
        // Extreme ratios stay inside the destination.
        {INT_MAX, 1, 1000, 1000, QRect(0, 500, 1000, 0)},
        {1, INT_MAX, 1000, 1000, QRect(500, 0, 0, 1000)},
        {INT_MAX, INT_MAX, INT_MAX, INT_MAX, QRect(0, 0, INT_MAX, INT_MAX)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Fit(c.srcW, c.srcH, c.dstW, c.dstH), c.expected)
            << c.srcW << "x" << c.srcH << " into " << c.dstW << "x" << c.dstH;
    FitRectToAspect(16, 9, 10, 10, nullptr); // no output: nothing happens
}

TEST(ScreenProxy, NewProxyHoldsItsInitialValues)
{
    ScreenProxy p(kScreen);
    EXPECT_EQ(p.ScreenRect(), kScreen);
    EXPECT_EQ(p.SourceWidth(), -1);
    EXPECT_EQ(p.SourceHeight(), -1);
    EXPECT_EQ(Roi(p), QRect(-1, -1, -1, -1));
    EXPECT_EQ(p.HorizontalScale(), 1.0);
    EXPECT_EQ(p.VerticalScale(), 1.0);
    EXPECT_TRUE(p.IsEnabled());
    EXPECT_EQ(p.parent(), nullptr);
    p.SetEnabled(false);
    EXPECT_FALSE(p.IsEnabled());
    p.SetEnabled(true);
    EXPECT_TRUE(p.IsEnabled());
}

TEST(ScreenProxy, SourceSizeSetsTheScalesOnlyWithArea)
{
    ScreenProxy p(kScreen);
    p.SetSourceSize(1920, 1200); // fitted 214 x 134 in the 231 x 134 picture
    EXPECT_EQ(p.HorizontalScale(), 214.0 / 1920.0);
    EXPECT_EQ(p.VerticalScale(), 134.0 / 1200.0);

    struct Case { int w, h; };
    for (const Case& c : {Case{0, 1080}, Case{1920, 0}, Case{-1, -1}, Case{0, 0}}) {
        p.SetSourceSize(c.w, c.h);
        EXPECT_EQ(p.SourceWidth(), c.w);
        EXPECT_EQ(p.SourceHeight(), c.h);
        EXPECT_EQ(p.HorizontalScale(), 214.0 / 1920.0) << c.w << "x" << c.h;
        EXPECT_EQ(p.VerticalScale(), 134.0 / 1200.0) << c.w << "x" << c.h;
    }

    p.SetSourceSize(1280, 720); // wider than the picture: 231 x 130
    EXPECT_EQ(p.HorizontalScale(), 231.0 / 1280.0);
    EXPECT_EQ(p.VerticalScale(), 130.0 / 720.0);
}

TEST(ScreenProxy, SourceSizeAndRoiAreStoredUnclipped)
{
    ScreenProxy p(kScreen);
    p.SetSourceSize(1920, 1200);
    p.SetRoi(1800, -10, 5000, 2);
    EXPECT_EQ(Roi(p), QRect(1800, -10, 5000, 2));
    p.SetSourceSize(720, 486);
    EXPECT_EQ(Roi(p), QRect(1800, -10, 5000, 2));
}

TEST(ScreenProxy, ConstraintSizeIsGivenOnlyForAFixedAspect)
{
    struct Case { int mode, w, h; int expectedW, expectedH; };
    const Case cases[] = {
        {2, 1920, 1080, 1920, 1080},
        {2, 320, 480, 320, 480},
        {2, -16, -9, -16, -9},
        {2, 0, 1080, 720, 480}, // no size: the region's own
        {2, 1920, 0, 720, 480},
        {0, 1920, 1080, 720, 480},
        {1, 1920, 1080, 720, 480},
        {3, 1280, 720, 720, 480},
        {-1, -1, -1, 720, 480},
    };
    for (const Case& c : cases) {
        ScreenProxy p(kScreen);
        p.SetRoi(440, 360, 720, 480);
        p.SetConstraint(c.mode, c.w, c.h);
        int w = 0;
        int h = 0;
        EXPECT_EQ(p.GetConstraint(&w, &h), c.mode);
        EXPECT_EQ(p.ConstraintMode(), c.mode);
        EXPECT_EQ(w, c.expectedW) << c.mode << " " << c.w << "x" << c.h;
        EXPECT_EQ(h, c.expectedH) << c.mode << " " << c.w << "x" << c.h;
        // Either pointer may be left out.
        int only = 0;
        EXPECT_EQ(p.GetConstraint(&only, nullptr), c.mode);
        EXPECT_EQ(only, c.expectedW);
        EXPECT_EQ(p.GetConstraint(nullptr, &only), c.mode);
        EXPECT_EQ(only, c.expectedH);
        EXPECT_EQ(p.GetConstraint(nullptr, nullptr), c.mode);
    }
}

TEST(ScreenProxy, ClipRoiTestsEachValueAsPassed)
{
    struct Region { int x, y, w, h; };
    struct Case { int srcW, srcH; Region in; QRect expected; };
    const Case cases[] = {
        {1920, 1200, {-10, 5, 2, 5000}, QRect(0, 0, 4, 1200)},
        {1920, 1200, {440, 360, 720, 480}, QRect(440, 360, 720, 480)},
        {1920, 1200, {1800, 1000, 720, 480}, QRect(1200, 720, 720, 480)},
        {1920, 1200, {0, 0, 1920, 1200}, QRect(0, 0, 1920, 1200)},
        {1920, 1200, {1, 1, 1920, 1200}, QRect(0, 0, 1920, 1200)},
        {1920, 1200, {1919, 1199, 0, -3}, QRect(1916, 1196, 4, 4)},
        {1920, 1200, {INT_MAX, INT_MIN, INT_MAX, INT_MIN}, QRect(0, 0, 1920, 4)},
        // No input measured: a source without area takes a passed size over it.
        {0, 0, {440, 360, 720, 480}, QRect(0, 0, 0, 0)},
        {2, 2, {1, 1, 10, 10}, QRect(0, 0, 2, 2)},
    };
    for (const Case& c : cases) {
        ScreenProxy p(kScreen);
        p.SetSourceSize(c.srcW, c.srcH);
        int x = c.in.x;
        int y = c.in.y;
        int w = c.in.w;
        int h = c.in.h;
        p.ClipRoi(&x, &y, &w, &h);
        EXPECT_EQ(QRect(x, y, w, h), c.expected) << c.in.x << "," << c.in.y << " " << c.in.w << "x" << c.in.h;
    }

    ScreenProxy p(kScreen);
    p.SetSourceSize(1920, 1200);
    int v = 5000;
    p.ClipRoi(&v, nullptr, &v, &v); // incomplete: nothing is written
    EXPECT_EQ(v, 5000);
}

TEST(ScreenProxy, ClampsKeepTheStoredRegionInsideTheSource)
{
    ScreenProxy p(kScreen);
    p.SetSourceSize(1920, 1200);
    p.SetRoi(440, 360, 720, 480);
    struct Case { int value, x, y, w, h; };
    const Case cases[] = {
        // value, ClampX, ClampY, ClampWidth, ClampHeight
        {100, 100, 100, 100, 100},
        {0, 0, 0, 4, 4},
        {-50, 0, 0, 4, 4},
        {3, 3, 3, 4, 4},
        {720, 720, 720, 720, 720},
        {840, 840, 720, 840, 840},
        {1200, 1200, 720, 1200, 840},
        {1480, 1200, 720, 1480, 840},
        {5000, 1200, 720, 1480, 840},
        {INT_MAX, 1200, 720, 1480, 840},
        {INT_MIN, 0, 0, 4, 4},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(p.ClampX(c.value), c.x) << c.value;
        EXPECT_EQ(p.ClampY(c.value), c.y) << c.value;
        EXPECT_EQ(p.ClampWidth(c.value), c.w) << c.value;
        EXPECT_EQ(p.ClampHeight(c.value), c.h) << c.value;
    }
    EXPECT_EQ(Roi(p), QRect(440, 360, 720, 480)); // unchanged

    // A region past the source edge: the width still never drops below 4.
    p.SetRoi(1918, 1199, 720, 480);
    EXPECT_EQ(p.ClampWidth(100), 4);
    EXPECT_EQ(p.ClampHeight(100), 4);
    EXPECT_EQ(p.ClampX(100), 100);
    p.SetRoi(0, 0, 1920, 1200);
    EXPECT_EQ(p.ClampX(100), 0);
    EXPECT_EQ(p.ClampY(100), 0);
}

TEST(ScreenProxy, EdgeLimitsKeepFourPixelsAndStayInside)
{
    ScreenProxy p(kScreen);
    p.SetSourceSize(1920, 1200);
    p.SetRoi(400, 300, 640, 360); // right 1040, bottom 660 (one past)
    struct Case { int value, left, top, right, bottom; };
    const Case cases[] = {
        {500, 500, 500, 500, 500},
        {-20, 0, 0, 404, 304},
        {0, 0, 0, 404, 304},
        {303, 303, 303, 404, 304},
        {304, 304, 304, 404, 304},
        {403, 403, 403, 404, 403},
        {407, 407, 407, 407, 407},
        {656, 656, 656, 656, 656},
        {657, 657, 656, 657, 657},
        {1036, 1036, 656, 1036, 1036},
        {1037, 1036, 656, 1037, 1037},
        {1300, 1036, 656, 1300, 1200},
        {3000, 1036, 656, 1920, 1200},
        {INT_MAX, 1036, 656, 1920, 1200},
        {INT_MIN, 0, 0, 404, 304},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(p.LimitLeft(c.value), c.left) << c.value;
        EXPECT_EQ(p.LimitTop(c.value), c.top) << c.value;
        EXPECT_EQ(p.LimitRight(c.value), c.right) << c.value;
        EXPECT_EQ(p.LimitBottom(c.value), c.bottom) << c.value;
    }
}

// Source 1920 x 1200, region (400, 300, 640, 360); each row drags one handle
// by the four offsets below, from the same snapshot.
const QPoint kOffsets[] = {QPoint(-100, -50), QPoint(50, 30), QPoint(-2000, -2000), QPoint(2000, 2000)};

struct DragRow {
    int mode, cw, ch, handle;
    QRect expected[4];
};

// Mode 1 rows hold the region's own aspect (16:9); 0 and 3 take the same.
const DragRow kAspectDrags[] = {
        {1, 0, 0, 1, {{300, 244, 740, 416}, {450, 328, 590, 332}, {0, 75, 1040, 585}, {1036, 658, 4, 2}}},
        {1, 0, 0, 2, {{311, 250, 729, 410}, {453, 330, 587, 330}, {0, 75, 1040, 585}, {1036, 658, 4, 2}}},
        {1, 0, 0, 3, {{400, 300, 551, 310}, {400, 300, 693, 390}, {400, 300, 4, 2}, {400, 300, 1520, 855}}},
        {1, 0, 0, 4, {{400, 300, 540, 304}, {400, 300, 690, 388}, {400, 300, 4, 2}, {400, 300, 1520, 855}}},
        {1, 0, 0, 5, {{311, 250, 729, 410}, {453, 330, 587, 330}, {0, 75, 1040, 585}, {1036, 658, 4, 2}}},
        {1, 0, 0, 6, {{400, 356, 540, 304}, {400, 330, 587, 330}, {400, 658, 4, 2}, {400, 656, 7, 4}}},
        {1, 0, 0, 7, {{489, 300, 551, 310}, {450, 300, 590, 332}, {1033, 300, 7, 4}, {1036, 300, 4, 2}}},
        {1, 0, 0, 8, {{400, 300, 540, 304}, {400, 300, 690, 388}, {400, 300, 4, 2}, {400, 300, 1520, 855}}},
        {1, 0, 0, 9, {{300, 250, 640, 360}, {450, 330, 640, 360}, {0, 0, 640, 360}, {1280, 840, 640, 360}}},
        {2, 1440, 1080, 1, {{460, 225, 580, 435}, {611, 338, 429, 322}, {160, 0, 880, 660}, {1036, 657, 4, 3}}},
        {2, 1440, 1080, 2, {{493, 250, 547, 410}, {600, 330, 440, 330}, {160, 0, 880, 660}, {1036, 657, 4, 3}}},
        {2, 1440, 1080, 3, {{400, 300, 413, 310}, {400, 300, 520, 390}, {400, 300, 4, 3}, {400, 300, 1200, 900}}},
        {2, 1440, 1080, 4, {{400, 300, 380, 285}, {400, 300, 531, 398}, {400, 300, 4, 3}, {400, 300, 1200, 900}}},
        {2, 1440, 1080, 5, {{493, 250, 547, 410}, {600, 330, 440, 330}, {160, 0, 880, 660}, {1036, 657, 4, 3}}},
        {2, 1440, 1080, 6, {{400, 255, 540, 405}, {400, 330, 440, 330}, {400, 657, 4, 3}, {400, 656, 5, 4}}},
        {2, 1440, 1080, 7, {{627, 300, 413, 310}, {520, 300, 520, 390}, {1035, 300, 5, 4}, {1036, 300, 4, 3}}},
        {2, 1440, 1080, 8, {{400, 300, 413, 310}, {400, 300, 520, 390}, {400, 300, 4, 3}, {400, 300, 1200, 900}}},
        {2, 1440, 1080, 9, {{300, 250, 640, 360}, {450, 330, 640, 360}, {0, 0, 640, 360}, {1280, 840, 640, 360}}},
        {2, 320, 480, 1, {{700, 150, 340, 510}, {850, 375, 190, 285}, {600, 0, 440, 660}, {1037, 656, 3, 4}}},
        {2, 320, 480, 2, {{767, 250, 273, 410}, {820, 330, 220, 330}, {600, 0, 440, 660}, {1037, 656, 3, 4}}},
        {2, 320, 480, 3, {{400, 300, 207, 310}, {400, 300, 260, 390}, {400, 300, 3, 4}, {400, 300, 600, 900}}},
        {2, 320, 480, 4, {{400, 300, 140, 210}, {400, 300, 290, 435}, {400, 300, 3, 4}, {400, 300, 600, 900}}},
        {2, 320, 480, 5, {{767, 250, 273, 410}, {820, 330, 220, 330}, {600, 0, 440, 660}, {1037, 656, 3, 4}}},
        {2, 320, 480, 6, {{400, 250, 273, 410}, {400, 330, 220, 330}, {400, 654, 4, 6}, {400, 656, 3, 4}}},
        {2, 320, 480, 7, {{833, 300, 207, 310}, {780, 300, 260, 390}, {1037, 300, 3, 4}, {1036, 300, 4, 6}}},
        {2, 320, 480, 8, {{400, 300, 207, 310}, {400, 300, 260, 390}, {400, 300, 3, 4}, {400, 300, 600, 900}}},
        {2, 320, 480, 9, {{300, 250, 640, 360}, {450, 330, 640, 360}, {0, 0, 640, 360}, {1280, 840, 640, 360}}},
};

struct FreeRow {
    int handle;
    QRect expected[4];
};

const FreeRow kFreeDrags[] = {
        {1, {{300, 300, 740, 360}, {450, 300, 590, 360}, {0, 300, 1040, 360}, {1036, 300, 4, 360}}},
        {2, {{400, 250, 640, 410}, {400, 330, 640, 330}, {400, 0, 640, 660}, {400, 656, 640, 4}}},
        {3, {{400, 300, 640, 310}, {400, 300, 640, 390}, {400, 300, 640, 4}, {400, 300, 640, 900}}},
        {4, {{400, 300, 540, 360}, {400, 300, 690, 360}, {400, 300, 4, 360}, {400, 300, 1520, 360}}},
        {5, {{300, 250, 740, 410}, {450, 330, 590, 330}, {0, 0, 1040, 660}, {1036, 656, 4, 4}}},
        {6, {{400, 250, 540, 410}, {400, 330, 690, 330}, {400, 0, 4, 660}, {400, 656, 1520, 4}}},
        {7, {{300, 300, 740, 310}, {450, 300, 590, 390}, {0, 300, 1040, 4}, {1036, 300, 4, 900}}},
        {8, {{400, 300, 540, 310}, {400, 300, 690, 390}, {400, 300, 4, 4}, {400, 300, 1520, 900}}},
        {9, {{300, 250, 640, 360}, {450, 330, 640, 360}, {0, 0, 640, 360}, {1280, 840, 640, 360}}},
};

ScreenProxy* DragProxy(int mode, int cw, int ch)
{
    auto* p = new ScreenProxy(kScreen);
    p->SetSourceSize(1920, 1200);
    p->SetRoi(400, 300, 640, 360);
    p->SetConstraint(mode, cw, ch);
    return p;
}

TEST(ScreenProxy, DragsKeepTheConstraintAspectAtEveryHandle)
{
    for (const DragRow& row : kAspectDrags) {
        const QList<int> modes = row.mode == 1 ? QList<int>{0, 1, 3} : QList<int>{row.mode};
        for (int mode : modes) {
            for (int i = 0; i < 4; ++i) {
                std::unique_ptr<ScreenProxy> p(DragProxy(mode, row.cw, row.ch));
                p->BeginDrag(row.handle, kOffsets[i].x(), kOffsets[i].y());
                EXPECT_EQ(Roi(*p), row.expected[i]) << "mode " << mode << " aspect " << row.cw << "x"
                                                     << row.ch << " handle " << row.handle << " offset "
                                                     << kOffsets[i].x() << "," << kOffsets[i].y();
            }
        }
    }
}

TEST(ScreenProxy, FreeDragsMoveOnlyTheirEdges)
{
    for (const FreeRow& row : kFreeDrags) {
        for (int i = 0; i < 4; ++i) {
            // Take the snapshot without moving, then drag freely from it.
            std::unique_ptr<ScreenProxy> p(DragProxy(2, 320, 480));
            p->BeginDrag(9, 0, 0);
            p->DragFree(row.handle, kOffsets[i].x(), kOffsets[i].y());
            EXPECT_EQ(Roi(*p), row.expected[i]) << "handle " << row.handle << " offset "
                                                 << kOffsets[i].x() << "," << kOffsets[i].y();
        }
    }
}

TEST(ScreenProxy, DragsFromOneSnapshot)
{
    std::unique_ptr<ScreenProxy> p(DragProxy(1, 0, 0));
    p->BeginDrag(8, -200, -100);
    EXPECT_EQ(Roi(*p), QRect(400, 300, 440, 248));
    p->DragHandle(8, 50, 30); // again from the snapshot, not from the first drag
    EXPECT_EQ(Roi(*p), QRect(400, 300, 690, 388));
    p->DragFree(4, -100, 0);
    EXPECT_EQ(Roi(*p), QRect(400, 300, 540, 360));

    // A new snapshot takes the region as it now is.
    p->BeginDrag(9, 10, 10);
    EXPECT_EQ(Roi(*p), QRect(410, 310, 540, 360));
}

TEST(ScreenProxy, BeginDragOnTheRightEdgeForcesTheConstraintAspect)
{
    // The wrappers' way of reshaping a region: handle 4 with no offset.
    ScreenProxy p(kScreen);
    p.SetSourceSize(1920, 1200);
    p.SetRoi(100, 100, 720, 720);
    p.SetConstraint(2, 1920, 1080);
    p.BeginDrag(4, 0, 0);
    EXPECT_EQ(Roi(p), QRect(100, 100, 720, 405));

    p.SetRoi(100, 100, 720, 405);
    p.SetConstraint(2, 720, 480);
    p.BeginDrag(4, 0, 0);
    EXPECT_EQ(Roi(p), QRect(100, 100, 608, 405));
}

TEST(ScreenProxy, ConstraintWithoutAreaDragsWithoutAnAspect)
{
    struct Case { int handle, dx, dy; QRect expected; };
    const Case cases[] = {
        {8, 10, 20, QRect(400, 300, 650, 380)},
        {5, -10, 20, QRect(390, 320, 650, 340)},
        {6, 10, 20, QRect(400, 320, 650, 340)},
        {7, -10, 20, QRect(390, 300, 650, 380)},
        {4, 10, 20, QRect(400, 300, 650, 360)},  // the edge moves alone
        {1, -10, 20, QRect(390, 300, 650, 360)},
        {2, 10, -20, QRect(400, 280, 640, 380)},
        {3, 10, 20, QRect(400, 300, 640, 380)},
        {9, 10, 20, QRect(410, 320, 640, 360)},
    };
    // No constraint set yet; a zero-width region taken as the constraint;
    // a fixed aspect of negative sides.
    for (int setup = 0; setup < 3; ++setup) {
        for (const Case& c : cases) {
            ScreenProxy p(kScreen);
            p.SetSourceSize(1920, 1200);
            if (setup == 1) {
                p.SetRoi(400, 300, 0, 360);
                p.SetConstraint(1, 0, 0);
            } else if (setup == 2) {
                p.SetConstraint(2, -16, -9);
            }
            p.SetRoi(400, 300, 640, 360);
            p.BeginDrag(c.handle, c.dx, c.dy);
            EXPECT_EQ(Roi(p), c.expected) << "setup " << setup << " handle " << c.handle;
        }
    }
}

TEST(ScreenProxy, UnknownHandlesChangeNothing)
{
    for (int handle : {0, 10, -1, 100}) {
        std::unique_ptr<ScreenProxy> p(DragProxy(2, 1920, 1080));
        p->BeginDrag(handle, 50, 50);
        EXPECT_EQ(Roi(*p), QRect(400, 300, 640, 360)) << handle;
        p->DragFree(handle, 50, 50);
        EXPECT_EQ(Roi(*p), QRect(400, 300, 640, 360)) << handle;
    }
}

TEST(ScreenProxy, MovesStopAtTheSourceBorder)
{
    std::unique_ptr<ScreenProxy> p(DragProxy(3, 0, 0));
    p->BeginDrag(9, 5000, -5000);
    EXPECT_EQ(Roi(*p), QRect(1280, 0, 640, 360));
    p->DragHandle(9, INT_MAX, INT_MAX);
    EXPECT_EQ(Roi(*p), QRect(1280, 840, 640, 360));
    p->DragFree(9, INT_MIN, INT_MIN);
    EXPECT_EQ(Roi(*p), QRect(0, 0, 640, 360));
    // With DragFree a left edge dragged past the right one stops 4 short.
    p->BeginDrag(9, 0, 0);
    p->DragFree(1, INT_MAX, 0);
    EXPECT_EQ(Roi(*p), QRect(636, 0, 4, 360));
}

TEST(ScreenProxy, ExtremeOffsetsStayInsideTheSource)
{
    const int extremes[] = {INT_MIN, -1, 1, INT_MAX};
    for (int handle = 1; handle <= 9; ++handle) {
        for (int dx : extremes) {
            for (int dy : extremes) {
                for (bool free : {false, true}) {
                    std::unique_ptr<ScreenProxy> p(DragProxy(2, 1, 65535));
                    p->BeginDrag(9, 0, 0);
                    if (free)
                        p->DragFree(handle, dx, dy);
                    else
                        p->DragHandle(handle, dx, dy);
                    const QRect r = Roi(*p);
                    EXPECT_GE(r.x(), 0);
                    EXPECT_GE(r.y(), 0);
                    EXPECT_GE(r.width(), 0);
                    EXPECT_GE(r.height(), 0);
                    EXPECT_LE(r.x() + r.width(), 1920) << handle << " " << dx << " " << dy;
                    EXPECT_LE(r.y() + r.height(), 1200) << handle << " " << dx << " " << dy;
                }
            }
        }
    }
}

// A picture of 240 x 150 for a 1920 x 1200 source: scale 1/8 each way, so
// the region (400, 320, 640, 360) is drawn at (50, 40), 80 x 45, with
// margins of 6 (the limit) across and down.
TEST(ScreenProxy, HitTestFindsTheHandleUnderAPoint)
{
    ScreenProxy p(QRect(0, 0, 240, 150));
    p.SetSourceSize(1920, 1200);
    ASSERT_EQ(p.HorizontalScale(), 0.125);
    ASSERT_EQ(p.VerticalScale(), 0.125);
    p.SetRoi(400, 320, 640, 360);
    p.SetConstraint(1, 0, 0);
    struct Case { int x, y, handle; };
    const Case cases[] = {
        {50, 40, 5}, {55, 45, 5}, {56, 40, 2}, {90, 45, 2}, {123, 40, 2}, {124, 40, 6}, {129, 45, 6},
        {50, 46, 1}, {55, 78, 1}, {56, 46, 9}, {90, 60, 9}, {123, 78, 9}, {124, 60, 4}, {129, 78, 4},
        {50, 79, 7}, {55, 84, 7}, {56, 84, 3}, {123, 79, 3}, {124, 79, 8}, {129, 84, 8},
        {49, 40, 0}, {130, 40, 0}, {50, 39, 0}, {50, 85, 0}, {0, 0, 0}, {-60, -50, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(p.HitTest(QPoint(c.x, c.y)), c.handle) << c.x << "," << c.y;

    // Fixed size: no margins, every inside point moves.
    p.SetConstraint(3, 0, 0);
    for (const Case& c : cases)
        EXPECT_EQ(p.HitTest(QPoint(c.x, c.y)), c.handle ? 9 : 0) << c.x << "," << c.y;
}

TEST(ScreenProxy, HitTestMarginsFollowTheDrawnSize)
{
    ScreenProxy p(QRect(0, 0, 240, 150));
    p.SetSourceSize(1920, 1200);
    p.SetConstraint(1, 0, 0);
    // Drawn 3 x 3 at (10, 10): margins of 1, one column and row each.
    p.SetRoi(80, 80, 24, 24);
    const int grid[3][3] = {{5, 1, 7}, {2, 9, 3}, {6, 4, 8}};
    for (int col = 0; col < 3; ++col)
        for (int row = 0; row < 3; ++row)
            EXPECT_EQ(p.HitTest(QPoint(10 + col, 10 + row)), grid[col][row]) << col << "," << row;
    // Drawn 1 x 1: the margin is still 1, so the one pixel is a corner.
    p.SetRoi(80, 80, 8, 8);
    EXPECT_EQ(p.HitTest(QPoint(10, 10)), 5);
    EXPECT_EQ(p.HitTest(QPoint(11, 10)), 0);
    // Drawn 13 x 31: margins lround(12 / 3) = 4 and lround(30 / 3) = 10, limited to 6.
    p.SetRoi(80, 80, 104, 248);
    EXPECT_EQ(p.HitTest(QPoint(13, 15)), 5);
    EXPECT_EQ(p.HitTest(QPoint(14, 16)), 9);
    EXPECT_EQ(p.HitTest(QPoint(18, 34)), 9);
    EXPECT_EQ(p.HitTest(QPoint(19, 20)), 4);
    EXPECT_EQ(p.HitTest(QPoint(19, 35)), 8);
    EXPECT_EQ(p.HitTest(QPoint(23, 20)), 0);
    // Nothing drawn: every point is outside.
    p.SetRoi(80, 80, 0, 0);
    EXPECT_EQ(p.HitTest(QPoint(10, 10)), 0);
}

} // namespace
