#include "roiscaler/decisions/bindings.h"

#include <algorithm>

#include "roiscaler/decisions/blockvalues.h"
#include "roiscaler/decisions/geometry.h"
#include "roiscaler/decisions/settings.h"
#include "roiscaler/table/firstgeometry.h"
#include "roiscaler/values/colorspace.h"
#include "roiscaler/values/regiontext.h"
#include "roiscaler/values/statusbits.h"
#include "roiscaler/values/tables.h"

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

// The region actions: select all of the input, centre the input, centre
// the output.
RoiOutcome Act(C c, RoiScene s, int action)
{
    switch (action) {
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

// A client's fit applies the saved preferences.
RoiOutcome SelectClientFit(C c, RoiScene s, int fit)
{
    return SelectFit(c, std::move(s), fit, true);
}

// The value as a setter takes it, by the type it takes: numbers come
// unsigned.
template <typename T>
struct ValueAs;

template <>
struct ValueAs<int> {
    static int From(const QVariant& v) { return int(v.toUInt()); }
};

template <>
struct ValueAs<bool> {
    static bool From(const QVariant& v) { return v.toBool(); }
};

template <>
struct ValueAs<const QString&> {
    static QString From(const QVariant& v) { return v.toString(); }
};

template <typename Function>
struct SetterOf;

template <typename T>
struct SetterOf<RoiOutcome (*)(const RoiContext&, RoiScene, T)> {
    typedef T Value;
};

// A typed setter as a row's setter.
template <auto S>
RoiOutcome Adapt(const RoiContext& context, RoiScene scene, const QVariant& value)
{
    return S(context, std::move(scene), ValueAs<typename SetterOf<decltype(S)>::Value>::From(value));
}

// ---- rows

// A row under construction: its parameter and kind, then named parts; a
// part left out is none (no setter, no getter, never published, no
// default, reread after a change).
struct Row {
    Binding b;

    template <auto S>
    constexpr Row Sets() const
    {
        Row r = *this;
        r.b.set = Adapt<S>;
        return r;
    }
    constexpr Row Gets(Getter get) const
    {
        Row r = *this;
        r.b.get = get;
        return r;
    }
    constexpr Row Readback(Rule rule) const
    {
        Row r = *this;
        r.b.readback = rule;
        return r;
    }
    constexpr Row Status(Rule rule) const
    {
        Row r = *this;
        r.b.status = rule;
        return r;
    }
    // A change is published at once, without a reread.
    constexpr Row PublishesAtOnce() const
    {
        Row r = *this;
        r.b.after = After::Publish;
        return r;
    }
    constexpr Row In(Group group) const
    {
        Row r = *this;
        r.b.group = group;
        return r;
    }
    constexpr Row Default(quint32 value) const
    {
        Row r = *this;
        r.b.hasDefault = true;
        r.b.defaultValue = value;
        return r;
    }
    constexpr operator Binding() const { return b; }
};

constexpr Row NumberRow(Param p)
{
    return Row{Binding{p, Kind::U}};
}

constexpr Row FlagRow(Param p)
{
    return Row{Binding{p, Kind::B}};
}

constexpr Row TextRow(Param p)
{
    return Row{Binding{p, Kind::S}};
}

constexpr Rule Always = Rule::Always;
constexpr Rule Changed = Rule::Changed;
constexpr Rule ChangedOrForced = Rule::ChangedOrForced;

// Rows with neither setter nor getter are published by logic of their own,
// or not at all.
// clang-format off
constexpr Binding kBindings[] = {
    TextRow(Param::FpgaVersion),
    TextRow(Param::DuviRuravodIvoduri),
    TextRow(Param::VoruZevezoZerazi),
    NumberRow(Param::CfgInMode).Sets<SelectConstraint>().Default(0),
    NumberRow(Param::CfgInX).Sets<SetInX>().Default(first::kIn.x),
    NumberRow(Param::CfgInY).Sets<SetInY>().Default(first::kIn.y),
    NumberRow(Param::CfgInW).Sets<SetInWidth>().Default(first::kIn.w),
    NumberRow(Param::CfgInH).Sets<SetInHeight>().Default(first::kIn.h),
    NumberRow(Param::CfgInScreenW).Default(first::kScreenW),
    NumberRow(Param::CfgInScreenH).Default(first::kScreenH),
    NumberRow(Param::CfgOutMode).Sets<SelectClientFit>().Default(0),
    NumberRow(Param::CfgOutX).Sets<SetOutX>().Default(first::kOut.x),
    NumberRow(Param::CfgOutY).Sets<SetOutY>().Default(first::kOut.y),
    NumberRow(Param::CfgOutW).Sets<SetOutWidth>().Default(first::kOut.w),
    NumberRow(Param::CfgOutH).Sets<SetOutHeight>().Default(first::kOut.h),
    NumberRow(Param::CfgOutScreenW).Gets(OutScreenW).Readback(Always).Default(first::kScreenW),
    NumberRow(Param::CfgOutScreenH).Gets(OutScreenH).Readback(Always).Default(first::kScreenH),
    TextRow(Param::InScreenProxy).Sets<SetInRegionText>().Gets(InRegionText).Status(Always).PublishesAtOnce(),
    TextRow(Param::OutScreenProxy).Sets<SetOutRegionText>().Gets(OutRegionText).Status(Always).PublishesAtOnce(),
    NumberRow(Param::OutRoiFormat).Sets<SetOutputFormat>().Default(0),
    FlagRow(Param::OutEdgeFiltering).Sets<SetEdgeFiltering>().Gets(EdgeFiltering).Readback(ChangedOrForced)
        .In(Group::Genlock).Default(true),
    FlagRow(Param::OutFlickerFiltering).Sets<SetFlickerFiltering>().Gets(FlickerFiltering).Readback(ChangedOrForced)
        .In(Group::Genlock).Default(false),
    NumberRow(Param::Genlock).Sets<SetGenlockSource>().Gets(Genlock).Readback(ChangedOrForced)
        .In(Group::Genlock).Default(0),
    NumberRow(Param::GenHDelay).Sets<SetHorizontalDelay>().Gets(HDelay).Readback(ChangedOrForced)
        .In(Group::Genlock),
    NumberRow(Param::GenVDelay).Sets<SetVerticalDelay>().Gets(VDelay).Readback(ChangedOrForced)
        .In(Group::Genlock),
    NumberRow(Param::InRgbRange).Sets<SetSmpteRange>().Gets(RgbRange).Readback(ChangedOrForced).Default(0),
    NumberRow(Param::AudInSelect).Sets<SetAudio>().Gets(AudioInput).Readback(ChangedOrForced)
        .In(Group::Audio).Default(0),
    NumberRow(Param::AudAnalogOutMap).Sets<SetAnalogMap>().Gets(AnalogMap).Readback(ChangedOrForced)
        .In(Group::Audio).Default(0),
    TextRow(Param::ImageSdiOutFormat).Gets(SdiOutFormat).Readback(Always),
    TextRow(Param::ImageSdiOutGenLock).Gets(SdiOutGenLock).Status(Always),
    TextRow(Param::ImageSdiOutFit),
    TextRow(Param::ImageSdiOutAudio).Gets(SdiOutAudio).Status(Always),
    NumberRow(Param::RoiAction).Sets<Act>().Default(0),
    TextRow(Param::RefImageInputStatus).Gets(RefInput).Status(Always),
    FlagRow(Param::RefInValidColorState).Gets(RefValid).Status(Always),
    TextRow(Param::GenlockStatusStr).Gets(GenlockStatus).Status(Always),
    NumberRow(Param::GenlockLabelColor).Gets(GenlockLabelColor).Status(Always),
    FlagRow(Param::GenDelayShow).Gets(DelayShow).Readback(Always).Status(Always).In(Group::DelayAvailability),
    TextRow(Param::GenlockRefAlarmStr).Gets(RefAlarm).Readback(Changed).Status(Changed).In(Group::DelayAvailability),
    NumberRow(Param::OutScalingLabelColor),
    TextRow(Param::ModuleName).Sets<SetModuleName>(),
    TextRow(Param::ModuleType),
    TextRow(Param::ModuleAssemblyBd),
    NumberRow(Param::GenHDelayMax).Gets(HDelayMax).Readback(ChangedOrForced).In(Group::Genlock),
    NumberRow(Param::GenVDelayMax).Gets(VDelayMax).Readback(ChangedOrForced).In(Group::Genlock),
    TextRow(Param::BackgroundColor).Sets<SetBackgroundColor>().Gets(BackgroundColor).Readback(Always)
        .Status(Changed).In(Group::Background),
    FlagRow(Param::GenDelayEnable).Gets(DelayEnable).Readback(Always).Status(Always).In(Group::DelayAvailability),
    NumberRow(Param::AudConversion).Sets<SetAudioConversion>().Gets(AudioConversion).Readback(ChangedOrForced)
        .In(Group::Audio).Default(0),
    TextRow(Param::ImageInEnabled),
    TextRow(Param::ImageInSize),
    TextRow(Param::ImageInRoi),
    TextRow(Param::ImageInAudio),
    TextRow(Param::ImageOutEnabled).Gets(OutEnabled).Status(Always),
    FlagRow(Param::InConnected).Gets(InConnected).Status(Always),
    FlagRow(Param::OutConnected).Gets(OutConnected).Status(Always),
    NumberRow(Param::EDIDFlowThru).Sets<SetEdid>(),
    TextRow(Param::EDIDNameStr),
    NumberRow(Param::CfgInFixedAspectMode).Sets<SelectFixedAspect>().Default(0),
    NumberRow(Param::CfgInFixedSizeMode).Sets<SelectFixedSize>().Default(0),
    NumberRow(Param::CfgOutRotation).Sets<SetRotation>().Gets(Rotation).Readback(ChangedOrForced).Status(Always)
        .Default(0),
    TextRow(Param::RotationStatusStr).Gets(RotationStatus).Status(Always),
    NumberRow(Param::RotationStatusColor).Gets(RotationColor).Status(Always),
    FlagRow(Param::OutFrameDelayCk).Sets<SetFrameDelay>().Gets(FrameDelayChoice).Readback(Changed).Default(false),
    TextRow(Param::ImageOutFrameDelay).Gets(FrameDelayText).Status(Always),
    NumberRow(Param::FrameDelayLabelColor).Gets(FrameDelayColor).Status(Always),
    FlagRow(Param::OutHorizFlipCk).Sets<SetHorizFlip>().Gets(HFlip).Readback(ChangedOrForced).Default(false),
    NumberRow(Param::HorizFlipLabelColor).Gets(HFlipColor).Status(Always),
    FlagRow(Param::OutVertFlipCk).Sets<SetVertFlip>().Gets(VFlip).Readback(ChangedOrForced).Default(false),
    NumberRow(Param::VertFlipLabelColor).Gets(VFlipColor).Status(Always),
    NumberRow(Param::ProcLimitDisplay).Gets(ProcLimitDisplay).Status(Always),
    FlagRow(Param::OutFrameDelay).Gets(FrameDelay).Readback(Changed).Status(Changed).Default(false),
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

// One pass over the rows by their rule for it: every row, or (with groups)
// those of the groups only.
void PublishRows(const RoiContext& context, const BlockImage& block, ParamValues& values, Rule Binding::*rule,
                 bool force, const std::initializer_list<Group>* groups)
{
    for (const Binding& row : kBindings) {
        if (groups && std::find(groups->begin(), groups->end(), row.group) == groups->end())
            continue;
        const BindingView view{context, block, values};
        Publish(row, row.*rule, view, values, force);
    }
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
    PublishRows(context, block, values, &Binding::readback, force, nullptr);
}

void PublishStatus(const RoiContext& context, const BlockImage& block, ParamValues& values)
{
    PublishRows(context, block, values, &Binding::status, false, nullptr);
}

void PublishReadback(const RoiContext& context, const BlockImage& block, ParamValues& values, bool force,
                     std::initializer_list<Group> groups)
{
    PublishRows(context, block, values, &Binding::readback, force, &groups);
}

void PublishStatus(const RoiContext& context, const BlockImage& block, ParamValues& values,
                   std::initializer_list<Group> groups)
{
    PublishRows(context, block, values, &Binding::status, false, &groups);
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
    PublishReadback(context, block, values, false, {Group::DelayAvailability});
}

} // namespace roiscaler
