// Value types shared by the libraries, Portvane and knobctl: parameter and
// config ids and the enumerations a parameter descriptor carries.
#ifndef TOVIKCONFIG_PARAMTYPES_H
#define TOVIKCONFIG_PARAMTYPES_H

#include <cstdint>

#include "tovikconfig/bytetypes.h"

// A 32-bit parameter id. Its own type, so it never converts silently from
// unsigned int; any 32-bit value is a valid id.
enum eParam_t : std::uint32_t {
    eParamID_None = 0
};

// A config id: 0 the box, 1 to 4 the converter in device slot 1 to 4.
typedef std::int32_t eConfigID_t;

enum eParamType_t : std::uint32_t {
    eCParam_EnumValue = 3,
    eCParam_IntegerValue = 4,
    eCParam_StringValue = 12
};

enum eFeature_t : std::uint32_t {};

enum ePersist_t : std::uint32_t {
    ePersist_Persists = 0,
    ePersist_Ephemeral = 1,
    ePersist_Piggyback = 2
};

enum eUserRegisterData_t : std::uint32_t {
    eUserRegister_Included = 0,
    eUserRegister_Excluded = 1
};

enum eFactoryReset_t : std::uint32_t {
    eFactoryReset_Excluded = 0,
    eFactoryReset_WarmFuzzy = 1,
    eFactoryReset_ColdHardOnly = 2
};

enum eAccess_t : std::uint32_t {};

static_assert(sizeof(eParam_t) == 4, "eParam_t is 32 bits");
static_assert(sizeof(eParamType_t) == 4, "eParamType_t is 32 bits");

#endif
