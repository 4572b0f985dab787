// The next decision an outcome names (scene.h, namespace next), run on the
// scene its effects left: where each kind's decision is.
#ifndef PORTVANE_ROISCALER_DECISIONS_NEXT_H
#define PORTVANE_ROISCALER_DECISIONS_NEXT_H

#include "roiscaler/decisions/scene.h"

namespace roiscaler {

RoiOutcome Continue(const RoiContext& context, RoiScene scene, const RoiNext& next);

} // namespace roiscaler

#endif
