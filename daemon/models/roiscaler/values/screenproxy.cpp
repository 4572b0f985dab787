#include "roiscaler/values/screenproxy.h"

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

int Add(int a, int b)
{
    return Saturate((long long)a + b);
}

int Subtract(int a, int b)
{
    return Saturate((long long)a - b);
}

// Rounds half away from zero, kept inside int range.
int RoundToInt(double v)
{
    if (std::isnan(v))
        return 0;
    return int(std::lround(std::clamp(v, double(INT_MIN), double(INT_MAX))));
}

// One axis of ClipRoi; each test looks at the values passed in.
void ClipAxis(int* offset, int* size, long long sourceSize)
{
    long long newSize = *size;
    if (*size > sourceSize)
        newSize = sourceSize;
    if (*size < ProxyGeometry::kMinSide)
        newSize = ProxyGeometry::kMinSide;
    long long newOffset = *offset;
    if (*offset > sourceSize - newSize)
        newOffset = sourceSize - newSize;
    if (*offset < 0)
        newOffset = 0;
    *offset = Saturate(newOffset);
    *size = Saturate(newSize);
}

// One axis of the clamps: an offset that keeps the region's size inside the
// source, and a size that keeps the region's offset inside it.
int ClampOffset(long long offset, long long sourceSize, long long roiSize)
{
    return Saturate(std::max(std::min(offset, sourceSize - roiSize), 0LL));
}

int ClampSize(long long size, long long sourceSize, long long roiOffset)
{
    return Saturate(std::max<long long>(std::min(size, sourceSize - roiOffset), ProxyGeometry::kMinSide));
}

// One axis of the edge limits. A left or top edge stays 4 before the far
// edge and not below 0; a right or bottom edge (one past) stays 4 after the
// near edge and not past the source.
int LimitNearEdge(long long edge, long long farEdge)
{
    if (farEdge <= edge + (ProxyGeometry::kMinSide - 1))
        edge = farEdge - ProxyGeometry::kMinSide;
    return Saturate(std::max(edge, 0LL));
}

