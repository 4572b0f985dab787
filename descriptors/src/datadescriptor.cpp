#include "tovikconfig/datadescriptor.h"

DataDescriptor::DataDescriptor() = default;
DataDescriptor::~DataDescriptor() = default;
