#include "roiscaler/decisions/bindings.h"

#include "roiscaler/values/colorspace.h"
#include "roiscaler/decisions/geometry.h"
#include "roiscaler/values/tables.h"
#include "roiscaler/values/regiontext.h"
#include "roiscaler/decisions/blockvalues.h"
#include "roiscaler/decisions/settings.h"
#include "roiscaler/values/statusbits.h"

namespace roiscaler {

namespace {

using F = RoiField;
using V = BindingView;

// Label colours.
enum : quint32 { kRed = 0, kBlue = 1, kBlack = 2 };

// The degree sign as UTF-8, one byte per character, as the store sends
// texts on.
const char kDegreeSign[] = "\xC2\xB0";
const char* const kAngles[] = {"0", "90", "180", "270"};

int U(const QVariant& v)
{
    return int(v.toUInt());
}

const RoiModel& M(const V& v)
{
    return v.context.model;
}

QString Text(const V& v, const char* text)
{
    return Tr(M(v), text);
}

bool ProcLimit(const V& v)
{
    return v.block[F::_procLimit] != 0;
}

// The genlock state of the model's status byte.
int GenlockState(const V& v)
{
    return M(v).genlockStateInByte20 ? Read(v.context.status, status::kGenlockStateMardex)
                                     : Read(v.context.status, status::kGenlockState);
}

int GenlockSource(const BlockImage& block)
{
    return (block[F::_genLockCtrl] >> 1) & 0x03;
}

// The delays are blocked by the lock state (to the input, free run) or by
// the source (the input, free run).
bool SourceBlocksDelays(const BlockImage& block)
{
    return (block[F::_genLockCtrl] & 0x02) != 0;
}

bool DelaysBlocked(const V& v)
{
    const int lock = Read(v.context.status, status::kGenlockState);
    return lock == 1 || lock == 3 || SourceBlocksDelays(v.block);
}

// ---- getters

QVariant OutScreenW(const V& v) { return quint32(OutRaster(v.block).width()); }
QVariant OutScreenH(const V& v) { return quint32(OutRaster(v.block).height()); }
QVariant InRegionText(const V& v) { return ScreenProxyText(v.values, M(v).idBase, 0); }
QVariant OutRegionText(const V& v) { return ScreenProxyText(v.values, M(v).idBase, 1); }
QVariant EdgeFiltering(const V& v) { return !v.block[F::_sharpBlanking]; }
QVariant FlickerFiltering(const V& v) { return v.block[F::_flickerFiltering] != 0; }
QVariant Genlock(const V& v) { return quint32(GenlockSource(v.block)); }
QVariant HDelay(const V& v) { return quint32(v.block[F::_horizontalDelay]); }
QVariant VDelay(const V& v) { return quint32(v.block[F::_verticalDelay]); }
QVariant RgbRange(const V& v) { return v.block[F::_isSmpte] ? 1u : 0u; }
QVariant AudioInput(const V& v) { return quint32(AudioSelection(v.block, v.context.connected)); }
QVariant AnalogMap(const V& v) { return quint32((v.block[F::_audioControl] >> 3) & 0x03); }
QVariant AudioConversion(const V& v) { return quint32((v.block[F::_audioControl] >> 1) & 0x01); }

// "Disabled" while the input is in sync mode or over the rate (models that
// report both), else the name of the published output format.
QVariant SdiOutFormat(const V& v)
{
    if (M(v).rateAlarms
        && (IsSet(v.context.status, status::kRateExceeds) || IsSet(v.context.status, status::kSyncMode)))
        return Text(v, "Disabled");
    const RasterFormat* row = RasterFormatAt(int(ValueU(v.values, M(v).Id(Param::OutRoiFormat))));
    return row ? QVariant(QString::fromLatin1(row->name)) : QVariant();
}

QVariant SdiOutGenLock(const V& v)
{
    switch (GenlockState(v)) {
    case 2:
        return Text(v, "Lock RefIn");
    case 3:
        return Text(v, "Free Run");
    case 1:
        if (!M(v).genlockStateInByte20)
            return Text(v, "Lock HDMI");
        break;
    default:
        break;
    }
    return Text(v, "Locking");
}

QVariant GenlockStatus(const V& v)
{
    switch (GenlockState(v)) {
    case 2:
        return Text(v, "RefIn");
    case 3:
        return Text(v, "Free Run");
    case 1:
        if (!M(v).genlockStateInByte20)
            return Text(v, "HDMI");
        break;
    default:
        break;
    }
    return Text(v, "Locking");
}

// Red while not locked to the chosen source, blue for the automatic source.
QVariant GenlockLabelColor(const V& v)
{
    const int g = GenlockState(v);
    const int s = GenlockSource(v.block);
    if (g == 0 || (s == 2 && g != 2) || (!M(v).genlockStateInByte20 && s == 1 && g != 1))
        return quint32(kRed);
    return quint32(s == 0 ? kBlue : kBlack);
}

QVariant SdiOutAudio(const V& v)
{
    return Text(v, M(v).audioTexts[AudioSelection(v.block, v.context.connected) & 0x03]);
}

QVariant RefInput(const V& v)
{
    return RefInFormatText(v.context.status, IsSet(v.context.status, status::kReferencePresent));
}

QVariant RefValid(const V& v) { return IsSet(v.context.status, status::kReferencePresent); }
QVariant InConnected(const V& v) { return IsSet(v.context.status, status::kInputPresent); }
QVariant OutConnected(const V& v) { return !IsSet(v.context.status, status::kOutputDisconnected); }

QVariant OutEnabled(const V& v)
{
    return IsSet(v.context.status, status::kOutputDisconnected) ? Text(v, "Disconnected")
                                                                 : Text(v, M(v).outConnectedText);
}

QVariant DelayShow(const V& v)
{
    if (!v.context.connected)
        return QVariant();
    return !SourceBlocksDelays(v.block);
}

QVariant DelayEnable(const V& v)
{
    if (!v.context.connected)
        return QVariant();
    return !DelaysBlocked(v);
}

QVariant RefAlarm(const V& v)
{
    if (!v.context.connected)
        return QVariant();
    if (!IsSet(v.context.status, status::kReferencePresent))
        return Text(v, "No reference present");
    return DelaysBlocked(v) ? Text(v, "Reference is incompatible with the Output Format") : QString();
}

QVariant HDelayMax(const V& v)
{
    int hMax = -1, vMax = -1;
    return DelayMax(v.block, hMax, vMax) ? QVariant(quint32(hMax)) : QVariant();
}

QVariant VDelayMax(const V& v)
{
    int hMax = -1, vMax = -1;
    return DelayMax(v.block, hMax, vMax) ? QVariant(quint32(vMax)) : QVariant();
}

QVariant BackgroundColor(const V& v)
{
    QString text;
    YCbCrToColorText(text, unsigned(v.block[F::_backColorY]), unsigned(v.block[F::_backColorCb]),
                     unsigned(v.block[F::_backColorCr]), IsHdOutput(v.block));
    return text.isEmpty() ? QVariant() : QVariant(text);
}

QVariant Rotation(const V& v) { return RotationValue(v.block); }

QVariant RotationStatus(const V& v)
{
    return Text(v, kAngles[ProcLimit(v) ? 0 : RotationValue(v.block)]) + QString::fromLatin1(kDegreeSign);
}

QVariant RotationColor(const V& v)
{
    return quint32(ProcLimit(v) && RotationValue(v.block) != 0 ? kRed : kBlack);
}

QVariant FrameDelayChoice(const V& v) { return (v.block[F::_swStateSelect2] & kFrameDelayChoice) != 0; }

QVariant FrameDelayText(const V& v)
{
    return !ProcLimit(v) && FrameDelayInEffect(v.block) ? Text(v, "Frame Delay: On") : Text(v, "Frame Delay: Off");
}

// Under the processing limit a label turns red where the choice is held
// back.
QVariant FrameDelayColor(const V& v)
{
    return quint32(ProcLimit(v) && (v.block[F::_swStateSelect2] & kFrameDelayChoice) ? kRed : kBlack);
}

QVariant HFlip(const V& v) { return ShownFlip(v.block, F::_horizontalFlip); }
QVariant VFlip(const V& v) { return ShownFlip(v.block, F::_verticalFlip); }

QVariant HFlipColor(const V& v)
{
    return quint32(ProcLimit(v) && ShownFlip(v.block, F::_horizontalFlip) ? kRed : kBlack);
}

QVariant VFlipColor(const V& v)
{
    return quint32(ProcLimit(v) && ShownFlip(v.block, F::_verticalFlip) ? kRed : kBlack);
}

QVariant ProcLimitDisplay(const V& v) { return ProcLimit(v) ? 1u : 0u; }
QVariant FrameDelay(const V& v) { return FrameDelayInEffect(v.block); }

// ---- setters

typedef const RoiContext& C;
typedef const QVariant& Q;

RoiOutcome Act(C c, RoiScene s, Q v)
{
    switch (v.toUInt()) {
    case 1:
        return SelectAllIn(c, std::move(s));
    case 2:
        return CenterIn(c, std::move(s));
    case 3:
        return CenterOut(c, std::move(s));
    default:
        return RoiOutcome(std::move(s));
    }
}

constexpr Rule N = Rule::Never;
constexpr Rule A = Rule::Always;
constexpr Rule Ch = Rule::Changed;
constexpr Rule CF = Rule::ChangedOrForced;

// A parameter only published by logic of its own, or not at all.
constexpr Binding Shown(Param p, Kind kind)
{
    return Binding{p, kind, nullptr, nullptr, N, N, After::Reread};
}

// clang-format off
const Binding kBindings[] = {
    Shown(Param::FpgaVersion, Kind::S),
    Shown(Param::DuviRuravodIvoduri, Kind::S),
    Shown(Param::VoruZevezoZerazi, Kind::S),
    {Param::CfgInMode, Kind::U, [](C c, RoiScene s, Q v) { return SelectConstraint(c, std::move(s), U(v)); }, nullptr, N, N, After::Reread, true, 0},
    {Param::CfgInX, Kind::U, [](C c, RoiScene s, Q v) { return SetInX(c, std::move(s), U(v)); }, nullptr, N, N, After::Reread, true, 440},
    {Param::CfgInY, Kind::U, [](C c, RoiScene s, Q v) { return SetInY(c, std::move(s), U(v)); }, nullptr, N, N, After::Reread, true, 360},
    {Param::CfgInW, Kind::U, [](C c, RoiScene s, Q v) { return SetInWidth(c, std::move(s), U(v)); }, nullptr, N, N, After::Reread, true, 720},
    {Param::CfgInH, Kind::U, [](C c, RoiScene s, Q v) { return SetInHeight(c, std::move(s), U(v)); }, nullptr, N, N, After::Reread, true, 480},
    {Param::CfgInScreenW, Kind::U, nullptr, nullptr, N, N, After::Reread, true, 1920},
    {Param::CfgInScreenH, Kind::U, nullptr, nullptr, N, N, After::Reread, true, 1200},
    {Param::CfgOutMode, Kind::U, [](C c, RoiScene s, Q v) { return SelectFit(c, std::move(s), U(v), true); }, nullptr, N, N, After::Reread, true, 0},
    {Param::CfgOutX, Kind::U, [](C c, RoiScene s, Q v) { return SetOutX(c, std::move(s), U(v)); }, nullptr, N, N, After::Reread, true, 240},
    {Param::CfgOutY, Kind::U, [](C c, RoiScene s, Q v) { return SetOutY(c, std::move(s), U(v)); }, nullptr, N, N, After::Reread, true, 0},
    {Param::CfgOutW, Kind::U, [](C c, RoiScene s, Q v) { return SetOutWidth(c, std::move(s), U(v)); }, nullptr, N, N, After::Reread, true, 1440},
    {Param::CfgOutH, Kind::U, [](C c, RoiScene s, Q v) { return SetOutHeight(c, std::move(s), U(v)); }, nullptr, N, N, After::Reread, true, 1080},
    {Param::CfgOutScreenW, Kind::U, nullptr, OutScreenW, A, N, After::Reread, true, 1920},
    {Param::CfgOutScreenH, Kind::U, nullptr, OutScreenH, A, N, After::Reread, true, 1200},
    {Param::InScreenProxy, Kind::S, [](C c, RoiScene s, Q v) { return SetInRegionText(c, std::move(s), v.toString()); }, InRegionText, N, A, After::Publish},
    {Param::OutScreenProxy, Kind::S, [](C c, RoiScene s, Q v) { return SetOutRegionText(c, std::move(s), v.toString()); }, OutRegionText, N, A, After::Publish},
    {Param::OutRoiFormat, Kind::U, [](C c, RoiScene s, Q v) { return SetOutputFormat(c, std::move(s), U(v)); }, nullptr, N, N, After::Reread, true, 0},
    {Param::OutEdgeFiltering, Kind::B, [](C c, RoiScene s, Q v) { return SetEdgeFiltering(c, std::move(s), v.toBool()); }, EdgeFiltering, CF, N, After::Reread, true, 1},
    {Param::OutFlickerFiltering, Kind::B, [](C c, RoiScene s, Q v) { return SetFlickerFiltering(c, std::move(s), v.toBool()); }, FlickerFiltering, CF, N, After::Reread, true, 0},
    {Param::Genlock, Kind::U, [](C c, RoiScene s, Q v) { return SetGenlockSource(c, std::move(s), U(v)); }, Genlock, CF, N, After::Reread, true, 0},
    {Param::GenHDelay, Kind::U, [](C c, RoiScene s, Q v) { return SetHorizontalDelay(c, std::move(s), U(v)); }, HDelay, CF, N, After::Reread},
    {Param::GenVDelay, Kind::U, [](C c, RoiScene s, Q v) { return SetVerticalDelay(c, std::move(s), U(v)); }, VDelay, CF, N, After::Reread},
    {Param::InRgbRange, Kind::U, [](C c, RoiScene s, Q v) { return SetSmpteRange(c, std::move(s), U(v)); }, RgbRange, CF, N, After::Reread, true, 0},
    {Param::AudInSelect, Kind::U, [](C c, RoiScene s, Q v) { return SetAudio(c, std::move(s), U(v)); }, AudioInput, CF, N, After::Reread, true, 0},
    {Param::AudAnalogOutMap, Kind::U, [](C c, RoiScene s, Q v) { return SetAnalogMap(c, std::move(s), U(v)); }, AnalogMap, CF, N, After::Reread, true, 0},
    {Param::ImageSdiOutFormat, Kind::S, nullptr, SdiOutFormat, A, N, After::Reread},
    {Param::ImageSdiOutGenLock, Kind::S, nullptr, SdiOutGenLock, N, A, After::Reread},
    Shown(Param::ImageSdiOutFit, Kind::S),
    {Param::ImageSdiOutAudio, Kind::S, nullptr, SdiOutAudio, N, A, After::Reread},
    {Param::RoiAction, Kind::U, Act, nullptr, N, N, After::Reread, true, 0},
    {Param::RefImageInputStatus, Kind::S, nullptr, RefInput, N, A, After::Reread},
    {Param::RefInValidColorState, Kind::B, nullptr, RefValid, N, A, After::Reread},
    {Param::GenlockStatusStr, Kind::S, nullptr, GenlockStatus, N, A, After::Reread},
    {Param::GenlockLabelColor, Kind::U, nullptr, GenlockLabelColor, N, A, After::Reread},
    {Param::GenDelayShow, Kind::B, nullptr, DelayShow, A, A, After::Reread},
    {Param::GenlockRefAlarmStr, Kind::S, nullptr, RefAlarm, Ch, Ch, After::Reread},
    Shown(Param::OutScalingLabelColor, Kind::U),
    {Param::ModuleName, Kind::S, [](C c, RoiScene s, Q v) { return SetModuleName(c, std::move(s), v.toString()); }, nullptr, N, N, After::Reread},
    Shown(Param::ModuleType, Kind::S),
    Shown(Param::ModuleAssemblyBd, Kind::S),
    {Param::GenHDelayMax, Kind::U, nullptr, HDelayMax, CF, N, After::Reread},
    {Param::GenVDelayMax, Kind::U, nullptr, VDelayMax, CF, N, After::Reread},
    {Param::BackgroundColor, Kind::S, [](C c, RoiScene s, Q v) { return SetBackgroundColor(c, std::move(s), v.toString()); }, BackgroundColor, A, Ch, After::Reread},
    {Param::GenDelayEnable, Kind::B, nullptr, DelayEnable, A, A, After::Reread},
    {Param::AudConversion, Kind::U, [](C c, RoiScene s, Q v) { return SetAudioConversion(c, std::move(s), U(v)); }, AudioConversion, CF, N, After::Reread, true, 0},
    Shown(Param::ImageInEnabled, Kind::S),
    Shown(Param::ImageInSize, Kind::S),
    Shown(Param::ImageInRoi, Kind::S),
    Shown(Param::ImageInAudio, Kind::S),
    {Param::ImageOutEnabled, Kind::S, nullptr, OutEnabled, N, A, After::Reread},
    {Param::InConnected, Kind::B, nullptr, InConnected, N, A, After::Reread},
    {Param::OutConnected, Kind::B, nullptr, OutConnected, N, A, After::Reread},
    {Param::EDIDFlowThru, Kind::U, [](C c, RoiScene s, Q v) { return SetEdid(c, std::move(s), U(v)); }, nullptr, N, N, After::Reread},
    Shown(Param::EDIDNameStr, Kind::S),
    {Param::CfgInFixedAspectMode, Kind::U, [](C c, RoiScene s, Q v) { return SelectFixedAspect(c, std::move(s), U(v)); }, nullptr, N, N, After::Reread, true, 0},
    {Param::CfgInFixedSizeMode, Kind::U, [](C c, RoiScene s, Q v) { return SelectFixedSize(c, std::move(s), U(v)); }, nullptr, N, N, After::Reread, true, 0},
    {Param::CfgOutRotation, Kind::U, [](C c, RoiScene s, Q v) { return SetRotation(c, std::move(s), U(v)); }, Rotation, CF, A, After::Reread, true, 0},
    {Param::RotationStatusStr, Kind::S, nullptr, RotationStatus, N, A, After::Reread},
    {Param::RotationStatusColor, Kind::U, nullptr, RotationColor, N, A, After::Reread},
    {Param::OutFrameDelayCk, Kind::B, [](C c, RoiScene s, Q v) { return SetFrameDelay(c, std::move(s), U(v)); }, FrameDelayChoice, Ch, N, After::Reread, true, 0},
    {Param::ImageOutFrameDelay, Kind::S, nullptr, FrameDelayText, N, A, After::Reread},
    {Param::FrameDelayLabelColor, Kind::U, nullptr, FrameDelayColor, N, A, After::Reread},
    {Param::OutHorizFlipCk, Kind::B, [](C c, RoiScene s, Q v) { return SetHorizFlip(c, std::move(s), U(v)); }, HFlip, CF, N, After::Reread, true, 0},
    {Param::HorizFlipLabelColor, Kind::U, nullptr, HFlipColor, N, A, After::Reread},
    {Param::OutVertFlipCk, Kind::B, [](C c, RoiScene s, Q v) { return SetVertFlip(c, std::move(s), U(v)); }, VFlip, CF, N, After::Reread, true, 0},
    {Param::VertFlipLabelColor, Kind::U, nullptr, VFlipColor, N, A, After::Reread},
    {Param::ProcLimitDisplay, Kind::U, nullptr, ProcLimitDisplay, N, A, After::Reread},
    {Param::OutFrameDelay, Kind::B, nullptr, FrameDelay, Ch, Ch, After::Reread, true, 0},
};
// clang-format on

static_assert(sizeof kBindings / sizeof kBindings[0] == kParamCount, "a row per parameter");

bool Differs(Kind kind, const QVariant& stored, const QVariant& value)
{
    switch (kind) {
    case Kind::U:
        return stored.toUInt() != value.toUInt();
    case Kind::B:
        return stored.toBool() != value.toBool();
    case Kind::S:
        break;
    }
    return stored.toString() != value.toString();
}

void Put(Kind kind, ParamValues& values, quint32 id, const QVariant& value)
{
    switch (kind) {
    case Kind::U:
        PutU(values, id, value.toUInt());
        break;
    case Kind::B:
        PutB(values, id, value.toBool());
        break;
    case Kind::S:
        PutS(values, id, value.toString());
        break;
    }
}

// Writes the row's value under the rule.
void Publish(const Binding& row, Rule rule, const BindingView& view, ParamValues& values, bool force)
{
    const quint32 id = view.context.model.Id(row.param);
    if (id == 0 || !row.get || rule == Rule::Never)
        return;
    const QVariant value = row.get(view);
    if (!value.isValid())
        return;
    const bool changed = Differs(row.kind, values.value(id), value);
    if (rule == Rule::Always || changed || (rule == Rule::ChangedOrForced && force))
        Put(row.kind, values, id, value);
}

} // namespace

RowList<Binding> Bindings()
{
    return RowsOf(kBindings);
}

const Binding* FindBinding(Param p)
{
    for (const Binding& row : kBindings)
        if (row.param == p)
            return &row;
    return nullptr;
}

RoiOutcome Dispatch(const RoiContext& context, RoiScene scene, quint32 id, const QVariant& value)
{
    scene.memory.paramChanged = true;
    const Binding* row = FindBinding(context.model.ParamOf(id));
    RoiOutcome outcome = row && row->set ? row->set(context, std::move(scene), value) : RoiOutcome(std::move(scene));
    if (row && row->after == After::Publish)
        outcome.Add(effect::Publish{});
    else
        outcome.Add(effect::ReadConfig{});
    return outcome;
}

void PublishReadback(const RoiContext& context, const BlockImage& block, ParamValues& values, bool force)
{
    for (const Binding& row : kBindings) {
        const BindingView view{context, block, values};
        Publish(row, row.readback, view, values, force);
    }
}

void PublishStatus(const RoiContext& context, const BlockImage& block, ParamValues& values)
{
    for (const Binding& row : kBindings) {
        const BindingView view{context, block, values};
        Publish(row, row.status, view, values, false);
    }
}

void PublishReadback(const RoiContext& context, const BlockImage& block, ParamValues& values, bool force,
                     std::initializer_list<Param> params)
{
    for (Param p : params) {
        const Binding& row = *FindBinding(p);
        const BindingView view{context, block, values};
        Publish(row, row.readback, view, values, force);
    }
}

void PublishStatus(const RoiContext& context, const BlockImage& block, ParamValues& values,
                   std::initializer_list<Param> params)
{
    for (Param p : params) {
        const Binding& row = *FindBinding(p);
        const BindingView view{context, block, values};
        Publish(row, row.status, view, values, false);
    }
}

void PutDefaults(const RoiModel& model, ParamValues& values)
{
    for (const Binding& row : kBindings) {
        if (!row.hasDefault || !model.Has(row.param))
            continue;
        Put(row.kind, values, model.Id(row.param), row.kind == Kind::B ? QVariant(row.defaultValue != 0)
                                                                      : QVariant(row.defaultValue));
    }
}

void PutDelayAvailability(const RoiContext& context, const BlockImage& block, ParamValues& values)
{
    PublishReadback(context, block, values, false,
                    {Param::GenlockRefAlarmStr, Param::GenDelayEnable, Param::GenDelayShow});
}

} // namespace roiscaler
