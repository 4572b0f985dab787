// The ROI scaler parameters bound to the converter: one row per parameter
// with how its value converts, what a client's change does (its setter),
// where its value comes from (its getter over the block and the status
// image), when the readback and the status pass publish it, and which
// partial pass (its group) publishes it too. Dispatch, readback and status
// walk the rows; a model's binding is the rows of the parameters its id
// list holds. Parameters whose publishing has logic of its own (the
// identity, the input section, the modes, the region) have no getter here:
// readback.cpp and statuspass.cpp write them.
#ifndef PORTVANE_ROISCALER_DECISIONS_BINDINGS_H
#define PORTVANE_ROISCALER_DECISIONS_BINDINGS_H

#include <initializer_list>

#include "blocksupport/rowlist.h"
#include "roiscaler/decisions/scene.h"

namespace roiscaler {

// How a value converts: an unsigned number, a boolean, a text.
enum class Kind : quint8 { U, B, S };

// When a pass writes the value: never, every time, when it differs from
// the one published, or also when the pass is forced (the readback after
// start-up).
enum class Rule : quint8 { Never, Always, Changed, ChangedOrForced };

// What follows a client's change: the configuration is reread, or the
// values are published at once.
enum class After : quint8 { Reread, Publish };

// The partial pass that also publishes a row: the genlock tab's (which
// publishes the delay availability too), the delay availability's, the
// audio tab's, the background colour's.
enum class Group : quint8 { None, Genlock, DelayAvailability, Audio, Background };

// What a getter reads.
struct BindingView {
    const RoiContext& context;
    const BlockImage& block;
    const ParamValues& values;
};

// The value as the model publishes it; an invalid value is not written.
typedef QVariant (*Getter)(const BindingView& view);
typedef RoiOutcome (*Setter)(const RoiContext& context, RoiScene scene, const QVariant& value);

struct Binding {
    Param param;
    Kind kind;
    Setter set = nullptr;
    Getter get = nullptr;
    Rule readback = Rule::Never;
    Rule status = Rule::Never;
    After after = After::Reread;
    Group group = Group::None;
    // The value a new wrapper holds before the first readback.
    bool hasDefault = false;
    quint32 defaultValue = 0;
};

RowList<Binding> Bindings();
// The row of a parameter; null when it has none.
const Binding* FindBinding(Param p);

// A client's change of one of the model's ids: its setter, then the reread
// (or, for the region texts, the values published). An id the model lacks
// only rereads. Every change marks the memory's changed flag.
RoiOutcome Dispatch(const RoiContext& context, RoiScene scene, quint32 id, const QVariant& value);

// The rows of the model with a getter and a rule for the pass, written into
// values; force writes the ChangedOrForced ones even where unchanged.
void PublishReadback(const RoiContext& context, const BlockImage& block, ParamValues& values, bool force);
void PublishStatus(const RoiContext& context, const BlockImage& block, ParamValues& values);
// The same for the rows of some groups only.
void PublishReadback(const RoiContext& context, const BlockImage& block, ParamValues& values, bool force,
                     std::initializer_list<Group> groups);
void PublishStatus(const RoiContext& context, const BlockImage& block, ParamValues& values,
                   std::initializer_list<Group> groups);

// The defaults of the model's parameters that have one.
void PutDefaults(const RoiModel& model, ParamValues& values);

// Whether the genlock delays can be used, with the reference alarm
// (eParamID_GenlockRefAlarmStr when its text changed, eParamID_GenDelayEnable,
// eParamID_GenDelayShow). Nothing without a link.
void PutDelayAvailability(const RoiContext& context, const BlockImage& block, ParamValues& values);

} // namespace roiscaler

#endif
