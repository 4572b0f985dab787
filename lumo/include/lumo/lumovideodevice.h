// The front end of a video device. It opens an engine by name through the
// installed video device factories, owns it, forwards operations to it and
// relays its signals, and keeps the pending-flush, pending-setup and started
// flags and the last state reported for each input and reference input.
//
// The device is used from the thread it lives on and takes no lock; engine
// signals from other threads arrive as queued calls on that thread.
#ifndef LUMO_LUMOVIDEODEVICE_H
#define LUMO_LUMOVIDEODEVICE_H

#include <QObject>
#include <QString>
#include <QVariant>
#include <QVector>

#include "lumo/lumo.h"
#include "lumo/lumoalarm.h"
#include "lumo/lumoframe.h"
#include "lumo/lumoglobal.h"
#include "lumo/lumoid.h"
#include "lumo/lumostreamengine.h"
#include "lumo/lumovideodeviceengine.h"
#include "lumo/lumovideodevicefactory.h"
#include "lumo/lumovideodevicetypes.h"
#include "lumo/lumovideostate.h"

class LumoVideoDeviceTestPeer;

class LUMO_EXPORT LumoVideoDevice : public QObject {
    Q_OBJECT
public:
    explicit LumoVideoDevice(QObject* parent = nullptr);
    ~LumoVideoDevice() override;

    // Closes first, then makes the engine through the factories. False,
    // with an error logged, when no factory makes one: the device is then
    // closed.
    bool open(QString const& engineName);
    // Deletes the engine and ends each pending operation with its
    // completion signal: flushed (empty metadata), then setupIsDone (16).
    void close();

    // Closed: 0, an empty value or a null string, as each says.
    quint32 videoInputTranslation(unsigned int input);
    quint32 videoOutputTranslation(unsigned int output);
    // 0 while a flush or a setup is pending.
    int framesWritable() const;
    int framesReadable() const;
    int framesDropped() const;
    LumoMetadataHash currentFrameMetadata() const;
    // Closed: 22.
    LumoError setProperty(LumoId const& id, QVariant const& value);
    LumoError getProperty(LumoId const& id, QVariant& value) const;
    QString stateAsString() const;

signals:
    void vbi(LumoVbiInfo const& ts);
    void frameDropped();
    void playedKeyFrame(LumoMetadataHash const& frameMetadata);
    void setupIsDone(LumoError const& error);
    void writeToHardwareFailed(LumoError const& error, LumoFrame const& frame);
    void readFromHardwareFailed(LumoError const& error);
    void flushed(LumoMetadataHash const&);
    void hardwareStarted();
    void inputChanged(int inputNumber, LumoVideoState const& state);
    void refInputChanged(int inputNumber, LumoVideoRefState const& state);
    void firmwareLoading(QString const& id, bool done);
    void raiseVFRAlarm(bool alarmActive);
    void hardwareSignal(LumoId const& id);
    void inputAncDataChanged(LumoMetadataHash const& metadata);
    void alarmTriggered(LumoAlarm const&);

public slots:
    // 16 while a flush is pending, 1 when closed; else the engine's result,
    // and a result of 0 leaves the flush pending until flushed.
    LumoError flush();
    // 16 while a setup is pending, 1 when closed; else the setup is kept
    // and the engine's result returned: 0 leaves the setup pending until
    // setupIsDone, and clears started.
    LumoError setup(LumoVideoDeviceSetup const& setup);
    // Closed: 1, nothing logged.
    LumoError writeFrame(LumoFrame const& frame);
    LumoError readFrame(LumoFrame& frame);

private slots:
    void _deviceFlushed(LumoMetadataHash const&);
    void _deviceSetup(LumoError const&);
    void _deviceStarted();
    void _deviceInputChanged(int num, LumoVideoState const& state);
    void _deviceRefInputChanged(int num, LumoVideoRefState const& state);

private:
    friend class LumoVideoDeviceTestPeer;

    LumoVideoDeviceSetup _setup;
    LumoVideoDeviceEngine* _engine;
    bool _flushPending;
    bool _setupPending;
    bool _started;
    // Indexed by input number; grown on reports, kept across close.
    QVector<LumoVideoState> _inputStates;
    QVector<LumoVideoRefState> _refInputStates;
};

#endif
