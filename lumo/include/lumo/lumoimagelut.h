// An image look-up table: its type, its number of entries and its data.
#ifndef LUMO_LUMOIMAGELUT_H
#define LUMO_LUMOIMAGELUT_H

#include <QByteArray>
#include <QMetaType>
#include <QSharedData>
#include <QString>

#include "lumo/lumoglobal.h"
#include "lumo/lumoid.h"
#include "lumo/lumoshared.h"

class LUMO_EXPORT LumoImageLutData : public QSharedData {
public:
    // Sets the component layout of the type (Lut2D_RGB16: 3 components of 2
    // bytes; other types none) and zero-fills entries x components x bytes.
    // Data that would not fit a byte array stays empty.
    void init();

    bool operator==(LumoImageLutData const& other) const;

    LumoId type;
    qint32 entries = 0;
    qint32 components = 0;
    qint32 bytesPerComponent = 0;
    QString name;
    QByteArray data;
};

class LUMO_EXPORT LumoImageLut : public LumoSharedValue<LumoImageLutData> {};

Q_DECLARE_METATYPE(LumoImageLut)

#endif
