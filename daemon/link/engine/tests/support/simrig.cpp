#include "simrig.h"

#include <cstdlib>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "serial/linserialif.h"
#include "serial/simulatedports.h"

SimRig::SimRig(const QString& resourceDir) : _platform(resourceDir) {}

SimRig::~SimRig()
{
    _engine.reset();
    for (auto& sim : _sims)
        sim->Stop();
    ::unsetenv(SimulatedPorts::kEnvName);
}

convsim::Simulator& SimRig::Add(const convsim::Personality& personality)
{
    const QString link = _dir.filePath(QStringLiteral("ttyCONV%1").arg(_sims.size()));
    _sims.emplace_back(new convsim::Simulator(personality));
    std::string error;
    if (!_sims.back()->Start(link.toStdString(), &error))
        qWarning("simulator did not start: %s", error.c_str());
    _links.append(link);
    return *_sims.back();
}

CCmdEngine& SimRig::Engine(int portIndex)
{
    if (!_engine) {
        ::setenv(SimulatedPorts::kEnvName, _links.join(QLatin1Char(':')).toLocal8Bit().constData(), 1);
        LinSerialIF* port = new LinSerialIF;
        port->EnumeratePorts();
        port->Open(portIndex);
        _engine.reset(new CCmdEngine(port, nullptr, &_platform, 0, nullptr));
    }
    return *_engine;
}

CCmdEngine* SimRig::ReleaseEngine(int portIndex)
{
    Engine(portIndex);
    return _engine.release();
}

bool SimRig::Reopen(int portIndex)
{
    CCmdEngine& engine = Engine();
    engine.CloseLink();
    return engine.GetSerialIF()->Open(portIndex);
}

std::vector<int> SimRig::Codes(const convsim::Simulator& sim)
{
    std::vector<int> codes;
    for (const convsim::LogEntry& entry : sim.Log())
        codes.push_back(entry.code);
    return codes;
}

std::vector<convsim::Bytes> SimRig::Frames(const convsim::Simulator& sim, int code)
{
    std::vector<convsim::Bytes> frames;
    for (const convsim::LogEntry& entry : sim.Log()) {
        if (entry.code == code)
            frames.push_back(entry.bytes);
    }
    return frames;
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
            if (!WriteTextFile(dir, QStringLiteral("types/%1/%2").arg(type, name),
                               QString::fromUtf8(file.readAll())))
                return false;
        }
    }
    return true;
}

convsim::Personality Converter(int type)
{
    return convsim::Personality::ForType(type);
}
