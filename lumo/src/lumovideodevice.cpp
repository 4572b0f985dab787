#include "lumo/lumovideodevice.h"

#include <cerrno>

#include "lumo/lumo.h"
#include "lumo/lumolog.h"

namespace {

const QString kUnit = QStringLiteral("lumovideodevice");

// The engine's signals, in the order they are connected: the first five to
// the device's own slots, the rest relayed as the device's signals.
struct EngineLink {
    char const* signal;
    char const* member;
    bool slot;
};

const EngineLink kEngineLinks[] = {
    {SIGNAL(setupIsDone(const LumoError &)), SLOT(_deviceSetup(const LumoError &)), true},
    {SIGNAL(flushed(const LumoMetadataHash &)), SLOT(_deviceFlushed(const LumoMetadataHash &)), true},
    {SIGNAL(hardwareStarted()), SLOT(_deviceStarted()), true},
    {SIGNAL(inputChanged(int, const LumoVideoState &)), SLOT(_deviceInputChanged(int, const LumoVideoState &)), true},
    {SIGNAL(refInputChanged(int, const LumoVideoRefState &)),
     SLOT(_deviceRefInputChanged(int, const LumoVideoRefState &)), true},
    {SIGNAL(vbi(const LumoVbiInfo &)), SIGNAL(vbi(const LumoVbiInfo &)), false},
    {SIGNAL(playedKeyFrame(const LumoMetadataHash &)), SIGNAL(playedKeyFrame(const LumoMetadataHash &)), false},
    {SIGNAL(readFromHardwareFailed(const LumoError &)), SIGNAL(readFromHardwareFailed(const LumoError &)), false},
    {SIGNAL(writeToHardwareFailed(const LumoError &, const LumoFrame &)),
     SIGNAL(writeToHardwareFailed(const LumoError &, const LumoFrame &)), false},
    {SIGNAL(frameDropped()), SIGNAL(frameDropped()), false},
    {SIGNAL(firmwareLoading(const QString &, bool)), SIGNAL(firmwareLoading(const QString &, bool)), false},
    {SIGNAL(raiseVFRAlarm(bool)), SIGNAL(raiseVFRAlarm(bool)), false},
    {SIGNAL(hardwareSignal(const LumoId &)), SIGNAL(hardwareSignal(const LumoId &)), false},
    {SIGNAL(inputAncDataChanged(const LumoMetadataHash &)), SIGNAL(inputAncDataChanged(const LumoMetadataHash &)),
     false},
    {SIGNAL(alarmTriggered(const LumoAlarm &)), SIGNAL(alarmTriggered(const LumoAlarm &)), false},
};

// Grows the list to hold entry num (new entries default) and stores a
// shared copy of the state there. A negative number stores nothing.
template <typename State>
bool remember(QVector<State>& states, int num, State const& state)
{
    if (num < 0)
        return false;
    if (num >= states.size())
        states.resize(num + 1);
    states[num] = state;
    return true;
}

} // namespace

LumoVideoDevice::LumoVideoDevice(QObject* parent)
    : QObject(parent), _engine(nullptr), _flushPending(false), _setupPending(false), _started(false)
{
    close();
}

LumoVideoDevice::~LumoVideoDevice()
{
    close();
}

bool LumoVideoDevice::open(QString const& engineName)
{
    close();
    _engine = lumoVideoDeviceEngineCreate(engineName);
    if (!_engine) {
        lumoLogOutput(1, kUnit, __LINE__, "Could not create the video device engine \"%s\"\n",
                      engineName.toLocal8Bit().constData());
        return false;
    }
    _engine->dumpObjectInfo();
    dumpObjectInfo();
    for (EngineLink const& link : kEngineLinks) {
        if (!connect(_engine, link.signal, this, link.member))
            lumoLogOutput(2, kUnit, __LINE__, "FAILED: %s\n",
                          (QByteArray("connect(_engine, SIGNAL(") + (link.signal + 1) + "), this, " +
                           (link.slot ? "SLOT(" : "SIGNAL(") + (link.member + 1) + "))")
                              .constData());
    }
    return true;
}

