// The constraint step: how a selection shapes the input region.
#include "roiscaler/decisions/geometry.h"

#include <QStringList>

#include "roiscaler/decisions/blockvalues.h"
#include "roiscaler/decisions/geometry_steps.h"
#include "roiscaler/values/mapping.h"
#include "roiscaler/values/tables.h"

namespace roiscaler {

using namespace steps;

namespace {

using F = RoiField;

// Rows of the merged list that stand for the output raster.
const int kOutputAspectRow = 3;
const int kOutputSizeRow = 9;

// One selection, resolved from the lists.
struct Choice {
    int selection; // what eParamID_CfgInMode shows
    int aspectIndex;
    int sizeIndex;
    int kind; // the input proxy's constraint mode
    int width; // the aspect or size
    int height;
    bool inUse;
};

// What a constraint step leaves to the fit step: a fit, with or without
// the preferred inset.
struct FitFollows {
    bool runs;
    int fit;
    bool usePrefs;
};

bool Resolve(const RoiScene& scene, int selection, int aspectIndex, int sizeIndex, Choice& choice)
{
    const ConstraintRow* row = RowAt(ConstraintKinds(), selection);
    if (!row)
        return false;
    choice = {selection, aspectIndex, sizeIndex, row->kind, row->width, row->height, row->kind != kWholeInput};
    if (row->kind == kFixedAspect) {
        const ConstraintRow* aspect = RowAt(FixedAspects(), aspectIndex);
        if (!aspect)
            return false;
        choice.width = aspect->width;
        choice.height = aspect->height;
    } else if (row->kind == kFixedSize) {
        const ConstraintRow* size = RowAt(FixedSizes(), sizeIndex);
        if (!size && selection != kOutputSize)
            return false;
        if (size) {
            choice.width = size->width;
            choice.height = size->height;
        }
    }
    if (selection == kOutputSize) {
        const QSize out = OutRaster(scene.block);
        choice.width = out.width();
        choice.height = out.height();
        choice.kind = kFixedSize;
        choice.inUse = true;
    }
    return true;
}

bool ResolveIndex(const RoiScene& scene, int index, Choice& choice)
{
    const ConstraintRow* row = RowAt(ConstraintMenu(), index);
    if (!row)
        return false;
    choice = {index, 0, 0, row->kind, row->width, row->height, row->kind != kWholeInput};
    if (index == kOutputAspectRow || index == kOutputSizeRow) {
        const QSize out = OutRaster(scene.block);
        choice.width = out.width();
        choice.height = out.height();
    }
    return true;
}

// A selection with the stored indices (one-index models: by index).
bool ResolveStored(const RoiContext& context, const RoiScene& scene, int selection, Choice& choice)
{
    if (!context.connected)
        return false;
    if (context.model.oneIndexSelection)
        return ResolveIndex(scene, selection, choice);
    return Resolve(scene, selection, int(Stored(context, scene, Param::CfgInFixedAspectMode)),
                   int(Stored(context, scene, Param::CfgInFixedSizeMode)), choice);
}

// The region's aspect fitted to the constraint, anchored at its top-left.
void Refit(ProxyGeometry& in, QRect& r)
{
    int w = r.width(), h = r.height();
    in.SetRoi(r.x(), r.y(), w, h);
    in.BeginDrag(ProxyGeometry::kRightEdge, 0, 0);
    r.setSize(QSize(in.RoiWidth(), in.RoiHeight()));
}

// The items of a debug line, as the debug stream writes them: one blank
// between two.
QString DebugItems(std::initializer_list<QString> items)
{
    QStringList list;
    for (const QString& item : items)
        list << item;
    return list.join(QLatin1Char(' '));
}

// A selection other than the one last refitted: the region refitted to the
// new constraint (the first step keeps it as read; one-index models never
// refit here).
void RefitNewSelection(const RoiContext& context, RoiOutcome& o, QRect& r)
{
    const RoiModel& model = context.model;
    RoiMemory& memory = o.scene.memory;
    const quint32 storedSelection = Stored(context, o.scene, Param::CfgInMode);
    if (model.oneIndexSelection || storedSelection == memory.lastSelection || memory.constraintsFirstPass)
        return;
    const QString w0 = QString::number(r.width()), h0 = QString::number(r.height());
    if (model.logsConstraintRefit)
        o.Add(effect::Debug{DebugItems({QStringLiteral("SelectRoiConstraints in old != current "),
                                        QString::number(storedSelection), QString::number(memory.lastSelection)})});
    memory.lastSelection = storedSelection;
    Refit(o.scene.in, r);
    if (model.logsConstraintRefit)
        o.Add(effect::Debug{DebugItems({QStringLiteral("SelectRoiConstraints leaving old != current  w0 "), w0,
                                        QStringLiteral(" h0 "), h0, QStringLiteral(" w "),
                                        QString::number(r.width()), QStringLiteral(" h "),
                                        QString::number(r.height())})});
}

// The region for the choice's kind: a fixed aspect refitted when its index
// changed (or on every step, on the models that say so), the whole input,
// or a fixed size, which a source that cannot hold it demotes to free.
void StepRegion(const RoiContext& context, RoiScene& scene, Choice& choice, QRect& r)
{
    const RoiModel& model = context.model;
    RoiMemory& memory = scene.memory;
    switch (choice.kind) {
    case kFixedAspect: {
        const quint32 storedAspect = Stored(context, scene, Param::CfgInFixedAspectMode);
        if (!memory.constraintsFirstPass && (model.refitsAspectEveryStep || storedAspect != memory.lastFixedAspect)) {
            memory.lastFixedAspect = storedAspect;
            Refit(scene.in, r);
        }
        break;
    }
    case kWholeInput:
        r = QRect(QPoint(0, 0), MeasuredRaster(context.status));
        break;
    case kFixedSize:
        if (!(scene.in.SourceWidth() >= choice.width && scene.in.SourceHeight() >= choice.height)) {
            PutU(scene.values, model.Id(Param::CfgInMode), quint32(kFreeSelection));
            choice.selection = kFreeSelection;
            scene.in.SetConstraint(kFreeSelection, choice.width, choice.height);
        }
        r.setSize(QSize(choice.width, choice.height));
        break;
    default:
        break;
    }
}

// The choice's device code and the region into the block, streamed, then
// streamed and written with the stored timing refreshed.
void WriteRegion(const RoiContext& context, RoiOutcome& o, const Choice& choice, const QRect& r)
{
    BlockImage& block = o.scene.block;
    const int code = context.model.oneIndexSelection
                         ? choice.selection & 0x0F
                         : InputModeCode(choice.selection, choice.aspectIndex, choice.sizeIndex);
    block.Set(F::_swStateSelect, (block[F::_swStateSelect] & 0xF0) | code);
    PutInRegion(block, r.x(), r.y(), r.width(), r.height());
    o.Send(true, false);
    RefreshStoredTiming(block);
    o.Send(true, true);
}

// The constraint step up to the fit it implies: the region for the choice,
// into the block and out to the converter.
FitFollows ConstrainRegion(const RoiContext& context, RoiOutcome& o, Choice& choice, bool apply)
{
    const RoiModel& model = context.model;
    RoiScene& scene = o.scene;
    BlockImage& block = scene.block;

    const QRect old = InRegion(block);
    QRect r = old;
    scene.in.SetConstraint(choice.kind, choice.width, choice.height);
    RefitNewSelection(context, o, r);
    StepRegion(context, scene, choice, r);
    scene.memory.constraintsFirstPass = false;
    int x = r.x(), y = r.y(), w = r.width(), h = r.height();
    ClipRegion(x, y, w, h, scene.in.SourceWidth(), scene.in.SourceHeight());
    r = QRect(x, y, w, h);

    const int roiCtrl = block[F::_roiCtrl];
    const bool wasInUse = (roiCtrl & 0x02) != 0;
    block.Set(F::_roiCtrl, (roiCtrl & ~(kRoiInUse | kRoiCtrlSet)) | (choice.inUse ? kRoiInUse : 0) | kRoiCtrlSet);
    if (apply || choice.inUse)
        WriteRegion(context, o, choice, r);
    ShowInRegion(model, scene, x, y, w, h);

    // The fit follows the selection: whole input with Auto Scale.
    if (wasInUse && !choice.inUse) {
        PutU(scene.values, model.Id(Param::CfgOutMode), quint32(kAutoScale));
        return {true, kAutoScale, false};
    }
    if (!wasInUse && choice.inUse) {
        PutU(scene.values, model.Id(Param::CfgOutMode), quint32(kScaleAspect));
        return {true, kScaleAspect, apply};
    }
    if (w != old.width() || h != old.height())
        return {true, (block[F::_swStateSelect] >> 4) & 0x0F, false};
    return {false, 0, false};
}

// The rest of the constraint step: the input proxy and the published
// selection.
void ConstrainShown(const RoiContext& context, RoiOutcome& o, const Choice& choice)
{
    const RoiModel& model = context.model;
    RoiScene& scene = o.scene;
    scene.in.SetEnabled(true);
    PutU(scene.values, model.Id(Param::CfgInMode), quint32(choice.selection));
    if (!model.oneIndexSelection) {
        PutU(scene.values, model.Id(Param::CfgInFixedAspectMode), quint32(choice.aspectIndex));
        PutU(scene.values, model.Id(Param::CfgInFixedSizeMode), quint32(choice.sizeIndex));
    }
    o.Add(effect::RestartTimer{});
}

// The constraint step with the fit step it implies, which runs no
// constraint step of its own.
void Constrain(const RoiContext& context, RoiOutcome& o, Choice choice, bool apply)
{
    const FitFollows follows = ConstrainRegion(context, o, choice, apply);
    if (follows.runs)
        FitAlone(context, o, follows.fit, follows.usePrefs);
    ConstrainShown(context, o, choice);
}

} // namespace

namespace steps {

void ConstrainStored(const RoiContext& context, RoiOutcome& o, int selection, bool apply)
{
    Choice choice;
    if (ResolveStored(context, o.scene, selection, choice))
        Constrain(context, o, choice, apply);
}

void ConstrainStoredAlone(const RoiContext& context, RoiOutcome& o, int selection, bool apply)
{
    Choice choice;
    if (ResolveStored(context, o.scene, selection, choice)) {
        ConstrainRegion(context, o, choice, apply);
        ConstrainShown(context, o, choice);
    }
}

} // namespace steps

RoiOutcome SelectConstraints(const RoiContext& context, RoiScene scene, int selection, int aspectIndex,
                             int sizeIndex, bool apply)
{
    RoiOutcome o(std::move(scene));
    Choice choice;
    if (context.connected && Resolve(o.scene, selection, aspectIndex, sizeIndex, choice))
        Constrain(context, o, choice, apply);
    return o;
}

RoiOutcome SelectConstraintIndex(const RoiContext& context, RoiScene scene, int index, bool apply)
{
    RoiOutcome o(std::move(scene));
    Choice choice;
    if (context.connected && ResolveIndex(o.scene, index, choice))
        Constrain(context, o, choice, apply);
    return o;
}

RoiOutcome SelectConstraint(const RoiContext& context, RoiScene scene, int selection)
{
    return ReapplyConstraint(context, std::move(scene), selection, true);
}

RoiOutcome SelectFixedAspect(const RoiContext& context, RoiScene scene, int index)
{
    const int selection = int(Stored(context, scene, Param::CfgInMode));
    const int size = int(Stored(context, scene, Param::CfgInFixedSizeMode));
    return SelectConstraints(context, std::move(scene), selection, index, size, true);
}

RoiOutcome SelectFixedSize(const RoiContext& context, RoiScene scene, int index)
{
    const int selection = int(Stored(context, scene, Param::CfgInMode));
    const int aspect = int(Stored(context, scene, Param::CfgInFixedAspectMode));
    return SelectConstraints(context, std::move(scene), selection, aspect, index, true);
}

RoiOutcome ReapplyConstraint(const RoiContext& context, RoiScene scene, int selection, bool apply)
{
    RoiOutcome o(std::move(scene));
    ConstrainStored(context, o, selection, apply);
    return o;
}

} // namespace roiscaler
