// Descriptions of media: image and audio formats, encryption, and the
// encryption key record, each a copy-on-write handle on a shared record.
#ifndef LUMO_LUMOMEDIADESC_H
#define LUMO_LUMOMEDIADESC_H

#include <QByteArray>
#include <QSharedData>
#include <QString>

#include "lumo/lumoglobal.h"
#include "lumo/lumoid.h"
#include "lumo/lumoshared.h"
#include "lumo/lumorational.h"

class LUMO_EXPORT LumoImageDescData : public QSharedData {
public:
    enum ScanMode { Progressive = 0, Interlaced = 1, SegmentedFrame = 2 };

    // "p", "i", "psf"; empty for any other scan mode.
    QString scanModeName() const;
    // "<type> Size: <w>x<h><scan>, Aspect <n>:<d>, Frame Rate: <n>/<d>"
    QString toString() const;
    // Upper bound of one compressed picture of the codec in bytes; 0 for a
    // type that is not a known codec. Saturates at the int range.
    int maxDataTypeSize() const;

    // Rationals compare by value; all other fields exactly.
    bool operator==(LumoImageDescData const& other) const;

    qint32 width = -1;
    qint32 height = -1;
    LumoRational aspect;
    LumoRational rate;
    LumoId type;
    qint32 scanMode = Progressive;
    qint32 extraValue = 0; // for engines; only compared here
    bool extraFlag = false; // for engines; only compared here
};

class LUMO_EXPORT LumoAudioDescData : public QSharedData {
public:
    // "<type> Chan: <c>, Rate: <n>/<d>, FPS: <n>/<d>"
    QString toString() const;
    bool operator==(LumoAudioDescData const& other) const;

    LumoId type;       // sample format
    LumoRational rate; // sample rate
    LumoRational fps;  // frame rate of the video the audio belongs to
    qint32 channels = 0;
};

class LUMO_EXPORT LumoCryptoKeyData : public QSharedData {
public:
    LumoCryptoKeyData();

    // Takes 32 hexadecimal digits into key bytes 0 to 15, skipping any
    // other character and every "0x"; text that ends before 32 digits
    // clears the whole record.
    void set(QString const& text);
    // Key bytes 0 to 15 as 32 upper-case hexadecimal digits.
    QString toString() const;
    bool operator==(LumoCryptoKeyData const& other) const;

    quint8 flag;
    quint8 key[32];
    quint32 value;
};

class LumoCryptoKey : public LumoSharedValue<LumoCryptoKeyData> {};

class LUMO_EXPORT LumoCryptoDescData : public QSharedData {
public:
    // "Encrypted: <0|1>, Plaintext offset: <n>, Source Length: <n>, Has MIC: <0|1>, "
    QString toString() const;
    bool operator==(LumoCryptoDescData const& other) const;

    bool encrypted = false;
    quint32 sourceLength = 0;
    quint32 plaintextOffset = 0;
    LumoCryptoKey key1;
    bool hasMic = false;
    LumoCryptoKey key2;
    QByteArray bytes1;
    QByteArray bytes2;
};

class LumoImageDesc : public LumoSharedValue<LumoImageDescData> {};
class LumoAudioDesc : public LumoSharedValue<LumoAudioDescData> {};
class LumoCryptoDesc : public LumoSharedValue<LumoCryptoDescData> {};

#endif
