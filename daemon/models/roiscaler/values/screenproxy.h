// The geometric model of one region of interest inside one source raster:
// the region, the shape constraint that drags keep, clipping, clamps,
// handle drags, and the mapping to a small on-screen picture of the raster
// with a hit test of the drawn region's handles.
#ifndef PORTVANE_ROISCALER_VALUES_SCREENPROXY_H
#define PORTVANE_ROISCALER_VALUES_SCREENPROXY_H

#include <QObject>
#include <QPoint>
#include <QRect>

// Writes into out the largest rectangle of ratio srcW:srcH that fits a
// dstW x dstH area, centred, in coordinates starting at (0, 0). A source
// or destination without area has no ratio to keep: out is then the whole
// destination (empty when the destination has no area).
void FitRectToAspect(int srcW, int srcH, int dstW, int dstH, QRect* out);

// The proxy's geometry as a value: what the wrappers' decisions copy,
// change and hand back.
class ProxyGeometry
{
public:
    // Constraint modes as the wrappers set them.
    enum { kNotEditable = 0, kFree = 1, kFixedAspect = 2, kFixedSize = 3 };

    // Handles of the drawn region, shared by HitTest and the drags.
    enum {
        kOutside = 0,
        kLeftEdge = 1, kTopEdge = 2, kBottomEdge = 3, kRightEdge = 4,
        kTopLeft = 5, kTopRight = 6, kBottomLeft = 7, kBottomRight = 8,
        kInside = 9
    };

    // The smallest side that clipping, clamps and edge limits keep.
    static constexpr int kMinSide = 4;

    explicit ProxyGeometry(const QRect& screen);

    // Stores the source size; the scales follow only for a size with area.
    void SetSourceSize(int w, int h);
    // Stores the region as given, without clipping.
    void SetRoi(int x, int y, int w, int h);
    // Mode 2 with a non-zero size keeps that size's aspect; any other call
    // takes the region's own size as the constraint.
    void SetConstraint(int mode, int w, int h);
    // The constraint mode; the size through whichever pointer is non-null.
    int GetConstraint(int* w, int* h) const;
    void SetEnabled(bool enabled);

    // Clips a proposed region to the source (sides at least 4). Each test
    // looks at the value passed in; all four pointers must be non-null.
    void ClipRoi(int* x, int* y, int* w, int* h) const;

    // Keep a new x, y, width or height of the stored region inside the
    // source; widths and heights at least 4.
    int ClampX(int x) const;
    int ClampY(int y) const;
    int ClampWidth(int w) const;
    int ClampHeight(int h) const;

    // Snapshots the region and the constraint, then drags from there.
    void BeginDrag(int handle, int dx, int dy);
    // Moves or resizes the region from the snapshot by (dx, dy) source
    // pixels, keeping the snapshot constraint's aspect; other handles than
    // 1 to 9 change nothing.
    void DragHandle(int handle, int dx, int dy);
    // The same moves and resizes without an aspect.
    void DragFree(int handle, int dx, int dy);

    // The handle under a point of the on-screen picture (measured from the
    // top-left of the scaled source), 0 outside the drawn region.
    int HitTest(const QPoint& p) const;

    // Edge limits against the stored region: an edge stays 4 pixels from
    // the opposite one and inside the source. Right and bottom edges are
    // one past the last pixel.
    int LimitLeft(int left) const;
    int LimitTop(int top) const;
    int LimitRight(int right) const;
    int LimitBottom(int bottom) const;

    QRect ScreenRect() const { return _screen; }
    int SourceWidth() const { return _sourceWidth; }
    int SourceHeight() const { return _sourceHeight; }
    int RoiX() const { return _roiX; }
    int RoiY() const { return _roiY; }
    int RoiWidth() const { return _roiWidth; }
    int RoiHeight() const { return _roiHeight; }
    int ConstraintMode() const { return _constraintMode; }
    double HorizontalScale() const { return _hScale; }
    double VerticalScale() const { return _vScale; }
    bool IsEnabled() const { return _enabled; }

private:
    // The snapshot box fitted to the snapshot constraint's aspect.
    void FitInBox(int boxW, int boxH, int* w, int* h) const;
    void Move(int dx, int dy);
    // The snapshot's edges, those that the handle moves shifted by the
    // offsets and held by the edge limits.
    void MoveEdges(int handle, int dx, int dy, int* l, int* t, int* r, int* b) const;

    QRect _screen;
    int _sourceWidth = -1;
    int _sourceHeight = -1;
    int _roiX = -1;
    int _roiY = -1;
    int _roiWidth = -1;
    int _roiHeight = -1;
    // No aspect until the first SetConstraint: drags then resize freely.
    int _constraintWidth = 0;
    int _constraintHeight = 0;
    int _constraintMode = kNotEditable;
    double _hScale = 1.0;
    double _vScale = 1.0;
    bool _enabled = true;
    int _dragLeft = 0;
    int _dragTop = 0;
    int _dragRight = 0;
    int _dragBottom = 0;
    int _dragConstraintWidth = 0;
    int _dragConstraintHeight = 0;
    int _dragMode = kNotEditable;
};

// The proxy a wrapper owns: a plain object with a QObject base over its
// geometry.
class ScreenProxy : public QObject, public ProxyGeometry
{
    Q_OBJECT

public:
    explicit ScreenProxy(const QRect& screen) : QObject(nullptr), ProxyGeometry(screen) {}

    ProxyGeometry& Geometry() { return *this; }
    const ProxyGeometry& Geometry() const { return *this; }
};

#endif
