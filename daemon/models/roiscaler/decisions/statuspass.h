// Once a second: the status image into parameter values, and the watch of
// the input format, which rereads the converter and restores or resets the
// fit when the measured input departs from the set one. The pass is three
// decisions, each over the block and values as the effects (and the next
// decisions) of the one before left them: the watch, the input section,
// and the rows.
#ifndef PORTVANE_ROISCALER_DECISIONS_STATUSPASS_H
#define PORTVANE_ROISCALER_DECISIONS_STATUSPASS_H

#include "roiscaler/decisions/scene.h"

namespace roiscaler {

// What the pass samples once, before its rereads.
struct StatusSample {
    bool inputPresent;
    InputFormat measured;
    InputFormat set;
    // The status's own word that the input format matches.
    bool matches;
    // The measured format is the one the watch last recorded.
    bool unchanged;
};

// The models whose rereads wait for a measured input skip the pass
// meanwhile.
bool StatusWaits(const RoiContext& context, const RoiScene& scene);

StatusSample SampleStatus(const RoiContext& context, const RoiScene& scene);

// The format watch (releases above 1.1 with an input present): the first
// stable pass after a forced readback records the set format and the
// block's modes; a pass whose input departs from both the set and the
// recorded format rereads and, as the next decision, returns the fit to
// Auto Scale (next::RevertToAuto).
RoiOutcome WatchInput(const RoiContext& context, RoiScene scene, const StatusSample& sample, bool releaseWatches);

// The input section: the texts of a missing input; nothing while the input
// stays as it was; else the raster, then as the next decision the recorded
// selection restored (next::RestoreInput), the fit reverted
// (next::RevertInput), or the stored ones applied again
// (next::ReapplyInput), each finished by the input's texts.
RoiOutcome UpdateInput(const RoiContext& context, RoiScene scene, const StatusSample& sample);

// The rest of the pass: every row's status value, and the proxies enabled
// as the input comes and goes (inputProxyEnabled: the input proxy's flag
// as the input section found it).
RoiOutcome PublishPass(const RoiContext& context, RoiScene scene, const StatusSample& sample,
                       bool inputProxyEnabled);

// The next decisions of the two sections.
RoiOutcome RevertToAuto(const RoiContext& context, RoiScene scene);
RoiOutcome RestoreInput(const RoiContext& context, RoiScene scene, int width, int height);
RoiOutcome ReapplyInput(const RoiContext& context, RoiScene scene);
// The input section's step finished: the input's texts, then (the models
// that show it) the monitor's name read.
RoiOutcome FinishInput(const RoiContext& context, RoiOutcome step);
// The input's connection text ("DP 59.94Hz", "Sync mode", "Exceeds max
// rate") and its audio text.
void PutInputTexts(const RoiContext& context, ParamValues& values);

} // namespace roiscaler

#endif
