#include "tovikconfig/stringdescriptor.h"

#include <cstdlib>
#include <unistd.h>

StringDescriptor::StringDescriptor()
    : _minLength(0), _maxLength(20), _minIndex(0), _maxIndex(19)
{
}

StringDescriptor::~StringDescriptor() = default;

void StringDescriptor::SetParamType(eParamType_t type)
{
    if (type == eCParam_StringValue) {
        _paramType = type;
        return;
    }
    static const char message[] =
        "StringDescriptor::SetParamType - ERROR: Invalid paramType - must be eCParam_StringValue";
    // Raw write: the text must reach stderr whole, with no line end added.
    ssize_t ignored = ::write(STDERR_FILENO, message, sizeof(message) - 1);
    (void)ignored;
    std::exit(-1);
}

unsigned int StringDescriptor::GetMinLength() { return _minLength; }
void StringDescriptor::SetMinLength(unsigned int value) { _minLength = value; }
unsigned int StringDescriptor::GetMaxLength() { return _maxLength; }
void StringDescriptor::SetMaxLength(unsigned int value) { _maxLength = value; }
unsigned int StringDescriptor::GetMinIndex() { return _minIndex; }
void StringDescriptor::SetMinIndex(unsigned int value) { _minIndex = value; }
unsigned int StringDescriptor::GetMaxIndex() { return _maxIndex; }
void StringDescriptor::SetMaxIndex(unsigned int value) { _maxIndex = value; }
std::string StringDescriptor::GetFactoryDefault() { return _factoryDefault; }
void StringDescriptor::SetFactoryDefault(std::string value) { _factoryDefault = std::move(value); }
