// A parameter whose value is a block of bytes.
#ifndef TOVIKCONFIG_DATADESCRIPTOR_H
#define TOVIKCONFIG_DATADESCRIPTOR_H

#include "tovikconfig/stringdescriptor.h"

class TOVIKDESCRIPTORS_EXPORT DataDescriptor : public StringDescriptor {
public:
    DataDescriptor();
    ~DataDescriptor() override;
};

#endif
