// Everything a client of the parameter store uses.
#ifndef PARAMLINK_PARAMLINK_H
#define PARAMLINK_PARAMLINK_H

#include "paramlink/config.h"
#include "paramlink/configfactory.h"
#include "paramlink/configlink.h"
#include "paramlink/ctimeval.h"
#include "paramlink/descriptortable.h"
#include "paramlink/heldparams.h"
#include "paramlink/maxconfigid.h"
#include "paramlink/socketserver.h"
#include "paramlink/valuekind.h"

#endif
