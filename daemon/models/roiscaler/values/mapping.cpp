#include "roiscaler/values/mapping.h"

#include <algorithm>
#include <climits>

#include "roiscaler/values/screenproxy.h"

namespace roiscaler {

namespace {

// Rounds a non-negative product half up, kept inside int range.
int RoundScaled(int v, double factor)
{
    const double scaled = 0.5 + double(v) * factor;
    if (scaled >= double(INT_MAX))
        return INT_MAX;
    if (scaled <= double(INT_MIN))
        return INT_MIN;
    return int(scaled);
}

int ToInt(long long v)
{
    return int(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

} // namespace

double PixelAspectFactor(QSize raster)
{
    if (raster == QSize(720, 486))
        return 0.9;
    if (raster == QSize(720, 480))
        return 0.8888888888888888;
    if (raster == QSize(720, 576))
        return 1.0666666666666667;
    return 0.0;
}

void AdjustForPixelAspect(QSize inRaster, QSize outRaster, int& w, int& h)
{
    const double inFactor = PixelAspectFactor(inRaster);
    if (inFactor != 0.0)
        w = RoundScaled(w, inFactor);
    const double outFactor = PixelAspectFactor(outRaster);
    if (outFactor != 0.0)
        h = RoundScaled(h, outFactor);
}

void FitFromPreferences(int& x, int& y, int& w, int& h, int screenW, int screenH)
{
    if (x != 0 || y != 0 || w != screenW || h != screenH)
        return;
    x = int(screenW * 0.1);
    y = int(screenH * 0.1);
    w = ToInt((long long)w - 2LL * x);
    h = ToInt((long long)h - 2LL * y);
}

bool ClipRegion(int& x, int& y, int& w, int& h, int maxW, int maxH)
{
    const int x0 = x, y0 = y, w0 = w, h0 = h;
    if ((long long)x + w > maxW)
        x = ToInt((long long)maxW - w);
    x = std::max(x, 0);
    if ((long long)y + h > maxH)
        y = ToInt((long long)maxH - h);
    y = std::max(y, 0);
    w = std::min(w, maxW);
    h = std::min(h, maxH);
    return x != x0 || y != y0 || w != w0 || h != h0;
}

int CentredOffset(int rasterSide, int side)
{
    return rasterSide > side ? ToInt(((long long)rasterSide - side) / 2) : 0;
}

void OutputMapping(int fit, int x, int y, int w, int h, QSize inRaster, QSize outRaster, QRect& out)
{
    const int outW = outRaster.width();
    const int outH = outRaster.height();
    switch (fit) {
    case kAutoScale:
    case kScaleAspect:
        AdjustForPixelAspect(inRaster, outRaster, w, h);
        FitRectToAspect(w, h, outW, outH, &out);
        break;
    case kFullScreen:
        out = QRect(QPoint(0, 0), QPoint(outW - 1, outH - 1));
        break;
    case kNoScale: {
        const int x0 = CentredOffset(outW, w);
        const int y0 = CentredOffset(outH, h);
        out = QRect(QPoint(x0, y0), QPoint(x0 + std::min(w, outW) - 1, y0 + std::min(h, outH) - 1));
        break;
    }
    case kVariable:
        ClipRegion(x, y, w, h, outW, outH);
        out = QRect(QPoint(x, y), QPoint(ToInt((long long)x + w - 1), ToInt((long long)y + h - 1)));
        break;
    default:
        break;
    }
}

} // namespace roiscaler
