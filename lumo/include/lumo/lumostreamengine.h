// The stream engine interface, the stream factory interface, the stream
// information an engine fills, and the error codes between them.
//
// Every engine call is made on its stream's worker thread, one at a time:
// open, then any number of read, write and flush, then close, after which
// the engine is deleted there.
#ifndef LUMO_LUMOSTREAMENGINE_H
#define LUMO_LUMOSTREAMENGINE_H

#include <QList>
#include <QMetaType>
#include <QObject>
#include <QSharedData>
#include <QString>
#include <QVariant>

#include "lumo/lumoframe.h"
#include "lumo/lumoglobal.h"
#include "lumo/lumoid.h"
#include "lumo/lumomediadesc.h"
#include "lumo/lumoshared.h"
#include "lumo/lumotimecode.h"

// 0 success, otherwise a Linux errno value. Registered as "LumoError".
typedef qint32 LumoError;

// Two 32-bit values copied as one unit.
struct LumoStreamInfoPair {
    qint32 first = 0;
    qint32 second = 0;
};

class LUMO_EXPORT LumoStreamInfoData : public QSharedData {
public:
    // Engines fill these for their applications; the library only carries
    // them.
    QString text1;
    QString text2;
    QList<LumoImageDesc> imageDescs;
    QList<LumoAudioDesc> audioDescs;
    LumoStreamInfoPair pair1;
    LumoStreamInfoPair pair2;
    qint32 value = 0;
    // The number under which the first frame is presented.
    qint32 firstFrameNumber = 0;
    qint32 frameCount = 0;
    bool flag = false;
    // The time code of the first frame.
    LumoTimecode timecode;
};

class LUMO_EXPORT LumoStreamInfo : public LumoSharedValue<LumoStreamInfoData> {};

// Open modes of LumoStream::open; other values pass through unchanged.
namespace Lumo {
enum StreamOpenMode { ReadOnly = 1, WriteOnly = 2 };
}

class LUMO_EXPORT LumoStreamEngine : public QObject {
public:
    explicit LumoStreamEngine(QObject* parent = nullptr);
    ~LumoStreamEngine() override;

    // Mode 1 (read-only): info arrives as a fresh value and the engine
    // describes the source in it (descriptions, first frame number, frame
    // count). Other modes: info is what the application set on the stream.
    // The stream adopts info as the engine leaves it, success or not.
    virtual LumoError open(QVariant const& desc, int mode, LumoStreamInfo& info) = 0;
    virtual void close();
    // The frame arrives new and empty. Default: 22, the frame untouched.
    virtual LumoError read(int fnum, LumoFrame& frame);
    // Default: 22.
    virtual LumoError write(int fnum, LumoFrame const& frame);
    // Default: 0.
    virtual LumoError flush();
};

class LUMO_EXPORT LumoStreamFactory {
public:
    LumoStreamFactory();
    virtual ~LumoStreamFactory();

    // A new engine with that parent, or null. Called under the registry
    // lock: must not call back into the registry.
    virtual LumoStreamEngine* create(LumoId const& type, QObject* parent) = 0;
    virtual bool accepts(LumoId const& type) = 0;
    // The stream type this factory would use for the description; the
    // Invalid id (the default) when it has none.
    virtual LumoId descHint(QVariant const& desc) const;
};

Q_DECLARE_METATYPE(LumoStreamInfo)

#endif
