// Serial ports named by the environment, for running against simulated
// converters: PORTVANE_SERIAL_PORTS holds a colon-separated list of paths.
#ifndef PORTVANE_SIMULATEDPORTS_H
#define PORTVANE_SIMULATEDPORTS_H

#include <QStringList>

namespace SimulatedPorts {

// Name of the environment variable.
extern const char kEnvName[];

// True when the variable is set and not empty.
bool IsConfigured();

// The listed paths, in list order, empty entries dropped.
QStringList Configured();

// Those of the given paths that exist now (a dangling link does not).
QStringList Existing(const QStringList& paths);

}

#endif
