// The settings that are no geometry, as decisions: filters, range,
// background colour, rotation, frame delay and flips, EDID, genlock and its
// delays, audio. Each changes the block, sends it and restarts the
// configuration timer; without a link nothing happens.
#ifndef PORTVANE_ROISCALER_DECISIONS_SETTINGS_H
#define PORTVANE_ROISCALER_DECISIONS_SETTINGS_H

#include "roiscaler/decisions/scene.h"

namespace roiscaler {

RoiOutcome SetSmpteRange(const RoiContext& context, RoiScene scene, int value);
RoiOutcome SetEdgeFiltering(const RoiContext& context, RoiScene scene, bool on);
RoiOutcome SetFlickerFiltering(const RoiContext& context, RoiScene scene, bool on);
// An empty text changes nothing.
RoiOutcome SetBackgroundColor(const RoiContext& context, RoiScene scene, const QString& colorText);
// 0 to 3: 0, 90, 180 and 270 degrees; 180 is both flips inverted under the
// marker.
RoiOutcome SetRotation(const RoiContext& context, RoiScene scene, int value);
RoiOutcome SetFrameDelay(const RoiContext& context, RoiScene scene, int value);
RoiOutcome SetHorizFlip(const RoiContext& context, RoiScene scene, int value);
RoiOutcome SetVertFlip(const RoiContext& context, RoiScene scene, int value);
// Written at once, without a stream-out or a timer start.
RoiOutcome SetEdid(const RoiContext& context, RoiScene scene, int value);
RoiOutcome SetGenlockSource(const RoiContext& context, RoiScene scene, int value);
RoiOutcome SetHorizontalDelay(const RoiContext& context, RoiScene scene, int value);
RoiOutcome SetVerticalDelay(const RoiContext& context, RoiScene scene, int value);
RoiOutcome SetAudio(const RoiContext& context, RoiScene scene, int value);
RoiOutcome SetAnalogMap(const RoiContext& context, RoiScene scene, int value);
RoiOutcome SetAudioConversion(const RoiContext& context, RoiScene scene, int value);
// The converter takes the name; the wrapper publishes it when it did.
RoiOutcome SetModuleName(const RoiContext& context, RoiScene scene, const QString& name);

// A delay cut to the output format's limit; 0 for a format without limits
// or a negative delay.
int ValidHDelay(const BlockImage& block, int delay);
int ValidVDelay(const BlockImage& block, int delay);

// The delays the block's output format does not allow, cut to its limits;
// false when both fit (or the format has no limits).
bool DelaysToClamp(const BlockImage& block, int& hDelay, int& vDelay);

// The monitor name of the EDID bytes: up to the first zero byte, without
// characters outside printable ASCII, white space simplified.
QString EdidName(const UByte* bytes, int count);
// What the name reads as without a link or a successful read.
QString DefaultEdidName();

} // namespace roiscaler

#endif
