// The process-wide factory of store connections.
//
// URL forms:
//   socket://HOST:PORT/caching=BOOL&configid=N
//   socket://HOST:PORT?caching=BOOL&configid=N
//   local://configid=N            (this process's own store)
// configid is required (0..255; a socket server serves 0 to GetMaxConfigID()
// and refuses the rest with its reason); caching is optional (true or false,
// default true). Anything else is refused with a message on standard error.
#ifndef PARAMLINK_CONFIGFACTORY_H
#define PARAMLINK_CONFIGFACTORY_H

#include <string>

#include "paramlink/paramlinkexport.h"

class Config;

class PARAMLINK_EXPORT ConfigFactoryImpl {
public:
    static ConfigFactoryImpl* GetInstance();

    // A connected Config, or null. A socket URL connects before returning.
    // The second argument is accepted and unused.
    Config* CreateConfig(std::string url, std::string options);
    // Stops event delivery to the config's listeners (waiting for a callback
    // in progress on another thread), closes the connection and frees it.
    void ReleaseConfig(Config* config);

private:
    ConfigFactoryImpl() = default;
};

#endif
