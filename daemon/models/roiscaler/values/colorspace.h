// Colours as the converters hold them (studio-range 8-bit YCbCr) and as
// clients see them (a colour text "#rrggbb"), with the BT.601 or BT.709
// coefficients. Results are rounded half up and clamped to 0..255.
#ifndef PORTVANE_ROISCALER_VALUES_COLORSPACE_H
#define PORTVANE_ROISCALER_VALUES_COLORSPACE_H

#include <QString>

#include "tovikconfig/paramtypes.h"

void YCbCrToRgb(unsigned y, unsigned cb, unsigned cr, UByte& r, UByte& g, UByte& b, bool bt709);
void RgbToYCbCr(unsigned r, unsigned g, unsigned b, UByte& y, UByte& cb, UByte& cr, bool bt709);

// "#" and six lower-case hexadecimal digits, red, green, blue.
void YCbCrToColorText(QString& colorText, unsigned y, unsigned cb, unsigned cr, bool bt709);

// Reads the hexadecimal number after the first "#" (up to the next one), or
// the whole text when it has no "#"; red, green and blue are its low 24
// bits. A text that is no such number reads as black.
void ColorTextToYCbCr(const QString& colorText, UByte& y, UByte& cb, UByte& cr, bool bt709);

#endif