int LimitFarEdge(long long edge, long long nearEdge, long long sourceSize)
{
    if (edge - (ProxyGeometry::kMinSide - 1) <= nearEdge)
        edge = nearEdge + ProxyGeometry::kMinSide;
    return Saturate(std::min(edge, sourceSize));
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

ProxyGeometry::ProxyGeometry(const QRect& screen)
    : _screen(screen)
{
}

void ProxyGeometry::SetSourceSize(int w, int h)
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

void ProxyGeometry::SetRoi(int x, int y, int w, int h)
{
    _roiX = x;
    _roiY = y;
    _roiWidth = w;
    _roiHeight = h;
}

void ProxyGeometry::SetConstraint(int mode, int w, int h)
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

int ProxyGeometry::GetConstraint(int* w, int* h) const
{
    if (w)
        *w = _constraintWidth;
    if (h)
        *h = _constraintHeight;
    return _constraintMode;
}

void ProxyGeometry::SetEnabled(bool enabled)
{
    _enabled = enabled;
}

void ProxyGeometry::ClipRoi(int* x, int* y, int* w, int* h) const
{
    if (!x || !y || !w || !h)
        return;
    ClipAxis(x, w, _sourceWidth);
    ClipAxis(y, h, _sourceHeight);
}

int ProxyGeometry::ClampX(int x) const
{
    return ClampOffset(x, _sourceWidth, _roiWidth);
}

int ProxyGeometry::ClampY(int y) const
{
    return ClampOffset(y, _sourceHeight, _roiHeight);
}

int ProxyGeometry::ClampWidth(int w) const
{
    return ClampSize(w, _sourceWidth, _roiX);
}

int ProxyGeometry::ClampHeight(int h) const
{
    return ClampSize(h, _sourceHeight, _roiY);
}

int ProxyGeometry::LimitLeft(int left) const
{
    return LimitNearEdge(left, (long long)_roiX + _roiWidth);
}

int ProxyGeometry::LimitTop(int top) const
{
    return LimitNearEdge(top, (long long)_roiY + _roiHeight);
}

int ProxyGeometry::LimitRight(int right) const
{
    return LimitFarEdge(right, _roiX, _sourceWidth);
}

int ProxyGeometry::LimitBottom(int bottom) const
{
    return LimitFarEdge(bottom, _roiY, _sourceHeight);
}

void ProxyGeometry::BeginDrag(int handle, int dx, int dy)
{
    _dragLeft = _roiX;
    _dragTop = _roiY;
    _dragRight = Add(_roiX, _roiWidth);
    _dragBottom = Add(_roiY, _roiHeight);
    _dragConstraintWidth = _constraintWidth;
    _dragConstraintHeight = _constraintHeight;
    DragHandle(handle, dx, dy);
}

void ProxyGeometry::FitInBox(int boxW, int boxH, int* w, int* h) const
{
    QRect fit;
    FitRectToAspect(_dragConstraintWidth, _dragConstraintHeight, boxW, boxH, &fit);
    *w = fit.width();
    *h = fit.height();
}

void ProxyGeometry::Move(int dx, int dy)
{
    // The moved region keeps the snapshot's size; that size bounds the move.
    const long long width = (long long)_dragRight - _dragLeft;
    const long long height = (long long)_dragBottom - _dragTop;
    long long x = std::min((long long)_dragLeft + dx, _sourceWidth - width);
    long long y = std::min((long long)_dragTop + dy, _sourceHeight - height);
    SetRoi(Saturate(std::max(x, 0LL)), Saturate(std::max(y, 0LL)), Saturate(width), Saturate(height));
}

void ProxyGeometry::MoveEdges(int handle, int dx, int dy, int* l, int* t, int* r, int* b) const
{
    const bool left = handle == kLeftEdge || handle == kTopLeft || handle == kBottomLeft;
    const bool top = handle == kTopEdge || handle == kTopLeft || handle == kTopRight;
    const bool right = handle == kRightEdge || handle == kTopRight || handle == kBottomRight;
    const bool bottom = handle == kBottomEdge || handle == kBottomLeft || handle == kBottomRight;
    *l = left ? LimitLeft(Add(_dragLeft, dx)) : _dragLeft;
    *t = top ? LimitTop(Add(_dragTop, dy)) : _dragTop;
    *r = right ? LimitRight(Add(_dragRight, dx)) : _dragRight;
    *b = bottom ? LimitBottom(Add(_dragBottom, dy)) : _dragBottom;
}

void ProxyGeometry::DragHandle(int handle, int dx, int dy)
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
    case kInside:
        Move(dx, dy);
        return;
    case kTopLeft:
    case kTopRight:
    case kBottomLeft:
    case kBottomRight:
        break;
    default:
        return;
    }
    // The corner moves, the opposite corner stays, and the aspect is fitted
    // into the box between them.
    int l, t, r, b;
    MoveEdges(handle, dx, dy, &l, &t, &r, &b);
    int w = 0;
    int h = 0;
    FitInBox(Subtract(r, l), Subtract(b, t), &w, &h);
    const bool anchorRight = handle == kTopLeft || handle == kBottomLeft;
    const bool anchorBottom = handle == kTopLeft || handle == kTopRight;
    SetRoi(anchorRight ? _dragRight - w : _dragLeft, anchorBottom ? _dragBottom - h : _dragTop, w, h);
}

void ProxyGeometry::DragFree(int handle, int dx, int dy)
{
    if (handle == kInside) {
        Move(dx, dy);
        return;
    }
    if (handle < kLeftEdge || handle > kBottomRight)
        return;
    int l, t, r, b;
    MoveEdges(handle, dx, dy, &l, &t, &r, &b);
    SetRoi(l, t, Subtract(r, l), Subtract(b, t));
}

int ProxyGeometry::HitTest(const QPoint& p) const
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
