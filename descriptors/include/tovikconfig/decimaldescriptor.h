// An integer parameter shown with a decimal precision.
#ifndef TOVIKCONFIG_DECIMALDESCRIPTOR_H
#define TOVIKCONFIG_DECIMALDESCRIPTOR_H

#include "tovikconfig/integerdescriptor.h"

class TOVIKDESCRIPTORS_EXPORT DecimalDescriptor : public IntegerDescriptor {
public:
    DecimalDescriptor();
    ~DecimalDescriptor() override;

    virtual unsigned int GetDecimalPrecision();
    virtual void SetDecimalPrecision(unsigned int value);

protected:
    unsigned int _decimalPrecision = 0;
};

#endif
