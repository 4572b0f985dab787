// Identifiers that the library and its users name by number, with a
// process-wide name table. 0 is "Invalid".
#ifndef LUMO_LUMOID_H
#define LUMO_LUMOID_H

#include <QHash>
#include <QMetaType>
#include <QString>

#include "lumo/lumoglobal.h"

class LUMO_EXPORT LumoId {
public:
    LumoId(int value = 0) : _value(value) {}
    operator int() const { return _value; }

    // The name table has no lock: names are entered before other threads
    // look them up (the built-ins by library start-up).
    static void setName(int id, QString const& name);
    // Enters the built-in names the first time only.
    static void registerBuiltins();

    // The table's name, else "LumoId_<value>".
    QString name() const;

private:
    qint32 _value;
};

// Ids compare as their values.
inline uint qHash(LumoId id, uint seed = 0) { return ::qHash(uint(int(id)), seed); }

Q_DECLARE_METATYPE(LumoId)

#endif
