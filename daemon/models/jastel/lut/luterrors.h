// Negative codes that CLutIF leaves in errorCode.
#ifndef PORTVANE_LUT_LUTERRORS_H
#define PORTVANE_LUT_LUTERRORS_H

namespace luterror {

enum : int {
    kNone = 0,
    kOpenFailed = -45,        // text file cannot be opened for reading
    kBadSuffix = -46,         // suffix not accepted for the slot kind
    kCubeSize = -48,          // cube size or 3D row count out of range
    kDomainReversed = -49,    // a domain minimum not below its maximum
    kKeywordRepeated = -51,   // a keyword seen twice in the header
    kLineTooLong = -52,       // a line of more than 512 bytes
    kReadShort = -55,         // the bytes read differ from the file's size
    kParserState = -56,       // parser state not 0 or 1
    kRowCount = -57,          // row count at the end differs from the table size
    kBitDepth = -58,          // bit depth or max value out of range
    kNoOutputPath = -60,      // export without an output path
    kLutNeeds17Points = -61,  // a 16-point cube cannot be written as .lut
    kSectorImageShort = -62,  // sector image missing or shorter than 32768 bytes
    kWriteFailed = -63,       // the image or the exported text could not be written
    kUnknownKeyword = -64,    // unrecognised header line (skipped by the parser)
    kValueRange = -65,        // a code below 0 or above the largest code
    k1DRowCount = -66,        // 1D row count not 1024 or 4096
};

} // namespace luterror

#endif
