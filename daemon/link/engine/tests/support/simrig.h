// Simulated converters on pseudo-terminals, reached through the daemon's
// own serial port class, and a command engine on them.
#ifndef PORTVANE_ENGINE_SIMRIG_H
#define PORTVANE_ENGINE_SIMRIG_H

#include <memory>
#include <vector>

#include <QString>
#include <QTemporaryDir>

#include "convsim/simulator.h"
#include "engine/ccmdengine.h"
#include "testplatform.h"

class SimRig {
public:
    explicit SimRig(const QString& resourceDir = ShippedResourceDir());
    ~SimRig();

    // Starts one more converter; its port index is the order of adding.
    convsim::Simulator& Add(const convsim::Personality& personality);
    // The engine (built on first use) with its port opened at index.
    CCmdEngine& Engine(int portIndex = 0);
    // Hands the engine (built and opened as Engine() does) to a wrapper,
    // which owns it from then on; the rig must outlive it.
    CCmdEngine* ReleaseEngine(int portIndex = 0);
    // Closes the engine's link and opens its port at another index.
    bool Reopen(int portIndex);

    // Command codes a converter received, in order.
    static std::vector<int> Codes(const convsim::Simulator& sim);
    // The frames it received with that code.
    static std::vector<convsim::Bytes> Frames(const convsim::Simulator& sim, int code);

    TestPlatform _platform;

private:
    QTemporaryDir _dir;
    std::vector<std::unique_ptr<convsim::Simulator>> _sims;
    QStringList _links;
    std::unique_ptr<CCmdEngine> _engine;
};

// Writes text to dir/relativePath, creating the directories.
bool WriteTextFile(const QString& dir, const QString& relativePath, const QString& text);

// A resource directory holding, under types/, copies of the named shipped
// type directories only.
bool CopyShippedTypes(const QString& dir, const QStringList& typeDirs);

// Default personality of a simulated converter of the given type, with
// name and serial of the simulator's own defaults.
convsim::Personality Converter(int type);

#endif
