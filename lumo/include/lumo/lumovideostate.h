// The state of a video input as a device reports it: whether a signal is
// present and valid, and its image description (and the one it is turned
// into, when they differ).
#ifndef LUMO_LUMOVIDEOSTATE_H
#define LUMO_LUMOVIDEOSTATE_H

#include <QMetaType>
#include <QSharedData>
#include <QString>

#include "lumo/lumoframe.h"
#include "lumo/lumoglobal.h"
#include "lumo/lumomediadesc.h"
#include "lumo/lumoshared.h"

class LUMO_EXPORT LumoVideoStateData : public QSharedData {
public:
    LumoVideoStateData() = default;
    LumoVideoStateData(LumoVideoStateData const& other);
    ~LumoVideoStateData();
    LumoVideoStateData& operator=(LumoVideoStateData const&) = delete;

    // "<desc> PRESENT|ABSENT VALID|INVALID" when both descriptions are
    // equal, else "<first> -> <second> PRESENT|ABSENT VALID|INVALID".
    QString toString() const;

    bool valid = false;
    bool present = false;
    qint32 value = 0; // for engines
    LumoImageDesc firstDesc;
    LumoImageDesc secondDesc;
    LumoAttachment* attachment = nullptr; // owned; not copied
};

class LUMO_EXPORT LumoVideoState : public LumoSharedValue<LumoVideoStateData> {};

Q_DECLARE_METATYPE(LumoVideoState)

#endif
