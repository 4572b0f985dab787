// What the ROI scaler wrappers read from the 64-byte status image (byte i is
// register i of the scaler FPGA): the input format the scaler is told to
// use and the one it measures, the input connection text and the
// reference text.
#ifndef PORTVANE_ROISCALER_VALUES_STATUSIMAGE_H
#define PORTVANE_ROISCALER_VALUES_STATUSIMAGE_H

#include <QString>

#include "roiscaler/model/models.h"
#include "roiscaler/values/statusbits.h"
#include "tovikconfig/paramtypes.h"

namespace roiscaler {

// An input raster and its frame rate in hundredths of a frame per second.
struct InputFormat {
    int width = 0;
    int height = 0;
    int hz = 0;
    bool operator==(const InputFormat& o) const { return width == o.width && height == o.height && hz == o.hz; }
    bool operator!=(const InputFormat& o) const { return !(*this == o); }
};

// Frames per second x 100 of a frame period of count 27 MHz clocks, cut
// toward zero; a rate beyond the int range (count 0 or 1) gives INT_MAX.
int FrameRateHz(quint32 periodCount);

// The 24-bit period count whose least significant byte is image[first].
quint32 PeriodCount(const UByte* image, int first);

// The set input format (bytes 27 to 38) and the measured one (45 to 56).
InputFormat SetInputFormat(const UByte* image);
InputFormat MeasuredInputFormat(const UByte* image);

// "DP 59.94Hz": the input word and the measured rate, whole when the input
// carries DVI signalling or the rate is whole, else with two decimals. A
// period count of 0 (nothing measured) shows the rate 0.
QString InputProtocolText(const UByte* image, InputWord word);

// "No Ref" unless isValid; else the reference format and rate of byte 42
// ("1080i59.94").
QString RefInFormatText(const UByte* image, bool isValid);

} // namespace roiscaler

#endif
