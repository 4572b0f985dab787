// The input region and the output window as decisions: the fit step (how
// the region maps into the output), the constraint step (how a selection
// shapes the region), the coordinate setters, centring, select-all, the
// output format and the region texts. The fit and constraint steps keep
// each other in step: a fit step that leaves or enters Auto Scale runs the
// constraint step its selection implies, and a constraint step whose
// region changed runs the fit step once; neither enters itself again.
// The fit step is in fit.cpp, the constraint step in constraint.cpp, the
// rest in setters.cpp.
#ifndef PORTVANE_ROISCALER_DECISIONS_GEOMETRY_H
#define PORTVANE_ROISCALER_DECISIONS_GEOMETRY_H

#include "roiscaler/decisions/scene.h"

namespace roiscaler {

// The published input region (eParamID_CfgInX to H, the "Sel:WxH" text) and
// the input proxy's region; without a region, the block's.
void ShowInRegion(const RoiModel& model, RoiScene& scene, int x, int y, int w, int h);
void ShowInRegion(const RoiModel& model, RoiScene& scene);
// The published output window with the fit's name and label colour, and
// the output proxy's region (kept inside its source); without a window,
// the block's.
void ShowOutRegion(const RoiModel& model, RoiScene& scene, int x, int y, int w, int h);
void ShowOutRegion(const RoiModel& model, RoiScene& scene);

// The fit step: the output window for fit 0 to 4 (any other fit changes
// nothing); usePrefs insets a full-raster variable window.
RoiOutcome SelectFit(const RoiContext& context, RoiScene scene, int fit, bool usePrefs);

// The constraint step by selection 0 to 4 with the fixed-aspect and
// fixed-size indices (a selection or index outside the lists changes
// nothing); apply writes the device even for the whole input.
RoiOutcome SelectConstraints(const RoiContext& context, RoiScene scene, int selection, int aspectIndex,
                             int sizeIndex, bool apply);
// The constraint step of a one-index model by its index into the merged
// list.
RoiOutcome SelectConstraintIndex(const RoiContext& context, RoiScene scene, int index, bool apply);
// A selection with the stored indices (one-index models: the index), applied.
RoiOutcome SelectConstraint(const RoiContext& context, RoiScene scene, int selection);
// The stored selection with a new fixed-aspect or fixed-size index.
RoiOutcome SelectFixedAspect(const RoiContext& context, RoiScene scene, int index);
RoiOutcome SelectFixedSize(const RoiContext& context, RoiScene scene, int index);
// The constraint step again with the stored indices.
RoiOutcome ReapplyConstraint(const RoiContext& context, RoiScene scene, int selection, bool apply);

RoiOutcome SetInX(const RoiContext& context, RoiScene scene, int x);
RoiOutcome SetInY(const RoiContext& context, RoiScene scene, int y);
RoiOutcome SetInWidth(const RoiContext& context, RoiScene scene, int w);
RoiOutcome SetInHeight(const RoiContext& context, RoiScene scene, int h);
RoiOutcome SetOutX(const RoiContext& context, RoiScene scene, int x);
RoiOutcome SetOutY(const RoiContext& context, RoiScene scene, int y);
RoiOutcome SetOutWidth(const RoiContext& context, RoiScene scene, int w);
RoiOutcome SetOutHeight(const RoiContext& context, RoiScene scene, int h);
// Centring and select-all run without a link too.
RoiOutcome CenterIn(const RoiContext& context, RoiScene scene);
RoiOutcome CenterOut(const RoiContext& context, RoiScene scene);
RoiOutcome SelectAllIn(const RoiContext& context, RoiScene scene);
// A row of the raster table (eParamID_OutRoiFormat); then the readback.
RoiOutcome SetOutputFormat(const RoiContext& context, RoiScene scene, int index);
// A region text: the input region while the selection is free, the output
// window while the fit is variable.
RoiOutcome SetInRegionText(const RoiContext& context, RoiScene scene, const QString& text);
RoiOutcome SetOutRegionText(const RoiContext& context, RoiScene scene, const QString& text);

} // namespace roiscaler

#endif
