// Display names of the video formats a converter reports, from its format
// and frame-rate codes. Codes outside the tables never index past them.
#ifndef PORTVANE_MODELS_VIDEOFORMATNAMES_H
#define PORTVANE_MODELS_VIDEOFORMATNAMES_H

#include <QString>

// The text of frame-rate code 1 to 8 ("60" ... "50"); null for any other code.
const char* VideoRateText(unsigned rate);

// "%1%2  %3": format name (segmented-frame form with psf), rate and level
// suffix ("3G-A", "3G-B" or nothing); "?? video" for an unknown rate.
QString VideoFormatName(unsigned format, unsigned rate, bool psf, bool is3G, bool levelB);

// "%1%2": format name with the 4K formats, and rate ("00" when unknown).
QString VideoFormat4kName(unsigned format, unsigned rate);

#endif
