// Every descriptor class.
#ifndef TOVIKCONFIG_DESCRIPTORS_H
#define TOVIKCONFIG_DESCRIPTORS_H

#include "tovikconfig/paramdescriptor.h"
#include "tovikconfig/integerdescriptor.h"
#include "tovikconfig/stringdescriptor.h"
#include "tovikconfig/enumdescriptor.h"
#include "tovikconfig/decimaldescriptor.h"
#include "tovikconfig/datadescriptor.h"

#endif
