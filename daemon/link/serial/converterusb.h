// How converters show up on USB.
#ifndef PORTVANE_CONVERTERUSB_H
#define PORTVANE_CONVERTERUSB_H

// The converters' USB vendor id, in the text form udev reports
// (four lower-case hexadecimal digits).
constexpr const char kConverterVendorID[] = "fe71";

#endif
