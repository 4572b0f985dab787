// Random numbers from /dev/urandom (after LumoRandomInit), else from the C
// library's rand(); and the 16-byte UUID value with its text and stream forms.
#ifndef LUMO_LUMORANDOM_H
#define LUMO_LUMORANDOM_H

#include <QByteArray>
#include <QString>
#include <QUuid>

#include "lumo/lumoglobal.h"

class QDataStream;

// Seeds rand() and opens /dev/urandom; does nothing once it is open.
// Called once before other threads draw.
LUMO_EXPORT void LumoRandomInit();

class LUMO_EXPORT LumoRandom {
public:
    // A failed or short read of the random source is logged and gives the
    // rand() value instead.
    static quint8 rand8();
    static quint16 rand16();
    static quint32 rand32();
    static quint64 rand64();
    // Fills all len bytes; what the source cannot deliver comes from rand().
    static void randbuf(void* buffer, unsigned int len);
};

class LUMO_EXPORT LumoUUID {
public:
    enum StringType { StringPlain = 0, StringBraces = 1 };

    // The nil identifier (all zero), which every failed conversion leaves.
    LumoUUID();
    // Exactly 16 bytes, else nil.
    explicit LumoUUID(QByteArray const& bytes);

    QByteArray toByteArray() const;
    operator QUuid() const;
    LumoUUID& operator=(QUuid const& uuid);
    // Takes the first 32 hexadecimal digits of a text of at least 36
    // characters, skipping anything else; nil when there are fewer.
    LumoUUID& operator=(QString const& text);
    // 8-4-4-4-12 lowercase hexadecimal, in braces for StringBraces.
    QString toString(StringType type) const;
    // False when every byte is 0x00 or 0xFF.
    bool isValid() const;

    friend LUMO_EXPORT QDataStream& operator<<(QDataStream& stream, LumoUUID const& uuid);
    friend LUMO_EXPORT QDataStream& operator>>(QDataStream& stream, LumoUUID& uuid);

private:
    quint8 _data[16];
};

LUMO_EXPORT QDataStream& operator<<(QDataStream& stream, LumoUUID const& uuid);
LUMO_EXPORT QDataStream& operator>>(QDataStream& stream, LumoUUID& uuid);

#endif
