// Sets or unsets an environment variable for a scope, then restores it.
#ifndef TOVIK_TEST_SCOPEDENV_H
#define TOVIK_TEST_SCOPEDENV_H

#include <cstdlib>
#include <string>

namespace tovik {
namespace test {

class ScopedEnv {
public:
    // A null value unsets the variable.
    ScopedEnv(const char* name, const char* value) : _name(name)
    {
        const char* old = std::getenv(name);
        _had = old != nullptr;
        if (old)
            _old = old;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ScopedEnv(const char* name, const std::string& value) : ScopedEnv(name, value.c_str()) {}
    ~ScopedEnv()
    {
        if (_had)
            ::setenv(_name.c_str(), _old.c_str(), 1);
        else
            ::unsetenv(_name.c_str());
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string _name;
    bool _had = false;
    std::string _old;
};

} // namespace test
} // namespace tovik

#endif
