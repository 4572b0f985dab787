// Sets or unsets an environment variable for a scope.
#ifndef PORTVANE_TEST_SCOPEDENV_H
#define PORTVANE_TEST_SCOPEDENV_H

#include <QByteArray>
#include <QtGlobal>

class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray* value)
        : _name(name), _had(qEnvironmentVariableIsSet(name)), _old(qgetenv(name))
    {
        if (value)
            qputenv(_name, *value);
        else
            qunsetenv(_name);
    }
    ScopedEnv(const char* name, const QByteArray& value) : ScopedEnv(name, &value) {}
    ~ScopedEnv()
    {
        if (_had)
            qputenv(_name, _old);
        else
            qunsetenv(_name);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* _name;
    bool _had;
    QByteArray _old;
};

#endif
