// What a command-engine result means for a converter: the connection-status
// code it publishes and whether the link can be used after it.
#ifndef PORTVANE_CONNECTRESULT_H
#define PORTVANE_CONNECTRESULT_H

#include <QtGlobal>

namespace ConnectResult {

// Code of a free slot ("No Device"); never the result of a connection.
const quint32 kNoDeviceStatus = 1;
// Code of every result outside the table ("Unknown error").
const quint32 kUnknownErrorStatus = 14;

// The connection-status code of an engine result.
quint32 ConnectionStatusFor(int result);
// False only for 0, -3, -4, -5, -6, -8 and -9.
bool IsFatal(int result);

}

#endif
