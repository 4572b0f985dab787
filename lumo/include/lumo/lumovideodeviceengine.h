// The engine behind a video device: one subclass per kind of hardware.
// Every operation has a default, so an engine overrides only what its
// hardware does.
//
// setup and flush only start the work: a result of 0 promises a later
// setupIsDone (with the final error) or flushed (with the flush's
// metadata). An engine may emit from threads of its own; the front end
// receives through automatic connections.
#ifndef LUMO_LUMOVIDEODEVICEENGINE_H
#define LUMO_LUMOVIDEODEVICEENGINE_H

#include <QObject>
#include <QString>
#include <QVariant>

#include "lumo/lumoalarm.h"
#include "lumo/lumoframe.h"
#include "lumo/lumoglobal.h"
#include "lumo/lumoid.h"
#include "lumo/lumostreamengine.h"
#include "lumo/lumovideodevicetypes.h"
#include "lumo/lumovideostate.h"

class LUMO_EXPORT LumoVideoDeviceEngine : public QObject {
    Q_OBJECT
public:
    explicit LumoVideoDeviceEngine(QObject* parent = nullptr);
    ~LumoVideoDeviceEngine() override;

    // Defaults: 0.
    virtual quint32 videoInputTranslation(unsigned int input);
    virtual quint32 videoOutputTranslation(unsigned int output);
    virtual int framesWritable() const;
    virtual int framesReadable() const;
    virtual int framesDropped() const;
    // Default: an empty hash.
    virtual LumoMetadataHash currentFrameMetadata() const;
    // Default: 0, and no setupIsDone follows.
    virtual LumoError setup(LumoVideoDeviceSetup const& setup);
    // Defaults of the five below: 95 (EOPNOTSUPP).
    virtual LumoError readFrame(LumoFrame& frame);
    virtual LumoError writeFrame(LumoFrame const& frame);
    virtual LumoError flush();
    virtual LumoError setProperty(LumoId const& id, QVariant const& value);
    virtual LumoError getProperty(LumoId const& id, QVariant& value) const;
    // Default: a null string.
    virtual QString stateAsString() const;

signals:
    void vbi(LumoVbiInfo const& ts);
    void playedKeyFrame(LumoMetadataHash const& keyFrameMetadata);
    void setupIsDone(LumoError const& error);
    void readFromHardwareFailed(LumoError const& error);
    void writeToHardwareFailed(LumoError const& error, LumoFrame const& frame);
    void flushed(LumoMetadataHash const&);
    void hardwareStarted();
    void frameDropped();
    void inputChanged(int inputNumber, LumoVideoState const& state);
    void refInputChanged(int inputNumber, LumoVideoRefState const& state);
    void firmwareLoading(QString const& id, bool done);
    void raiseVFRAlarm(bool alarmActive);
    void hardwareSignal(LumoId const&);
    void inputAncDataChanged(LumoMetadataHash const&);
    void alarmTriggered(LumoAlarm const& alarm);
};

#endif
