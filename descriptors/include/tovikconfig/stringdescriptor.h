// A text parameter: length and index limits and a default text.
#ifndef TOVIKCONFIG_STRINGDESCRIPTOR_H
#define TOVIKCONFIG_STRINGDESCRIPTOR_H

#include "tovikconfig/paramdescriptor.h"

class TOVIKDESCRIPTORS_EXPORT StringDescriptor : public ParamDescriptor {
public:
    StringDescriptor();
    ~StringDescriptor() override;

    // Accepts only eCParam_StringValue; anything else ends the process.
    void SetParamType(eParamType_t type) override;

    virtual unsigned int GetMinLength();
    virtual void SetMinLength(unsigned int value);
    virtual unsigned int GetMaxLength();
    virtual void SetMaxLength(unsigned int value);
    virtual unsigned int GetMinIndex();
    virtual void SetMinIndex(unsigned int value);
    virtual unsigned int GetMaxIndex();
    virtual void SetMaxIndex(unsigned int value);
    virtual std::string GetFactoryDefault();
    virtual void SetFactoryDefault(std::string value);

protected:
    unsigned int _minLength;
    unsigned int _maxLength;
    unsigned int _minIndex;
    unsigned int _maxIndex;
    std::string _factoryDefault;
};

#endif
