#include "roiscaler/decisions/readback.h"

#include "roiscaler/decisions/bindings.h"
#include "roiscaler/decisions/blockvalues.h"
#include "roiscaler/decisions/geometry.h"
#include "roiscaler/decisions/settings.h"
#include "roiscaler/values/statusbits.h"
#include "roiscaler/values/tables.h"

namespace roiscaler {

namespace {

using F = RoiField;

// Written when the stored value differs or force is set; true when written.
bool PutChanged(ParamValues& values, quint32 id, quint32 value, bool force)
{
    if (!force && ValueU(values, id) == value)
        return false;
    PutU(values, id, value);
    return true;
}

void PutTextChanged(ParamValues& values, quint32 id, const QString& text)
{
    if (values.value(id).toString() != text)
        PutS(values, id, text);
}

// The published output format follows the block's codes; an unchanged one
// shows the output window again.
void ReadOutputFormat(const RoiContext& context, RoiScene& scene)
{
    const int index = FindRasterFormat(OutputFormatCode(scene.block), OutputRateCode(scene.block));
    const quint32 id = context.model.Id(Param::OutRoiFormat);
    if (index < 0)
        return;
    if (ValueU(scene.values, id) != quint32(index))
        PutU(scene.values, id, index);
    else
        ShowOutRegion(context.model, scene);
}

// The input selection from the device code; when it changed (or force),
// the input raster and region are shown again.
void ReadInputMode(const RoiContext& context, RoiScene& scene, bool modesValid, bool force)
{
    const RoiModel& model = context.model;
    const int code = scene.block[F::_swStateSelect] & 0x0F;
    bool written = false;
    if (model.oneIndexSelection) {
        written = PutChanged(scene.values, model.Id(Param::CfgInMode), modesValid ? code : 0, force);
    } else {
        const InputMode mode = DecodeInputMode(code);
        written = PutChanged(scene.values, model.Id(Param::CfgInMode), mode.selection, force);
        if (mode.selection == kFixedAspect)
            written |= PutChanged(scene.values, model.Id(Param::CfgInFixedAspectMode), mode.aspect, false);
        if (mode.selection == kFixedSize)
            written |= PutChanged(scene.values, model.Id(Param::CfgInFixedSizeMode), mode.size, false);
    }
    if (!written && !force)
        return;
    const InputFormat set = SetInputFormat(context.status);
    scene.memory.lastInSize = set;
    PutU(scene.values, model.Id(Param::CfgInScreenW), set.width);
    PutU(scene.values, model.Id(Param::CfgInScreenH), set.height);
    scene.in.SetSourceSize(set.width, set.height);
    ShowInRegion(model, scene);
}

// The delays past the output format's limits, to be cut; none when both
// fit.
std::optional<RoiNext> DelaysToCut(const BlockImage& block)
{
    int hDelay = 0, vDelay = 0;
    if (!DelaysToClamp(block, hDelay, vDelay))
        return std::nullopt;
    return RoiNext(next::ClampDelays{hDelay, vDelay});
}

} // namespace

void PutIdentity(const RoiContext& context, const RoiIdentity& identity, RoiOutcome& outcome)
{
    const RoiModel& model = context.model;
    ParamValues& values = outcome.scene.values;
    if (!context.connected) {
        const QString unknown = Tr(model, "Unknown");
        for (Param p : {Param::VoruZevezoZerazi, Param::FpgaVersion, Param::DuviRuravodIvoduri, Param::ModuleName,
                        Param::ModuleType, Param::ModuleAssemblyBd})
            PutS(values, model.Id(p), unknown);
        return;
    }
    PutS(values, model.Id(Param::FpgaVersion), identity.fpgaVersion);
    PutS(values, model.Id(Param::DuviRuravodIvoduri), identity.releaseVersion);
    PutS(values, model.Id(Param::VoruZevezoZerazi), identity.serialNumber);
    PutInfoTab(context, identity, outcome);
}

void PutInfoTab(const RoiContext& context, const RoiIdentity& identity, RoiOutcome& outcome)
{
    const RoiModel& model = context.model;
    ParamValues& values = outcome.scene.values;
    if (model.logsInfoTab)
        outcome.Add(effect::DebugNamed{QStringLiteral(" UpdateHestraInfoTab name"), identity.moduleName});
    PutTextChanged(values, model.Id(Param::ModuleName), identity.moduleName);
    PutTextChanged(values, model.Id(Param::ModuleType), identity.moduleTypeName);
    PutTextChanged(values, model.Id(Param::ModuleAssemblyBd), identity.boardAssembly);
}

RoiOutcome Readback(const RoiContext& context, RoiScene scene, LinkState link)
{
    const RoiModel& model = context.model;
    RoiOutcome o(std::move(scene));
    RoiMemory& memory = o.scene.memory;
    BlockImage& block = o.scene.block;
    ParamValues& values = o.scene.values;

    bool force = false;
    if (!InputMeasured(block) && memory.syncCountdown > 0) {
        if (!link.busy) {
            --memory.syncCountdown;
            o.Add(effect::StartTimerIfIdle{});
            return o;
        }
    } else if (!memory.inputSynced && !link.busy) {
        force = true;
        memory.inputSynced = true;
    }

    o.Add(effect::PublishIdentity{});
    if (!context.connected || !link.linkUp || link.busy)
        return o;

    if (force) {
        memory.inputChangeSeen = false;
        block.Set(F::_roiCtrl, block[F::_roiCtrl] | kForcedRoiCtrlBits);
    }

    ReadOutputFormat(context, o.scene);
    const QSize outRaster = OutRaster(block);
    o.scene.out.SetSourceSize(outRaster.width(), outRaster.height());

    // The modes count only while the input matches, on the models that say so.
    const bool modesValid = !model.modesNeedMatchingInput || IsSet(context.status, status::kFormatMatches);
    ReadInputMode(context, o.scene, modesValid, force);

    const int fit = modesValid ? (block[F::_swStateSelect] >> 4) & 0x0F : 0;
    const bool refit = PutChanged(values, model.Id(Param::CfgOutMode), quint32(fit), force) && context.connected;

    PublishReadback(context, block, values, force);

    // Once the identity is published: the fit read back, then the delays
    // past the output format's limits cut.
    o.next = refit ? RoiNext(next::Fit{fit}) : DelaysToCut(block);
    return o;
}

RoiOutcome FitReadBack(const RoiContext& context, RoiScene scene, int fit)
{
    RoiOutcome o = SelectFit(context, std::move(scene), fit, false);
    o.next = DelaysToCut(o.scene.block);
    return o;
}

RoiOutcome ClampDelays(const RoiContext& context, RoiScene scene, int hDelay, int vDelay)
{
    RoiOutcome o = SetHorizontalDelay(context, std::move(scene), hDelay);
    o.Then(SetVerticalDelay(context, o.scene, vDelay));
    return o;
}

void RecordModes(const RoiModel& model, const BlockImage& block, RoiMemory& memory)
{
    const int swState = block[F::_swStateSelect];
    memory.lastOutMode = (swState >> 4) & 0x0F;
    if (model.oneIndexSelection) {
        memory.lastInMode[0] = swState & 0x0F;
        memory.lastInMode[1] = 0;
        memory.lastInMode[2] = 0;
        return;
    }
    const InputMode mode = DecodeInputMode(swState & 0x0F);
    memory.lastInMode[0] = int(mode.selection);
    memory.lastInMode[1] = int(mode.aspect);
    memory.lastInMode[2] = int(mode.size);
}

} // namespace roiscaler
