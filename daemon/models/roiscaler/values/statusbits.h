// The bits of the ROI scalers' 64-byte status image that the wrappers read,
// one named row each (byte i is register i of the scaler FPGA).
#ifndef PORTVANE_ROISCALER_VALUES_STATUSBITS_H
#define PORTVANE_ROISCALER_VALUES_STATUSBITS_H

#include "tovikconfig/paramtypes.h"

namespace roiscaler {

constexpr int kStatusImageBytes = 64;

// (image[byte] & mask) >> shift.
struct StatusBits {
    UByte byte;
    UByte mask;
    UByte shift;
};

namespace status {
// The input's format matches the one the scaler is set to.
constexpr StatusBits kFormatMatches = {20, 0x40, 6};
// Mardex: genlock state (2 locked to the reference, 3 free run, else locking).
constexpr StatusBits kGenlockStateMardex = {20, 0x06, 1};
constexpr StatusBits kReferencePresent = {42, 0x80, 7};
constexpr StatusBits kReferenceFormat = {42, 0x70, 4};
constexpr StatusBits kReferenceRate = {42, 0x0F, 0};
constexpr StatusBits kInputPresent = {43, 0x80, 7};
// The video output of the model's interface is not connected.
constexpr StatusBits kOutputDisconnected = {53, 0x08, 3};
// Genlock state (1 locked to the input, 2 to the reference, 3 free run,
// 0 locking) of the other models.
constexpr StatusBits kGenlockState = {53, 0x30, 4};
constexpr StatusBits kDviSignalling = {53, 0x40, 6};
// Input audio of 2 channels (else 8).
constexpr StatusBits kTwoChannelAudio = {53, 0x80, 7};
constexpr StatusBits kSyncMode = {59, 0x20, 5};
// Mardex: input audio present.
constexpr StatusBits kAudioPresent = {59, 0x40, 6};
// The input rate exceeds the maximum.
constexpr StatusBits kRateExceeds = {59, 0x80, 7};
} // namespace status

// The bits of an image of kStatusImageBytes bytes; 0 for a byte past it.
inline UByte Read(const UByte* image, StatusBits bits)
{
    if (!image || bits.byte >= kStatusImageBytes || bits.shift >= 8)
        return 0;
    return UByte((image[bits.byte] & bits.mask) >> bits.shift);
}

inline bool IsSet(const UByte* image, StatusBits bits)
{
    return Read(image, bits) != 0;
}

} // namespace roiscaler

#endif
