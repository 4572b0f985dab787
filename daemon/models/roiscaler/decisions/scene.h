// What the ROI scaler wrappers' decisions work on. A decision is a pure
// function: it takes the context (the model, the status image, the link)
// and a scene (the block's fields, the published values, the two region
// proxies and what the wrapper remembers), and gives the scene it leaves
// with the actions the wrapper then takes, in order: sends of the block,
// timer starts, rereads, debug lines.
#ifndef PORTVANE_ROISCALER_DECISIONS_SCENE_H
#define PORTVANE_ROISCALER_DECISIONS_SCENE_H

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

// The proxies of a new wrapper: on the same screen picture, over a source
// of 1920 x 1200, the input region at 440,360 of 720 x 480, the output
// window at 240,0 of 1440 x 1080.
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

struct RoiAction {
    enum Kind {
        StreamOut,         // the block (as in image) into the live registers
        Write,             // the block (as in image) into configuration memory
        RestartTimer,      // the configuration timer, 2000 ms from now
        StartTimerIfIdle,  // the same, unless it runs
        Debug,             // a line on the debug channel: text
        DebugNamed,        // the same, then item as the debug stream quotes a text
        ReadConfig,        // the configuration read with its readback and status poll
        Readback,          // the readback of the block as it stands
        DelayAvailability, // whether the genlock delays can be used
        PublishIdentity,   // the converter's identity as the engine knows it
        Publish,           // the values emitted at once
        WriteModuleName,   // text to the converter as its name
        Fit,               // the fit step with fit a (usePrefs b)
        ClampDelays,       // the delay setters with a and b
        Reread,            // reread the configuration; on failure the pass ends
                           // with disconnect line a
        RecordModes,       // the block's fit and selection into the memory
        RevertToAuto,      // the fit back to Auto Scale
        RestoreInput,      // the recorded selection and fit over a x b
        ReapplyInput,      // the stored selection and fit once more
        InputTexts,        // the input's connection and audio texts
        ReadEdidName,      // the monitor's name from the converter
    };
    Kind kind;
    BlockImage image;
    QString text;
    int a = 0;
    int b = 0;
    QString item;
};

struct RoiOutcome {
    RoiScene scene;
    std::vector<RoiAction> actions;

    void Send(bool stream, bool write);
    void Add(RoiAction::Kind kind, const QString& text = QString(), int a = 0, int b = 0);
    // A decision made on this scene: its scene, its actions after these.
    void Then(RoiOutcome next);
};

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
