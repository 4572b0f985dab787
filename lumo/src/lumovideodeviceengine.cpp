#include "lumo/lumovideodeviceengine.h"

#include <cerrno>

LumoVideoDeviceEngine::LumoVideoDeviceEngine(QObject* parent) : QObject(parent) {}

LumoVideoDeviceEngine::~LumoVideoDeviceEngine() = default;

quint32 LumoVideoDeviceEngine::videoInputTranslation(unsigned int)
{
    return 0;
}

quint32 LumoVideoDeviceEngine::videoOutputTranslation(unsigned int)
{
    return 0;
}

int LumoVideoDeviceEngine::framesWritable() const
{
    return 0;
}

int LumoVideoDeviceEngine::framesReadable() const
{
    return 0;
}

int LumoVideoDeviceEngine::framesDropped() const
{
    return 0;
}

LumoMetadataHash LumoVideoDeviceEngine::currentFrameMetadata() const
{
    return LumoMetadataHash();
}

LumoError LumoVideoDeviceEngine::setup(LumoVideoDeviceSetup const&)
{
    return 0;
}

LumoError LumoVideoDeviceEngine::readFrame(LumoFrame&)
{
    return EOPNOTSUPP;
}

LumoError LumoVideoDeviceEngine::writeFrame(LumoFrame const&)
{
    return EOPNOTSUPP;
}

LumoError LumoVideoDeviceEngine::flush()
{
    return EOPNOTSUPP;
}

LumoError LumoVideoDeviceEngine::setProperty(LumoId const&, QVariant const&)
{
    return EOPNOTSUPP;
}

LumoError LumoVideoDeviceEngine::getProperty(LumoId const&, QVariant&) const
{
    return EOPNOTSUPP;
}

QString LumoVideoDeviceEngine::stateAsString() const
{
    return QString();
}
