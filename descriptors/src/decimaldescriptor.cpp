#include "tovikconfig/decimaldescriptor.h"

DecimalDescriptor::DecimalDescriptor() = default;
DecimalDescriptor::~DecimalDescriptor() = default;

unsigned int DecimalDescriptor::GetDecimalPrecision() { return _decimalPrecision; }
void DecimalDescriptor::SetDecimalPrecision(unsigned int value) { _decimalPrecision = value; }
