#include "lumo/lumostreamengine.h"

#include <cerrno>

LumoStreamEngine::LumoStreamEngine(QObject* parent) : QObject(parent) {}

LumoStreamEngine::~LumoStreamEngine() = default;

void LumoStreamEngine::close() {}

LumoError LumoStreamEngine::read(int, LumoFrame&)
{
    return EINVAL;
}

LumoError LumoStreamEngine::write(int, LumoFrame const&)
{
    return EINVAL;
}

LumoError LumoStreamEngine::flush()
{
    return 0;
}

LumoStreamFactory::LumoStreamFactory() = default;

LumoStreamFactory::~LumoStreamFactory() = default;

LumoId LumoStreamFactory::descHint(QVariant const&) const
{
    return LumoId(0);
}
