#include "oneshot.h"

#include <cstdint>
#include <cstdio>

#include "argumentscanner.h"
#include "knobctl.h"
#include "paramlink/configlink.h"
#include "tovikconfig/paramdescriptor.h"

int OneShotGet(Knobctl& knobctl, std::string idName)
{
    Config* config = knobctl.GetConfig();
    ParamDescriptor* descriptor = config->GetParamDescriptor(idName);
    if (!descriptor)
        return kOneShotNoSuchParam;
    const eParam_t id = descriptor->GetParamID();
    if (descriptor->GetParamType() == eCParam_StringValue) {
        std::string value;
        config->GetStringValue(id, value);
        std::fprintf(knobctl.Out(), "%s\n", value.c_str());
    } else {
        std::fprintf(knobctl.Out(), "%s\n", knobctl.FormatInteger(config->GetIntegerValue(id)).c_str());
    }
    return kOneShotDone;
}

int OneShotSet(Knobctl& knobctl, std::string idName, std::string value)
{
    Config* config = knobctl.GetConfig();
    ParamDescriptor* descriptor = config->GetParamDescriptor(idName);
    if (!descriptor)
        return kOneShotNoSuchParam;
    const eParam_t id = descriptor->GetParamID();
    const bool isString = descriptor->GetParamType() == eCParam_StringValue;
    bool accepted = false;
    if (isString) {
        accepted = config->SetStringValue(id, value);
    } else {
        std::int64_t number = 0;
        std::int32_t bits = 0;
        if (!ReadNumber(value.c_str(), 0, number) || !ToInt32Bits(number, bits)) {
            std::fprintf(knobctl.Err(), "Invalid value %s\n", value.c_str());
            std::fprintf(knobctl.Out(), "false\n");
            return kOneShotIntegerRefused;
        }
        accepted = config->SetIntegerValue(id, bits);
    }
    if (accepted) {
        std::fprintf(knobctl.Out(), "true\n");
        return kOneShotDone;
    }
    std::fprintf(knobctl.Err(), "Set failed\n");
    // The store's reason, or that no answer came.
    const std::string why = LastWriteRefusal(config);
    if (!why.empty())
        std::fprintf(knobctl.Err(), "%s\n", why.c_str());
    std::fprintf(knobctl.Out(), "false\n");
    return isString ? kOneShotStringRefused : kOneShotIntegerRefused;
}
