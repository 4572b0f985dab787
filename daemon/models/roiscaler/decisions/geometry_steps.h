// What the fit step (fit.cpp), the constraint step (constraint.cpp) and the
// setters (setters.cpp) share: the stored values they read and the two
// steps as each other runs them.
#ifndef PORTVANE_ROISCALER_DECISIONS_GEOMETRY_STEPS_H
#define PORTVANE_ROISCALER_DECISIONS_GEOMETRY_STEPS_H

#include "roiscaler/decisions/scene.h"

namespace roiscaler {
namespace steps {

inline quint32 Stored(const RoiContext& context, const RoiScene& scene, Param p)
{
    return ValueU(scene.values, context.model.Id(p));
}

inline int StoredFit(const RoiContext& context, const RoiScene& scene)
{
    return int(Stored(context, scene, Param::CfgOutMode));
}

// The fit step with the constraint step its selection implies, which runs
// no fit step of its own.
void Fit(const RoiContext& context, RoiOutcome& o, int fit, bool usePrefs);
// The fit step alone: what the constraint step runs when its region
// changed. A fit outside the five modes changes nothing.
void FitAlone(const RoiContext& context, RoiOutcome& o, int fit, bool usePrefs);

// The constraint step for a selection with the stored indices (one-index
// models: the index), with the fit step it implies.
void ConstrainStored(const RoiContext& context, RoiOutcome& o, int selection, bool apply);
// The same without the fit step: what the fit step runs when it leaves or
// enters Auto Scale.
void ConstrainStoredAlone(const RoiContext& context, RoiOutcome& o, int selection, bool apply);

} // namespace steps
} // namespace roiscaler

#endif