void LumoVideoDevice::close()
{
    if (_engine) {
        delete _engine;
        _engine = nullptr;
    }
    if (_flushPending) {
        _flushPending = false;
        emit flushed(LumoMetadataHash());
    }
    if (_setupPending) {
        _setupPending = false;
        emit setupIsDone(EBUSY);
    }
    _started = false;
}

quint32 LumoVideoDevice::videoInputTranslation(unsigned int input)
{
    return _engine ? _engine->videoInputTranslation(input) : 0;
}

quint32 LumoVideoDevice::videoOutputTranslation(unsigned int output)
{
    return _engine ? _engine->videoOutputTranslation(output) : 0;
}

int LumoVideoDevice::framesWritable() const
{
    if (!_engine || _flushPending || _setupPending)
        return 0;
    return _engine->framesWritable();
}

int LumoVideoDevice::framesReadable() const
{
    if (!_engine || _flushPending || _setupPending)
        return 0;
    return _engine->framesReadable();
}

int LumoVideoDevice::framesDropped() const
{
    return _engine ? _engine->framesDropped() : 0;
}

LumoMetadataHash LumoVideoDevice::currentFrameMetadata() const
{
    return _engine ? _engine->currentFrameMetadata() : LumoMetadataHash();
}

LumoError LumoVideoDevice::setProperty(LumoId const& id, QVariant const& value)
{
    return _engine ? _engine->setProperty(id, value) : EINVAL;
}

LumoError LumoVideoDevice::getProperty(LumoId const& id, QVariant& value) const
{
    return _engine ? _engine->getProperty(id, value) : EINVAL;
}

QString LumoVideoDevice::stateAsString() const
{
    return _engine ? _engine->stateAsString() : QString();
}

LumoError LumoVideoDevice::flush()
{
    if (_flushPending) {
        lumoLogOutput(1, kUnit, __LINE__, "Device has pending flush\n");
        return EBUSY;
    }
    if (!_engine) {
        lumoLogOutput(2, kUnit, __LINE__, "Device is not open\n");
        return EPERM;
    }
    const LumoError error = _engine->flush();
    if (error == 0)
        _flushPending = true;
    return error;
}

LumoError LumoVideoDevice::setup(LumoVideoDeviceSetup const& setup)
{
    if (_setupPending) {
        lumoLogOutput(2, kUnit, __LINE__, "Device has pending setup\n");
        return EBUSY;
    }
    if (!_engine) {
        lumoLogOutput(2, kUnit, __LINE__, "Device is not open\n");
        return EPERM;
    }
    _setup = setup;
    const LumoError error = _engine->setup(setup);
    if (error == 0) {
        _started = false;
        _setupPending = true;
    }
    return error;
}

LumoError LumoVideoDevice::writeFrame(LumoFrame const& frame)
{
    return _engine ? _engine->writeFrame(frame) : EPERM;
}

LumoError LumoVideoDevice::readFrame(LumoFrame& frame)
{
    return _engine ? _engine->readFrame(frame) : EPERM;
}

void LumoVideoDevice::_deviceFlushed(LumoMetadataHash const& metadata)
{
    _flushPending = false;
    emit flushed(metadata);
}

void LumoVideoDevice::_deviceSetup(LumoError const& error)
{
    _setupPending = false;
    emit setupIsDone(error);
}

void LumoVideoDevice::_deviceStarted()
{
    _started = true;
    emit hardwareStarted();
}

void LumoVideoDevice::_deviceInputChanged(int num, LumoVideoState const& state)
{
    if (remember(_inputStates, num, state))
        emit inputChanged(num, state);
}

void LumoVideoDevice::_deviceRefInputChanged(int num, LumoVideoRefState const& state)
{
    if (remember(_refInputStates, num, state))
        emit refInputChanged(num, state);
}
