// The values a video device engine exchanges with its front end: the setup
// asked of the hardware, the state of a reference input, and the record the
// vbi signal carries. The library gives them their defaults, copies them and
// passes them on; what the plain fields mean is the engine's affair.
#ifndef LUMO_LUMOVIDEODEVICETYPES_H
#define LUMO_LUMOVIDEODEVICETYPES_H

#include <QMetaType>
#include <QSharedData>

#include "lumo/lumoglobal.h"
#include "lumo/lumoid.h"
#include "lumo/lumoimagelut.h"
#include "lumo/lumomediadesc.h"
#include "lumo/lumoshared.h"
#include "lumo/lumotimecode.h"
#include "lumo/lumotimestamp.h"

// The plain fields are named by their place in the record (5 to 34), in
// the order engines read them.
class LUMO_EXPORT LumoVideoDeviceSetupData : public QSharedData {
public:
    LumoImageDesc imageDesc;
    LumoAudioDesc audioDesc;
    LumoImageLut firstLut;
    LumoImageLut secondLut;
    quint32 values5to12[8] = {};
    LumoId ltcConnector = 1050; // LTCConnector_In
    quint32 values14to18[5] = {};
    bool flags19to21[3] = {};
    quint32 values22to24[3] = {};
    bool flag25 = true;
    bool flag26 = false;
    qint32 value27 = -1;
    quint32 value28 = 40;
    bool flags29to31[3] = {};
    quint32 value32 = 10;
    quint32 value33 = 0;
    bool flag34 = true;
};

class LUMO_EXPORT LumoVideoDeviceSetup : public LumoSharedValue<LumoVideoDeviceSetupData> {};

class LUMO_EXPORT LumoVideoRefStateData : public QSharedData {
public:
    LumoImageDesc desc;
    quint32 value = 0;
    bool flag1 = false;
    bool flag2 = false;
};

class LUMO_EXPORT LumoVideoRefState : public LumoSharedValue<LumoVideoRefStateData> {};

class LUMO_EXPORT LumoVbiInfoData : public QSharedData {
public:
    LumoTimeStamp timeStamp;
    LumoTimecode firstTimecode;
    LumoTimecode secondTimecode;
};

class LUMO_EXPORT LumoVbiInfo : public LumoSharedValue<LumoVbiInfoData> {};

Q_DECLARE_METATYPE(LumoVideoDeviceSetup)
Q_DECLARE_METATYPE(LumoVideoRefState)
Q_DECLARE_METATYPE(LumoVbiInfo)

#endif
