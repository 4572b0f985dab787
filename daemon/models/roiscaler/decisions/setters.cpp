// The coordinate setters, centring, select-all, the output format and the
// region texts, and how the regions are shown.
#include "roiscaler/decisions/geometry.h"

#include <algorithm>

#include "roiscaler/decisions/blockvalues.h"
#include "roiscaler/decisions/geometry_steps.h"
#include "roiscaler/values/mapping.h"
#include "roiscaler/values/regiontext.h"
#include "roiscaler/values/tables.h"

namespace roiscaler {

using namespace steps;

namespace {

using F = RoiField;

RoiOutcome Unchanged(RoiScene scene)
{
    return RoiOutcome(std::move(scene));
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
    RoiOutcome o(std::move(scene));
    o.scene.block.Set(field, value);
    o.Send(true, true);
    ShowInRegion(context.model, o.scene);
    if (refits)
        Fit(context, o, StoredFit(context, o.scene), false);
    o.Add(effect::RestartTimer{});
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
    RoiOutcome o(std::move(scene));
    o.scene.block.Set(field, value);
    o.Send(context.model.outputSettersStream, true);
    Fit(context, o, StoredFit(context, o.scene), false);
    o.Add(effect::RestartTimer{});
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
    RoiOutcome o(std::move(scene));
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
    o.Add(effect::RestartTimer{});
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
    RoiOutcome o(std::move(scene));
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
    o.Add(effect::RestartTimer{});
    return o;
}

RoiOutcome SetOutputFormat(const RoiContext& context, RoiScene scene, int index)
{
    const RasterFormat* row = RasterFormatAt(index);
    if (!context.connected || !row)
        return Unchanged(std::move(scene));
    RoiOutcome o(std::move(scene));
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
    o.Add(effect::DelayAvailability{});
    o.Add(effect::Readback{});
    o.Add(effect::RestartTimer{});
    return o;
}

RoiOutcome SetInRegionText(const RoiContext& context, RoiScene scene, const QString& text)
{
    if (!context.connected || scene.in.ConstraintMode() != ProxyGeometry::kFree)
        return Unchanged(std::move(scene));
    int x = 0, y = 0, w = 0, h = 0;
    if (!ReadRegion(text, x, y, w, h))
        return Unchanged(std::move(scene));
    RoiOutcome o(std::move(scene));
    o.scene.in.ClipRoi(&x, &y, &w, &h);
    PutInRegion(o.scene.block, x, y, w, h);
    o.Send(true, false);
    ShowInRegion(context.model, o.scene);
    PutS(o.scene.values, context.model.Id(Param::InScreenProxy),
         ScreenProxyText(o.scene.values, context.model.idBase, 0));
    o.Add(effect::RestartTimer{});
    return o;
}

RoiOutcome SetOutRegionText(const RoiContext& context, RoiScene scene, const QString& text)
{
    if (!context.connected || StoredFit(context, scene) != kVariable)
        return Unchanged(std::move(scene));
    int x = 0, y = 0, w = 0, h = 0;
    if (!ReadRegion(text, x, y, w, h))
        return Unchanged(std::move(scene));
    RoiOutcome o(std::move(scene));
    o.scene.out.ClipRoi(&x, &y, &w, &h);
    if (QRect(x, y, w, h) == OutRegion(o.scene.block)) {
        o.Add(effect::RestartTimer{});
        return o;
    }
    PutOutRegion(o.scene.block, x, y, w, h);
    o.Send(true, false);
    ShowOutRegion(context.model, o.scene);
    PutS(o.scene.values, context.model.Id(Param::OutScreenProxy),
         ScreenProxyText(o.scene.values, context.model.idBase, 1));
    o.Add(effect::RestartTimer{});
    return o;
}

} // namespace roiscaler
