#include "roiscaler/decisions/geometry.h"

#include <QStringList>

#include <algorithm>

#include "roiscaler/values/mapping.h"
#include "roiscaler/values/tables.h"
#include "roiscaler/values/regiontext.h"
#include "roiscaler/decisions/blockvalues.h"

namespace roiscaler {

namespace {

using F = RoiField;

const QSize kOutputConstraint(1920, 1080);
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

// What a fit step leaves to the constraint step: the whole input (Auto
// Scale entered) or a free selection (Auto Scale left), applied or not.
struct SelectionFollows {
    enum What { Nothing, WholeInput, Free } what;
    bool apply;
};

// What a constraint step leaves to the fit step: a fit, with or without
// the preferred inset.
struct FitFollows {
    bool runs;
    int fit;
    bool usePrefs;
};

RoiOutcome Unchanged(RoiScene scene)
{
    return RoiOutcome{std::move(scene), {}};
}

quint32 Stored(const RoiContext& context, const RoiScene& scene, Param p)
{
    return ValueU(scene.values, context.model.Id(p));
}

int StoredFit(const RoiContext& context, const RoiScene& scene)
{
    return int(Stored(context, scene, Param::CfgOutMode));
}

bool Resolve(const RoiScene& scene, int selection, int aspectIndex, int sizeIndex,
             Choice& choice)
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
void Refit(ProxyGeometry& in, int x, int y, int& w, int& h)
{
    in.SetRoi(x, y, w, h);
    in.BeginDrag(ProxyGeometry::kRightEdge, 0, 0);
    w = in.RoiWidth();
    h = in.RoiHeight();
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
    o.Add(RoiAction::RestartTimer);
}

// The constraint step up to the fit it implies: the region for the choice
// (which a fixed size the source cannot hold demotes to free), into the
// block and out to the converter.
FitFollows ConstrainRegion(const RoiContext& context, RoiOutcome& o, Choice& choice, bool apply)
{
    const RoiModel& model = context.model;
    RoiScene& scene = o.scene;
    BlockImage& block = scene.block;
    RoiMemory& memory = scene.memory;
    const quint32 storedAspect = Stored(context, scene, Param::CfgInFixedAspectMode);
    const quint32 storedSelection = Stored(context, scene, Param::CfgInMode);
    const bool writeDevice = apply || choice.inUse;

    const QRect region = InRegion(block);
    int x = region.x(), y = region.y(), w = region.width(), h = region.height();
    const int oldW = w, oldH = h;
    const int srcW = scene.in.SourceWidth();
    const int srcH = scene.in.SourceHeight();

    scene.in.SetConstraint(choice.kind, choice.width, choice.height);

    if (!model.oneIndexSelection && storedSelection != memory.lastSelection && !memory.constraintsFirstPass) {
        if (model.logsConstraintRefit)
            o.Add(RoiAction::Debug, DebugItems({QStringLiteral("SelectRoiConstraints in old != current "),
                                                QString::number(storedSelection),
                                                QString::number(memory.lastSelection)}));
        memory.lastSelection = storedSelection;
        Refit(scene.in, x, y, w, h);
        if (model.logsConstraintRefit)
            o.Add(RoiAction::Debug,
                  DebugItems({QStringLiteral("SelectRoiConstraints leaving old != current  w0 "), QString::number(oldW),
                              QStringLiteral(" h0 "), QString::number(oldH), QStringLiteral(" w "),
                              QString::number(w), QStringLiteral(" h "), QString::number(h)}));
    }

    switch (choice.kind) {
    case kFixedAspect:
        if (!memory.constraintsFirstPass && (model.refitsAspectEveryStep || storedAspect != memory.lastFixedAspect)) {
            memory.lastFixedAspect = storedAspect;
            Refit(scene.in, x, y, w, h);
        }
        break;
    case kWholeInput: {
        const QSize raster = MeasuredRaster(context.status);
        x = 0;
        y = 0;
        w = raster.width();
        h = raster.height();
        break;
    }
    case kFixedSize:
        // A size the source cannot hold demotes the selection to free.
        if (!(srcW >= choice.width && srcH >= choice.height)) {
            PutU(scene.values, model.Id(Param::CfgInMode), quint32(kFreeSelection));
            choice.selection = kFreeSelection;
            scene.in.SetConstraint(kFreeSelection, choice.width, choice.height);
        }
        w = choice.width;
        h = choice.height;
        break;
    default:
        break;
    }

    memory.constraintsFirstPass = false;
    ClipRegion(x, y, w, h, srcW, srcH);

    const int roiCtrl = block[F::_roiCtrl];
    const bool wasInUse = (roiCtrl & 0x02) != 0;
    block.Set(F::_roiCtrl, (roiCtrl & ~(kRoiInUse | kRoiCtrlSet)) | (choice.inUse ? kRoiInUse : 0) | kRoiCtrlSet);

    if (writeDevice) {
        const int code = model.oneIndexSelection ? choice.selection & 0x0F
                                                 : InputModeCode(choice.selection, choice.aspectIndex, choice.sizeIndex);
        block.Set(F::_swStateSelect, (block[F::_swStateSelect] & 0xF0) | code);
        PutInRegion(block, x, y, w, h);
        o.Send(true, false);
        RefreshStoredTiming(block);
        o.Send(true, true);
    }
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
    if (w != oldW || h != oldH)
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
    o.Add(RoiAction::RestartTimer);
}

// The fit step with the constraint step its selection implies, which runs
// no fit step of its own.
void Fit(const RoiContext& context, RoiOutcome& o, int fit, bool usePrefs)
{
    if (!FitRuns(context, fit))
        return;
    const SelectionFollows follows = FitWindow(context, o, fit, usePrefs);
    Choice choice;
    if (follows.what != SelectionFollows::Nothing
        && ResolveStored(context, o.scene,
                         follows.what == SelectionFollows::WholeInput ? kWholeInput : kFreeSelection, choice)) {
        ConstrainRegion(context, o, choice, follows.apply);
        ConstrainShown(context, o, choice);
    }
    FitShown(context, o, fit);
}

// The constraint step with the fit step it implies, which runs no
// constraint step of its own.
void Constrain(const RoiContext& context, RoiOutcome& o, Choice choice, bool apply)
{
    const FitFollows follows = ConstrainRegion(context, o, choice, apply);
    if (follows.runs && FitRuns(context, follows.fit)) {
        FitWindow(context, o, follows.fit, follows.usePrefs);
        FitShown(context, o, follows.fit);
    }
    ConstrainShown(context, o, choice);
}

// The constraint step for a selection with the stored indices.
void ConstrainStored(const RoiContext& context, RoiOutcome& o, int selection, bool apply)
{
    Choice choice;
    if (ResolveStored(context, o.scene, selection, choice))
        Constrain(context, o, choice, apply);
}

bool ReadRegion(const QString& text, int& x, int& y, int& w, int& h)
{
    return ParseScreenProxy(text, QStringLiteral("x"), x) && ParseScreenProxy(text, QStringLiteral("y"), y)
           && ParseScreenProxy(text, QStringLiteral("w"), w) && ParseScreenProxy(text, QStringLiteral("h"), h);
}

// An input coordinate setter: the block's field from the value, sent; the
// width and height run the fit step after.
RoiOutcome SetInField(const RoiContext& context, RoiScene scene, int field, int value, bool refits)
{
    if (!context.connected)
        return Unchanged(std::move(scene));
    RoiOutcome o{std::move(scene), {}};
    o.scene.block.Set(field, value);
    o.Send(true, true);
    ShowInRegion(context.model, o.scene);
    if (refits)
        Fit(context, o, StoredFit(context, o.scene), false);
    o.Add(RoiAction::RestartTimer);
    return o;
}

// A side of the input region; a fixed aspect drags the other side along.
RoiOutcome SetInSide(const RoiContext& context, RoiScene scene, bool width, int value)
{
    if (!context.connected)
        return Unchanged(std::move(scene));
    ProxyGeometry& in = scene.in;
    const int side = width ? in.ClampWidth(value) : in.ClampHeight(value);
    if (in.ConstraintMode() != ProxyGeometry::kFixedAspect)
        return SetInField(context, std::move(scene), width ? F::_inputActivePixels : F::_inputActiveLines, side, true);
    if (width)
        in.BeginDrag(ProxyGeometry::kRightEdge, side - in.RoiWidth(), 0);
    else
        in.BeginDrag(ProxyGeometry::kBottomEdge, 0, side - in.RoiHeight());
    scene.block.Set(F::_inputActivePixels, in.RoiWidth());
    return SetInField(context, std::move(scene), F::_inputActiveLines, in.RoiHeight(), true);
}

// An output coordinate setter: through the fit step, which keeps it only
// for a variable window.
RoiOutcome SetOutField(const RoiContext& context, RoiScene scene, int field, int value)
{
    if (!context.connected)
        return Unchanged(std::move(scene));
    RoiOutcome o{std::move(scene), {}};
    o.scene.block.Set(field, value);
    o.Send(context.model.outputSettersStream, true);
    Fit(context, o, StoredFit(context, o.scene), false);
    o.Add(RoiAction::RestartTimer);
    return o;
}

// A region's fields in the block: width, height, x, y.
struct RegionFields {
    int w, h, x, y;
};
const RegionFields kInFields = {F::_inputActivePixels, F::_inputActiveLines, F::_inputHStartOffset,
                                F::_inputVStartOffset};
const RegionFields kOutFields = {F::_outputActivePixels, F::_outputActiveLines, F::_outputHStartOffset,
                                 F::_outputVStartOffset};

// The region centred in its raster (from its edge when larger), sent and
// shown; a change counts as a client's.
RoiOutcome Centre(const RoiContext& context, RoiScene scene, QSize raster, const RegionFields& fields,
                  void (*show)(const RoiModel&, RoiScene&, int, int, int, int))
{
    RoiOutcome o{std::move(scene), {}};
    BlockImage& block = o.scene.block;
    o.scene.memory.paramChanged = true;
    const int w = block[fields.w];
    const int h = block[fields.h];
    const int x = CentredOffset(raster.width(), w);
    const int y = CentredOffset(raster.height(), h);
    block.Set(fields.x, x);
    block.Set(fields.y, y);
    o.Send(true, true);
    show(context.model, o.scene, x, y, w, h);
    o.Add(RoiAction::RestartTimer);
    return o;
}

} // namespace

void ShowInRegion(const RoiModel& model, RoiScene& scene, int x, int y, int w, int h)
{
    PutU(scene.values, model.Id(Param::CfgInX), x);
    PutU(scene.values, model.Id(Param::CfgInY), y);
    PutU(scene.values, model.Id(Param::CfgInW), w);
    PutU(scene.values, model.Id(Param::CfgInH), h);
    scene.in.SetRoi(x, y, w, h);
    PutS(scene.values, model.Id(Param::ImageInRoi), QStringLiteral("Sel:%1x%2").arg(w).arg(h));
}

void ShowInRegion(const RoiModel& model, RoiScene& scene)
{
    const QRect r = InRegion(scene.block);
    ShowInRegion(model, scene, r.x(), r.y(), r.width(), r.height());
}

void ShowOutRegion(const RoiModel& model, RoiScene& scene, int x, int y, int w, int h)
{
    PutU(scene.values, model.Id(Param::CfgOutX), x);
    PutU(scene.values, model.Id(Param::CfgOutY), y);
    PutU(scene.values, model.Id(Param::CfgOutW), w);
    PutU(scene.values, model.Id(Param::CfgOutH), h);
    const int fit = int(ValueU(scene.values, model.Id(Param::CfgOutMode)));
    PutS(scene.values, model.Id(Param::ImageSdiOutFit), Tr(model, FitName(fit)));
    PutU(scene.values, model.Id(Param::OutScalingLabelColor), fit == kAutoScale ? 1 : 2);
    scene.out.SetRoi(std::max(x, 0), std::max(y, 0), std::min(w, scene.out.SourceWidth()),
                     std::min(h, scene.out.SourceHeight()));
}

void ShowOutRegion(const RoiModel& model, RoiScene& scene)
{
    const QRect r = OutRegion(scene.block);
    ShowOutRegion(model, scene, r.x(), r.y(), r.width(), r.height());
}

RoiOutcome SelectFit(const RoiContext& context, RoiScene scene, int fit, bool usePrefs)
{
    RoiOutcome o{std::move(scene), {}};
    Fit(context, o, fit, usePrefs);
    return o;
}

RoiOutcome SelectConstraints(const RoiContext& context, RoiScene scene, int selection, int aspectIndex,
                             int sizeIndex, bool apply)
{
    RoiOutcome o{std::move(scene), {}};
    Choice choice;
    if (context.connected && Resolve(o.scene, selection, aspectIndex, sizeIndex, choice))
        Constrain(context, o, choice, apply);
    return o;
}

RoiOutcome SelectConstraintIndex(const RoiContext& context, RoiScene scene, int index, bool apply)
{
    RoiOutcome o{std::move(scene), {}};
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
    RoiOutcome o{std::move(scene), {}};
    ConstrainStored(context, o, selection, apply);
    return o;
}

RoiOutcome SetInX(const RoiContext& context, RoiScene scene, int x)
{
    const int clamped = scene.in.ClampX(x);
    return SetInField(context, std::move(scene), F::_inputHStartOffset, clamped, false);
}

RoiOutcome SetInY(const RoiContext& context, RoiScene scene, int y)
{
    const int clamped = scene.in.ClampY(y);
    return SetInField(context, std::move(scene), F::_inputVStartOffset, clamped, false);
}

RoiOutcome SetInWidth(const RoiContext& context, RoiScene scene, int w)
{
    return SetInSide(context, std::move(scene), true, w);
}

RoiOutcome SetInHeight(const RoiContext& context, RoiScene scene, int h)
{
    return SetInSide(context, std::move(scene), false, h);
}

RoiOutcome SetOutX(const RoiContext& context, RoiScene scene, int x)
{
    const int clamped = scene.out.ClampX(x);
    return SetOutField(context, std::move(scene), F::_outputHStartOffset, clamped);
}

RoiOutcome SetOutY(const RoiContext& context, RoiScene scene, int y)
{
    const int clamped = scene.out.ClampY(y);
    return SetOutField(context, std::move(scene), F::_outputVStartOffset, clamped);
}

RoiOutcome SetOutWidth(const RoiContext& context, RoiScene scene, int w)
{
    const int clamped = scene.out.ClampWidth(w);
    return SetOutField(context, std::move(scene), F::_outputActivePixels, clamped);
}

RoiOutcome SetOutHeight(const RoiContext& context, RoiScene scene, int h)
{
    const int clamped = scene.out.ClampHeight(h);
    return SetOutField(context, std::move(scene), F::_outputActiveLines, clamped);
}

RoiOutcome CenterIn(const RoiContext& context, RoiScene scene)
{
    return Centre(context, std::move(scene), MeasuredRaster(context.status), kInFields, ShowInRegion);
}

RoiOutcome CenterOut(const RoiContext& context, RoiScene scene)
{
    const QSize raster = OutRaster(scene.block);
    return Centre(context, std::move(scene), raster, kOutFields, ShowOutRegion);
}

RoiOutcome SelectAllIn(const RoiContext& context, RoiScene scene)
{
    RoiOutcome o{std::move(scene), {}};
    const QSize raster = MeasuredRaster(context.status);
    QRect roi(QPoint(0, 0), raster);
    if (o.scene.in.ConstraintMode() == ProxyGeometry::kFixedAspect) {
        int cw = 0, ch = 0;
        o.scene.in.GetConstraint(&cw, &ch);
        QRect fitted;
        FitRectToAspect(cw, ch, raster.width(), raster.height(), &fitted);
        roi = QRect(fitted.left(), fitted.top(), fitted.right() - fitted.left() + 1, fitted.bottom() - fitted.top() + 1);
    }
    PutInRegion(o.scene.block, roi.x(), roi.y(), roi.width(), roi.height());
    o.Send(true, true);
    ShowInRegion(context.model, o.scene);
    Fit(context, o, StoredFit(context, o.scene), false);
    o.Add(RoiAction::RestartTimer);
    return o;
}

RoiOutcome SetOutputFormat(const RoiContext& context, RoiScene scene, int index)
{
    const RasterFormat* row = RasterFormatAt(index);
    if (!context.connected || !row)
        return Unchanged(std::move(scene));
    RoiOutcome o{std::move(scene), {}};
    BlockImage& block = o.scene.block;
    block.Set(F::_sdiOutVideoCtrl, row->rateCode | row->formatCode << 4);
    const QSize raster(row->width, row->height);

    ConstrainStored(context, o, int(Stored(context, o.scene, Param::CfgInMode)), false);

    const int fit = StoredFit(context, o.scene);
    const QRect source = fit == kVariable ? OutRegion(block) : InRegion(block);
    QRect out = OutRegion(block);
    OutputMapping(fit, source.x(), source.y(), source.width(), source.height(), MeasuredRaster(context.status),
                  raster, out);
    PutOutRegion(block, out.left(), out.top(), out.right() - out.left() + 1, out.bottom() - out.top() + 1);
    o.Send(context.model.outputFormatStreams, true);

    o.scene.out.SetSourceSize(raster.width(), raster.height());
    ShowOutRegion(context.model, o.scene);
    o.Add(RoiAction::DelayAvailability);
    o.Add(RoiAction::Readback);
    o.Add(RoiAction::RestartTimer);
    return o;
}

RoiOutcome SetInRegionText(const RoiContext& context, RoiScene scene, const QString& text)
{
    if (!context.connected || scene.in.ConstraintMode() != ProxyGeometry::kFree)
        return Unchanged(std::move(scene));
    int x = 0, y = 0, w = 0, h = 0;
    if (!ReadRegion(text, x, y, w, h))
        return Unchanged(std::move(scene));
    RoiOutcome o{std::move(scene), {}};
    o.scene.in.ClipRoi(&x, &y, &w, &h);
    PutInRegion(o.scene.block, x, y, w, h);
    o.Send(true, false);
    ShowInRegion(context.model, o.scene);
    PutS(o.scene.values, context.model.Id(Param::InScreenProxy),
         ScreenProxyText(o.scene.values, context.model.idBase, 0));
    o.Add(RoiAction::RestartTimer);
    return o;
}

RoiOutcome SetOutRegionText(const RoiContext& context, RoiScene scene, const QString& text)
{
    if (!context.connected || StoredFit(context, scene) != kVariable)
        return Unchanged(std::move(scene));
    int x = 0, y = 0, w = 0, h = 0;
    if (!ReadRegion(text, x, y, w, h))
        return Unchanged(std::move(scene));
    RoiOutcome o{std::move(scene), {}};
    o.scene.out.ClipRoi(&x, &y, &w, &h);
    if (QRect(x, y, w, h) == OutRegion(o.scene.block)) {
        o.Add(RoiAction::RestartTimer);
        return o;
    }
    PutOutRegion(o.scene.block, x, y, w, h);
    o.Send(true, false);
    ShowOutRegion(context.model, o.scene);
    PutS(o.scene.values, context.model.Id(Param::OutScreenProxy),
         ScreenProxyText(o.scene.values, context.model.idBase, 1));
    o.Add(RoiAction::RestartTimer);
    return o;
}

} // namespace roiscaler
