#include "linkrig.h"

#include <cstdlib>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include "serial/simulatedports.h"
#include "testpaths.h"

namespace tovik {
namespace test {

SimLink::SimLink(const convsim::Personality& personality)
    : _sim(_rig.Add(personality)), _protocol(&_port, nullptr)
{
    // The port list is taken from the environment at enumeration only.
    ::setenv(SimulatedPorts::kEnvName, _rig.Link().c_str(), 1);
    _port.EnumeratePorts();
    ::unsetenv(SimulatedPorts::kEnvName);
    _ready = _rig.Started() && _port.GetPortCount() == 1 && _port.Open(0);
    EXPECT_TRUE(_ready) << "port on " << _rig.Link();
}

SimLink::~SimLink()
{
    _port.Close();
}

QString ShippedResourceDir()
{
    return QDir(QString::fromStdString(BuildDir())).filePath(QStringLiteral("bin"));
}

EngineRig::EngineRig(const QString& resourceDir) : _platform(resourceDir) {}

EngineRig::~EngineRig()
{
    _engine.reset();
    ::unsetenv(SimulatedPorts::kEnvName);
}

CCmdEngine& EngineRig::Engine(int portIndex)
{
    if (!_engine) {
        ::setenv(SimulatedPorts::kEnvName, PortList().c_str(), 1);
        LinSerialIF* port = new LinSerialIF;
        port->EnumeratePorts();
        port->Open(portIndex);
        _engine.reset(new CCmdEngine(port, nullptr, &_platform, 0, nullptr));
    }
    return *_engine;
}

CCmdEngine* EngineRig::ReleaseEngine(int portIndex)
{
    Engine(portIndex);
    return _engine.release();
}

bool EngineRig::Reopen(int portIndex)
{
    CCmdEngine& engine = Engine();
    engine.CloseLink();
    return engine.GetSerialIF()->Open(portIndex);
}

bool WriteTextFile(const QString& dir, const QString& relativePath, const QString& text)
{
    const QString path = QDir(dir).filePath(relativePath);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(text.toUtf8()) >= 0;
}

bool CopyShippedTypes(const QString& dir, const QStringList& typeDirs)
{
    const QDir shipped(QDir(ShippedResourceDir()).filePath(QStringLiteral("types")));
    for (const QString& type : typeDirs) {
        const QDir from(shipped.filePath(type));
        for (const QString& name : from.entryList(QDir::Files)) {
            QFile file(from.filePath(name));
            if (!file.open(QIODevice::ReadOnly))
                return false;
            if (!WriteTextFile(dir, QStringLiteral("types/%1/%2").arg(type, name), QString::fromUtf8(file.readAll())))
                return false;
        }
    }
    return true;
}

convsim::Personality Converter(int type)
{
    return convsim::Personality::ForType(type);
}

} // namespace test
} // namespace tovik
