#include "roiscaler/decisions/statuspass.h"

#include "roiscaler/decisions/bindings.h"
#include "roiscaler/decisions/blockvalues.h"
#include "roiscaler/decisions/geometry.h"
#include "roiscaler/values/statusbits.h"

namespace roiscaler {

bool StatusWaits(const RoiContext& context, const RoiScene& scene)
{
    return context.model.statusWaitsForInput && scene.memory.syncCountdown > 0 && !InputMeasured(scene.block);
}

StatusSample SampleStatus(const RoiContext& context, const RoiScene& scene)
{
    StatusSample sample;
    sample.inputPresent = IsSet(context.status, status::kInputPresent);
    sample.measured = MeasuredInputFormat(context.status);
    sample.set = SetInputFormat(context.status);
    sample.matches = IsSet(context.status, status::kFormatMatches);
    sample.unchanged = scene.memory.lastInSize == sample.measured;
    return sample;
}

RoiOutcome WatchInput(const RoiContext&, RoiScene scene, const StatusSample& sample, bool releaseWatches)
{
    RoiOutcome o(std::move(scene));
    if (!sample.inputPresent || !releaseWatches)
        return o;
    RoiMemory& memory = o.scene.memory;
    const bool stable = sample.unchanged || sample.matches || sample.measured == sample.set;
    if (stable) {
        if (!memory.inputChangeSeen) {
            memory.lastInSize = sample.set;
            memory.inputChangeSeen = true;
            o.Add(effect::Reread{3});
            o.Add(effect::RecordModes{});
        }
        return o;
    }
    if (!memory.paramChanged) {
        o.Add(effect::Reread{2});
    } else {
        memory.paramChanged = false;
        memory.lastInSize = sample.set;
        o.Add(effect::Reread{1});
        o.Add(effect::RecordModes{});
    }
    o.next = next::RevertToAuto{};
    return o;
}

RoiOutcome UpdateInput(const RoiContext& context, RoiScene scene, const StatusSample& sample)
{
    const RoiModel& model = context.model;
    RoiOutcome o(std::move(scene));
    ParamValues& values = o.scene.values;
    ProxyGeometry& in = o.scene.in;
    if (!sample.inputPresent) {
        PutS(values, model.Id(Param::ImageInEnabled), Tr(model, "Disconnected"));
        PutS(values, model.Id(Param::ImageInSize), QStringLiteral("0x0"));
        PutS(values, model.Id(Param::ImageInRoi), QStringLiteral("Sel: 0x0"));
        PutS(values, model.Id(Param::ImageInAudio), Tr(model, "No audio"));
        return o;
    }
    // The input as it was: nothing to refresh.
    const QSize raster = MeasuredRaster(context.status);
    const QString text = InputProtocolText(context.status, model.inputWord);
    if (QSize(in.SourceWidth(), in.SourceHeight()) == raster && in.IsEnabled()
        && values.value(model.Id(Param::ImageInEnabled)).toString() == text)
        return o;

    PutS(values, model.Id(Param::ImageInSize), QStringLiteral("%1x%2").arg(raster.width()).arg(raster.height()));
    PutU(values, model.Id(Param::CfgInScreenW), raster.width());
    PutU(values, model.Id(Param::CfgInScreenH), raster.height());
    in.SetSourceSize(raster.width(), raster.height());

    // Back in the recorded format but not the set one: after a reread the
    // recorded selection returns, or after a client's change the fit
    // reverts; else the stored ones apply again. The input's texts follow.
    if (!sample.matches && sample.measured != sample.set && sample.unchanged) {
        RoiMemory& memory = o.scene.memory;
        if (!memory.paramChanged) {
            o.Add(effect::Reread{5});
            o.next = next::RestoreInput{raster.width(), raster.height()};
        } else {
            memory.lastInSize = sample.set;
            memory.paramChanged = false;
            o.Add(effect::Reread{4});
            o.Add(effect::RecordModes{});
            o.next = next::RevertInput{};
        }
    } else {
        o.next = next::ReapplyInput{};
    }
    return o;
}

RoiOutcome FinishInput(const RoiContext& context, RoiOutcome step)
{
    step.Add(effect::InputTexts{});
    if (context.model.Has(Param::EDIDNameStr))
        step.Add(effect::ReadEdidName{});
    return step;
}

void PutInputTexts(const RoiContext& context, ParamValues& values)
{
    const RoiModel& model = context.model;
    const UByte* image = context.status;
    const bool sync = model.rateAlarms && IsSet(image, status::kSyncMode);
    const bool exceeds = model.rateAlarms && IsSet(image, status::kRateExceeds);
    PutS(values, model.Id(Param::ImageInEnabled),
         sync ? Tr(model, "Sync mode") : exceeds ? Tr(model, "Exceeds max rate")
                                                  : InputProtocolText(image, model.inputWord));
    // DVI signalling carries no audio.
    const bool audio = model.audioPresentInByte59 ? IsSet(image, status::kAudioPresent)
                                                  : !IsSet(image, status::kDviSignalling);
    PutS(values, model.Id(Param::ImageInAudio),
         !audio ? Tr(model, "No audio")
                : IsSet(image, status::kTwoChannelAudio) ? Tr(model, "Audio 2Ch") : Tr(model, "Audio 8Ch"));
}

RoiOutcome PublishPass(const RoiContext& context, RoiScene scene, const StatusSample& sample,
                       bool inputProxyEnabled)
{
    RoiOutcome o(std::move(scene));
    PublishStatus(context, o.scene.block, o.scene.values);
    if (sample.inputPresent != inputProxyEnabled) {
        o.scene.in.SetEnabled(sample.inputPresent);
        if (context.model.outputProxyFollowsInput)
            o.scene.out.SetEnabled(sample.inputPresent);
    }
    return o;
}

RoiOutcome RevertToAuto(const RoiContext& context, RoiScene scene)
{
    RoiOutcome o(std::move(scene));
    o.Add(effect::Debug{QStringLiteral("Revert to auto mode")});
    PutU(o.scene.values, context.model.Id(Param::CfgOutMode), quint32(0));
    if (context.connected)
        o.Then(SelectFit(context, o.scene, 0, false));
    if (context.model.rewritesAfterRevert)
        o.Send(false, true);
    return o;
}

RoiOutcome RestoreInput(const RoiContext& context, RoiScene scene, int width, int height)
{
    const RoiModel& model = context.model;
    RoiOutcome o(std::move(scene));
    const RoiMemory& memory = o.scene.memory;
    const int selection = memory.lastInMode[0];
    const int aspect = memory.lastInMode[1];
    const int size = memory.lastInMode[2];
    const int fit = memory.lastOutMode;
    PutInRegion(o.scene.block, 0, 0, width, height);
    PutU(o.scene.values, model.Id(Param::CfgInMode), selection);
    if (model.oneIndexSelection) {
        if (context.connected)
            o.Then(SelectConstraintIndex(context, o.scene, selection, true));
    } else {
        PutU(o.scene.values, model.Id(Param::CfgInFixedAspectMode), aspect);
        PutU(o.scene.values, model.Id(Param::CfgInFixedSizeMode), size);
        if (context.connected)
            o.Then(SelectConstraints(context, o.scene, selection, aspect, size, true));
    }
    if (model.rewritesAfterRevert)
        o.Send(false, true);
    PutU(o.scene.values, model.Id(Param::CfgOutMode), fit);
    if (context.connected)
        o.Then(SelectFit(context, o.scene, fit, true));
    if (model.rewritesAfterRevert)
        o.Send(false, true);
    return o;
}

RoiOutcome ReapplyInput(const RoiContext& context, RoiScene scene)
{
    RoiOutcome o(std::move(scene));
    if (!context.connected)
        return o;
    const RoiModel& model = context.model;
    o.Then(ReapplyConstraint(context, o.scene, int(ValueU(o.scene.values, model.Id(Param::CfgInMode))), false));
    o.Then(SelectFit(context, o.scene, int(ValueU(o.scene.values, model.Id(Param::CfgOutMode))), false));
    return o;
}

} // namespace roiscaler
