#include "screenproxy.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// Sums and differences of caller values are formed in 64 bits and brought
// back into int range, so no input overflows.
int Saturate(long long v)
{
    return int(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

// Rounds half away from zero, kept inside int range.
int RoundToInt(double v)
{
    if (std::isnan(v))
        return 0;
    return int(std::lround(std::clamp(v, double(INT_MIN), double(INT_MAX))));
}

} // namespace

void FitRectToAspect(int srcW, int srcH, int dstW, int dstH, QRect* out)
{
    if (!out)
        return;
    if (srcW <= 0 || srcH <= 0 || dstW <= 0 || dstH <= 0) {
        *out = QRect(0, 0, std::max(dstW, 0), std::max(dstH, 0));
        return;
    }
    int x = 0;
    int y = 0;
    int width;
    int height;
    if (double(srcW) / double(srcH) < double(dstW) / double(dstH)) {
        width = RoundToInt(double(srcW) * (double(dstH) / double(srcH)));
        height = dstH;
        x = (dstW - width) / 2;
    } else {
        width = dstW;
        height = RoundToInt(double(srcH) * (double(dstW) / double(srcW)));
        y = (dstH - height) / 2;
    }
    // The fitted size never exceeds the destination, so these cannot overflow.
    *out = QRect(QPoint(x, y), QPoint(x + width - 1, y + height - 1));
}

ScreenProxy::ScreenProxy(const QRect& screen)
    : QObject(nullptr), _screen(screen)
{
}

void ScreenProxy::SetSourceSize(int w, int h)
{
    _sourceWidth = w;
    _sourceHeight = h;
    if (w <= 0 || h <= 0)
        return;
    QRect fit;
    FitRectToAspect(w, h, _screen.width(), _screen.height(), &fit);
    _hScale = double(fit.width()) / double(w);
    _vScale = double(fit.height()) / double(h);
}

void ScreenProxy::SetRoi(int x, int y, int w, int h)
{
    _roiX = x;
    _roiY = y;
    _roiWidth = w;
    _roiHeight = h;
}

void ScreenProxy::SetConstraint(int mode, int w, int h)
{
    _constraintMode = mode;
    _dragMode = mode;
    if (mode == kFixedAspect && w != 0 && h != 0) {
        _constraintWidth = w;
        _constraintHeight = h;
    } else {
        _constraintWidth = _roiWidth;
        _constraintHeight = _roiHeight;
    }
    _dragConstraintWidth = _constraintWidth;
    _dragConstraintHeight = _constraintHeight;
}

int ScreenProxy::GetConstraint(int* w, int* h) const
{
    if (w)
        *w = _constraintWidth;
    if (h)
        *h = _constraintHeight;
    return _constraintMode;
}

void ScreenProxy::SetEnabled(bool enabled)
{
    _enabled = enabled;
}

void ScreenProxy::ClipRoi(int* x, int* y, int* w, int* h) const
{
    if (!x || !y || !w || !h)
        return;
    const long long srcW = _sourceWidth;
    const long long srcH = _sourceHeight;

    long long width = *w;
    if (*w > srcW)
        width = srcW;
    if (*w < kMinSide)
        width = kMinSide;
    long long height = *h;
    if (*h > srcH)
        height = srcH;
    if (*h < kMinSide)
        height = kMinSide;
    long long left = *x;
    if (*x > srcW - width)
        left = srcW - width;
    if (*x < 0)
        left = 0;
    long long top = *y;
    if (*y > srcH - height)
        top = srcH - height;
    if (*y < 0)
        top = 0;

    *x = Saturate(left);
    *y = Saturate(top);
    *w = Saturate(width);
    *h = Saturate(height);
}

int ScreenProxy::ClampX(int x) const
{
    return Saturate(std::max(std::min<long long>(x, (long long)_sourceWidth - _roiWidth), 0LL));
}

int ScreenProxy::ClampY(int y) const
{
    return Saturate(std::max(std::min<long long>(y, (long long)_sourceHeight - _roiHeight), 0LL));
}

int ScreenProxy::ClampWidth(int w) const
{
    return Saturate(std::max<long long>(std::min<long long>(w, (long long)_sourceWidth - _roiX), kMinSide));
}

int ScreenProxy::ClampHeight(int h) const
{
    return Saturate(std::max<long long>(std::min<long long>(h, (long long)_sourceHeight - _roiY), kMinSide));
}

int ScreenProxy::LimitLeft(int left) const
{
    const long long right = (long long)_roiX + _roiWidth;
    long long l = left;
    if (right <= l + (kMinSide - 1))
        l = right - kMinSide;
    return Saturate(std::max(l, 0LL));
}

int ScreenProxy::LimitTop(int top) const
{
    const long long bottom = (long long)_roiY + _roiHeight;
    long long t = top;
    if (bottom <= t + (kMinSide - 1))
        t = bottom - kMinSide;
    return Saturate(std::max(t, 0LL));
}

int ScreenProxy::LimitRight(int right) const
{
    long long r = right;
    if (r - (kMinSide - 1) <= _roiX)
        r = (long long)_roiX + kMinSide;
    return Saturate(std::min<long long>(r, _sourceWidth));
}

int ScreenProxy::LimitBottom(int bottom) const
{
    long long b = bottom;
    if (b - (kMinSide - 1) <= _roiY)
        b = (long long)_roiY + kMinSide;
    return Saturate(std::min<long long>(b, _sourceHeight));
}

void ScreenProxy::BeginDrag(int handle, int dx, int dy)
{
    _dragLeft = _roiX;
    _dragTop = _roiY;
    _dragRight = Saturate((long long)_roiX + _roiWidth);
    _dragBottom = Saturate((long long)_roiY + _roiHeight);
    _dragConstraintWidth = _constraintWidth;
    _dragConstraintHeight = _constraintHeight;
    DragHandle(handle, dx, dy);
}

void ScreenProxy::FitInBox(int boxW, int boxH, int* w, int* h) const
{
    QRect fit;
    FitRectToAspect(_dragConstraintWidth, _dragConstraintHeight, boxW, boxH, &fit);
    *w = fit.width();
    *h = fit.height();
}

void ScreenProxy::Move(int dx, int dy)
{
    // The moved region keeps the snapshot's size; that size bounds the move.
    const long long width = (long long)_dragRight - _dragLeft;
    const long long height = (long long)_dragBottom - _dragTop;
    long long x = std::min((long long)_dragLeft + dx, _sourceWidth - width);
    long long y = std::min((long long)_dragTop + dy, _sourceHeight - height);
    SetRoi(Saturate(std::max(x, 0LL)), Saturate(std::max(y, 0LL)), Saturate(width), Saturate(height));
}

void ScreenProxy::DragHandle(int handle, int dx, int dy)
{
    // An edge drags its neighbouring corner, the other offset following the
    // aspect. A constraint without area has no aspect: the edge moves alone.
    const bool hasAspect = _dragConstraintWidth > 0 && _dragConstraintHeight > 0;
    const double a = hasAspect ? double(_dragConstraintWidth) / double(_dragConstraintHeight) : 1.0;
    switch (handle) {
    case kLeftEdge:
        handle = kTopLeft;
        dy = hasAspect ? RoundToInt(dx / a) : 0;
        break;
    case kTopEdge:
        handle = kTopLeft;
        dx = hasAspect ? RoundToInt(dy * a) : 0;
        break;
    case kBottomEdge:
        handle = kBottomRight;
        dx = hasAspect ? RoundToInt(dy * a) : 0;
        break;
    case kRightEdge:
        handle = kBottomRight;
        dy = hasAspect ? RoundToInt(dx / a) : 0;
        break;
    default:
        break;
    }

    const int l0 = _dragLeft;
    const int t0 = _dragTop;
    const int r0 = _dragRight;
    const int b0 = _dragBottom;
    int w = 0;
    int h = 0;
    switch (handle) {
    case kTopLeft: {
        const int l = LimitLeft(Saturate((long long)l0 + dx));
        const int t = LimitTop(Saturate((long long)t0 + dy));
        FitInBox(Saturate((long long)r0 - l), Saturate((long long)b0 - t), &w, &h);
        SetRoi(r0 - w, b0 - h, w, h);
        break;
    }
    case kTopRight: {
        const int r = LimitRight(Saturate((long long)r0 + dx));
        const int t = LimitTop(Saturate((long long)t0 + dy));
        FitInBox(Saturate((long long)r - l0), Saturate((long long)b0 - t), &w, &h);
        SetRoi(l0, b0 - h, w, h);
        break;
    }
    case kBottomLeft: {
        const int l = LimitLeft(Saturate((long long)l0 + dx));
        const int b = LimitBottom(Saturate((long long)b0 + dy));
        FitInBox(Saturate((long long)r0 - l), Saturate((long long)b - t0), &w, &h);
        SetRoi(r0 - w, t0, w, h);
        break;
    }
    case kBottomRight: {
        const int r = LimitRight(Saturate((long long)r0 + dx));
        const int b = LimitBottom(Saturate((long long)b0 + dy));
        FitInBox(Saturate((long long)r - l0), Saturate((long long)b - t0), &w, &h);
        SetRoi(l0, t0, w, h);
        break;
    }
    case kInside:
        Move(dx, dy);
        break;
    default:
        break;
    }
}

void ScreenProxy::DragFree(int handle, int dx, int dy)
{
    if (handle == kInside) {
        Move(dx, dy);
        return;
    }
    const bool left = handle == kLeftEdge || handle == kTopLeft || handle == kBottomLeft;
    const bool right = handle == kRightEdge || handle == kTopRight || handle == kBottomRight;
    const bool top = handle == kTopEdge || handle == kTopLeft || handle == kTopRight;
    const bool bottom = handle == kBottomEdge || handle == kBottomLeft || handle == kBottomRight;
    if (!left && !right && !top && !bottom)
        return;
    const long long l = left ? LimitLeft(Saturate((long long)_dragLeft + dx)) : _dragLeft;
    const long long r = right ? LimitRight(Saturate((long long)_dragRight + dx)) : _dragRight;
    const long long t = top ? LimitTop(Saturate((long long)_dragTop + dy)) : _dragTop;
    const long long b = bottom ? LimitBottom(Saturate((long long)_dragBottom + dy)) : _dragBottom;
    SetRoi(Saturate(l), Saturate(t), Saturate(r - l), Saturate(b - t));
}

int ScreenProxy::HitTest(const QPoint& p) const
{
    const long long sx = RoundToInt(_roiX * _hScale);
    const long long sy = RoundToInt(_roiY * _vScale);
    const long long sw = RoundToInt(_roiWidth * _hScale);
    const long long sh = RoundToInt(_roiHeight * _vScale);
    const long long right = sx + sw - 1;
    const long long bottom = sy + sh - 1;

    long long mx = 0;
    long long my = 0;
    if (_dragMode != kFixedSize) {
        mx = std::clamp<long long>(RoundToInt(double(sw - 1) / 3.0), 1, 6);
        my = std::clamp<long long>(RoundToInt(double(sh - 1) / 3.0), 1, 6);
    }

    if (p.x() < sx || p.x() > right || p.y() < sy || p.y() > bottom)
        return kOutside;

    enum { First, Middle, Last };
    const int column = p.x() < sx + mx ? First : (p.x() > right - mx ? Last : Middle);
    const int row = p.y() < sy + my ? First : (p.y() > bottom - my ? Last : Middle);
    static const int handles[3][3] = {
        // row: top, middle, bottom
        {kTopLeft, kLeftEdge, kBottomLeft},       // left column
        {kTopEdge, kInside, kBottomEdge},         // middle column
        {kTopRight, kRightEdge, kBottomRight},    // right column
    };
    return handles[column][row];
}
