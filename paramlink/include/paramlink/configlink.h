// For clients that keep a config of another process's store through that
// store's restarts: whether the link still stands, and a connection attempt
// that leaves the reporting of a failure to the caller.
#ifndef PARAMLINK_CONFIGLINK_H
#define PARAMLINK_CONFIGLINK_H

#include <string>

#include "paramlink/paramlinkexport.h"

class Config;

// False once a socket config has lost its server (it never comes back: make
// a new one); true for this process's own configs and for a config of
// another library.
PARAMLINK_EXPORT bool ConfigConnected(Config* config);

// CreateConfig without the log line: null with the reason in error.
PARAMLINK_EXPORT Config* TryCreateConfig(const std::string& url, std::string& error);

#endif
