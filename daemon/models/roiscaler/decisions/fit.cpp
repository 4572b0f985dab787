// The fit step: how the input region maps into the output window.
#include "roiscaler/decisions/geometry.h"

#include "roiscaler/decisions/blockvalues.h"
#include "roiscaler/decisions/geometry_steps.h"
#include "roiscaler/values/mapping.h"
#include "roiscaler/values/tables.h"

namespace roiscaler {

using namespace steps;

namespace {

using F = RoiField;

const QSize kOutputConstraint(1920, 1080);

// What a fit step leaves to the constraint step: the whole input (Auto
// Scale entered) or a free selection (Auto Scale left), applied or not.
struct SelectionFollows {
    enum What { Nothing, WholeInput, Free } what;
    bool apply;
};

// A fit outside the five modes maps nothing: the window is kept.
bool FitRuns(const RoiContext& context, int fit)
{
    return context.connected && fit >= kAutoScale && fit <= kVariable;
}

// The fit step up to the selection it implies: the window for the fit, into
// the block and out to the converter.
SelectionFollows FitWindow(const RoiContext& context, RoiOutcome& o, int fit, bool usePrefs)
{
    const RoiModel& model = context.model;
    RoiScene& scene = o.scene;
    BlockImage& block = scene.block;
    const QSize measured = MeasuredRaster(context.status);
    const QSize outRaster = OutRaster(block);
    QRect source;
    if (fit == kVariable) {
        source = OutRegion(block);
        if (usePrefs) {
            int x = source.x(), y = source.y(), w = source.width(), h = source.height();
            FitFromPreferences(x, y, w, h, outRaster.width(), outRaster.height());
            source = QRect(x, y, w, h);
        }
    } else if (fit == kAutoScale) {
        source = QRect(QPoint(0, 0), measured);
    } else {
        source = InRegion(block);
    }
    QRect out(QPoint(0, 0), QPoint(-1, -1));
    OutputMapping(fit, source.x(), source.y(), source.width(), source.height(), measured, outRaster, out);

    scene.out.SetConstraint(fit == kVariable ? ProxyGeometry::kFree : ProxyGeometry::kNotEditable,
                            kOutputConstraint.width(), kOutputConstraint.height());

    const QRect window(QPoint(out.left(), out.top()), QPoint(out.right(), out.bottom()));
    const int swState = block[F::_swStateSelect];
    if (window != OutRegion(block) || fit != ((swState >> 4) & 0x0F)) {
        PutOutRegion(block, window.x(), window.y(), window.width(), window.height());
        block.Set(F::_swStateSelect, (swState & 0x0F) | (fit << 4));
        RefreshStoredTiming(block);
        o.Send(true, model.fitStepWrites);
    }

    const int roiCtrl = block[F::_roiCtrl];
    const bool wasInUse = (roiCtrl & 0x01) != 0;
    block.Set(F::_roiCtrl, (roiCtrl & ~(kRoiInUse | kRoiCtrlSet)) | (fit != kAutoScale ? kRoiInUse : 0) | kRoiCtrlSet);
    // Auto Scale takes the whole input; leaving it frees the selection.
    if (wasInUse && fit == kAutoScale) {
        PutU(scene.values, model.Id(Param::CfgInMode), 0u);
        return {SelectionFollows::WholeInput, usePrefs};
    }
    if (!wasInUse && fit != kAutoScale)
        return {SelectionFollows::Free, model.oneIndexSelection ? usePrefs : true};
    return {SelectionFollows::Nothing, false};
}

// The rest of the fit step: the output proxy and the published fit.
void FitShown(const RoiContext& context, RoiOutcome& o, int fit)
{
    const RoiModel& model = context.model;
    RoiScene& scene = o.scene;
    scene.out.SetEnabled(true);
    ShowOutRegion(model, scene);
    if (StoredFit(context, scene) != fit)
        PutU(scene.values, model.Id(Param::CfgOutMode), fit);
    o.Add(effect::RestartTimer{});
}

} // namespace

namespace steps {

void Fit(const RoiContext& context, RoiOutcome& o, int fit, bool usePrefs)
{
    if (!FitRuns(context, fit))
        return;
    const SelectionFollows follows = FitWindow(context, o, fit, usePrefs);
    if (follows.what != SelectionFollows::Nothing)
        ConstrainStoredAlone(context, o, follows.what == SelectionFollows::WholeInput ? kWholeInput : kFreeSelection,
                             follows.apply);
    FitShown(context, o, fit);
}

void FitAlone(const RoiContext& context, RoiOutcome& o, int fit, bool usePrefs)
{
    if (!FitRuns(context, fit))
        return;
    FitWindow(context, o, fit, usePrefs);
    FitShown(context, o, fit);
}

} // namespace steps

RoiOutcome SelectFit(const RoiContext& context, RoiScene scene, int fit, bool usePrefs)
{
    RoiOutcome o(std::move(scene));
    Fit(context, o, fit, usePrefs);
    return o;
}

} // namespace roiscaler
