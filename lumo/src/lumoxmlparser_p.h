// Seam of the XML parser: its debug switch, which the environment variable
// LUMO_LOG_DEBUG_LUMOXMLPARSER sets when the library is loaded.
#ifndef LUMO_LUMOXMLPARSER_P_H
#define LUMO_LUMOXMLPARSER_P_H

#include "lumo/lumoglobal.h"

LUMO_AUTOTEST_EXPORT bool lumoXMLParserDebug();
LUMO_AUTOTEST_EXPORT void lumoXMLParserSetDebug(bool on);

#endif
