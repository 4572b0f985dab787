// How an input region of interest maps into the output raster: the output
// fit modes, the pixel-aspect correction of the standard-definition
// rasters, the preferred inset of a full-raster window, and clipping.
#ifndef PORTVANE_ROISCALER_VALUES_MAPPING_H
#define PORTVANE_ROISCALER_VALUES_MAPPING_H

#include <QRect>
#include <QSize>

namespace roiscaler {

// Output fit modes (eParamID_CfgOutMode).
enum { kAutoScale = 0, kScaleAspect = 1, kFullScreen = 2, kNoScale = 3, kVariable = 4 };

// The pixel width factor of a standard-definition raster (720 x 486 0.9,
// 720 x 480 8/9, 720 x 576 16/15); 0 for a raster with square pixels.
double PixelAspectFactor(QSize raster);

// Corrects a region's size for the pixel shapes: the width by the input
// raster's factor, the height by the output raster's (each rounded).
void AdjustForPixelAspect(QSize inRaster, QSize outRaster, int& w, int& h);

// A window covering the whole screen becomes the window inset by a tenth
// of the screen on every side; any other window is left alone.
void FitFromPreferences(int& x, int& y, int& w, int& h, int screenW, int screenH);

// Moves the region inside maxW x maxH (x, y at least 0), then cuts its size
// to the raster; no minimum size. True when anything changed.
bool ClipRegion(int& x, int& y, int& w, int& h, int maxW, int maxH);

// The output window of a source region under a fit mode: 0 and 1 the
// region corrected for pixel aspect and fitted by its aspect, 2 the whole
// output, 3 the region's size centred, 4 the region clipped to the output.
// Any other fit leaves out as it was.
void OutputMapping(int fit, int x, int y, int w, int h, QSize inRaster, QSize outRaster, QRect& out);

// Centres a side of size inside a raster side; 0 when it does not fit (a
// region larger than its raster starts at its edge, never before it).
int CentredOffset(int rasterSide, int side);

} // namespace roiscaler

#endif
