// An integer parameter: limits, factory default, step, scale and units.
#ifndef TOVIKCONFIG_INTEGERDESCRIPTOR_H
#define TOVIKCONFIG_INTEGERDESCRIPTOR_H

#include "tovikconfig/paramdescriptor.h"

class TOVIKDESCRIPTORS_EXPORT IntegerDescriptor : public ParamDescriptor {
public:
    IntegerDescriptor();
    ~IntegerDescriptor() override;

    virtual unsigned int GetMinValue();
    virtual void SetMinValue(unsigned int value);
    virtual unsigned int GetMaxValue();
    virtual void SetMaxValue(unsigned int value);
    virtual unsigned int GetFactoryDefault();
    virtual void SetFactoryDefault(unsigned int value);
    virtual unsigned int GetAdjustBy();
    virtual void SetAdjustBy(unsigned int value);
    virtual unsigned int GetScaleBy();
    virtual void SetScaleBy(unsigned int value);
    virtual unsigned int GetOffsetBy();
    virtual void SetOffsetBy(unsigned int value);
    virtual unsigned int GetDisplayPrecision();
    virtual void SetDisplayPrecision(unsigned int value);
    virtual std::string GetUnits();
    virtual void SetUnits(std::string units);
    virtual std::string GetUnits2();
    virtual void SetUnits2(std::string units);

protected:
    // Limits and default start at 0 so a descriptor never holds garbage.
    unsigned int _minValue = 0;
    unsigned int _maxValue = 0;
    unsigned int _factoryDefault = 0;
    unsigned int _adjustBy;
    unsigned int _scaleBy;
    unsigned int _offsetBy;
    unsigned int _displayPrecision;
    std::string _units;
    std::string _units2;
};

#endif
