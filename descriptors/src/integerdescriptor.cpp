#include "tovikconfig/integerdescriptor.h"

IntegerDescriptor::IntegerDescriptor()
    : _adjustBy(1), _scaleBy(1), _offsetBy(0), _displayPrecision(0)
{
}

IntegerDescriptor::~IntegerDescriptor() = default;

unsigned int IntegerDescriptor::GetMinValue() { return _minValue; }
void IntegerDescriptor::SetMinValue(unsigned int value) { _minValue = value; }
unsigned int IntegerDescriptor::GetMaxValue() { return _maxValue; }
void IntegerDescriptor::SetMaxValue(unsigned int value) { _maxValue = value; }
unsigned int IntegerDescriptor::GetFactoryDefault() { return _factoryDefault; }
void IntegerDescriptor::SetFactoryDefault(unsigned int value) { _factoryDefault = value; }
unsigned int IntegerDescriptor::GetAdjustBy() { return _adjustBy; }
void IntegerDescriptor::SetAdjustBy(unsigned int value) { _adjustBy = value; }
unsigned int IntegerDescriptor::GetScaleBy() { return _scaleBy; }
void IntegerDescriptor::SetScaleBy(unsigned int value) { _scaleBy = value; }
unsigned int IntegerDescriptor::GetOffsetBy() { return _offsetBy; }
void IntegerDescriptor::SetOffsetBy(unsigned int value) { _offsetBy = value; }
unsigned int IntegerDescriptor::GetDisplayPrecision() { return _displayPrecision; }
void IntegerDescriptor::SetDisplayPrecision(unsigned int value) { _displayPrecision = value; }
std::string IntegerDescriptor::GetUnits() { return _units; }
void IntegerDescriptor::SetUnits(std::string units) { _units = std::move(units); }
std::string IntegerDescriptor::GetUnits2() { return _units2; }
void IntegerDescriptor::SetUnits2(std::string units) { _units2 = std::move(units); }
