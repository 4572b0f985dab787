// The region geometry a ROI scaler starts from before its first readback,
// written once: the parameter tables' defaults, a new wrapper's values and
// its first screen proxies read it. Plain numbers, so the tables include it
// without Qt.
#ifndef PORTVANE_ROISCALER_TABLE_FIRSTGEOMETRY_H
#define PORTVANE_ROISCALER_TABLE_FIRSTGEOMETRY_H

namespace roiscaler {
namespace first {

struct Region {
    int x;
    int y;
    int w;
    int h;
};

// The source both proxies are drawn over, and both screens' size.
constexpr int kScreenW = 1920;
constexpr int kScreenH = 1200;

// The input region.
constexpr Region kIn{440, 360, 720, 480};
// The output window, centred across the screen.
constexpr Region kOut{240, 0, 1440, 1080};

} // namespace first
} // namespace roiscaler

#endif
