#include "lumo/lumogetopts.h"

void LumoGetOpts::set(QStringList const& args)
{
    _args = args;
    _argument = QString();
    _errorString = QString();
    _nonOptions = QStringList();
    _error = false;
    _option = 0;
}

bool LumoGetOpts::getopt(char const* optionString)
{
    if (!optionString)
        return false;
    while (!_args.isEmpty()) {
        const QString word = _args.takeFirst();
        if (!word.startsWith(QLatin1Char('-'))) {
            _nonOptions.append(word);
            continue;
        }
        if (word.size() < 2) {
            _error = true;
            _errorString = QStringLiteral("Missing option");
            return false;
        }
        _option = quint8(word.at(1).toLatin1());
        char const* found = optionString;
        while (*found && quint8(*found) != _option)
            ++found;
        if (!*found) {
            _error = true;
            _errorString = QStringLiteral("%1: invalid option").arg(word);
            return false;
        }
        if (found[1] != ':') {
            _argument = QString();
            return true;
        }
        if (word.size() > 2) {
            _argument = word.mid(2);
            return true;
        }
        if (_args.isEmpty()) {
            _error = true;
            _errorString = QStringLiteral("%1: missing argument").arg(word);
            return false;
        }
        _argument = _args.takeFirst();
        return true;
    }
    return false;
}
