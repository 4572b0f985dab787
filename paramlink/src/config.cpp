#include "paramlink/config.h"

#include "paramlink/ctimeval.h"

ConfigEventListener::~ConfigEventListener() = default;

int ConfigEventListener::IntegerChanged(eParam_t, int, timeval) { return 0; }

int ConfigEventListener::StringChanged(eParam_t, std::string&, timeval) { return 0; }

int ConfigEventListener::DataChanged(eParam_t, std::string&, timeval) { return 0; }

Config::~Config() = default;

MappingConfig::~MappingConfig() = default;

CTimeVal::CTimeVal() : _start(std::chrono::steady_clock::now()), _stop(_start) {}

CTimeVal::~CTimeVal() = default;

void CTimeVal::start()
{
    _start = std::chrono::steady_clock::now();
    _running = true;
}

void CTimeVal::stop()
{
    _stop = std::chrono::steady_clock::now();
    _running = false;
}

long CTimeVal::get_elapsed_ms()
{
    const auto end = _running ? std::chrono::steady_clock::now() : _stop;
    return long(std::chrono::duration_cast<std::chrono::milliseconds>(end - _start).count());
}
