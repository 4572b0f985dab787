// After every read of the converter's configuration: the block, the status
// image and the converter's identity back into parameter values, as one
// decision. The first pass that gets past the input gate is forced: it
// writes every value and restores the fit.
#ifndef PORTVANE_ROISCALER_DECISIONS_READBACK_H
#define PORTVANE_ROISCALER_DECISIONS_READBACK_H

#include "roiscaler/decisions/scene.h"

namespace roiscaler {

// The link as the wrapper sees it: the device is up, a command is running.
struct LinkState {
    bool linkUp;
    bool busy;
};

// The readback. While the converter measures no input line total, the
// first rereads (the memory's countdown) only keep the configuration timer
// running; after that, readback goes ahead with zero timing. The identity
// is published first (an effect: the engine reads part of it); then, as
// the next decisions, the fit read back when it changed (next::Fit) and
// the delays past the output format's limits cut (next::ClampDelays).
RoiOutcome Readback(const RoiContext& context, RoiScene scene, LinkState link);

// next::Fit: the fit step without the preferred inset, then the delays
// past the output format's limits cut (the fit step changes neither the
// format nor the delays).
RoiOutcome FitReadBack(const RoiContext& context, RoiScene scene, int fit);
// next::ClampDelays: the horizontal, then the vertical delay set.
RoiOutcome ClampDelays(const RoiContext& context, RoiScene scene, int hDelay, int vDelay);

// The identity parameters: the engine's versions, serial number, name,
// type and assembly, or "Unknown" without a link.
void PutIdentity(const RoiContext& context, const RoiIdentity& identity, RoiOutcome& outcome);
// Its name, type and assembly, each when it changed.
void PutInfoTab(const RoiContext& context, const RoiIdentity& identity, RoiOutcome& outcome);

// The block's fit and input selection as the status watch records them.
void RecordModes(const RoiModel& model, const BlockImage& block, RoiMemory& memory);

} // namespace roiscaler

#endif
