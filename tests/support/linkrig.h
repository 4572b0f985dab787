// The daemon's converter link on simulated converters: SimLink puts the
// daemon's own serial port class and a protocol object on one converter;
// EngineRig runs the command engine on a rig's converters with a test
// platform object. Also the shipped hardware description files for tests.
#ifndef TOVIK_TEST_LINKRIG_H
#define TOVIK_TEST_LINKRIG_H

#include <memory>

#include <QString>
#include <QStringList>

#include "catalog/cassembliesxml.h"
#include "catalog/cmoduletypexml.h"
#include "engine/ccmdengine.h"
#include "platform/cappif.h"
#include "protocol/ccommprotocol.h"
#include "serial/linserialif.h"
#include "simrig.h"

namespace tovik {
namespace test {

class SimLink {
public:
    explicit SimLink(const convsim::Personality& personality);
    ~SimLink();
    SimLink(const SimLink&) = delete;
    SimLink& operator=(const SimLink&) = delete;

    // Whether the converter started and the port opened.
    bool Ready() const { return _ready; }

    SimRig _rig;
    convsim::Simulator& _sim;
    LinSerialIF _port;
    CCommProtocol _protocol;

private:
    bool _ready = false;
};

// A platform object with a chosen resource directory, switchable run-mode
// queries and counted notifications.
class TestPlatform : public CAppIF {
public:
    explicit TestPlatform(const QString& resourceDir) : _resourceDir(resourceDir) {}

    void NotifyModuleTypeChange() override { ++_typeChanges; }
    void NotifyNewConnection() override { ++_newConnections; }
    void CloseLink() override { ++_closedLinks; }
    bool IsRunModeAbove1() override { return _above1; }
    bool IsRunModeAbove2() override { return _above2; }
    CModuleTypeXML* CreateModuleTypeXML() override { return new CModuleTypeXML; }
    CAssembliesXML* CreateAssembliesXML() override { return new CAssembliesXML; }
    CSerialIF* CreateSerialIF() override { return new LinSerialIF; }
    QString GetResourceDir() override { return _resourceDir; }
    QString GetStyleText() override { return QString(); }
    QString GetTitleText() override { return QString(); }
    QString GetStatusText() override { return QString(); }
    QString GetBuildText() override { return QString(); }

    QString _resourceDir;
    bool _above1 = false;
    bool _above2 = false;
    int _typeChanges = 0;
    int _newConnections = 0;
    int _closedLinks = 0;
};

// The build tree's bin/, which holds the shipped types/ as Portvane finds
// them beside itself.
QString ShippedResourceDir();

class EngineRig : public SimRig {
public:
    explicit EngineRig(const QString& resourceDir = ShippedResourceDir());
    ~EngineRig();

    // The engine (built on first use) with its port opened at index.
    CCmdEngine& Engine(int portIndex = 0);
    // Hands the engine (built and opened as Engine() does) to a wrapper,
    // which owns it from then on; the rig must outlive it.
    CCmdEngine* ReleaseEngine(int portIndex = 0);
    // Closes the engine's link and opens its port at another index.
    bool Reopen(int portIndex);

    TestPlatform _platform;

private:
    std::unique_ptr<CCmdEngine> _engine;
};

// Writes text to dir/relativePath, creating the directories.
bool WriteTextFile(const QString& dir, const QString& relativePath, const QString& text);
// A resource directory holding, under types/, copies of the named shipped
// type directories only.
bool CopyShippedTypes(const QString& dir, const QStringList& typeDirs);
// Default personality of a simulated converter of the given type.
convsim::Personality Converter(int type);

} // namespace test
} // namespace tovik

#endif
