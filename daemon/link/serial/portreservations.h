// Process-wide register of the serial ports in use. Exclusive terminal mode
// does not hold against a privileged process, so the port objects of this
// process check here before they open a node.
#ifndef PORTVANE_PORTRESERVATIONS_H
#define PORTVANE_PORTRESERVATIONS_H

#include <QString>

namespace PortReservations {

// The identity of a port path: the path with links resolved, or the path
// itself when it cannot be resolved.
QString KeyFor(const QString& path);

// Claims the key; false when it is already claimed.
bool Acquire(const QString& key);

// Gives a claimed key back.
void Release(const QString& key);

}

#endif
