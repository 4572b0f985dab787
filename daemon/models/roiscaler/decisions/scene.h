// What the ROI scaler wrappers' decisions work on. A decision is a pure
// function: it takes the context (the model, the status image, the link)
// and a scene (the block's fields, the published values, the two region
// proxies and what the wrapper remembers), and gives the scene it leaves
// with the effects the wrapper then takes, in order (sends of the block,
// timer starts, rereads, debug lines), and at most one decision to run
// after them (next).
#ifndef PORTVANE_ROISCALER_DECISIONS_SCENE_H
#define PORTVANE_ROISCALER_DECISIONS_SCENE_H

#include <optional>
#include <variant>
#include <vector>

#include <QHash>
#include <QString>
#include <QVariant>

#include "roiscaler/decisions/blockimage.h"
#include "roiscaler/model/models.h"
#include "roiscaler/values/screenproxy.h"
#include "roiscaler/values/statusimage.h"

namespace roiscaler {

// Parameter id to value: the state a wrapper hands to the store.
typedef QHash<quint32, QVariant> ParamValues;

// What a wrapper remembers between passes.
struct RoiMemory {
    // The forced readback has run.
    bool inputSynced = false;
    // Rereads left during which the readback waits for a measured input.
    int syncCountdown = 2;
    // The input format the status watch last recorded.
    InputFormat lastInSize;
    // The output fit and the input selection last recorded from the block:
    // selection, fixed-aspect index, fixed-size index (one-index models:
    // the raw device code first).
    int lastOutMode = 0;
    int lastInMode[3] = {0, 0, 0};
    // The watch recorded the set format since the last forced readback.
    bool inputChangeSeen = false;
    // A parameter event or centring came since the watch last recorded.
    bool paramChanged = false;
    // The first constraint step keeps the region as read.
    bool constraintsFirstPass = true;
    // The last selection and fixed-aspect index that caused a re-fit.
    quint32 lastSelection = 0;
    quint32 lastFixedAspect = 0;
};

struct RoiScene {
    BlockImage block;
    ParamValues values;
    ProxyGeometry in;
    ProxyGeometry out;
    RoiMemory memory;
};

// The proxies of a new wrapper: on the same screen picture, over the first
// source with the first input region and output window
// (table/firstgeometry.h).
ProxyGeometry FirstInProxy();
ProxyGeometry FirstOutProxy();
// A new wrapper's memory: the first constraint step keeps the region as
// read (not on the one-index model).
RoiMemory FirstMemory(const RoiModel& model);

// The converter's identity as the engine knows it.
struct RoiIdentity {
    QString fpgaVersion;
    QString releaseVersion;
    QString serialNumber;
    QString moduleName;
    // The display name of the module type; empty for a type past the list.
    QString moduleTypeName;
    QString boardAssembly;
};

struct RoiContext {
    const RoiModel& model;
    // The 64-byte status image of the last status read.
    const UByte* status;
    // The engine's link.
    bool connected;
};

// What a decision asks of the wrapper, in order: sends, timers, debug
// lines, reads of the converter and what they publish.
namespace effect {

// The block as the decision had it at this point: into the live registers,
// or into configuration memory.
struct StreamOut {
    BlockImage block;
};
struct Write {
    BlockImage block;
};
// The configuration timer, 2000 ms from now; or the same unless it runs.
struct RestartTimer {};
struct StartTimerIfIdle {};
// A line on the debug channel; a named one ends with the name as the debug
// stream quotes a text.
struct Debug {
    QString line;
};
struct DebugNamed {
    QString text;
    QString name;
};
// The configuration read with its readback and status poll.
struct ReadConfig {};
// The readback of the block as it stands.
struct Readback {};
// The configuration read again; when it fails, the disconnect line (1 to
// 5) is written, the device disconnected and the pass ends.
struct Reread {
    int disconnectLine;
};
// The block's fit and selection, as the reread left them, into the memory.
struct RecordModes {};
// The converter's identity as the engine knows it, published.
struct PublishIdentity {};
// The values emitted at once.
struct Publish {};
// The name to the converter; published when it takes it.
struct WriteModuleName {
    QString name;
};
// Whether the genlock delays can be used, published.
struct DelayAvailability {};
// The input's connection and audio texts, published.
struct InputTexts {};
// The monitor's name read from the converter, published.
struct ReadEdidName {};

} // namespace effect

typedef std::variant<effect::StreamOut, effect::Write, effect::RestartTimer, effect::StartTimerIfIdle, effect::Debug,
                     effect::DebugNamed, effect::ReadConfig, effect::Readback, effect::Reread, effect::RecordModes,
                     effect::PublishIdentity, effect::Publish, effect::WriteModuleName, effect::DelayAvailability,
                     effect::InputTexts, effect::ReadEdidName>
    RoiEffect;

// The decision that runs once an outcome's effects are taken, on the scene
// and the link as they left them (a reread changes the block, the identity
// the values). Its own outcome may name the next one.
namespace next {

// The readback's: the fit read back (SelectFit without the preferred
// inset), then the delays past the output format's limits cut.
struct Fit {
    int fit;
};
// The readback's: the delays cut to the output format's limits.
struct ClampDelays {
    int hDelay;
    int vDelay;
};
// The format watch's, after its reread: the fit back to Auto Scale.
struct RevertToAuto {};
// The input section's, each then the input's texts and the monitor's name:
// after its reread, the recorded selection and fit over the raster, or
// (after a client's change) the fit back to Auto Scale; else the stored
// selection and fit once more.
struct RestoreInput {
    int width;
    int height;
};
struct RevertInput {};
struct ReapplyInput {};

} // namespace next

typedef std::variant<next::Fit, next::ClampDelays, next::RevertToAuto, next::RestoreInput, next::RevertInput,
                     next::ReapplyInput>
    RoiNext;

struct RoiOutcome {
    // The scene unchanged, nothing to take.
    explicit RoiOutcome(RoiScene start) : scene(std::move(start)) {}

    RoiScene scene;
    std::vector<RoiEffect> effects;
    std::optional<RoiNext> next;

    // The block as it stands, streamed and/or written.
    void Send(bool stream, bool write);
    void Add(RoiEffect effect) { effects.push_back(std::move(effect)); }
    // A decision made on this scene: its scene, its effects after these.
    // Neither names a next decision.
    void Then(RoiOutcome after);
};

// A visitor of the alternatives' lambdas.
template <typename... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <typename... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

// Values as the store takes them: unsigned numbers, booleans and texts.
// Id 0 (a parameter the model lacks) takes nothing.
void PutU(ParamValues& values, quint32 id, int value);
void PutU(ParamValues& values, quint32 id, quint32 value);
void PutB(ParamValues& values, quint32 id, bool value);
void PutS(ParamValues& values, quint32 id, const QString& value);
quint32 ValueU(const ParamValues& values, quint32 id);

// A text through the translation function, with the model's wrapper class
// as context.
QString Tr(const RoiModel& model, const char* text);

} // namespace roiscaler

#endif
